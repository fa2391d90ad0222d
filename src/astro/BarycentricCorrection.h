// The precise correction of a radial velocity for the observer's motion, and the times of an observation
// as seen from the solar system's barycentre and from the Sun (BJD_TDB, HJD), from ERFA's ephemerides
// and Earth rotation; nothing is fetched from anywhere.
//
// The correction follows the relativistic formula of Wright & Eastman (2014, eq. 28) as astropy's
// radial_velocity_correction('barycentric') evaluates it: the observer's barycentric velocity (the
// Earth's from eraEpv00 and the site's rotation through the IAU 2006/2000 celestial-to-terrestrial
// rotation), the gravitational potential of the Sun, the Earth, the Moon and Jupiter at the observer,
// and z_b = gamma (1 + beta . n) / (1 + Phi / c^2). The target's proper motion and parallax are ignored
// (a few m/s for the nearest, fastest stars), and so is polar motion (below 1 mm/s).
#pragma once

#include "core/Result.h"

#include <string>

// An observation: its time (UTC), the target (ICRS) and the site on the WGS84 ellipsoid.
struct BarycentricInput {
    double fJulianDateUtc = 0.0;
    double fRightAscensionDegrees = 0.0;
    double fDeclinationDegrees = 0.0;
    double fLongitudeEastDegrees = 0.0;
    double fLatitudeDegrees = 0.0;
    double fHeightMetres = 0.0;
    double fDeltaUt1Seconds = 0.0; // UT1 - UTC; 0 unless the user knows it
};

struct BarycentricResult {
    double fCorrectionKms = 0.0; // to combine with a measured velocity as CombineVelocity does
    double fJulianDateTdb = 0.0;
    double fBjdTdb = 0.0;       // the arrival time at the barycentre, TDB
    double fHjd = 0.0;          // the arrival time at the Sun's centre, UTC
    std::string sWarning;       // a date beyond the end of ERFA's leap-second table
};

// The correction and times; refused (with the reason) for a date before 1960 or after 2100, or inputs
// that are no finite numbers in their ranges.
quandrel::Result<BarycentricResult> ComputeBarycentric(const BarycentricInput& oInput);

// The time scale of the times an orbit or a period search takes.
enum class TimeScale { kJulianDateUtc, kHjd, kBjdTdb };
// "JD (UTC)", "HJD" or "BJD_TDB".
const char* TimeScaleName(TimeScale eScale);

// A measured velocity corrected (km/s): v + v_corr + v v_corr / c, the exact combination of the
// Doppler factors to first order in each.
double CombineVelocity(double fMeasuredKms, double fCorrectionKms);
