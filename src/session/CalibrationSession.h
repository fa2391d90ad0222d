// The session's wavelength calibration: the calibration lines, the points identified with them (by
// hand or from a lamp's remaining lines), the calibration of the current spectrum in steps, and the
// calibrated spectrum's file.
#pragma once

#include "SessionTypes.h"
#include "calibration/WavelengthCalibration.h"
#include "spectrum/Spectrum.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Session;
class SessionState;

namespace change {
inline constexpr uint32_t kCalibration = 1U << 10;    // calibration lines or points
} // namespace change

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

class CalibrationSession {
public:
    CalibrationSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    CalibrationSession(const CalibrationSession&) = delete;

    // The calibration lines, the points and the dispersion through them.
    const WavelengthCalibration& Wavelengths() const { return m_oCalibration; }
    bool LoadCalibrationLinesAtStartUp();
    Outcome LoadCalibrationLines(const std::string& sPath);
    void ClearCalibrationPoints();
    // The active line's centre paired with line lIndex of the calibration table.
    bool AddCalibrationPoint(int32_t lIndex);
    // A point given by its position on the spectrum's axis and its wavelength (angstrom).
    void AddCalibrationPoint(double fPosition, double fWavelength);
    void DeleteCalibrationPoint(int32_t lIndex);
    // On a reference spectrum with two or more calibration points: a provisional dispersion through
    // the points (linear from two, quadratic from three, cubic from six) predicts each other line's
    // wavelength; the line nearest to a calibration line (within fTolerance samples) becomes a point,
    // and the dispersion is fitted again, until no line is left within the tolerance. lAdded says how
    // many points were added.
    SessionResult<int32_t> IdentifyRemainingLampLines(double fTolerance);
    Outcome SaveCalibratedSpectrum(const std::string& sPath) const;
    // The calibration of the current spectrum in steps: begun (its values are kept), tried with a mode
    // as often as wanted (each try starts from the kept values), ended by keeping the last try (its mode
    // goes into the settings) or by restoring the values exactly.
    void BeginCalibration();
    // The wavelength range of the current spectrum when its axis is already in wavelengths (not the pixel
    // numbers 0, 1, 2 ... of a detector's spectrum): calibrating it again replaces them.
    std::optional<std::pair<double, double>> CurrentWavelengthAxis() const;
    SessionResult<CalibrationFit> TryCalibration(const CalibrationMode& oMode);
    void EndCalibration(const std::optional<CalibrationMode>& oKept);
    CalibrationMode ReadCalibrationMode() const;

private:
    SessionState& m_rState;
    Session& m_rSession;
    WavelengthCalibration m_oCalibration;
    // The values of the spectrum under calibration, as they were when it began.
    Spectrum* m_pCalibrated = nullptr;
    std::vector<double> m_vSavedWavelength;
    std::vector<double> m_vSavedIntensity;
};
