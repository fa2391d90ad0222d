// Wavelength unit detection and conversion: files may hold nanometres, the
// program works in angstrom.
#pragma once

#include <cstdint>

class WavelengthUnits {
public:
    // Wavelengths below this are taken as nanometres.
    static constexpr double kNanometerLimit = 2500.0;

    static bool IsNanometer(double fWavelength) { return fWavelength < kNanometerLimit; }

    // Multiplies each of the lCount values by 10 (nm to angstrom); a value
    // that would leave the double range becomes 0.
    static void ConvertNmToAngstrom(double* paValues, int32_t lCount);
};
