// The pairing of "Identify all": found lines with the laboratory lines near them.
#pragma once

#include "lines/InertialLinesClass.h"

#include <cstdint>
#include <span>
#include <vector>

// For each line centre (angstrom) the laboratory line it takes: the nearest one, when the line's
// Doppler velocity against it lies within fWindow km/s. A line already identified (vIdentified[i] >= 0)
// keeps its laboratory line and takes nothing new, and no other line takes that one; a laboratory line
// near several lines goes to the nearest of them only. -1 where a line takes nothing new.
std::vector<int32_t> MatchLaboratoryLines(std::span<const double> vCenters, std::span<const int32_t> vIdentified,
                                          const CInertialLines& oLaboratory, double fWindow);
