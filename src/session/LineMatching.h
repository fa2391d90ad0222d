// The pairing of "Identify all": found lines with the laboratory lines near them.
#pragma once

#include "lines/LaboratoryLines.h"

#include <cstdint>
#include <span>
#include <vector>

class Spectrum;

// A found line as the pairing weighs it.
struct FoundLine {
    double fCenter = 0.0;     // angstrom
    double fWidth = 0.0;      // sigma, angstrom
    double fDepthSigma = 0.0; // depth in noise sigmas; infinite where the noise is not known
};

// The lines of a spectrum with their depths in its noise.
std::vector<FoundLine> FoundLines(const Spectrum& oSpectrum);

// For each found line the laboratory line it takes. First every line within fWindow km/s (Doppler
// velocity) of its nearest laboratory line is a candidate; the velocity the strong candidates (deeper
// than 10 sigma, and the lines identified before) agree on, their median, is the star's. A candidate
// is taken only when its velocity lies within 5 km/s plus three times its centre's error of the star's,
// so that noise dips near a laboratory line are left out. A line already identified (vIdentified[i] >=
// 0) keeps its laboratory line and takes nothing new, and no other line takes that one; a laboratory
// line near several lines goes to the one nearest the star's velocity. -1 where a line takes nothing new.
std::vector<int32_t> MatchLaboratoryLines(std::span<const FoundLine> vLines, std::span<const int32_t> vIdentified,
                                          const LaboratoryLines& oLaboratory, double fWindow);
