// The velocity correction for the observer's motion: the heliocentric
// velocity of the Earth-Moon barycentre from mean Keplerian elements
// (E. M. Standish, "Keplerian Elements for Approximate Positions of the
// Major Planets", JPL, valid 1800-2050, J2000 ecliptic) plus the observer's
// rotational velocity from the local sidereal time (IAU 1982 GMST),
// projected on the direction to the object. A low-precision correction:
// it agrees with modern barycentric corrections to a few hundredths of a
// km/s, not to their cm/s.
#pragma once

#include "JulianDate.h"

class HeliocentricCorrection {
public:
    // Right ascension in hours and minutes, declination in degrees and minutes.
    void SetObjectCoordinates(long double fHours, long double fHourMinutes, long double fDegrees,
                              long double fDegreeMinutes);
    // Longitude (positive west) and latitude in degrees.
    void SetObserverCoordinates(long double fLongitude, long double fLatitude);
    void SetJulianDate(double fJulianDate);

    // Adds the correction (km/s) to fVelocity.
    void AddCorrection(long double& fVelocity) const;

    // Local sidereal time in radians, [0, 2 pi), at a UT date and a longitude (radians, positive west).
    static long double LocalSiderealAngle(const CalendarDate& oDate, long double fLongitude);
    // True anomaly in degrees, [0, 360], of a mean anomaly in degrees.
    static long double TrueAnomaly(long double fMeanAnomaly, long double e);
    // Mean obliquity of the ecliptic in degrees, T in Julian centuries since J2000.
    static long double Obliquity(long double T);

private:
    long double m_fLongitude = 0.0L;
    long double m_fLatitude = 0.0L;
    long double m_fRightAscension = 0.0L;
    long double m_fDeclination = 0.0L;
    CalendarDate m_oDate;
    long double m_fZone = 0.0L;
};
