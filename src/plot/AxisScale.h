// Scale and label rules of the plot axes: rounded bounds, tick intervals,
// which ticks carry a number, and how a number label is shortened.
#pragma once

#include "Canvas.h"

#include <string>

// The scale of one axis.
struct AxisTicks {
    double fLow = 0.0;         // rounded lower bound
    double fHigh = 1.0;        // rounded upper bound, always above fLow
    int lIntervals = 1;        // number of tick intervals, at least 1
    int lLabelSpacing = 5;     // every lLabelSpacing-th tick is labelled ...
    int lLabelPhase = 0;       // ... counting from tick -lLabelPhase

    // True if tick i (0 .. lIntervals) carries a number.
    bool IsLabelled(int i) const { return (i + lLabelPhase) % lLabelSpacing == 0; }
};

class AxisScale {
public:
    // Rounded bounds and ticks for values from a to b. Step 10^k times 0.5,
    // 0.25 or 0.1 depending on the leading digits of b - a. An empty or
    // unusable range (all values equal, a single value, not finite) is
    // widened first so that every axis has a positive length.
    static AxisTicks CalculateAxisScale(double a, double b);

    // The decimals that the labelled ticks of an axis need: every label of one axis has as many
    // ("0 / 500 / 1000", "-20 / 0 / 20", "0.25 / 0.50 / 0.75").
    static int LabelDecimals(const AxisTicks& oScale);

    // The label of tick i (0 .. lIntervals) of an axis with lDecimals decimals ("0", never "-0").
    static std::string TickLabel(const AxisTicks& oScale, int i, int lDecimals);

    // Colour lIndex (0 .. 17) of the plot palette; black outside.
    static Rgb GraphPalette(int lIndex);
};
