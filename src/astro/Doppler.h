// The Doppler velocity of a wavelength shift.
#pragma once

namespace quandrel {

// Speed of light in km/s.
constexpr double kSpeedOfLight = 299792.458;

// (observed - laboratory) / laboratory * c, in km/s; positive when the source recedes.
inline double DopplerVelocity(double fLaboratoryWavelength, double fObservedWavelength)
{
    return (fObservedWavelength - fLaboratoryWavelength) / fLaboratoryWavelength * kSpeedOfLight;
}

} // namespace quandrel
