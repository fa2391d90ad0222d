// The session's project: the table of radial velocities and its rows, the object's and the observer's
// coordinates with the correction for the observer's motion, and the project's files and exports.
#pragma once

#include "SessionTypes.h"
#include "astro/BarycentricCorrection.h"
#include "astro/ObservationCoordinates.h"
#include "rvtable/RvTable.h"
#include "SettingsGateway.h"

#include <cstdint>
#include <optional>
#include <string>

class Session;
class SessionState;

namespace change {
inline constexpr uint32_t kTable = 1U << 4;           // rows of the table of radial velocities
inline constexpr uint32_t kCoordinates = 1U << 8;     // object or observer coordinates
inline constexpr uint32_t kProjectFile = 1U << 13;    // the project's file name or its saved state
} // namespace change

// The correction for the observer's motion of one spectrum, as the program and its header see it (km/s).
struct SpectrumCorrection {
    WavelengthFrame eFrame = WavelengthFrame::kTopocentric;
    std::optional<double> oApplied;   // already in the wavelengths, as the header states it (BSS_VHEL)
    std::optional<double> oComputed;  // the program's own at the spectrum's time, when it can be computed
    std::optional<double> oRequested; // the header's BSS_RQVH, as written
    std::string sWarning;             // the header's and the program's disagree by more than 1 km/s

    // What the spectrum's velocities get added: nothing when its wavelengths carry a correction.
    std::optional<double> ToAdd() const
    {
        return eFrame != WavelengthFrame::kTopocentric ? std::optional<double>(0.0) : oComputed;
    }
};

// "topocentric", "heliocentric" or "barycentric".
const char* FrameName(WavelengthFrame eFrame);
// A phrase saying in which frame a spectrum's wavelengths are, and whether its lines are corrected.
std::string DescribeFrame(const SpectrumCorrection& oCorrection);

class ProjectSession {
public:
    ProjectSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    ProjectSession(const ProjectSession&) = delete;

    const RvTable& Table() const;
    // The current spectrum's identified lines as a row; it needs an observation time and at least one
    // identified line, and takes the observer's site from the settings when the table has none.
    Outcome AddMeasurement();
    // The current spectrum's row, if it has one.
    std::optional<int32_t> CurrentRow() const;
    // The row of another spectrum with the current spectrum's observation time, if there is one.
    std::optional<int32_t> OtherRowAtCurrentTime() const;
    void ClearCell(int32_t lRow, int32_t lColumn);
    // The data set (observer, instrument) of row lRow, as one step of undo; the orbit pools the data
    // sets with an offset each.
    void SetRowDataSet(int32_t lRow, const std::string& sDataSet);
    void RemoveRow(int32_t lRow);
    void ClearColumn(int32_t lColumn);
    // The current spectrum's row and the spectrum itself go.
    void RemoveCurrentFromTable();
    // Rows, elements and spectra go.
    void CloseProject();
    Outcome OpenProject(const std::string& sPath);
    Outcome SaveProject(const std::string& sPath);
    // The file the project was last opened from or saved to; empty for a new project.
    const std::string& ProjectPath() const;
    Outcome DumpMeasurements(const std::string& sPath) const;
    // The results averaged over the time threshold (days; the settings' without one).
    Outcome ExportResults(const std::string& sPath, std::optional<double> fThreshold = std::nullopt);

    // --- Coordinates and correction ---
    // The object's coordinates; nothing when they are not set.
    std::optional<EquatorialPosition> ObjectPosition() const;
    void SetObjectCoordinates(const EquatorialPosition& oCoordinates);
    // The observer's site as the settings hold it, and taken into the table.
    GeographicSite Site() const;
    void SetObserverSite(const GeographicSite& oSite);
    // The current spectrum's correction: the program's own (km/s) at the spectrum's time, when it has one
    // and the object's coordinates are known, beside what its header says.
    std::optional<SpectrumCorrection> CurrentCorrection() const;
    // A spectrum file's correction from its header alone: the program's own computed with the header's
    // time, object and site when it has them.
    static SpectrumCorrection HeaderCorrection(const SpectrumMetadata& oMetadata,
                                               CorrectionKind eKind = CorrectionKind::kBarycentric);
    // A header to write: the names it lacks from oIdentity, and BSS_RQVH from the program's correction
    // (oComputed) when its wavelengths are as observed.
    static SpectrumMetadata HeaderForWriting(SpectrumMetadata oMetadata, const ObserverIdentity& oIdentity,
                                             std::optional<double> oComputed);
    // Who observes, with what and where (the settings').
    ObserverIdentity Identity() const;
    void SetIdentity(const ObserverIdentity& oIdentity);
    // The correction at a Julian date with the table's object and site (km/s).
    double CorrectionAt(double fJulianDate) const;
    // A time (JD, UTC) of the table in another time scale, with the table's object and site; nothing
    // without the object's coordinates or outside 1960 to 2100.
    std::optional<double> TimeIn(TimeScale eScale, double fJulianDate) const;
    // The precise correction and the times at a Julian date (UTC) with the table's object and site, with
    // the warning of a date beyond ERFA's table of leap seconds; nothing as for TimeIn.
    std::optional<BarycentricResult> TimesAt(double fJulianDate) const;
    // Which correction new measurements get: that of an opened project's rows, else the settings' (the
    // precise one unless chosen otherwise). Choosing one keeps it in the settings as well; the rows
    // measured before keep their velocities.
    CorrectionKind Correction() const;
    void SetCorrection(CorrectionKind eKind);
    // The precise (barycentric) correction and the BJD_TDB and HJD of an observation at fJulianDate
    // (UTC); the reason when the date lies outside 1960 to 2100.
    static SessionResult<BarycentricResult> Barycentric(double fJulianDate, const EquatorialPosition& oObject,
                                                        const GeographicSite& oSite, double fHeightMetres = 0.0,
                                                        double fDeltaUt1Seconds = 0.0);

private:
    CorrectionKind CorrectionOfSettings() const;
    bool AreObjectCoordinatesSet() const;

    SessionState& m_rState;
    Session& m_rSession;
};
