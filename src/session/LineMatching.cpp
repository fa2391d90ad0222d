#include "LineMatching.h"

#include "astro/Doppler.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

std::vector<int32_t> MatchLaboratoryLines(std::span<const double> vCenters, std::span<const int32_t> vIdentified,
                                          const CInertialLines& oLaboratory, double fWindow)
{
    std::vector<int32_t> vMatch(vCenters.size(), -1);
    if (!(fWindow > 0.0)) {
        return vMatch;
    }
    const auto lLaboratory = static_cast<std::size_t>(std::max<int32_t>(oLaboratory.GetLineCount(), 0));
    std::vector<bool> vTaken(lLaboratory, false);
    for (const int32_t lIndex : vIdentified) {
        if (lIndex >= 0 && static_cast<std::size_t>(lIndex) < lLaboratory) {
            vTaken[static_cast<std::size_t>(lIndex)] = true;
        }
    }
    // For each laboratory line its nearest candidate: (line, |velocity|).
    std::map<int32_t, std::pair<std::size_t, double>> oBest;
    for (std::size_t i = 0; i < vCenters.size(); ++i) {
        if (i < vIdentified.size() && vIdentified[i] >= 0) {
            continue;
        }
        int32_t lIndex = -1;
        double fLaboratory = 0.0;
        std::string sName;
        if (!oLaboratory.FindNearestLine(vCenters[i], lIndex, fLaboratory, &sName) || lIndex < 0 ||
            static_cast<std::size_t>(lIndex) >= lLaboratory || vTaken[static_cast<std::size_t>(lIndex)]) {
            continue;
        }
        const double fVelocity = std::fabs(quandrel::DopplerVelocity(fLaboratory, vCenters[i]));
        if (!(fVelocity <= fWindow)) {
            continue;
        }
        const auto it = oBest.find(lIndex);
        if (it == oBest.end() || fVelocity < it->second.second) {
            oBest[lIndex] = {i, fVelocity};
        }
    }
    for (const auto& [lIndex, oLine] : oBest) {
        vMatch[oLine.first] = lIndex;
    }
    return vMatch;
}
