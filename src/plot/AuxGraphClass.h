// Scale and label rules of the plot axes: rounded bounds, tick intervals,
// which ticks carry a number, and how a number label is shortened.
#pragma once

#include "Canvas.h"

#include <string>

// The scale of one axis.
struct SAxisScale {
    double fLow = 0.0;         // rounded lower bound
    double fHigh = 1.0;        // rounded upper bound, always above fLow
    int lIntervals = 1;        // number of tick intervals, at least 1
    int lLabelSpacing = 5;     // every lLabelSpacing-th tick is labelled ...
    int lLabelPhase = 0;       // ... counting from tick -lLabelPhase

    // True if tick i (0 .. lIntervals) carries a number.
    bool IsLabelled(int i) const { return (i + lLabelPhase) % lLabelSpacing == 0; }
};

class CAuxGraph {
public:
    // Rounded bounds and ticks for values from a to b. Step 10^k times 0.5,
    // 0.25 or 0.1 depending on the leading digits of b - a. An empty or
    // unusable range (all values equal, a single value, not finite) is
    // widened first so that every axis has a positive length.
    static SAxisScale CalculateAxisScale(double a, double b);

    // Shortens a number text to at most 5 characters when its point lies
    // among the first 4 (4 when it would be the fifth); longer integers stay.
    static std::string TrimLabel(const std::string& sLabel);

    // Colour lIndex (0 .. 17) of the plot palette; black outside.
    static SRgb GraphPalette(int lIndex);
};
