// The noise of a spectrum, for the floor of the line search: lines shallower than a multiple of it
// are noise the search fitted, not lines.
#pragma once

#include <span>

// The standard deviation of one sample's noise, from the median absolute deviation of the first
// differences (1.4826 MAD / sqrt 2). Lines and a sloping continuum hardly move the median, so it
// measures the scatter between neighbouring samples; 0 for fewer than three samples.
double EstimateNoiseSigma(std::span<const double> vIntensity);
