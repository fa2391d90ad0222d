// Turns a slider index into a value on a linear or logarithmic scale.
#pragma once

#include <cstdint>
#include <optional>

// A line search in the quantities of the spectrum: windows of lWindow samples (1 or more), and lines that
// reach further than fMinDepth (above 0) beyond the other samples of their window: an absorption line
// by that much intensity, an emission line above the spectrum's minimum plus that share of its range.
struct LineSearch {
    int32_t lWindow = 4;
    double fMinDepth = 0.001;
};

class SliderScale {
public:
    static constexpr char kLinear = 0;
    static constexpr char kLogarithmic = 1;

    // The value of lIndex on the scale from fValueAtMin (at lMin) to
    // fValueAtMax (at lMax). False, leaving fValue alone, for an unknown
    // mode, an empty index range, or a logarithmic scale that does not rise
    // from a positive value.
    static bool GetValue(int64_t lMin, int64_t lMax, int64_t lIndex, double fValueAtMin, double fValueAtMax, char cMode,
                         double& fValue);

    // The sensitivity slider runs from 0 to this index.
    static constexpr int32_t kSensitivityMax = 20;

    // The line search of the window's sliders: a window of 2 i + 4 samples for width index i of
    // 0 .. lWidthMax, and a depth threshold of 0.001 * 1000^((j + 1) / 20) for sensitivity index j.
    // Nothing when a mapping fails.
    static std::optional<LineSearch> SearchOf(int32_t lWidthMax, int32_t lWidthIndex, int32_t lSensitivityIndex);
};
