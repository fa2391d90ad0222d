// What the session's workflows share: the settings, the spectra and the current one, the active line,
// the table of radial velocities with its laboratory lines and coordinates, the project's file and the
// steps that can be undone. The workflows change it and announce through it; the window and the
// command line reach it only through the workflows.
#pragma once

#include "SessionTypes.h"
#include "SettingsGateway.h"
#include "lines/ActiveLine.h"
#include "rvtable/RvTable.h"
#include "spectrum/SpectrumList.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

class SessionState {
public:
    SessionState(std::string sSettingsFile, std::function<void(uint32_t)> fnAnnounce);

    SettingsGateway oSettings;

    SpectrumList oSpectra;
    std::vector<std::string> vNames;
    Spectrum* pCurrentSpectrum = nullptr;
    // One active line for all spectra.
    ActiveLine oActiveLine;

    RvTable oTable;
    std::string sProjectPath;

    // Tells the listeners what changed.
    void Announce(uint32_t lChanges) const { m_fnAnnounce(lChanges); }

    int32_t SpectrumCount() const { return oSpectra.GetSpectrumCount(); }
    Spectrum* SpectrumAt(int32_t lIndex) const;
    // The site the table corrects for: the current spectrum's file's, or the settings', when it has none.
    void EnsureObserverSite();

    // --- Undo ---
    bool CanUndo() const { return !m_vUndo.empty(); }
    std::string UndoCaption() const { return m_vUndo.empty() ? std::string() : m_vUndo.back().sWhat; }
    void ForgetUndo() { m_vUndo.clear(); }
    void PushUndo(UndoStep oStep);
    UndoStep TableStep(std::string sWhat) const;
    // Keeps a table step when the table's measurements changed since it was taken.
    void PushTableUndo(UndoStep oStep);
    UndoStep IdentificationStep(std::string sWhat) const;
    // Takes the spectra at the indices out of the list into the step.
    void TakeSpectraInto(std::vector<int32_t> vIndices, UndoStep& oStep);
    // Undoes the newest change; false when there is none (or what it changed is gone).
    bool Undo();

private:
    std::function<void(uint32_t)> m_fnAnnounce;
    std::vector<UndoStep> m_vUndo;
};
