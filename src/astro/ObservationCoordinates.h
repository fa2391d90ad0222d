// The object's and the observer's coordinates, and the radial velocity of a
// line shift corrected to the Sun for the observer's motion.
#pragma once

#include "BarycentricCorrection.h"
#include "core/SpectrumMetadata.h"

#include <cstdint>
#include <string>

// Which correction for the observer's motion: the precise barycentric one (Wright & Eastman, as astropy
// computes it), or the classic heliocentric formula the program used first (a few hundredths of a km/s).
enum class CorrectionKind { kBarycentric, kHeliocentric };

class ObservationCoordinates {
public:
    ObservationCoordinates() = default;

    // All coordinates 0, neither set; the kind of correction stays.
    void Clear();
    // The object's coordinates 0 and not set; the observer's stay.
    void ClearObjectCoordinates();

    // Longitude positive towards the west, latitude towards the north; minutes carry their own sign.
    void SetObserverCoordinates(double fLongitudeDegrees, double fLongitudeMinutes, double fLatitudeDegrees,
                                double fLatitudeMinutes);
    void SetObjectCoordinates(double fRightAscensionHours, double fRightAscensionMinutes, double fDeclinationDegrees,
                              double fDeclinationMinutes);
    bool GetObjectCoordinates(double& fRightAscensionHours, double& fRightAscensionMinutes,
                              double& fDeclinationDegrees, double& fDeclinationMinutes) const;
    void GetObserverCoordinates(double& fLongitudeDegrees, double& fLongitudeMinutes, double& fLatitudeDegrees,
                                double& fLatitudeMinutes) const;
    bool AreObjectCoordinatesSet() const { return m_bObjectCoordinatesSet; }
    bool AreObserverCoordinatesSet() const { return m_bObserverCoordinatesSet; }
    // Sets the flags directly (a project file carries them).
    void SetCoordinateFlags(bool bObserverSet, bool bObjectSet);
    // The site's height above the ellipsoid (m; 0 unless a header gives it), which the precise
    // correction takes.
    void SetObserverHeight(double fMetres) { m_fHeightMetres = fMetres; }
    double ObserverHeight() const { return m_fHeightMetres; }
    // The classic heliocentric correction unless told otherwise.
    void SetCorrectionKind(CorrectionKind eKind) { m_eKind = eKind; }
    CorrectionKind Kind() const { return m_eKind; }

    // The Doppler velocity of the observed against the laboratory wavelength,
    // corrected for the observer's motion at the Julian date (km/s).
    double RadialVelocity(double fLaboratoryWavelength, double fObservedWavelength, double fJulianDate) const;

    // fVelocity corrected at the Julian date, with the stored coordinates whatever their flags (km/s);
    // CorrectVelocity(0, JD) is the correction alone. The precise correction combines as
    // v + v_corr + v v_corr / c; for a date outside 1960 to 2100 it is the classic one.
    double CorrectVelocity(double fVelocity, double fJulianDate) const;
    // The observation at the Julian date (UTC) for the precise correction and the barycentric times.
    BarycentricInput ObservationAt(double fJulianDate) const;

    // The same for wavelengths in the given frame: those that already carry a correction give their
    // Doppler velocity alone and get no correction (0).
    double RadialVelocity(double fLaboratoryWavelength, double fObservedWavelength, double fJulianDate,
                          WavelengthFrame eFrame) const;
    double CorrectVelocityIn(WavelengthFrame eFrame, double fVelocity, double fJulianDate) const;

protected:
    double m_fRightAscensionHours = 0.0;
    double m_fRightAscensionMinutes = 0.0;
    double m_fDeclinationDegrees = 0.0;
    double m_fDeclinationMinutes = 0.0;
    double m_fLongitudeDegrees = 0.0;
    double m_fLongitudeMinutes = 0.0;
    double m_fLatitudeDegrees = 0.0;
    double m_fLatitudeMinutes = 0.0;
    bool m_bObserverCoordinatesSet = false;
    bool m_bObjectCoordinatesSet = false;
    double m_fHeightMetres = 0.0;
    CorrectionKind m_eKind = CorrectionKind::kHeliocentric;
};

namespace quandrel {

// The correction a BeSS header asks for (BSS_RQVH, km/s) as the program counts corrections (added to
// a velocity): the header's wavelengths become heliocentric as lambda (1 - RQVH / c), so it is -RQVH.
inline double CorrectionOfRequested(double fRequested)
{
    return -fRequested;
}

// BSS_RQVH for a correction the program computed: the same relation the other way.
inline double RequestedOfCorrection(double fCorrection)
{
    return -fCorrection;
}

// A sentence naming both values when the header's requested correction and the program's own differ
// by more than 1 km/s (and saying so when they differ only in sign); empty when they agree.
std::string RequestedCorrectionWarning(double fRequested, double fComputed);

} // namespace quandrel
