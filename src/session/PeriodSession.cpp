// The session's period searches over the orbit's series: the Lomb-Scargle periodogram and the PDM
// search, each run as a job.
#include "Session.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cmath>

Outcome PeriodSession::PreparePeriodogram(double fShortest, double fLongest, std::int64_t lSamples,
                                     PeriodogramJob& oJob) const
{
    const DataSeries& oSeries = Series();
    if (oSeries.GetArraySize() < 4) {
        return Message{"Invalid data", "The periodogram needs at least 4 measurements."};
    }
    const double fSpan = oSeries.GetX(oSeries.GetArraySize() - 1) - oSeries.GetX(0);
    if (fShortest == 0 && fLongest == 0) {
        fShortest = 0.5;
        fLongest = std::max(std::fabs(fSpan), 1.0);
    }
    if (!(fShortest > 0) || !(fLongest > fShortest) || !std::isfinite(fLongest)) {
        return Message{"Invalid data", "The periods must be greater than 0 days, the shortest below the longest.", true};
    }
    if (lSamples == 0) {
        lSamples = DefaultPeriodogramSamples(std::fabs(fSpan), fShortest, fLongest);
    }
    if (lSamples < 2 || lSamples > kMaxPeriodogramFrequencies) {
        return Message{"Invalid data", "The number of frequencies must lie between 2 and " +
                                            std::to_string(kMaxPeriodogramFrequencies) + ".", true};
    }
    oJob.oSeries = oSeries;
    oJob.vSigma = m_rSession.Orbit().Uncertainties();
    oJob.fShortest = fShortest;
    oJob.fLongest = fLongest;
    oJob.lSamples = lSamples;
    return std::nullopt;
}

void PeriodogramJob::Run(Progress* pProgress)
{
    oResult = LombScargle(oSeries.GetXValues(), oSeries.GetYValues(), vSigma, fShortest, fLongest, lSamples, sError,
                          pProgress);
}

SessionResult<PeriodogramResult> PeriodSession::FinishPeriodogram(PeriodogramJob&& oJob)
{
    if (!oJob.oResult) {
        // The options were checked before: what the periodogram refuses now is the data.
        return quandrel::Failure(Message{"Invalid data", oJob.sError});
    }
    m_oPeriodogram = std::move(oJob.oResult);
    m_rState.Announce(change::kElements);
    return *m_oPeriodogram;
}

SessionResult<PeriodogramResult> PeriodSession::ComputePeriodogram(double fShortest, double fLongest, std::int64_t lSamples)
{
    PeriodogramJob oJob;
    if (Outcome oRefused = PreparePeriodogram(fShortest, fLongest, lSamples, oJob)) {
        return quandrel::Failure(std::move(*oRefused));
    }
    oJob.Run(nullptr);
    return FinishPeriodogram(std::move(oJob));
}

PeriodSearch PeriodSession::PeriodSearchProposal() const
{
    PeriodSearch o;
    const DataSeries oSeries = Series();
    o.lNumberDataPoints = oSeries.GetArraySize();
    o.lBins = o.lNumberDataPoints / 3;
    if (m_oPdmRange) {
        o.fFrom = m_oPdmRange->first;
        o.fTo = m_oPdmRange->second;
    } else if (o.lNumberDataPoints >= 2) {
        // From the data, as the orbit search's P: 0.5 days to the time span.
        const std::vector<double>& vT = oSeries.GetXValues();
        const auto [itFirst, itLast] = std::minmax_element(vT.begin(), vT.end());
        o.fFrom = 0.5;
        o.fTo = std::max(std::ceil(*itLast - *itFirst), 1.0);
    } else {
        m_rState.oSettings.ReadPeriodRange(o.fFrom, o.fTo);
    }
    return o;
}

Outcome PeriodSession::PrepareEstimatePeriod(const PeriodSearch& oSearch, PdmJob& oJob) const
{
    const DataSeries& oSeries = Series();
    if (oSeries.GetArraySize() <= 9) {
        return Message{"Invalid data", "The period search needs at least 10 measurements."};
    }
    if (oSearch.lBins < 1 || !(oSearch.fFrom > 0) || !(oSearch.fTo > 0)) {
        return Message{"Invalid data", "The number of bins must be 1 or more and the periods greater than 0.", true};
    }
    if (!(oSearch.fTo > oSearch.fFrom)) {
        return Message{"Invalid data", "The period range must run from a shorter to a longer period.", true};
    }
    if (oSearch.lBins > oSeries.GetArraySize()) {
        return Message{"Invalid data", "The number of bins must not exceed the " +
                                            std::to_string(oSeries.GetArraySize()) + " measurements.", true};
    }
    if ((oSearch.fTo - oSearch.fFrom) / PhaseDispersion::kPeriodStep > 1e8) {
        return Message{"Invalid data", "The period range holds more than 100 million trial periods.", true};
    }
    oJob.oSearch = oSearch;
    oJob.oPdm.SetDataArray(oSeries);
    oJob.oPdm.SetPeriodRange((oSearch.fFrom + oSearch.fTo) * 0.5, oSearch.fFrom, oSearch.fTo);
    oJob.oPdm.SetNumberBins(oSearch.lBins);
    oJob.oPdm.SetNumberParameters(1);
    return std::nullopt;
}

void PdmJob::Run(Progress* pProgress)
{
    oPdm.ScanPeriods(pProgress);
    bCompleted = !Cancelled(pProgress) && oPdm.IsOptimized();
    if (bCompleted) {
        fPeriod = oPdm.GetBestPeriod();
    }
}

SessionResult<double> PeriodSession::FinishEstimatePeriod(PdmJob&& oJob)
{
    if (!oJob.bCompleted) {
        return quandrel::Failure(Message{"Information", "The period search was cancelled."});
    }
    const double fPeriod = oJob.fPeriod;
    m_vPdmScan = oJob.oPdm.GetScan();
    m_oPdmRange = std::make_pair(oJob.oSearch.fFrom, oJob.oSearch.fTo);
    m_rState.oSettings.WritePeriodRange(oJob.oSearch.fFrom, oJob.oSearch.fTo);
    // A least dispersion at an end of the range may lie beyond it; one beyond half the time span rests on
    // less than two cycles.
    const std::vector<double>& vT = oJob.oPdm.GetData().GetXValues();
    const auto [itFirst, itLast] = std::minmax_element(vT.begin(), vT.end());
    const double fSpan = *itLast - *itFirst;
    m_sPeriodWarning.clear();
    if (fPeriod <= oJob.oSearch.fFrom + 2.0 * PhaseDispersion::kPeriodStep || fPeriod >= oJob.oSearch.fTo - 2.0 * PhaseDispersion::kPeriodStep) {
        m_sPeriodWarning = "The period lies at an end of the range searched (" +
                           quandrel::FormatFixed(oJob.oSearch.fFrom, 3) + " to " + quandrel::FormatFixed(oJob.oSearch.fTo, 3) +
                           " d): the least dispersion may lie beyond it.";
    } else if (fPeriod > fSpan / 2.0) {
        m_sPeriodWarning = "The period is longer than half the time span of the measurements (" +
                           quandrel::FormatFixed(fSpan, 3) + " d): the data cover less than two cycles of it.";
    }
    m_rState.Announce(change::kElements);
    return fPeriod;
}

SessionResult<double> PeriodSession::EstimatePeriod(const PeriodSearch& oSearch)
{
    PdmJob oJob;
    if (Outcome oRefused = PrepareEstimatePeriod(oSearch, oJob)) {
        return quandrel::Failure(std::move(*oRefused));
    }
    oJob.Run(nullptr);
    return FinishEstimatePeriod(std::move(oJob));
}

int32_t PeriodSession::SeriesSize() const
{
    return m_rSession.Orbit().GridSearch().GetData().GetArraySize();
}

DataSeries PeriodSession::Series() const
{
    DataSeries oSeries = m_rSession.Orbit().GridSearch().GetData();
    // Pooled data sets each less their own (weighted) mean: their zero points would be a signal.
    const OrbitDataSets& oSets = m_rSession.Orbit().DataSets();
    const std::vector<double>& vSigma = m_rSession.Orbit().Uncertainties();
    const auto n = static_cast<std::size_t>(oSeries.GetArraySize());
    if (oSets.vName.size() < 2 || oSets.vIndex.size() != n) {
        return oSeries;
    }
    std::vector<double> vSum(oSets.vName.size(), 0.0);
    std::vector<double> vWeight(oSets.vName.size(), 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = vSigma.size() == n ? 1.0 / (vSigma[i] * vSigma[i]) : 1.0;
        vSum[static_cast<std::size_t>(oSets.vIndex[i])] += w * oSeries.GetY(static_cast<int32_t>(i));
        vWeight[static_cast<std::size_t>(oSets.vIndex[i])] += w;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(oSets.vIndex[i]);
        oSeries.SetY(static_cast<int32_t>(i), oSeries.GetY(static_cast<int32_t>(i)) - vSum[k] / vWeight[k]);
    }
    return oSeries;
}

void PeriodSession::Forget()
{
    m_oPeriodogram.reset();
    m_vPdmScan.clear();
}
