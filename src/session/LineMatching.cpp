#include "LineMatching.h"

#include "astro/Doppler.h"
#include "core/Constants.h"
#include "lines/NoiseFloor.h"
#include "spectrum/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>

namespace {

// Strong lines fix the star's velocity; weaker ones must agree with it.
constexpr double kStrongDepthSigma = 10.0;
constexpr double kAgreementKms = 5.0;

double Median(std::vector<double> v)
{
    const auto itMiddle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), itMiddle, v.end());
    if (v.size() % 2 == 1) {
        return *itMiddle;
    }
    return 0.5 * (*itMiddle + *std::max_element(v.begin(), itMiddle));
}

} // namespace

std::vector<FoundLine> FoundLines(const Spectrum& oSpectrum)
{
    const double fNoise = EstimateNoiseSigma(oSpectrum.GetIntensities());
    std::vector<FoundLine> vLines;
    for (int32_t i = 0; i < oSpectrum.GetSpectralLineCount(); ++i) {
        const SpectralLine& oLine = oSpectrum.GetSpectralLines().GetLine(i);
        const double fDepth = std::fabs(oLine.GetAmplitude1());
        vLines.push_back({oLine.GetCenter(), oLine.GetWidth(),
                          fNoise > 0.0 ? fDepth / fNoise : std::numeric_limits<double>::infinity()});
    }
    return vLines;
}

std::vector<int32_t> MatchLaboratoryLines(std::span<const FoundLine> vLines, std::span<const int32_t> vIdentified,
                                          const LaboratoryLines& oLaboratory, double fWindow)
{
    std::vector<int32_t> vMatch(vLines.size(), -1);
    if (!(fWindow > 0.0)) {
        return vMatch;
    }
    const auto lLaboratory = static_cast<std::size_t>(std::max<int32_t>(oLaboratory.GetLineCount(), 0));
    std::vector<bool> vTaken(lLaboratory, false);
    std::vector<double> vStrong; // velocities of the lines that fix the star's
    for (std::size_t i = 0; i < vIdentified.size() && i < vLines.size(); ++i) {
        const int32_t lIndex = vIdentified[i];
        double fLaboratory = 0.0;
        std::string sName;
        if (lIndex >= 0 && static_cast<std::size_t>(lIndex) < lLaboratory) {
            vTaken[static_cast<std::size_t>(lIndex)] = true;
            if (oLaboratory.GetLine(lIndex, fLaboratory, &sName) && fLaboratory > 0.0) {
                vStrong.push_back(quandrel::DopplerVelocity(fLaboratory, vLines[i].fCenter));
            }
        }
    }
    // The candidates: (line, laboratory line, velocity).
    struct Candidate {
        std::size_t lLine;
        int32_t lIndex;
        double fVelocity;
    };
    std::vector<Candidate> vCandidates;
    for (std::size_t i = 0; i < vLines.size(); ++i) {
        if (i < vIdentified.size() && vIdentified[i] >= 0) {
            continue;
        }
        int32_t lIndex = -1;
        double fLaboratory = 0.0;
        std::string sName;
        if (!oLaboratory.FindNearestLine(vLines[i].fCenter, lIndex, fLaboratory, &sName) || lIndex < 0 ||
            static_cast<std::size_t>(lIndex) >= lLaboratory || vTaken[static_cast<std::size_t>(lIndex)]) {
            continue;
        }
        const double fVelocity = quandrel::DopplerVelocity(fLaboratory, vLines[i].fCenter);
        if (!(std::fabs(fVelocity) <= fWindow)) {
            continue;
        }
        vCandidates.push_back({i, lIndex, fVelocity});
    }
    if (vCandidates.empty()) {
        return vMatch;
    }
    // The star's velocity from each laboratory line's nearest candidate that is strong.
    std::map<int32_t, const Candidate*> oNearest;
    for (const Candidate& o : vCandidates) {
        const auto it = oNearest.find(o.lIndex);
        if (it == oNearest.end() || std::fabs(o.fVelocity) < std::fabs(it->second->fVelocity)) {
            oNearest[o.lIndex] = &o;
        }
    }
    for (const auto& [lIndex, pCandidate] : oNearest) {
        if (vLines[pCandidate->lLine].fDepthSigma >= kStrongDepthSigma) {
            vStrong.push_back(pCandidate->fVelocity);
        }
    }
    if (vStrong.empty()) {
        for (const auto& [lIndex, pCandidate] : oNearest) {
            vStrong.push_back(pCandidate->fVelocity);
        }
    }
    const double fStar = Median(vStrong);
    // For each laboratory line the candidate nearest the star's velocity that agrees with it.
    std::map<int32_t, std::pair<std::size_t, double>> oBest;
    for (const Candidate& o : vCandidates) {
        const FoundLine& oLine = vLines[o.lLine];
        const double fCentreError = oLine.fDepthSigma > 0.0 && std::isfinite(oLine.fDepthSigma)
                                        ? quandrel::kSpeedOfLight * oLine.fWidth / oLine.fCenter / oLine.fDepthSigma
                                        : 0.0;
        const double fOff = std::fabs(o.fVelocity - fStar);
        if (!(fOff <= kAgreementKms + 3.0 * fCentreError)) {
            continue;
        }
        const auto it = oBest.find(o.lIndex);
        if (it == oBest.end() || fOff < it->second.second) {
            oBest[o.lIndex] = {o.lLine, fOff};
        }
    }
    for (const auto& [lIndex, oLine] : oBest) {
        vMatch[oLine.first] = lIndex;
    }
    return vMatch;
}
