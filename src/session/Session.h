// The program's state and its operations, in workflow pieces: the spectra, their lines, the project
// (the table of radial velocities, the coordinates and the project's files), the wavelength
// calibration, the cross-correlation, the orbit, the period searches, and a campaign measured at once. The window and the command line both
// work through it, so every rule of the program is written once. Operations report a refusal as a
// message for the caller to show, and announce what they changed to the listeners; no piece hands out
// state that can be changed without an announcement.
#pragma once

#include "CalibrationSession.h"
#include "CampaignSession.h"
#include "CorrelationSession.h"
#include "LinesSession.h"
#include "OrbitSession.h"
#include "PeriodSession.h"
#include "ProjectSession.h"
#include "SessionState.h"
#include "SessionTypes.h"
#include "SpectraSession.h"

#include <cstdint>
#include <string>
#include <vector>

class Session {
public:
    explicit Session(std::string sSettingsFile);
    Session(const Session&) = delete;

    void AddListener(SessionListener* pListener);
    void RemoveListener(SessionListener* pListener);

    const SettingsGateway& Settings() const { return m_oState.oSettings; }

    SpectraSession& Spectra() { return m_oSpectra; }
    const SpectraSession& Spectra() const { return m_oSpectra; }
    LinesSession& Lines() { return m_oLines; }
    const LinesSession& Lines() const { return m_oLines; }
    ProjectSession& Project() { return m_oProject; }
    const ProjectSession& Project() const { return m_oProject; }
    CalibrationSession& Calibration() { return m_oCalibration; }
    const CalibrationSession& Calibration() const { return m_oCalibration; }
    CorrelationSession& Correlation() { return m_oCorrelation; }
    const CorrelationSession& Correlation() const { return m_oCorrelation; }
    OrbitSession& Orbit() { return m_oOrbit; }
    const OrbitSession& Orbit() const { return m_oOrbit; }
    PeriodSession& Periods() { return m_oPeriods; }
    const PeriodSession& Periods() const { return m_oPeriods; }
    CampaignSession& Campaign() { return m_oCampaign; }

    // --- Undo ---
    // The last changes of the table, the spectra list, the identifications and the calibrations can be
    // undone, the newest first (up to 50); opening or closing a project forgets them.
    bool CanUndo() const { return m_oState.CanUndo(); }
    std::string UndoCaption() const { return m_oState.UndoCaption(); }
    // Undoes the newest change; false when there is none (or what it changed is gone).
    bool Undo() { return m_oState.Undo(); }

private:
    // Tells the listeners; a change of the table's rows gives the orbit the table's series first.
    void Announce(uint32_t lChanges);

    std::vector<SessionListener*> m_vListeners;
    SessionState m_oState;
    SpectraSession m_oSpectra;
    LinesSession m_oLines;
    ProjectSession m_oProject;
    CalibrationSession m_oCalibration;
    CorrelationSession m_oCorrelation;
    OrbitSession m_oOrbit;
    PeriodSession m_oPeriods;
    CampaignSession m_oCampaign;
};
