// The session's lines: the search and fit of the current spectrum's lines, the active line, its
// identification with laboratory lines, the line table and the table of laboratory lines.
#pragma once

#include "SessionTypes.h"
#include "lines/LaboratoryLines.h"
#include "lines/SliderScale.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Session;
class SessionState;

namespace change {
inline constexpr uint32_t kLines = 1U << 3;           // lines of the current spectrum, their fits or identification
inline constexpr uint32_t kLaboratoryLines = 1U << 9; // the table of laboratory lines
} // namespace change

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
    double fCenterError = 0.0; // its standard error from the fit, angstrom; 0 when the fit could not tell it
    double fSigma = 0.0;      // width of the fit, angstrom
    double fDepth = 0.0;      // amplitude of the fit, in the spectrum's intensity
    double fOffset = 0.0;     // the fit's continuum level, in the spectrum's intensity
    std::optional<double> oDoppler;   // km/s, identified lines only
    std::optional<double> oCorrected; // km/s, with observation time and object coordinates
    std::optional<double> oVelocityError; // km/s, the standard error of both velocities (identified lines)
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

class LinesSession {
public:
    LinesSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    LinesSession(const LinesSession&) = delete;

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
    // Which commands on the current spectrum apply.
    LineCommands CurrentLineCommands() const;
    // The found lines of the current spectrum with their fits and velocities.
    std::vector<LineTableRow> LineTable() const;
    // The hidden line commands: combine the active line with a neighbour, undo that, its profile type.
    void CombineActiveLine(bool bWithRight);
    void UncombineActiveLine();
    void SetActiveGaussianType(bool bDouble);

    // --- Laboratory lines ---
    const LaboratoryLines& LaboratoryLineTable() const;
    // The table of the settings file; false (nothing changed) when it cannot be read.
    bool LoadLaboratoryLinesAtStartUp();
    // Another laboratory table: the rows of the project go (the caller asks first). The file's name is
    // kept whatever happens, as is its path in the settings.
    Outcome LoadLaboratoryLines(const std::string& sPath);

private:
    SessionState& m_rState;
    Session& m_rSession;
};
