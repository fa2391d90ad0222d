#include "AxisScale.h"

#include "core/NumberText.h"

#include <array>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// How far a single value is widened on each side to give its axis a length.
void WidenEmptyRange(double& a, double& b)
{
    double fHalf = std::fabs(a) * 0.1;
    if (!std::isnormal(fHalf)) {
        fHalf = 1.0;
    }
    a -= fHalf;
    b += fHalf;
}

} // namespace

AxisTicks AxisScale::CalculateAxisScale(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b)) {
        a = 0.0;
        b = 1.0;
    }
    if (b < a) {
        std::swap(a, b);
    }
    if (!std::isfinite(b - a)) {
        // Values near the ends of the double range: keep the axis and its steps finite.
        const double fLimit = std::numeric_limits<double>::max() / 4;
        a = std::max(a, -fLimit);
        b = std::min(b, fLimit);
    }
    if (!(b > a) || !std::isnormal(b - a)) {
        WidenEmptyRange(a, b);
    }
    AxisTicks oScale;
    const double fRange = b - a;
    const double d = std::pow(10.0, std::floor(std::log10(fRange)));
    const double e = fRange / d;
    double f = 0.1;
    int lSpacing = 5;
    if (e > 5) {
        f = 0.5;
        lSpacing = 4;
    } else if (e > 2.5) {
        f = 0.25;
        lSpacing = 4;
    }
    const double h = std::floor((a / d) / f);
    double m = std::ceil((b / d) / f);
    if (m <= h) {
        // The range is below the resolution of its own magnitude.
        m = h + 1;
    }
    const double fIntervals = m - h;
    oScale.fLow = h * f * d;
    oScale.fHigh = m * f * d;
    if (!(fIntervals >= 1 && fIntervals <= 1000) || !(oScale.fHigh > oScale.fLow)) {
        oScale.fLow = a;
        oScale.fHigh = b;
        oScale.lIntervals = 1;
        oScale.lLabelSpacing = 1;
        return oScale;
    }
    oScale.lIntervals = static_cast<int>(fIntervals);
    oScale.lLabelSpacing = lSpacing;
    double fPhase = std::fmod(h, static_cast<double>(lSpacing));
    if (fPhase < 0) {
        fPhase += lSpacing;
    }
    oScale.lLabelPhase = static_cast<int>(fPhase);
    return oScale;
}

int AxisScale::LabelDecimals(const AxisTicks& oScale)
{
    // The labelled ticks lie a whole number of label steps apart, and the first of them on a multiple
    // of the step: the step's decimals are the labels' decimals.
    const double fStep = (oScale.fHigh - oScale.fLow) / oScale.lIntervals * oScale.lLabelSpacing;
    constexpr int kMaxDecimals = 12;
    for (int lDecimals = 0; lDecimals < kMaxDecimals; ++lDecimals) {
        const double fScaled = fStep * std::pow(10.0, lDecimals);
        if (std::fabs(fScaled - std::nearbyint(fScaled)) <= 1e-6 * std::max(1.0, std::fabs(fScaled))) {
            return lDecimals;
        }
    }
    return kMaxDecimals;
}

std::string AxisScale::TickLabel(const AxisTicks& oScale, int i, int lDecimals)
{
    const double fValue = oScale.fLow + (oScale.fHigh - oScale.fLow) / oScale.lIntervals * i;
    std::string sLabel = quandrel::FormatFixed(fValue, lDecimals);
    if (sLabel.front() == '-' && sLabel.find_first_not_of("-0.") == std::string::npos) {
        sLabel.erase(0, 1);
    }
    return sLabel;
}

Rgb AxisScale::GraphPalette(int lIndex)
{
    static constexpr std::array<Rgb, 18> aoPalette = {{
        {255, 255, 255}, {0, 0, 0},       {255, 0, 0},     {0, 0, 255},   {0, 128, 0},   {255, 255, 0},
        {128, 0, 0},     {128, 0, 128},   {128, 128, 128}, {128, 128, 128}, {192, 192, 192}, {192, 192, 192},
        {0, 255, 255},   {0, 0, 128},     {128, 128, 0},   {0, 128, 128}, {255, 0, 255}, {0, 255, 0},
    }};
    if (lIndex < 0 || lIndex >= static_cast<int>(aoPalette.size())) {
        return Rgb{0, 0, 0};
    }
    return aoPalette[static_cast<std::size_t>(lIndex)];
}
