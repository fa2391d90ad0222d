// The session's spectra: the list and the current one, its kind and observation time, spectra read
// from text and FITS files, the current one written as FITS, and its continuum normalisation.
#pragma once

#include "SessionTypes.h"
#include "calibration/ContinuumFit.h"
#include "core/SpectrumFileImport.h"
#include "core/SpectrumMetadata.h"
#include "io/FitsSpectrum.h"
#include "spectrum/Spectrum.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Session;
class SessionState;

namespace change {
inline constexpr uint32_t kSpectra = 1U << 0;         // spectra added or removed
inline constexpr uint32_t kCurrentSpectrum = 1U << 1; // another spectrum (or none) is current
inline constexpr uint32_t kSpectrumKind = 1U << 2;    // reference / emission flags of the current one
inline constexpr uint32_t kTime = 1U << 7;            // observation time of the current spectrum
inline constexpr uint32_t kSpectrumValues = 1U << 12; // the values of the current spectrum (calibration)
} // namespace change

class SpectraSession {
public:
    SpectraSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    SpectraSession(const SpectraSession&) = delete;

    int32_t SpectrumCount() const;
    const Spectrum* SpectrumAt(int32_t lIndex) const;
    const std::string& SpectrumName(int32_t lIndex) const;
    const Spectrum* CurrentSpectrum() const;
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
    std::optional<double> CurrentObservationTime() const;
    // The current spectrum's values changed.
    void SpectrumValuesChanged();

    // --- Spectrum files ---
    // What a spectrum file holds: its samples, what its header says, and the header keywords of a FITS
    // file that could not be read.
    struct SpectrumFile {
        std::vector<double> vWavelength;
        std::vector<double> vIntensity;
        SpectrumMetadata oMetadata;
        std::vector<std::string> vWarnings;
    };
    // A spectrum file as the program reads it: FITS with its header, text with the import settings
    // given (header lines at its head skipped); the reason, naming the file, when it cannot be read or
    // holds no samples.
    static SessionResult<SpectrumFile> ReadSpectrumFile(const std::string& sPath, const ImportSettings& oSettings);
    // A spectrum read from a text file with the import settings last confirmed (header lines at its
    // head skipped), not yet added.
    SessionResult<std::unique_ptr<Spectrum>> ReadTextSpectrum(const std::string& sPath) const;
    // A spectrum read from a FITS file, with the observation time and header of the file, not yet
    // added; with header keywords that could not be read, a warning beside it.
    struct FitsRead {
        std::unique_ptr<Spectrum> pSpectrum;
        Outcome oWarning;
    };
    // oChoice names one spectrum of a file that holds several (see FitsSpectraOf).
    SessionResult<FitsRead> ReadFitsSpectrum(const std::string& sPath, const SpectrumChoice& oChoice = {}) const;
    // The spectra a FITS file holds (none for another file, or one that cannot be read), and whether
    // the user must name one of them: several, and none merged.
    static std::vector<FitsEntry> SpectraInFile(const std::string& sPath);
    static bool MustChoose(const std::vector<FitsEntry>& vEntries);
    // The object coordinates the current spectrum's header gives.
    std::optional<EquatorialPosition> HeaderCoordinates() const;
    // When the current spectrum's header places its object more than 1' from the table's object: a
    // sentence saying so; empty otherwise.
    std::string HeaderCoordinatesMismatch() const;
    // The current spectrum as a FITS file, with its time, the object, the site and the correction.
    Outcome SaveSpectrumAsFits(const std::string& sPath) const;

    // --- Continuum ---
    // The continuum of the current spectrum with these options.
    SessionResult<ContinuumFit> FitCurrentContinuum(const ContinuumOptions& oOptions) const;
    // Divides the current spectrum by its continuum (its lines go; the original intensities are kept). A
    // spectrum in the table keeps its row, whose measurements stay those of the intensities before.
    Outcome NormalizeCurrentSpectrum(const ContinuumOptions& oOptions);
    bool CanRestoreCurrentSpectrum() const;
    // The current spectrum's intensities as they were before it was normalised.
    Outcome RestoreCurrentSpectrum();

private:
    SessionState& m_rState;
    Session& m_rSession;
};
