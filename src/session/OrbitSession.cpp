// The session's operations on the orbit and the period: the series, the orbit search and its
// ranges, the exports of elements and residuals, the PDM period search.
#include "Session.h"
#include "SessionMessages.h"

#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace {

double* Field(OrbitElements& o, std::size_t lIndex)
{
    double* apFields[6] = {&o.fPeriod, &o.fT0, &o.fEccentricity, &o.fOmega, &o.fA1SinI, &o.fGamma};
    return apFields[lIndex];
}

// The periods worth a fit: the three highest peaks of the periodogram, their yearly and daily aliases,
// and twice the best period (an eccentric orbit's strongest peak often lies at its half).
std::vector<double> CandidatePeriods(const PeriodogramResult& o)
{
    std::vector<std::pair<double, double>> vPeaks; // (power, frequency)
    for (std::size_t k = 1; k + 1 < o.vPower.size(); ++k) {
        if (o.vPower[k] > o.vPower[k - 1] && o.vPower[k] >= o.vPower[k + 1]) {
            vPeaks.emplace_back(o.vPower[k], o.vFrequency[k]);
        }
    }
    std::sort(vPeaks.rbegin(), vPeaks.rend());
    std::vector<double> vPeriods{o.BestPeriod(), 2.0 * o.BestPeriod()};
    constexpr double kYear = 1.0 / 365.25;
    constexpr double kSiderealDay = 1.0 / 0.99726957;
    for (std::size_t i = 0; i < std::min<std::size_t>(vPeaks.size(), 3); ++i) {
        const double f = i == 0 ? o.fBestFrequency : vPeaks[i].second;
        for (const double fAlias : {f, f - kYear, f + kYear, f - kSiderealDay, f + kSiderealDay,
                                    kSiderealDay - f}) {
            if (fAlias > 0.0 && 1.0 / fAlias >= 0.2) {
                vPeriods.push_back(1.0 / fAlias);
            }
        }
    }
    std::sort(vPeriods.begin(), vPeriods.end());
    vPeriods.erase(std::unique(vPeriods.begin(), vPeriods.end(),
                               [](double a, double b) { return std::fabs(a - b) < 1e-6 * b; }),
                   vPeriods.end());
    return vPeriods;
}

// What the suggested ranges are taken from: the series' first time and time span, the velocities'
// half-range and their mean.
struct SeriesLevels {
    double fFirst = 0.0;
    double fSpan = 0.0;
    double K = 0.0;
    double fMean = 0.0;
};

SeriesLevels LevelsOf(const DataSeries& oSeries)
{
    const std::vector<double>& vT = oSeries.GetXValues();
    const std::vector<double>& vV = oSeries.GetYValues();
    const auto [itFirst, itLast] = std::minmax_element(vT.begin(), vT.end());
    const auto [itMin, itMax] = std::minmax_element(vV.begin(), vV.end());
    double fMean = 0.0;
    for (const double v : vV) {
        fMean += v;
    }
    return {*itFirst, *itLast - *itFirst, std::max((*itMax - *itMin) / 2.0, 1e-3), fMean / static_cast<double>(vV.size())};
}

// The ranges of an orbit of about the period P: P within fWidths widths of its periodogram peak, T0 over
// one period from the first point, e 0 .. 0.9, omega over the whole turn, K1 from half to one and a
// half times the velocities' half-range, gamma within half of it around their mean.
void RangesAround(double P, double fWidths, const SeriesLevels& o, OrbitElements& oLower, OrbitElements& oUpper)
{
    const double fWidth = fWidths * P * P / std::max(o.fSpan, P);
    oLower.fPeriod = std::max(P - fWidth, 0.5 * P);
    oUpper.fPeriod = P + fWidth;
    oLower.fT0 = o.fFirst;
    oUpper.fT0 = o.fFirst + P;
    oLower.fEccentricity = 0.0;
    oUpper.fEccentricity = 0.9;
    oLower.fOmega = 0.0;
    oUpper.fOmega = 360.0;
    oLower.fA1SinI = OrbitGridSearch::A1SinIFromK1(0.5 * o.K, oLower.fPeriod, 0.9);
    oUpper.fA1SinI = OrbitGridSearch::A1SinIFromK1(1.5 * o.K, oUpper.fPeriod, 0.0);
    oLower.fGamma = o.fMean - 0.5 * o.K;
    oUpper.fGamma = o.fMean + 0.5 * o.K;
}

// Of the candidate periods, the one whose orbit fits best: a coarse grid within one width of each
// (3 values of P, a1 sin i and gamma, 5 of T0, e and omega) refined by least squares; the lowest
// reduced chi-square wins.
double BestCandidatePeriod(const PeriodogramResult& oPeriodogram, const DataSeries& oSeries,
                           const std::vector<double>& vSigma, const SeriesLevels& oLevels)
{
    double fBest = oPeriodogram.BestPeriod();
    double fBestChi2 = INFINITY;
    for (const double P : CandidatePeriods(oPeriodogram)) {
        OrbitElements oLower;
        OrbitElements oUpper;
        RangesAround(P, 1.0, oLevels, oLower, oUpper);
        const int32_t alSteps[6] = {2, 4, 4, 4, 2, 2};
        const bool abUse[6] = {true, true, true, true, true, true};
        OrbitGridSearch oOrbit;
        oOrbit.SetDataArray(oSeries);
        oOrbit.SetNumberParameters(OrbitGridSearch::NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT);
        if (!oOrbit.ConfigureSearch(oLower, oUpper, alSteps, abUse)) {
            continue;
        }
        oOrbit.Optimize();
        OrbitElements oStart;
        oOrbit.GetBestElements(oStart);
        std::string sError;
        const auto oFit = FitOrbitLeastSquares(oSeries.GetXValues(), oSeries.GetYValues(), vSigma, oStart, sError);
        if (oFit && oFit->afValue[LeastSquaresElements::kEccentricity] < 0.95 && oFit->fChi2Reduced < fBestChi2) {
            fBestChi2 = oFit->fChi2Reduced;
            fBest = oFit->afValue[LeastSquaresElements::kPeriod];
        }
    }
    return fBest;
}

// A data set's name as a key of a name=value line: letters, digits, '-', '_' and '.'; others as '_'.
std::string KeyOf(std::string sName)
{
    for (char& c : sName) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '-' && c != '_' && c != '.') {
            c = '_';
        }
    }
    return sName;
}

} // namespace

using quandrel::session::Written;

// --- Orbit and period ---

bool OrbitSession::CanFitOrbit() const
{
    return !m_rState.oTable.Rows().empty() || m_oOrbit.GetNumberParameters() != 0;
}

Outcome OrbitSession::ConvertTimes(TimeScale eScale, const EquatorialPosition& oObject, const GeographicSite& oSite,
                                   double fHeightMetres)
{
    if (eScale == TimeScale::kJulianDateUtc) {
        return std::nullopt;
    }
    DataSeries oSeries = m_oOrbit.GetData();
    for (int32_t i = 0; i < oSeries.GetArraySize(); ++i) {
        const auto oTimes = ProjectSession::Barycentric(oSeries.GetX(i), oObject, oSite, fHeightMetres);
        if (!oTimes) {
            return Message{"Error!", "Measurement " + std::to_string(i + 1) + ": " + oTimes.Error().sText};
        }
        oSeries.SetX(i, eScale == TimeScale::kBjdTdb ? oTimes->fBjdTdb : oTimes->fHjd);
    }
    m_oOrbit.SetDataArray(oSeries);
    m_eSeriesScale = eScale;
    m_rState.Announce(change::kSeries);
    return std::nullopt;
}

OrbitSearch OrbitSession::OrbitSearchProposal()
{
    OrbitSearch o;
    const OrbitRangeSetting oKept = m_rState.oSettings.ReadOrbitRanges();
    o.oLower.fEccentricity = oKept.fEccentricityMin;
    o.oUpper.fEccentricity = oKept.fEccentricityMax;
    o.oLower.fOmega = oKept.fOmegaMin;
    o.oUpper.fOmega = oKept.fOmegaMax;
    o.oLower.fA1SinI = o.oLower.fA2SinI = oKept.fA1SinIMin;
    o.oUpper.fA1SinI = o.oUpper.fA2SinI = oKept.fA1SinIMax;
    o.alSteps = oKept.alSteps;
    o.abUse = m_abUse;
    o.bLeastSquares = m_bLeastSquares;
    // P from 0.5 days to the time span until a P range was given; the span needs two points.
    const bool bFromData = !m_oPeriodRange.has_value();
    if (!bFromData) {
        o.oLower.fPeriod = m_oPeriodRange->first;
        o.oUpper.fPeriod = m_oPeriodRange->second;
    }
    m_oOrbit.GetDataRanges(o.oLower, o.oUpper, bFromData);
    return o;
}

SessionResult<OrbitSearch> OrbitSession::DefaultOrbitSearch(OrbitSearch oSearch) const
{
    if (m_oOrbit.GetData().GetArraySize() < 2) {
        return quandrel::Failure(Message{"Invalid data", "At least two measurements are needed to determine orbital elements."});
    }
    m_oOrbit.GetDefaultRanges(oSearch.oLower, oSearch.oUpper);
    m_oOrbit.GetDataRanges(oSearch.oLower, oSearch.oUpper, true);
    return oSearch;
}

Outcome OrbitSession::CheckOrbitSearch(const OrbitSearch& oSearch) const
{
    if (m_oOrbit.GetData().GetArraySize() < 2) {
        return Message{"Invalid data", "At least two measurements are needed to determine orbital elements."};
    }
    const DataSeries& oSeries = m_oOrbit.GetData();
    const auto lFree = std::count(oSearch.abUse.begin(), oSearch.abUse.end(), true);
    if (oSeries.GetArraySize() <= lFree) {
        return Message{"Invalid data", std::to_string(oSeries.GetArraySize()) + " measurements cannot determine " +
                                            std::to_string(lFree) + " free elements; at least " +
                                            std::to_string(lFree + 1) + " are needed (or hold elements fixed)."};
    }
    if (oSeries.GetX(oSeries.GetArraySize() - 1) == oSeries.GetX(0)) {
        return Message{"Invalid data", "All measurements carry the same time: they hold no period."};
    }
    if (!(oSearch.oLower.fPeriod > 0) ||
        (oSearch.abUse[0] && !(oSearch.oLower.fPeriod < oSearch.oUpper.fPeriod))) {
        return Message{"Invalid data", "The period must be greater than 0 days, and its lower limit below the "
                                        "upper one.", true};
    }
    OrbitSearch o = oSearch;
    double fEvaluations = static_cast<double>(oSeries.GetArraySize());
    for (std::size_t i = 0; i < 6; ++i) {
        if (!o.abUse[i]) {
            *Field(o.oUpper, i) = *Field(o.oLower, i);
        } else if (o.alSteps[i] <= 0) {
            return Message{"Invalid data",
                            "Invalid data for orbital element intervals\n\r(string not a number/out of range)", true};
        } else {
            fEvaluations *= static_cast<double>(o.alSteps[i]) + 1.0;
        }
    }
    // A bound on the work a typing slip can ask for: about an hour on one core.
    if (fEvaluations > kMaxOrbitEvaluations ||
        std::any_of(o.alSteps.begin(), o.alSteps.end(), [](int32_t l) { return l > kMaxOrbitSteps; })) {
        return Message{"Invalid data", "The grid asks for more than 10^11 model velocities (grid points times "
                                        "measurements) or more than 1,000,000 steps of one element; use fewer steps.",
                        true};
    }
    if (!OrbitGridSearch::CheckRange(o.oLower) || !OrbitGridSearch::CheckRange(o.oUpper)) {
        return Message{"Invalid data", "Invalid data for orbital element intervals\n\r(string not a number/out of range)",
                        true};
    }
    return std::nullopt;
}

Outcome OrbitSession::PrepareOrbitSearch(const OrbitSearch& oSearch, OrbitJob& oJob)
{
    if (Outcome oRefused = CheckOrbitSearch(oSearch)) {
        return oRefused;
    }
    OrbitSearch o = oSearch;
    m_oPeriodRange = std::make_pair(o.oLower.fPeriod, o.oUpper.fPeriod);
    m_abUse = o.abUse;
    m_bLeastSquares = o.bLeastSquares;
    bool abUse[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        abUse[i] = o.abUse[i];
        if (!abUse[i]) {
            *Field(o.oUpper, i) = *Field(o.oLower, i);
            o.alSteps[i] = 1;
        }
    }
    // Checked above; the search is configured here, on a copy that the run works on.
    oJob.oOrbit = m_oOrbit;
    oJob.oOrbit.ConfigureSearch(o.oLower, o.oUpper, o.alSteps.data(), abUse);
    oJob.oSeries = m_oOrbit.GetData();
    oJob.vSigma = m_vSigma;
    oJob.oDataSets = m_oDataSets;
    oJob.oDataSets.bJitter = o.bJitter;
    oJob.bLeastSquares = o.bLeastSquares;
    OrbitRangeSetting oKept;
    oKept.fEccentricityMin = o.oLower.fEccentricity;
    oKept.fEccentricityMax = o.oUpper.fEccentricity;
    oKept.fOmegaMin = o.oLower.fOmega;
    oKept.fOmegaMax = o.oUpper.fOmega;
    oKept.fA1SinIMin = o.oLower.fA1SinI;
    oKept.fA1SinIMax = o.oUpper.fA1SinI;
    oKept.alSteps = o.alSteps;
    m_rState.oSettings.WriteOrbitRanges(oKept);
    return std::nullopt;
}

void OrbitJob::Run(Progress* pProgress)
{
    oOrbit.Optimize(pProgress);
    if (Cancelled(pProgress)) {
        return;
    }
    oOrbit.RefineOptimum();
    oOrbit.GetBestElements(oBest);
    if (bLeastSquares && !Cancelled(pProgress)) {
        oLeastSquares = FitOrbitLeastSquares(oSeries.GetXValues(), oSeries.GetYValues(), vSigma, oBest,
                                             sLeastSquaresError, &oDataSets);
    }
    bCompleted = !Cancelled(pProgress);
}

Outcome OrbitSession::FinishOrbitSearch(OrbitJob&& oJob)
{
    if (!oJob.bCompleted) {
        return std::nullopt;
    }
    const DataSeries& oNow = m_oOrbit.GetData();
    if (oNow.GetXValues() != oJob.oSeries.GetXValues() || oNow.GetYValues() != oJob.oSeries.GetYValues()) {
        return Message{"Warning!", "The measurements changed while the orbit was searched; the search was discarded."};
    }
    m_oOrbit = std::move(oJob.oOrbit);
    m_oElements = oJob.oBest;
    m_oLeastSquares = std::move(oJob.oLeastSquares);
    m_oPosterior.reset();
    if (m_oLeastSquares) {
        // What is drawn and exported from here on is the least-squares orbit, shown with its errors.
        m_oOrbit.SetRefinedElements(m_oLeastSquares->Elements());
    }
    Outcome oOutcome;
    if (oJob.bLeastSquares && !m_oLeastSquares) {
        // The search's elements stand; the user learns why there are no errors.
        oOutcome = Message{"Warning!", "No least-squares refinement: " + oJob.sLeastSquaresError};
    } else if (m_oLeastSquares && !m_oLeastSquares->vWarnings.empty()) {
        std::string sText = "The least-squares orbit is doubtful:";
        for (const std::string& sWarning : m_oLeastSquares->vWarnings) {
            sText += "\n" + sWarning;
        }
        oOutcome = Message{"Warning!", sText};
    }
    m_rState.Announce(change::kElements);
    return oOutcome;
}

Outcome OrbitSession::FitOrbit(const OrbitSearch& oSearch)
{
    OrbitJob oJob;
    if (Outcome oRefused = PrepareOrbitSearch(oSearch, oJob)) {
        return oRefused;
    }
    oJob.Run(nullptr);
    return FinishOrbitSearch(std::move(oJob));
}

SessionResult<OrbitElements> OrbitSession::ParseElementsText(const std::string& sText)
{
    std::map<std::string, double> oValues;
    std::size_t lStart = 0;
    while (lStart < sText.size()) {
        std::size_t lEnd = sText.find('\n', lStart);
        lEnd = lEnd == std::string::npos ? sText.size() : lEnd;
        std::string sLine = sText.substr(lStart, lEnd - lStart);
        lStart = lEnd + 1;
        std::erase(sLine, '\r');
        const std::size_t lEqual = sLine.find('=');
        double fValue = 0.0;
        if (lEqual != std::string::npos && quandrel::ParseWholeDouble(sLine.substr(lEqual + 1), fValue) &&
            std::isfinite(fValue)) {
            oValues[sLine.substr(0, lEqual)] = fValue;
        }
    }
    for (const char* pcName : {"P", "T0", "e", "omega", "gamma"}) {
        if (oValues.count(pcName) == 0) {
            return quandrel::Failure(Message{"Invalid data", std::string("The elements give no value of ") + pcName + "."});
        }
    }
    OrbitElements o;
    o.fPeriod = oValues["P"];
    o.fT0 = oValues["T0"];
    o.fEccentricity = oValues["e"];
    o.fOmega = oValues["omega"];
    o.fGamma = oValues["gamma"];
    if (!(o.fPeriod > 0) || !(o.fEccentricity >= 0 && o.fEccentricity < 1)) {
        return quandrel::Failure(Message{"Invalid data", "The elements need a period above 0 and an eccentricity from 0 to below 1."});
    }
    if (oValues.count("a1Sini") != 0) {
        o.fA1SinI = oValues["a1Sini"];
    } else if (oValues.count("K1") != 0) {
        o.fA1SinI = OrbitGridSearch::A1SinIFromK1(oValues["K1"], o.fPeriod, o.fEccentricity);
    } else {
        return quandrel::Failure(Message{"Invalid data", "The elements give neither a1Sini nor K1."});
    }
    OrbitGridSearch::CalculateAmplitudes(o);
    return o;
}

Outcome OrbitSession::AdoptElements(const OrbitElements& oElements)
{
    // A search of one point: the elements, every one held.
    OrbitSearch oSearch = OrbitSearchProposal();
    oSearch.oLower = oElements;
    oSearch.oUpper = oElements;
    oSearch.alSteps.fill(1);
    oSearch.abUse.fill(false);
    oSearch.bLeastSquares = false;
    return FitOrbit(oSearch);
}

std::string OrbitSession::ElementsText() const
{
    std::string sText;
    const auto Line = [&](const char* pcName, double fValue) {
        sText += std::string(pcName) + "=" + quandrel::FormatFixed(fValue, 6) + "\r\n";
    };
    Line("P", m_oElements.fPeriod);
    Line("T0", m_oElements.fT0);
    Line("e", m_oElements.fEccentricity);
    Line("omega", m_oElements.fOmega);
    Line("a1Sini", m_oElements.fA1SinI);
    Line("gamma", m_oElements.fGamma);
    Line("K1", m_oElements.fK1);
    if (m_oElements.bTwoComponents) {
        Line("a2Sini", m_oElements.fA2SinI);
        Line("K2", m_oElements.fK2);
    }
    if (m_oLeastSquares) {
        sText += LeastSquaresText(*m_oLeastSquares, "\r\n");
    }
    // The time scale of T0 and of the times the orbit was fitted to, as a comment that readers of
    // name=value lines pass over.
    return sText + "# times: " + TimeScaleName(m_eSeriesScale) + "\r\n";
}

std::string LeastSquaresText(const LeastSquaresElements& o, const std::string& sEnd)
{
    std::string sText;
    // An error the fit cannot give (T0 and omega of a circular orbit, anything on the eccentricity's
    // limit) is said to be undefined.
    const auto Line = [&](const std::string& sName, double fValue) {
        sText += "lsq." + sName + "=" + (std::isfinite(fValue) ? quandrel::FormatGeneral(fValue, 15) : "undefined") + sEnd;
    };
    const char* const apcNames[6] = {"P", "T0", "e", "omega", "K1", "gamma"};
    for (std::size_t i = 0; i < 6; ++i) {
        Line(apcNames[i], o.afValue[i]);
        Line(std::string(apcNames[i]) + ".err", o.afError[i]);
    }
    Line("a1sini", o.fA1SinI);
    Line("a1sini.err", o.fA1SinIError);
    Line("a1sini_au", o.fA1SinIAu);
    Line("a1sini_au.err", o.fA1SinIAuError);
    Line("f_M", o.fMassFunction);
    Line("f_M.err", o.fMassFunctionError);
    for (std::size_t k = 0; k < o.vDataSets.size(); ++k) {
        const DataSetTerms& oSet = o.vDataSets[k];
        const std::string sKey = KeyOf(oSet.sName);
        if (k > 0) {
            Line("offset." + sKey, oSet.fOffset);
            Line("offset." + sKey + ".err", oSet.fOffsetError);
        }
        if (o.bJitter) {
            Line("jitter." + sKey, oSet.fJitter);
            Line("jitter." + sKey + ".err", oSet.fJitterError);
        }
    }
    Line("RMS", o.fRms);
    // Without uncertainties the weighted sum is the residual variance, in (km/s)^2.
    Line(o.bWeighted ? "chi2r" : "residual_variance", o.fChi2Reduced);
    sText += "lsq.n=" + std::to_string(o.lPoints) + sEnd;
    return sText;
}

std::string OrbitSession::ResidualsText() const
{
    std::vector<double> vJd;
    std::vector<double> vResidual;
    AlignedResiduals(vJd, vResidual);
    const DataSeries& oData = m_oOrbit.GetData();
    const bool bSets = !m_oDataSets.vName.empty();
    std::string sText = std::string("# ") + TimeScaleName(m_eSeriesScale) + ";velocity;residual of " +
                        (m_oOrbit.HasRefinedElements() ? "the least-squares elements" : "the grid search's elements") +
                        (bSets ? ";data set (residuals less its offset)\r\n" : "\r\n");
    for (std::size_t k = 0; k < vJd.size(); ++k) {
        sText += quandrel::FormatFixed(vJd[k], 3) + ";" +
                 quandrel::FormatFixed(oData.GetY(static_cast<int32_t>(k)), 3) + ";" +
                 quandrel::FormatFixed(vResidual[k], 5) +
                 (bSets && k < m_oDataSets.vIndex.size()
                      ? ";" + m_oDataSets.vName[static_cast<std::size_t>(m_oDataSets.vIndex[k])]
                      : std::string()) +
                 "\r\n";
    }
    return sText;
}

Outcome OrbitSession::ExportElements(const std::string& sPath) const
{
    const bool bWritten = quandrel::WriteFileAtomically(sPath, ElementsText());
    const Outcome oWritten = Written(bWritten, sPath); // before the settings write, which has its own cause
    m_rState.oSettings.Write(Setting::ElementsExportPath, ExtractDirectory(sPath));
    return oWritten;
}

Outcome OrbitSession::ExportResiduals(const std::string& sPath) const
{
    const bool bWritten = quandrel::WriteFileAtomically(sPath, ResidualsText());
    const Outcome oWritten = Written(bWritten, sPath); // before the settings write, which has its own cause
    m_rState.oSettings.Write(Setting::ElementsExportPath, ExtractDirectory(sPath));
    return oWritten;
}

SessionResult<OrbitSearch> OrbitSession::SuggestOrbitSearch(OrbitSearch o)
{
    const SessionResult<PeriodogramResult> oPeriodogram = m_rSession.Periods().ComputePeriodogram(0.0, 0.0, 0);
    if (!oPeriodogram) {
        return quandrel::Failure(oPeriodogram.Error());
    }
    const DataSeries& oSeries = m_oOrbit.GetData();
    const SeriesLevels oLevels = LevelsOf(oSeries);
    // Three widths of the peak on either side: a sine's peak lies near, not on, an eccentric orbit's period.
    RangesAround(BestCandidatePeriod(*oPeriodogram, oSeries, m_vSigma, oLevels), 3.0, oLevels, o.oLower, o.oUpper);
    o.abUse = {true, true, true, true, true, true};
    return o;
}

SessionResult<OrbitPosterior> OrbitSession::SamplePosterior(const PosteriorOptions& oOptions, Progress* pProgress)
{
    if (!m_oLeastSquares || !m_oOrbit.IsOptimized()) {
        return quandrel::Failure(Message{"Error!", "The posterior is sampled around a least-squares orbit: calculate "
                                                   "the elements with least squares first."});
    }
    OrbitDataSets oSets = m_oDataSets;
    oSets.bJitter = m_oLeastSquares->bJitter;
    std::string sError;
    const DataSeries& oSeries = m_oOrbit.GetData();
    auto oPosterior = SampleOrbitPosterior(oSeries.GetXValues(), oSeries.GetYValues(), m_vSigma, &oSets,
                                           *m_oLeastSquares, oOptions, sError, pProgress);
    if (!oPosterior) {
        return quandrel::Failure(Message{"Error!", sError, true});
    }
    return std::move(*oPosterior);
}

SessionResult<SparsePosterior> OrbitSession::SampleSparse(const SparseOptions& oOptions, Progress* pProgress) const
{
    const DataSeries& oSeries = m_oOrbit.GetData();
    if (m_vSigma.empty()) {
        return quandrel::Failure(Message{"Error!", "The sampling of orbits from few epochs weighs the velocities by their "
                                                   "uncertainties: give them (a third column of the measurements)."});
    }
    std::string sError;
    auto oSparse = SampleSparseOrbits(oSeries.GetXValues(), oSeries.GetYValues(), m_vSigma, oOptions, sError, pProgress);
    if (!oSparse) {
        return quandrel::Failure(Message{"Error!", sError, true});
    }
    return std::move(*oSparse);
}

void OrbitSession::KeepPosterior(OrbitPosterior oPosterior)
{
    m_oPosterior = std::move(oPosterior);
    m_rState.Announce(change::kElements);
}

void OrbitSession::Forget()
{
    m_oOrbit.ResetOptimized();
    m_oElements = OrbitElements();
    m_oLeastSquares.reset();
    m_oPosterior.reset();
}
