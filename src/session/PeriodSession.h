// The session's period searches over the orbit's series: the Lomb-Scargle periodogram and the search
// by phase dispersion minimisation (PDM), each run as a job.
#pragma once

#include "SessionTypes.h"
#include "core/Progress.h"
#include "orbit/Periodogram.h"
#include "orbit/PhaseDispersion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Session;
class SessionState;

// A period search by phase dispersion minimisation.
struct PeriodSearch {
    int32_t lNumberDataPoints = 0; // shown only
    int32_t lBins = 0;
    double fFrom = 20.0; // days
    double fTo = 300.0;  // days
};

// A PDM period search and a periodogram, prepared by the session, run anywhere, taken back.
struct PdmJob {
    PhaseDispersion oPdm;
    PeriodSearch oSearch;
    double fPeriod = 0.0;
    bool bCompleted = false;
    void Run(Progress* pProgress);
};
struct PeriodogramJob {
    DataSeries oSeries;
    std::vector<double> vSigma;
    double fShortest = 0.0;
    double fLongest = 0.0;
    std::int64_t lSamples = 0;
    std::optional<PeriodogramResult> oResult;
    std::string sError;
    void Run(Progress* pProgress);
};

class PeriodSession {
public:
    PeriodSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    PeriodSession(const PeriodSession&) = delete;

    // The Lomb-Scargle periodogram of the series between the periods fShortest and fLongest (days;
    // 0 and 0: 0.5 days to the time span) on lSamples frequencies (0: enough to resolve every peak).
    SessionResult<PeriodogramResult> ComputePeriodogram(double fShortest, double fLongest, std::int64_t lSamples);
    // ComputePeriodogram in three steps (see OrbitSession::PrepareOrbitSearch).
    Outcome PreparePeriodogram(double fShortest, double fLongest, std::int64_t lSamples, PeriodogramJob& oJob) const;
    SessionResult<PeriodogramResult> FinishPeriodogram(PeriodogramJob&& oJob);
    const std::optional<PeriodogramResult>& LastPeriodogram() const { return m_oPeriodogram; }
    // The dispersions of the last PDM search (period, dispersion).
    const std::vector<std::pair<double, double>>& PdmScan() const { return m_vPdmScan; }
    // What the PDM dialog shows: 0.5 days to the time span until a range was given (then that range),
    // a third of the points as bins.
    PeriodSearch PeriodSearchProposal() const;
    // Why the last period found is doubtful (at an end of the range, beyond half the time span); empty
    // when it is not.
    const std::string& PeriodWarning() const { return m_sPeriodWarning; }
    // The best period of the search; the range is kept in the settings.
    SessionResult<double> EstimatePeriod(const PeriodSearch& oSearch);
    // EstimatePeriod in three steps (see OrbitSession::PrepareOrbitSearch).
    Outcome PrepareEstimatePeriod(const PeriodSearch& oSearch, PdmJob& oJob) const;
    SessionResult<double> FinishEstimatePeriod(PdmJob&& oJob);
    bool CanEstimatePeriod() const { return SeriesSize() > 10; }
    bool CanComputePeriodogram() const { return SeriesSize() >= 4; }

private:
    friend class OrbitSession;
    // The orbit's series.
    DataSeries Series() const;
    int32_t SeriesSize() const;
    // Another series leaves no period and periodogram behind.
    void Forget();

    SessionState& m_rState;
    Session& m_rSession;
    std::optional<PeriodogramResult> m_oPeriodogram;
    std::vector<std::pair<double, double>> m_vPdmScan;
    std::optional<std::pair<double, double>> m_oPdmRange; // the PDM range given in this session
    std::string m_sPeriodWarning;
};
