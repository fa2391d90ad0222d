// The Doppler velocity of a wavelength shift.
#pragma once

#include "core/Constants.h"

namespace quandrel {

// (observed - laboratory) / laboratory * c, in km/s; positive when the source recedes.
inline double DopplerVelocity(double fLaboratoryWavelength, double fObservedWavelength)
{
    return (fObservedWavelength - fLaboratoryWavelength) / fLaboratoryWavelength * kSpeedOfLight;
}

} // namespace quandrel
