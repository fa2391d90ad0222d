// The physical and mathematical constants of the program, in one place.
#pragma once

namespace quandrel {

inline constexpr double kPi = 3.141592653589793;
inline constexpr long double kPiLong = 3.141592653589793238L;

inline constexpr double kSecondsPerDay = 86400.0;

// The speed of light in vacuum in km/s, exact since the metre is defined by it. Doppler velocities of
// fitted lines use it.
inline constexpr double kSpeedOfLight = 299792.458;

// The speed of light of the cross-correlation's logarithmic wavelength grid, km/s. It is the rounded
// value the correlation has always used: the velocity step of a grid, and with it every correlation
// velocity already in users' tables, depends on it (the difference is 1.4e-7 relative, 0.01 m/s at
// 66 km/s), so it stays.
inline constexpr double kSpeedOfLightCorrelationGrid = 299792.5;

} // namespace quandrel
