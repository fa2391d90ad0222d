// The state the workflows share, and undoing the last changes of the table, the list of spectra, the
// identifications of lines and the calibrations.
#include "Session.h"
#include "SessionState.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxUndoSteps = 50;

} // namespace

SessionState::SessionState(std::string sSettingsFile, std::function<void(uint32_t)> fnAnnounce)
    : oSettings(std::move(sSettingsFile)), m_fnAnnounce(std::move(fnAnnounce))
{
    oTable.Coordinates().SetCorrectionKind(oSettings.ReadBool(Setting::PreciseCorrection) ? CorrectionKind::kBarycentric
                                                                                            : CorrectionKind::kHeliocentric);
}

Spectrum* SessionState::SpectrumAt(int32_t lIndex) const
{
    bool bFound = false;
    return oSpectra.GetSpectrum(lIndex, bFound);
}

void SessionState::PushUndo(UndoStep oStep)
{
    if (m_vUndo.size() == kMaxUndoSteps) {
        m_vUndo.erase(m_vUndo.begin());
    }
    m_vUndo.push_back(std::move(oStep));
}

UndoStep SessionState::TableStep(std::string sWhat) const
{
    UndoStep o;
    o.sWhat = std::move(sWhat);
    o.oRows = oTable.Rows();
    o.bRowsSaved = oTable.IsSaved();
    return o;
}

void SessionState::PushTableUndo(UndoStep oStep)
{
    const auto Measurements = [](const std::vector<MeasurementRow>& vRows) {
        std::size_t n = 0;
        for (const MeasurementRow& o : vRows) {
            n += o.measurements.size();
        }
        return n;
    };
    // Clearing only ever takes measurements away: the same count is no change.
    if (Measurements(*oStep.oRows) != Measurements(oTable.Rows())) {
        PushUndo(std::move(oStep));
    }
}

UndoStep SessionState::IdentificationStep(std::string sWhat) const
{
    UndoStep o;
    o.sWhat = std::move(sWhat);
    o.pIdentified = pCurrentSpectrum;
    for (int32_t i = 0; pCurrentSpectrum != nullptr && i < pCurrentSpectrum->GetSpectralLineCount(); ++i) {
        UndoStep::Identification oLine;
        double fSecond = 0.0;
        bool bDouble = false;
        pCurrentSpectrum->GetLineData(i, &oLine.sName, oLine.fWavelength, oLine.lIndex, oLine.fCenter, fSecond, bDouble);
        o.vIdentifications.push_back(oLine);
    }
    return o;
}

void SessionState::TakeSpectraInto(std::vector<int32_t> vIndices, UndoStep& oStep)
{
    std::sort(vIndices.rbegin(), vIndices.rend());
    vIndices.erase(std::unique(vIndices.begin(), vIndices.end()), vIndices.end());
    for (const int32_t lIndex : vIndices) {
        if (lIndex < 0 || lIndex >= SpectrumCount()) {
            continue;
        }
        oStep.vSpectra.emplace(oStep.vSpectra.begin(), lIndex, oSpectra.TakeSpectrum(lIndex));
        oStep.vNames.insert(oStep.vNames.begin(), vNames[static_cast<std::size_t>(lIndex)]);
        vNames.erase(vNames.begin() + lIndex);
    }
}

bool SessionState::Undo()
{
    if (m_vUndo.empty()) {
        return false;
    }
    UndoStep oStep = std::move(m_vUndo.back());
    m_vUndo.pop_back();
    uint32_t lChanges = 0;
    if (oStep.oRows) {
        oTable.RestoreRows(std::move(*oStep.oRows), oStep.bRowsSaved);
        lChanges |= change::kTable;
    }
    if (!oStep.vSpectra.empty()) {
        // Back at their places, in ascending order so that each place is right when it is filled.
        for (std::size_t k = 0; k < oStep.vSpectra.size(); ++k) {
            const int32_t lAt = std::min(oStep.vSpectra[k].first, SpectrumCount());
            pCurrentSpectrum = oStep.vSpectra[k].second.get();
            oSpectra.InsertSpectrum(lAt, std::move(oStep.vSpectra[k].second));
            vNames.insert(vNames.begin() + lAt, oStep.vNames[k]);
        }
        lChanges |= change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime;
    }
    if (oStep.pCalibrated != nullptr) {
        Spectrum* pSpectrum = SpectrumAt(oSpectra.IndexOf(oStep.pCalibrated));
        if (pSpectrum == nullptr || oStep.vWavelength.empty()) {
            return false;
        }
        pSpectrum->ReplaceValues(static_cast<int32_t>(oStep.vWavelength.size()), oStep.vWavelength.data(),
                                 oStep.vIntensity.data());
        lChanges |= change::kSpectrumValues;
    }
    if (oStep.pSearched != nullptr) {
        Spectrum* pSpectrum = SpectrumAt(oSpectra.IndexOf(oStep.pSearched));
        if (pSpectrum == nullptr) {
            return false;
        }
        pSpectrum->RestoreLines(oStep.vLines);
        lChanges |= change::kLines;
    }
    if (oStep.pIdentified != nullptr) {
        // Only onto the same spectrum with the same lines: a new search or a removal since ends the step.
        const int32_t lSpectrum = oSpectra.IndexOf(oStep.pIdentified);
        Spectrum* pSpectrum = SpectrumAt(lSpectrum);
        const auto& v = oStep.vIdentifications;
        if (pSpectrum == nullptr || pSpectrum->GetSpectralLineCount() != static_cast<int32_t>(v.size())) {
            return false;
        }
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (pSpectrum->GetLineFirstCenter(static_cast<int32_t>(i)) != v[i].fCenter) {
                return false;
            }
        }
        for (std::size_t i = 0; i < v.size(); ++i) {
            pSpectrum->SetLineIdentification(static_cast<int32_t>(i), v[i].lIndex, v[i].fWavelength, v[i].sName.c_str());
        }
        lChanges |= change::kLines;
    }
    Announce(lChanges);
    return true;
}

void SessionState::EnsureObserverSite()
{
    if (!oTable.Coordinates().AreObserverCoordinatesSet() && pCurrentSpectrum != nullptr &&
        pCurrentSpectrum->GetMetadata().HasSite()) {
        // The site the spectrum's file names.
        const SpectrumMetadata& m = pCurrentSpectrum->GetMetadata();
        oTable.Coordinates().SetObserverCoordinates(*m.oLongitudeWestDegrees, 0.0, *m.oLatitudeDegrees, 0.0);
        oTable.Coordinates().SetObserverHeight(m.oHeightMetres.value_or(0.0));
    } else if (!oTable.Coordinates().AreObserverCoordinatesSet()) {
        const GeographicSite o = oSettings.ReadObserverSite();
        oTable.Coordinates().SetObserverCoordinates(o.fLongitudeDegrees, o.fLongitudeMinutes, o.fLatitudeDegrees,
                                         o.fLatitudeMinutes);
    }
}

