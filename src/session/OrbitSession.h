// The session's orbit and period: the velocity series (the table's, or measurements imported), the
// orbit search over a grid of ranges with its least-squares fit, elements adopted from a file, the
// exports of elements and residuals. The search runs as a job.
#pragma once

#include "SessionTypes.h"
#include "SettingsGateway.h"
#include "astro/BarycentricCorrection.h"
#include "core/Progress.h"
#include "orbit/OrbitGridSearch.h"
#include "orbit/OrbitLeastSquares.h"
#include "orbit/OrbitPosterior.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Session;
class SessionState;

namespace change {
inline constexpr uint32_t kSeries = 1U << 5;          // the velocity series of the orbit
inline constexpr uint32_t kElements = 1U << 6;        // fitted orbital elements, a period or a periodogram
} // namespace change

// The grid of an orbit search: limits of P, T0, e, omega, a1 sin i and gamma, their steps and which
// of them are searched (the others are held at their lower limit).
struct OrbitSearch {
    OrbitElements oLower;
    OrbitElements oUpper;
    std::array<int32_t, 6> alSteps{10, 10, 10, 10, 10, 10};
    std::array<bool, 6> abUse{true, true, true, true, true, true};
    // After the search, a least-squares fit of all six elements from its best point.
    bool bLeastSquares = true;
    // In that fit, a jitter per data set added in quadrature to the uncertainties (maximum likelihood).
    bool bJitter = false;
};

// Bounds of an orbit search: model velocities (grid points times measurements) and steps of one element.
inline constexpr double kMaxOrbitEvaluations = 1e11;
inline constexpr int32_t kMaxOrbitSteps = 1000000;

// An orbit search prepared by the session, run anywhere (a worker thread) without touching the
// session, and taken back into it: the search's copy of the orbit and what the run found.
struct OrbitJob {
    OrbitGridSearch oOrbit;
    DataSeries oSeries; // the series the search was prepared for
    std::vector<double> vSigma;
    OrbitDataSets oDataSets; // no names: one data set
    bool bLeastSquares = true;
    OrbitElements oBest;
    std::optional<LeastSquaresElements> oLeastSquares;
    std::string sLeastSquaresError;
    bool bCompleted = false;

    // The grid search, its refinement and the least-squares fit; stops early when cancelled.
    void Run(Progress* pProgress);
};

// The "lsq.NAME=value" lines of a least-squares orbit (values with 15 significant digits, each
// element followed by its ".err"), each ended by sEnd.
std::string LeastSquaresText(const LeastSquaresElements& oOrbit, const std::string& sEnd);

class OrbitSession {
public:
    OrbitSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    OrbitSession(const OrbitSession&) = delete;

    // The series, its fit and residuals.
    const OrbitGridSearch& GridSearch() const { return m_oOrbit; }
    const OrbitElements& Elements() const { return m_oElements; }
    // The uncertainties of imported measurements (empty: none, or the series is the table's).
    const std::vector<double>& Uncertainties() const;
    // Ranges from the data: P around the period that fits best of the periodogram's three highest peaks,
    // their yearly and daily aliases and twice the best period (each tried with a coarse grid and least
    // squares), T0 over one period from the
    // first point, e 0 .. 0.9, omega over the whole turn, a1 sin i from the velocities' half-range and
    // gamma around their mean; the steps of oSearch are kept.
    SessionResult<OrbitSearch> SuggestOrbitSearch(OrbitSearch oSearch);
    // Elements found before (the name=value lines of an elements export or of the command line's
    // orbit: P, T0, e, omega, gamma and a1Sini or K1) taken as the fit of the present series, for its
    // curve and residuals.
    Outcome AdoptElements(const OrbitElements& oElements);
    // The elements of such a text; a message when one is missing or out of range.
    static SessionResult<OrbitElements> ParseElementsText(const std::string& sText);
    // The least-squares elements with their errors, after a search that asked for them.
    const std::optional<LeastSquaresElements>& LeastSquaresFit() const { return m_oLeastSquares; }
    bool IsOrbitFitted() const { return m_oOrbit.IsOptimized(); }
    bool CanFitOrbit() const;
    // Julian date / velocity pairs of a file replace the series (the table's rows stay).
    Outcome ImportMeasurements(const std::string& sPath);
    // The same for several files pooled, each a data set named by its file (unless its lines name
    // their own); uncertainties in every file or in none.
    Outcome ImportMeasurementFiles(const std::vector<std::string>& vPaths);
    // The data set of each point of the series (no names: one data set).
    const OrbitDataSets& DataSets() const { return m_oDataSets; }
    // The series and the residuals of the fit with each data set's fitted offset taken off, on the
    // first data set's scale (the series itself without offsets).
    DataSeries AlignedSeries() const;
    void AlignedResiduals(std::vector<double>& vJd, std::vector<double>& vResidual) const;
    // The time scale the orbit and the period searches take the table's times in (the settings';
    // BJD_TDB unless chosen otherwise), and the one the present series is in: JD (UTC) when the
    // table's times cannot be converted (no object coordinates) or the series was imported as it is.
    TimeScale ChosenTimeScale() const;
    void SetTimeScale(TimeScale eScale);
    TimeScale SeriesTimeScale() const { return m_eSeriesScale; }
    // The imported times (JD, UTC) turned into HJD or BJD_TDB for the object and site given; nothing
    // changes when one of them lies outside 1960 to 2100 (the message names it).
    Outcome ConvertTimes(TimeScale eScale, const EquatorialPosition& oObject, const GeographicSite& oSite,
                         double fHeightMetres);
    // What the ranges dialog shows: the kept limits, steps and uses, the time span and velocities
    // of the series, P from 0.5 days to the span until a P range was given to a search.
    OrbitSearch OrbitSearchProposal();
    // The default ranges of the series ("&Defaults", P from 0.5 days to the span too); a message with
    // fewer than 2 points.
    SessionResult<OrbitSearch> DefaultOrbitSearch(OrbitSearch oSearch) const;
    // Whether the search can run: two measurements at least, a step or more for every searched
    // element, limits within the ranges the orbit allows.
    Outcome CheckOrbitSearch(const OrbitSearch& oSearch) const;
    // The grid search and its refinement over the ranges.
    Outcome FitOrbit(const OrbitSearch& oSearch);
    // FitOrbit in three steps, for running the search away from the window's thread: the checks and
    // the job (on the session's thread), OrbitJob::Run (anywhere), and taking the result (on the
    // session's thread; a cancelled job or one whose series changed meanwhile leaves everything as it
    // was).
    Outcome PrepareOrbitSearch(const OrbitSearch& oSearch, OrbitJob& oJob);
    Outcome FinishOrbitSearch(OrbitJob&& oJob);
    // The posterior of the least-squares orbit by the ensemble sampler, with the series' data sets
    // (and their jitters when the search asked for them); a message without a least-squares fit.
    // It reads the series and the fit only, so it may run on a worker while the session waits.
    SessionResult<OrbitPosterior> SamplePosterior(const PosteriorOptions& oOptions, Progress* pProgress = nullptr);
    // Orbits of the series from few epochs by rejection sampling (its uncertainties needed); reads
    // only, like SamplePosterior.
    SessionResult<SparsePosterior> SampleSparse(const SparseOptions& oOptions, Progress* pProgress = nullptr) const;
    // A posterior sampled for the present fit, kept for the elements page until the fit changes.
    void KeepPosterior(OrbitPosterior oPosterior);
    const std::optional<OrbitPosterior>& Posterior() const { return m_oPosterior; }
    // "name=value" lines of the fitted elements, and date;velocity;residual lines.
    std::string ElementsText() const;
    std::string ResidualsText() const;
    Outcome ExportElements(const std::string& sPath) const;
    Outcome ExportResiduals(const std::string& sPath) const;

private:
    friend class Session;
    friend class ProjectSession;
    // The table's velocity curve becomes the orbit's series.
    void TakeSeriesFromTable();
    // A closed project leaves no fit behind.
    void Forget();

    SessionState& m_rState;
    Session& m_rSession;
    OrbitGridSearch m_oOrbit;
    std::optional<LeastSquaresElements> m_oLeastSquares;
    std::optional<OrbitPosterior> m_oPosterior;
    bool m_bLeastSquares = true;
    // The uncertainties of the imported measurements (empty: none, or the series is the table's).
    std::vector<double> m_vSigma;
    OrbitDataSets m_oDataSets;
    // The offset to take off each point of the series (from the least squares' data set offsets).
    std::vector<double> PointOffsets() const;
    TimeScale m_eSeriesScale = TimeScale::kJulianDateUtc;
    bool m_bSeriesFromTable = true; // false after a measurement file was imported
    OrbitElements m_oElements;
    // What the ranges dialog keeps between showings: the P range once given, and the uses.
    std::optional<std::pair<double, double>> m_oPeriodRange;
    std::array<bool, 6> m_abUse{true, true, true, true, true, true};
};
