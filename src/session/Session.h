// The program's state and its operations: the loaded spectra and the current one, the laboratory and
// calibration lines, the table of radial velocities, the orbit, the calibration and the
// cross-correlation. The window and the command line both work through it, so every rule of the
// program is written once. Operations report a refusal as a message for the caller to show, and
// announce what they changed to the listeners. The operations on the orbit and the period are in
// SessionOrbit.cpp, the others in Session.cpp.
#pragma once

#include "SettingsGateway.h"
#include "calibration/WavelengthCalibration.h"
#include "calibration/ContinuumFit.h"
#include "crosscorr/CrossCorrelation.h"
#include "lines/SliderScale.h"
#include "orbit/OrbitLeastSquares.h"
#include "orbit/PhaseDispersion.h"
#include "orbit/Periodogram.h"
#include "orbit/OrbitGridSearch.h"
#include "rvtable/RvTable.h"
#include "spectrum/SpectrumList.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Canvas;

// What an operation changed; listeners get the union of these bits.
namespace change {
inline constexpr uint32_t kSpectra = 1U << 0;         // spectra added or removed
inline constexpr uint32_t kCurrentSpectrum = 1U << 1; // another spectrum (or none) is current
inline constexpr uint32_t kSpectrumKind = 1U << 2;    // reference / emission flags of the current one
inline constexpr uint32_t kLines = 1U << 3;           // lines of the current spectrum, their fits or identification
inline constexpr uint32_t kTable = 1U << 4;           // rows of the table of radial velocities
inline constexpr uint32_t kSeries = 1U << 5;          // the velocity series of the orbit
inline constexpr uint32_t kElements = 1U << 6;        // fitted orbital elements
inline constexpr uint32_t kTime = 1U << 7;            // observation time of the current spectrum
inline constexpr uint32_t kCoordinates = 1U << 8;     // object or observer coordinates
inline constexpr uint32_t kLaboratoryLines = 1U << 9; // the table of laboratory lines
inline constexpr uint32_t kCalibration = 1U << 10;    // calibration lines or points
inline constexpr uint32_t kCorrelation = 1U << 11;    // template, parameters or result of the correlation
inline constexpr uint32_t kSpectrumValues = 1U << 12; // the values of the current spectrum (calibration)
inline constexpr uint32_t kProjectFile = 1U << 13;    // the project's file name or its saved state
} // namespace change

// A change that can be undone: what it replaced.
struct UndoStep {
    // What was done, for the menu: "remove row 3".
    std::string sWhat;
    // The table's rows before, with their saved state.
    std::optional<std::vector<MeasurementRow>> oRows;
    bool bRowsSaved = true;
    // Spectra taken out, with their places in the list (ascending) and names.
    std::vector<std::pair<int32_t, std::unique_ptr<Spectrum>>> vSpectra;
    std::vector<std::string> vNames;
    // The identifications of one spectrum's lines before (centre, laboratory index, wavelength, name).
    const Spectrum* pIdentified = nullptr;
    struct Identification {
        double fCenter = 0.0;
        int32_t lIndex = -1;
        double fWavelength = 0.0;
        std::string sName;
    };
    std::vector<Identification> vIdentifications;
    // The lines of a spectrum before a new search replaced them.
    const Spectrum* pSearched = nullptr;
    std::vector<SpectralLine> vLines;
    // The values of a spectrum before a calibration replaced them.
    const Spectrum* pCalibrated = nullptr;
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
};

class SessionListener {
public:
    virtual ~SessionListener() = default;
    virtual void SessionChanged(uint32_t lChanges) = 0;
};

// A refusal or failure: the title and text of the message the caller shows.
struct Message {
    std::string sTitle;
    std::string sText;
    // True when the parameters given are at fault rather than the data.
    bool bParameters = false;
};
// Empty when the operation went through.
using Outcome = std::optional<Message>;

// The object's coordinates: right ascension in hours and minutes, declination in degrees and minutes.
struct EquatorialPosition {
    double fRightAscensionHours = 0.0;
    double fRightAscensionMinutes = 0.0;
    double fDeclinationDegrees = 0.0;
    double fDeclinationMinutes = 0.0;
};

// A period search by phase dispersion minimisation.
struct PeriodSearch {
    int32_t lNumberDataPoints = 0; // shown only
    int32_t lBins = 0;
    double fFrom = 20.0; // days
    double fTo = 300.0;  // days
};

// The grid of an orbit search: limits of P, T0, e, omega, a1 sin i and gamma, their steps and which
// of them are searched (the others are held at their lower limit).
struct OrbitSearch {
    OrbitElements oLower;
    OrbitElements oUpper;
    std::array<int32_t, 6> alSteps{10, 10, 10, 10, 10, 10};
    std::array<bool, 6> abUse{true, true, true, true, true, true};
    // After the search, a least-squares fit of all six elements from its best point.
    bool bLeastSquares = true;
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
    bool bLeastSquares = true;
    OrbitElements oBest;
    std::optional<LeastSquaresElements> oLeastSquares;
    std::string sLeastSquaresError;
    bool bCompleted = false;

    // The grid search, its refinement and the least-squares fit; stops early when cancelled.
    void Run(Progress* pProgress);
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

// What a correlation gave (km/s): the spectrum's velocity against the template (its peak, less the
// template's correction, plus the template's own velocity) and, for the table, corrected for the
// observer's motion.
struct CorrelationResult {
    double fVelocity = 0.0;
    std::optional<double> oCorrected;
};

// A cross-correlation prepared by the session (a copy of its correlation with the current spectrum and
// the template), run anywhere, taken back.
struct CorrelationJob {
    CrossCorrelation oCorrelation;
    double fKey = 0.0;         // the spectrum's key when the job was prepared
    const Spectrum* pTemplate = nullptr;
    bool bForTable = true;
    bool bCalculated = false;
    void Run(Progress* pProgress) { bCalculated = oCorrelation.Calculate(pProgress); }
};

// The "lsq.NAME=value" lines of a least-squares orbit (values with 15 significant digits, each
// element followed by its ".err"), each ended by sEnd.
std::string LeastSquaresText(const LeastSquaresElements& oOrbit, const std::string& sEnd);

// The window, grid and search of the cross-correlation.
struct CorrelationOptions {
    double fFrom = 0.0; // angstrom
    double fTo = 0.0;   // angstrom
    int32_t lSupportingPoints = 0;
    int32_t lSpan = 0;
    double fAccuracy = 0.0; // km/s
};

// The template's correction for the observer's motion: typed in km/s, or computed for the template's
// object and observation time at the observer's site.
struct TemplateCorrection {
    bool bTyped = false;
    double fTyped = 0.0;
    EquatorialPosition oObject;
    double fJulianDate = 0.0;
};

// How the calibration maps positions to wavelengths: sampling points, or a polynomial of order 1 to 4.
struct CalibrationMode {
    bool bPolynomial = true;
    int32_t lOrder = 2;
};

// What one try of the calibration gave: whether the order had to drop for too few points, and the
// residuals of the points (when there are any).
struct CalibrationFit {
    bool bOrderReduced = false;
    bool bHaveResiduals = false;
    double fRms = 0.0;    // root mean square of the residuals, angstrom
    double fMaxAbs = 0.0; // largest residual, angstrom
};

// A laboratory or calibration line: its index in its table, wavelength and name.
struct ReferenceLine {
    int32_t lIndex = -1;
    double fWavelength = 0.0;
    std::string sName;
};

// One found line of the current spectrum as the line table shows it.
struct LineTableRow {
    int32_t lLine = 0;        // index of the line in the spectrum
    std::string sName;        // laboratory name; empty when not identified
    double fLaboratory = 0.0; // angstrom
    double fCenter = 0.0;     // angstrom
    double fSigma = 0.0;      // width of the fit, angstrom
    double fDepth = 0.0;      // amplitude of the fit, in the spectrum's intensity
    double fOffset = 0.0;     // the fit's continuum level, in the spectrum's intensity
    std::optional<double> oDoppler;   // km/s, identified lines only
    std::optional<double> oCorrected; // km/s, with observation time and object coordinates
};

// The canvases the spectra are drawn on (none owned; null where nothing is drawn).
struct Canvases {
    Canvas* pSpectrum = nullptr;
    Canvas* pTemplate = nullptr;
    Canvas* pCorrelationDetail = nullptr;
    Canvas* pCorrelationFunction = nullptr;
};

// Which commands on the current spectrum and its active line apply (the spectrum's context menu).
struct LineCommands {
    bool bHaveSpectrum = false;
    bool bIdentify = false;           // identify the active line of a star's spectrum with a laboratory line
    bool bUnidentify = false;         // the active line carries a laboratory line
    bool bIdentifyAll = false;        // a star's spectrum (enabled when it has lines)
    bool bIdentifyAllEnabled = false;
    bool bCalibrate = false;          // a star's spectrum and calibration points to map it through
    bool bIdentifyCalibrationLine = false; // the active line of a reference spectrum
    bool bIdentifyLampLines = false;  // a reference spectrum and two calibration points or more
    bool bRemoveFromTable = false;    // the spectrum has a row in the table
    bool bShowHeader = false;         // the spectrum's file had header cards
};

class Session {
public:
    explicit Session(std::string sSettingsFile, Canvases oCanvases = {});

    void AddListener(SessionListener* pListener);
    void RemoveListener(SessionListener* pListener);

    const SettingsGateway& Settings() const { return m_oSettings; }

    // --- Spectra ---
    int32_t SpectrumCount() const { return m_oSpectra.GetSpectrumCount(); }
    Spectrum* SpectrumAt(int32_t lIndex) const;
    const std::string& SpectrumName(int32_t lIndex) const { return m_vNames.at(static_cast<std::size_t>(lIndex)); }
    Spectrum* CurrentSpectrum() const { return m_pCurrentSpectrum; }
    // The index of the current spectrum, -1 without one.
    int32_t CurrentIndex() const;
    // Adds a spectrum read from a file (its name is shown in the list) and makes it current.
    void AddSpectrum(std::unique_ptr<Spectrum> pSpectrum, const std::string& sName);
    void SetCurrentSpectrum(int32_t lIndex);
    // Removes the spectra at these indices; the first remaining one becomes current.
    void RemoveSpectra(std::vector<int32_t> vIndices);
    void ClearSpectra();
    void SetSpectrumKind(bool bReference, bool bEmission);
    // The observation time (Julian date, UT) of the current spectrum.
    void SetObservationTime(double fJulianDate);
    // Why a Julian date is doubtful as the time of an observation (below 2,400,000, where reduced and
    // modified dates lie and every date before 1858, or after the year 2999); empty when it is not.
    static std::string DoubtfulJulianDate(double fJulianDate);
    bool CurrentObservationTime(double& fJulianDate) const;

    // --- Lines of the current spectrum ---
    // Finds and fits the lines of the current spectrum (its earlier lines go, one undo step when some were
    // identified); only lines of oMinSigma times the noise or more are kept (the settings' threshold
    // when not given; 0 keeps all).
    Outcome FindSpectralLines(const LineSearch& oSearch, std::optional<double> oMinSigma = std::nullopt);
    // Refits the active line on the samples around its centre below the intensity fLevel.
    void OptimizeFit(double fLevel);
    // A line of the current spectrum chosen by the user: bToggle switches it between active and not
    // (a left click), otherwise it becomes active (a right click, for the context menu). False when the
    // spectrum has no such line.
    bool ChooseLine(int32_t lLine, bool bToggle);
    int32_t ActiveLineIndex() const;
    // Makes line lLine of the current spectrum the active one.
    void ActivateLine(int32_t lLine);
    // The laboratory line nearest to the active line's centre.
    std::optional<ReferenceLine> NearestLaboratoryLine() const;
    void IdentifyActiveLineWithNearest();
    // With line lIndex of the laboratory table; false when there is no such line.
    bool IdentifyActiveLine(int32_t lIndex);
    // The active line loses its laboratory line (one undo step); false when it has none.
    bool UnidentifyActiveLine();
    // Identifies every unidentified line whose centre lies within fVelocityWindow km/s of a laboratory
    // line with the nearest one. A laboratory line goes to one line only, the nearest, and not to a
    // line when another one carries it already. Returns how many lines were identified (one undo step).
    int32_t IdentifyAllLines(double fVelocityWindow);
    // On a reference spectrum with two or more calibration points: a provisional dispersion through
    // the points (linear from two, quadratic from three, cubic from six) predicts each other line's
    // wavelength; the line nearest to a calibration line (within fTolerance samples) becomes a point,
    // and the dispersion is fitted again, until no line is left within the tolerance. lAdded says how
    // many points were added.
    Outcome IdentifyRemainingLampLines(double fTolerance, int32_t& lAdded);
    // Which commands on the current spectrum apply.
    LineCommands CurrentLineCommands() const;
    // The found lines of the current spectrum with their fits and velocities.
    std::vector<LineTableRow> LineTable() const;
    // The hidden line commands: combine the active line with a neighbour, undo that, its profile type.
    void CombineActiveLine(bool bWithRight);
    void UncombineActiveLine();
    void SetActiveGaussianType(bool bDouble);

    // --- Laboratory lines ---
    const LaboratoryLines& LaboratoryLineTable() const { return m_oTable.LaboratoryLineTable(); }
    // The table of the settings file; false (nothing changed) when it cannot be read.
    bool LoadLaboratoryLinesAtStartUp();
    // Another laboratory table: the rows of the project go (the caller asks first). The file's name is
    // kept whatever happens, as is its path in the settings.
    Outcome LoadLaboratoryLines(const std::string& sPath);

    // --- Spectrum files ---
    // A spectrum read from a text file with the import settings last confirmed (header lines at its
    // head skipped), not yet added; nothing with the reason in oMessage.
    std::unique_ptr<Spectrum> ReadTextSpectrum(const std::string& sPath, Canvas* pCanvas, Outcome& oMessage) const;
    // A spectrum read from a FITS file, with the observation time and header of the file, not yet
    // added. Nothing when it cannot be read, with oMessage saying why; with header keywords that could
    // not be read, the spectrum and a warning in oMessage.
    std::unique_ptr<Spectrum> ReadFitsSpectrum(const std::string& sPath, Canvas* pCanvas, Outcome& oMessage) const;
    // The object coordinates the current spectrum's header gives.
    std::optional<EquatorialPosition> HeaderCoordinates() const;
    // When the current spectrum's header places its object more than 1' from the table's object: a
    // sentence saying so; empty otherwise.
    std::string HeaderCoordinatesMismatch() const;
    // The current spectrum as a FITS file, with its time, the object, the site and the correction.
    Outcome SaveSpectrumAsFits(const std::string& sPath) const;

    // --- Continuum ---
    // The continuum of the current spectrum with these options; nothing with the reason in oMessage.
    std::optional<ContinuumFit> FitCurrentContinuum(const ContinuumOptions& oOptions, Outcome& oMessage) const;
    // Divides the current spectrum by its continuum (its lines go; the original intensities are kept). A
    // spectrum in the table keeps its row, whose measurements stay those of the intensities before.
    Outcome NormalizeCurrentSpectrum(const ContinuumOptions& oOptions);
    bool CanRestoreCurrentSpectrum() const;
    // The current spectrum's intensities as they were before it was normalised.
    Outcome RestoreCurrentSpectrum();

    // --- Coordinates and correction ---
    bool AreObjectCoordinatesSet() const { return m_oTable.Coordinates().AreObjectCoordinatesSet(); }
    std::optional<EquatorialPosition> ObjectPosition() const;
    void SetObjectCoordinates(const EquatorialPosition& oCoordinates);
    // The observer's site as the settings hold it, and taken into the table.
    GeographicSite Site() const { return m_oSettings.ReadObserverSite(); }
    void SetObserverSite(const GeographicSite& oSite);
    // The correction for the observer's motion (km/s) at the current spectrum's time, when it has one
    // and the object's coordinates are known.
    std::optional<double> CurrentCorrection() const;
    // The correction at a Julian date with the table's object and site (km/s).
    double CorrectionAt(double fJulianDate) const { return m_oTable.Coordinates().CorrectVelocity(0.0, fJulianDate); }

    // --- Undo ---
    // The last changes of the table, the spectra list and the identifications can be undone, the
    // newest first (up to 50); opening or closing a project forgets them.
    bool CanUndo() const { return !m_vUndo.empty(); }
    std::string UndoCaption() const { return m_vUndo.empty() ? std::string() : m_vUndo.back().sWhat; }
    // Undoes the newest change; false when there is none (or what it changed is gone).
    bool Undo();

    // --- Table of radial velocities ---
    const RvTable& Table() const { return m_oTable; }
    // The current spectrum's identified lines as a row; it needs an observation time and at least one
    // identified line, and takes the observer's site from the settings when the table has none.
    Outcome AddMeasurement();
    // The current spectrum's row, if it has one.
    std::optional<int32_t> CurrentRow() const { return m_oTable.RowOf(m_pCurrentSpectrum); }
    // The row of another spectrum with the current spectrum's observation time, if there is one.
    std::optional<int32_t> OtherRowAtCurrentTime() const;
    void ClearCell(int32_t lRow, int32_t lColumn);
    void RemoveRow(int32_t lRow);
    void ClearColumn(int32_t lColumn);
    // The current spectrum's row and the spectrum itself go.
    void RemoveCurrentFromTable();
    // Rows, elements and spectra go.
    void CloseProject();
    Outcome OpenProject(const std::string& sPath);
    Outcome SaveProject(const std::string& sPath);
    // The file the project was last opened from or saved to; empty for a new project.
    const std::string& ProjectPath() const { return m_sProjectPath; }
    Outcome DumpMeasurements(const std::string& sPath) const;
    // The results averaged over the time threshold (days; the settings' without one).
    Outcome ExportResults(const std::string& sPath, std::optional<double> fThreshold = std::nullopt);

    // --- Orbit and period ---
    const OrbitGridSearch& Orbit() const { return m_oOrbit; }
    const OrbitElements& Elements() const { return m_oElements; }
    // Ranges from the data: P around the period that fits best of the periodogram's three highest peaks,
    // their yearly and daily aliases and twice the best period (each tried with a coarse grid and least
    // squares), T0 over one period from the
    // first point, e 0 .. 0.9, omega over the whole turn, a1 sin i from the velocities' half-range and
    // gamma around their mean; the steps of oSearch are kept.
    Outcome SuggestOrbitSearch(OrbitSearch& oSearch);
    // Elements found before (the name=value lines of an elements export or of the command line's
    // orbit: P, T0, e, omega, gamma and a1Sini or K1) taken as the fit of the present series, for its
    // curve and residuals.
    Outcome AdoptElements(const OrbitElements& oElements);
    // The elements of such a text; a message when one is missing or out of range.
    static Outcome ParseElementsText(const std::string& sText, OrbitElements& oElements);
    // The Lomb-Scargle periodogram of the series between the periods fShortest and fLongest (days;
    // 0 and 0: 0.5 days to the time span) on lSamples frequencies (0: enough to resolve every peak).
    Outcome ComputePeriodogram(double fShortest, double fLongest, std::int64_t lSamples, PeriodogramResult& oResult);
    // ComputePeriodogram in three steps (see PrepareOrbitSearch).
    Outcome PreparePeriodogram(double fShortest, double fLongest, std::int64_t lSamples, PeriodogramJob& oJob) const;
    Outcome FinishPeriodogram(PeriodogramJob&& oJob, PeriodogramResult& oResult);
    const std::optional<PeriodogramResult>& LastPeriodogram() const { return m_oPeriodogram; }
    // The dispersions of the last PDM search (period, dispersion).
    const std::vector<std::pair<double, double>>& PdmScan() const { return m_vPdmScan; }
    // The least-squares elements with their errors, after a search that asked for them.
    const std::optional<LeastSquaresElements>& LeastSquaresFit() const { return m_oLeastSquares; }
    bool IsOrbitFitted() const { return m_oOrbit.IsOptimized(); }
    bool CanFitOrbit() const;
    bool CanEstimatePeriod() const { return m_oOrbit.GetData().GetArraySize() > 10; }
    bool CanComputePeriodogram() const { return m_oOrbit.GetData().GetArraySize() >= 4; }
    // Julian date / velocity pairs of a file replace the series (the table's rows stay).
    Outcome ImportMeasurements(const std::string& sPath);
    // What the ranges dialog shows: the kept limits, steps and uses, the time span and velocities
    // of the series, P from 0.5 days to the span until a P range was given to a search.
    OrbitSearch OrbitSearchProposal();
    // The default ranges of the series ("&Defaults", P from 0.5 days to the span too); a message with
    // fewer than 2 points.
    Outcome DefaultOrbitSearch(OrbitSearch& oSearch) const;
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
    // "name=value" lines of the fitted elements, and date;velocity;residual lines.
    std::string ElementsText() const;
    std::string ResidualsText() const;
    Outcome ExportElements(const std::string& sPath) const;
    Outcome ExportResiduals(const std::string& sPath) const;
    // What the PDM dialog shows: 0.5 days to the time span until a range was given (then that range),
    // a third of the points as bins.
    PeriodSearch PeriodSearchProposal() const;
    // Why the last period found is doubtful (at an end of the range, beyond half the time span); empty
    // when it is not.
    const std::string& PeriodWarning() const { return m_sPeriodWarning; }
    // The best period of the search; the range is kept in the settings.
    Outcome EstimatePeriod(const PeriodSearch& oSearch, double& fPeriod);
    // EstimatePeriod in three steps (see PrepareOrbitSearch).
    Outcome PrepareEstimatePeriod(const PeriodSearch& oSearch, PdmJob& oJob) const;
    Outcome FinishEstimatePeriod(PdmJob&& oJob, double& fPeriod);

    // --- Calibration ---
    const WavelengthCalibration& Calibration() const { return m_oCalibration; }
    bool LoadCalibrationLinesAtStartUp();
    Outcome LoadCalibrationLines(const std::string& sPath);
    void ClearCalibrationPoints();
    // The active line's centre paired with line lIndex of the calibration table.
    bool AddCalibrationPoint(int32_t lIndex);
    // A point given by its position on the spectrum's axis and its wavelength (angstrom).
    void AddCalibrationPoint(double fPosition, double fWavelength);
    Outcome SaveCalibratedSpectrum(const std::string& sPath) const;
    // The current spectrum's values changed.
    void SpectrumValuesChanged();
    // The calibration of the current spectrum in steps: begun (its values are kept), tried with a mode
    // as often as wanted (each try starts from the kept values), ended by keeping the last try (its mode
    // goes into the settings) or by restoring the values exactly.
    void BeginCalibration();
    // The wavelength range of the current spectrum when its axis is already in wavelengths (not the pixel
    // numbers 0, 1, 2 ... of a detector's spectrum): calibrating it again replaces them.
    std::optional<std::pair<double, double>> CurrentWavelengthAxis() const;
    Outcome TryCalibration(const CalibrationMode& oMode, CalibrationFit& oFit);
    void DeleteCalibrationPoint(int32_t lIndex);
    void EndCalibration(const std::optional<CalibrationMode>& oKept);
    CalibrationMode ReadCalibrationMode() const;

    // --- Cross-correlation ---
    const CrossCorrelation& Correlation() const { return m_oCrossCorrelation; }
    const Spectrum* Template() const { return m_pTemplate.get(); }
    const Spectrum* CorrelationDetail() const { return m_pCorrelationDetail.get(); }
    const Spectrum* CorrelationFunction() const { return m_pCorrelationFunction.get(); }
    Spectrum* Template() { return m_pTemplate.get(); }
    Spectrum* CorrelationDetail() { return m_pCorrelationDetail.get(); }
    Spectrum* CorrelationFunction() { return m_pCorrelationFunction.get(); }
    void SetTemplate(std::unique_ptr<Spectrum> pTemplate);
    std::optional<CorrelationOptions> CorrelationSettings() const;
    // New parameters and the template's correction (the parameters dialog).
    void SetCorrelationParameters(const CorrelationOptions& oParameters, const TemplateCorrection& oCorrection);
    // The template's radial velocity (km/s, kept in the settings file): added to the correlation's
    // shift, so the table holds absolute velocities.
    double TemplateVelocity() const;
    void SetTemplateVelocity(double fVelocity);
    Outcome LoadCorrelationParameters(const std::string& sPath);
    Outcome SaveCorrelationParameters(const std::string& sPath) const;
    bool CanRunCorrelation() const;
    bool CanSaveCorrelationParameters() const { return m_oCrossCorrelation.AreParametersSet(); }
    bool CanLoadCorrelationParameters() const { return m_pTemplate != nullptr; }
    // The velocity the parameters search on either side of 0 km/s with the current spectrum; 0
    // without one or when its window holds fewer than 2 samples.
    double CorrelationReach(const CorrelationOptions& oParameters) const;
    // The current spectrum against the template; its corrected velocity goes into the table. The
    // spectrum needs an observation time.
    Outcome RunCrossCorrelation();
    // RunCrossCorrelation in three steps, as the orbit search: the checks and the job (on the session's
    // thread), CorrelationJob::Run (anywhere), and taking its result (on the session's thread; a job whose
    // spectrum or template changed meanwhile leaves everything as it was).
    // Without bForTable the correlation needs no observation time and enters nothing in the table.
    Outcome PrepareCrossCorrelation(CorrelationJob& oJob, bool bForTable = true) const;
    Outcome FinishCrossCorrelation(CorrelationJob&& oJob);
    // The velocities of the last correlation that went through.
    const std::optional<CorrelationResult>& LastCorrelation() const { return m_oLastCorrelation; }

private:
    void Announce(uint32_t lChanges);
    // The table's velocity curve becomes the orbit's series.
    void TakeSeriesFromTable();
    void EnsureObserverSite();

    SettingsGateway m_oSettings;
    Canvases m_oCanvases;
    std::vector<SessionListener*> m_vListeners;

    SpectrumList m_oSpectra;
    // One active line for all spectra.
    ActiveLine m_oActiveLine;
    std::vector<std::string> m_vNames;
    Spectrum* m_pCurrentSpectrum = nullptr;

    RvTable m_oTable;
    std::vector<UndoStep> m_vUndo;
    void PushUndo(UndoStep oStep);
    UndoStep TableStep(std::string sWhat) const;
    // Keeps a table step when the table's measurements changed since it was taken.
    void PushTableUndo(UndoStep oStep);
    UndoStep IdentificationStep(std::string sWhat) const;
    // Takes the spectra at the indices out of the list into the step.
    void TakeSpectraInto(std::vector<int32_t> vIndices, UndoStep& oStep);
    std::string m_sProjectPath;
    OrbitGridSearch m_oOrbit;
    std::optional<LeastSquaresElements> m_oLeastSquares;
    bool m_bLeastSquares = true;
    std::optional<PeriodogramResult> m_oPeriodogram;
    std::vector<std::pair<double, double>> m_vPdmScan;
    // The uncertainties of the imported measurements (empty: none, or the series is the table's).
    std::vector<double> m_vSigma;
    OrbitElements m_oElements;
    // What the ranges dialog keeps between showings: the P range once given, and the uses.
    std::optional<std::pair<double, double>> m_oPeriodRange;
    std::optional<std::pair<double, double>> m_oPdmRange; // the PDM range given in this session
    std::string m_sPeriodWarning;
    std::array<bool, 6> m_abUse{true, true, true, true, true, true};

    WavelengthCalibration m_oCalibration;
    CrossCorrelation m_oCrossCorrelation;
    std::unique_ptr<Spectrum> m_pTemplate;
    std::unique_ptr<Spectrum> m_pCorrelationDetail;
    std::unique_ptr<Spectrum> m_pCorrelationFunction;
    std::optional<CorrelationResult> m_oLastCorrelation;
    // The template's velocity once set in this session (the settings' until then).
    std::optional<double> m_oTemplateVelocity;
    // The values of the spectrum under calibration, as they were when it began.
    Spectrum* m_pCalibrated = nullptr;
    std::vector<double> m_vSavedWavelength;
    std::vector<double> m_vSavedIntensity;
};
