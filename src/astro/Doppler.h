// The Doppler velocity of a wavelength shift.
#pragma once

#include "core/Constants.h"

namespace quandrel {

// (observed - laboratory) / laboratory * c, in km/s; positive when the source recedes.
inline double DopplerVelocity(double fLaboratoryWavelength, double fObservedWavelength)
{
    return (fObservedWavelength - fLaboratoryWavelength) / fLaboratoryWavelength * kSpeedOfLight;
}

// The standard error of that velocity from the standard error of the observed wavelength (km/s).
inline double DopplerVelocityError(double fLaboratoryWavelength, double fObservedWavelengthError)
{
    return fObservedWavelengthError / fLaboratoryWavelength * kSpeedOfLight;
}

} // namespace quandrel
