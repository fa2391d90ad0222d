// Turns a slider index into a value on a linear or logarithmic scale.
#pragma once

#include <cstdint>

class CSliderValuesBroker {
public:
    static constexpr char kLinear = 0;
    static constexpr char kLogarithmic = 1;

    // The value of lIndex on the scale from fValueAtMin (at lMin) to
    // fValueAtMax (at lMax). False, leaving fValue alone, for an unknown
    // mode, an empty index range, or a logarithmic scale that does not rise
    // from a positive value.
    static bool GetValue(int32_t lMin, int32_t lMax, int32_t lIndex, double fValueAtMin, double fValueAtMax, char cMode,
                         double& fValue);
};
