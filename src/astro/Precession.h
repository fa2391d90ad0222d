// Equatorial coordinates of another equinox brought to J2000 (the IAU 2006 precession, with ERFA).
#pragma once

struct EquatorialJ2000 {
    double fRightAscensionHours; // 0 .. 24
    double fDeclinationDegrees;
};

// The Julian date of an equinox a file states in years: a Besselian epoch when bBesselian (the FK4
// convention, which FITS takes for equinoxes before 1984 unless the frame says otherwise), else a
// Julian epoch.
double JulianDateOfEquinox(double fYears, bool bBesselian);

// The coordinates of the mean equator and equinox of the Julian date fEquinox at J2000.
EquatorialJ2000 PrecessToJ2000(double fRightAscensionHours, double fDeclinationDegrees, double fEquinox);
