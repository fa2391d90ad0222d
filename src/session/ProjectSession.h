// The session's project: the table of radial velocities and its rows, the object's and the observer's
// coordinates with the correction for the observer's motion, and the project's files and exports.
#pragma once

#include "SessionTypes.h"
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
    bool AreObjectCoordinatesSet() const;
    std::optional<EquatorialPosition> ObjectPosition() const;
    void SetObjectCoordinates(const EquatorialPosition& oCoordinates);
    // The observer's site as the settings hold it, and taken into the table.
    GeographicSite Site() const;
    void SetObserverSite(const GeographicSite& oSite);
    // The correction for the observer's motion (km/s) at the current spectrum's time, when it has one
    // and the object's coordinates are known.
    std::optional<double> CurrentCorrection() const;
    // The correction at a Julian date with the table's object and site (km/s).
    double CorrectionAt(double fJulianDate) const;

private:
    SessionState& m_rState;
    Session& m_rSession;
};
