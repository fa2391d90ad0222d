// The object's and the observer's coordinates, and the radial velocity of a
// line shift corrected to the Sun for the observer's motion.
#pragma once

#include <cstdint>

class ObservationCoordinates {
public:
    ObservationCoordinates() = default;

    // All coordinates 0, neither set.
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

    // The Doppler velocity of the observed against the laboratory wavelength,
    // corrected for the observer's motion at the Julian date (km/s).
    double RadialVelocity(double fLaboratoryWavelength, double fObservedWavelength, double fJulianDate) const;

    // fVelocity plus the correction at the Julian date, with the stored
    // coordinates whatever their flags (km/s); CorrectVelocity(0, JD) is the correction alone.
    double CorrectVelocity(double fVelocity, double fJulianDate) const;

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
};
