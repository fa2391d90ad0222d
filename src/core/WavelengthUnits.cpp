#include "WavelengthUnits.h"

#include "Assert.h"

#include <cmath>

void WavelengthUnits::ConvertNmToAngstrom(double* paValues, int32_t lCount)
{
    QASSERT(paValues!=NULL);
    for (int32_t i = 0; i < lCount; ++i) {
        // A value too large to convert is as unusable as a field that is no number.
        const double fAngstrom = paValues[i] * 10.0;
        paValues[i] = std::isfinite(fAngstrom) ? fAngstrom : 0.0;
    }
}
