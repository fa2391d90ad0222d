// The session's lines: the search and fit of the current spectrum's lines, the active line and its
// identification, the line table and the laboratory lines.
#include "Session.h"

#include "LineMatching.h"

#include "astro/Doppler.h"
#include "core/Utils.h"

#include <algorithm>
#include <cmath>

// --- Lines ---

Outcome LinesSession::FindSpectralLines(const LineSearch& oSearch, std::optional<double> oMinSigma)
{
    if (oSearch.lWindow < 1 || !(oSearch.fMinDepth > 0.0 && std::isfinite(oSearch.fMinDepth)) ||
        (oMinSigma && !(*oMinSigma >= 0.0 && std::isfinite(*oMinSigma)))) {
        return Message{"Find spectral lines", "The line search needs a window of 1 sample or more, a depth above 0 "
                                              "and a noise threshold of 0 or more.", true};
    }
    uint32_t lChanges = change::kLines;
    if (m_rState.pCurrentSpectrum != nullptr && m_rState.pCurrentSpectrum->GetNumberValues() > 0 &&
        SpectralLine::FitScale(m_rState.pCurrentSpectrum->GetIntensities(), m_rState.pCurrentSpectrum->IsEmissionSpectrum()) == 0.0) {
        return Message{"Find spectral lines", "The spectrum cannot be searched: its intensities are all 0 or no numbers."};
    }
    if (m_rState.pCurrentSpectrum != nullptr) {
        // A lamp shows emission lines: a reference spectrum is searched for them without being told.
        if (m_rState.pCurrentSpectrum->IsReferenceSpectrum() && !m_rState.pCurrentSpectrum->IsEmissionSpectrum()) {
            m_rState.pCurrentSpectrum->SetEmissionSpectrum(true);
            lChanges |= change::kSpectrumKind;
        }
        // A search replaces the lines: identified ones can be had back.
        bool bIdentified = false;
        for (int32_t i = 0; i < m_rState.pCurrentSpectrum->GetSpectralLineCount() && !bIdentified; ++i) {
            bIdentified = m_rState.pCurrentSpectrum->GetLineLaboratoryIndex(i) >= 0;
        }
        UndoStep oStep;
        if (bIdentified) {
            oStep.sWhat = "find spectral lines";
            oStep.pSearched = m_rState.pCurrentSpectrum;
            oStep.vLines = m_rState.pCurrentSpectrum->CopyLines();
        }
        m_rState.pCurrentSpectrum->FindSpectralLines(oSearch.lWindow, oSearch.fMinDepth,
                                              oMinSigma.value_or(m_rState.oSettings.ReadFloat(Setting::MinDepthSigma)));
        if (bIdentified) {
            m_rState.PushUndo(std::move(oStep));
        }
    }
    m_rState.Announce(lChanges);
    return std::nullopt;
}

void LinesSession::OptimizeFit(double fLevel)
{
    if (m_rState.pCurrentSpectrum == nullptr || !std::isfinite(fLevel)) {
        return;
    }
    m_rState.pCurrentSpectrum->OptimizeFit(fLevel);
    m_rState.Announce(change::kLines);
}

bool LinesSession::ChooseLine(int32_t lLine, bool bToggle)
{
    if (m_rState.pCurrentSpectrum == nullptr || lLine < 0 || lLine >= m_rState.pCurrentSpectrum->GetSpectralLineCount()) {
        return false;
    }
    if (bToggle || !m_rState.pCurrentSpectrum->IsActiveLine(lLine)) {
        m_rState.pCurrentSpectrum->ToggleActiveLine(lLine);
    }
    m_rState.Announce(change::kLines);
    return true;
}

int32_t LinesSession::ActiveLineIndex() const
{
    return m_rState.pCurrentSpectrum != nullptr ? m_rState.pCurrentSpectrum->GetActiveLineIndex() : -2;
}

std::optional<ReferenceLine> LinesSession::NearestLaboratoryLine() const
{
    const int32_t lActive = ActiveLineIndex();
    if (lActive < 0) {
        return std::nullopt;
    }
    ReferenceLine oLine;
    if (!LaboratoryLineTable().FindNearestLine(m_rState.pCurrentSpectrum->GetLineCenter(lActive), oLine.lIndex,
                                           oLine.fWavelength, &oLine.sName)) {
        return std::nullopt;
    }
    return oLine;
}

void LinesSession::IdentifyActiveLineWithNearest()
{
    if (const auto oLine = NearestLaboratoryLine()) {
        m_rState.PushUndo(m_rState.IdentificationStep("identify with " + oLine->sName));
        m_rState.pCurrentSpectrum->SetLineIdentification(ActiveLineIndex(), oLine->lIndex, oLine->fWavelength,
                                                  oLine->sName.c_str());
        m_rState.Announce(change::kLines);
    }
}

bool LinesSession::IdentifyActiveLine(int32_t lIndex)
{
    const int32_t lActive = ActiveLineIndex();
    double fWavelength = 0.0;
    std::string sName;
    if (lActive < 0 || lIndex < 0 || lIndex >= LaboratoryLineTable().GetLineCount() ||
        !LaboratoryLineTable().GetLine(lIndex, fWavelength, &sName)) {
        return false;
    }
    m_rState.PushUndo(m_rState.IdentificationStep("identify with " + sName));
    m_rState.pCurrentSpectrum->SetLineIdentification(lActive, lIndex, fWavelength, sName.c_str());
    m_rState.Announce(change::kLines);
    return true;
}

void LinesSession::CombineActiveLine(bool bWithRight)
{
    const int32_t i = ActiveLineIndex();
    if (bWithRight) {
        if (i >= 0 && i + 1 < m_rState.pCurrentSpectrum->GetSpectralLineCount()) {
            m_rState.pCurrentSpectrum->SetCombination(i, 1);
            m_rState.pCurrentSpectrum->SetCombination(i + 1, 0);
        }
    } else if (i > 0) {
        m_rState.pCurrentSpectrum->SetCombination(i, 0);
        m_rState.pCurrentSpectrum->SetCombination(i - 1, 1);
    }
    m_rState.Announce(change::kLines);
}

void LinesSession::UncombineActiveLine()
{
    const int32_t i = ActiveLineIndex();
    if (i < 0) {
        return;
    }
    const char c = m_rState.pCurrentSpectrum->GetCombination(i);
    if (c == 1 && i + 1 < m_rState.pCurrentSpectrum->GetSpectralLineCount()) {
        m_rState.pCurrentSpectrum->SetCombination(i + 1, 2);
    } else if (c == 0 && i > 0) {
        m_rState.pCurrentSpectrum->SetCombination(i - 1, 2);
    }
    m_rState.pCurrentSpectrum->SetCombination(i, 2);
    m_rState.Announce(change::kLines);
}

void LinesSession::SetActiveGaussianType(bool bDouble)
{
    const int32_t i = ActiveLineIndex();
    if (i >= 0) {
        m_rState.pCurrentSpectrum->SetGaussianType(i, bDouble);
        m_rState.Announce(change::kLines);
    }
}

// --- Laboratory lines ---

const LaboratoryLines& LinesSession::LaboratoryLineTable() const
{
    return m_rState.oTable.LaboratoryLineTable();
}

bool LinesSession::LoadLaboratoryLinesAtStartUp()
{
    const std::string sPath = m_rState.oSettings.ReadPath(Setting::LaboratoryLinesFilePath);
    if (!m_rState.oTable.LaboratoryLineTable().Load(sPath)) {
        return false;
    }
    m_rState.oTable.LaboratoryLineTable().SetFileName(ExtractFileName(sPath));
    m_rState.Announce(change::kLaboratoryLines);
    return true;
}

Outcome LinesSession::LoadLaboratoryLines(const std::string& sPath)
{
    m_rState.oTable.ClearRows();
    Outcome oOutcome;
    if (!m_rState.oTable.LaboratoryLineTable().Load(sPath)) {
        oOutcome = Message{"File not found error!", "Unable to load laboratory wavelengths!"};
    }
    m_rState.oTable.LaboratoryLineTable().SetFileName(ExtractFileName(sPath));
    m_rState.oSettings.Write(Setting::LaboratoryLinesFilePath, sPath);
    m_rState.Announce(change::kTable | change::kLaboratoryLines | change::kLines);
    return oOutcome;
}

void LinesSession::ActivateLine(int32_t lLine)
{
    if (m_rState.pCurrentSpectrum == nullptr || lLine < 0 || lLine >= m_rState.pCurrentSpectrum->GetSpectralLineCount()) {
        return;
    }
    if (!m_rState.pCurrentSpectrum->IsActiveLine(lLine)) {
        m_rState.pCurrentSpectrum->ToggleActiveLine(lLine);
        m_rState.Announce(change::kLines);
    }
}

bool LinesSession::UnidentifyActiveLine()
{
    const int32_t lActive = ActiveLineIndex();
    if (lActive < 0 || m_rState.pCurrentSpectrum->GetLineLaboratoryIndex(lActive) < 0) {
        return false;
    }
    std::string sName;
    double fLaboratory = 0.0;
    int32_t lIndex = -1;
    int32_t lCount = 0;
    m_rState.pCurrentSpectrum->GetLineIdentification(lActive, lIndex, fLaboratory, &sName, lCount);
    m_rState.PushUndo(m_rState.IdentificationStep("remove " + sName));
    m_rState.pCurrentSpectrum->SetLineIdentification(lActive, -1, 0.0, "");
    m_rState.Announce(change::kLines);
    return true;
}

int32_t LinesSession::IdentifyAllLines(double fVelocityWindow)
{
    Spectrum* pSpectrum = m_rState.pCurrentSpectrum;
    if (pSpectrum == nullptr) {
        return 0;
    }
    std::vector<int32_t> vIdentified;
    for (int32_t i = 0; i < pSpectrum->GetSpectralLineCount(); ++i) {
        vIdentified.push_back(pSpectrum->GetLineLaboratoryIndex(i));
    }
    const std::vector<int32_t> vMatch =
        MatchLaboratoryLines(FoundLines(*pSpectrum), vIdentified, LaboratoryLineTable(), fVelocityWindow);
    const auto lMatched = static_cast<int32_t>(std::count_if(vMatch.begin(), vMatch.end(), [](int32_t l) { return l >= 0; }));
    if (lMatched == 0) {
        return 0;
    }
    m_rState.PushUndo(m_rState.IdentificationStep("identify all"));
    for (std::size_t i = 0; i < vMatch.size(); ++i) {
        if (vMatch[i] >= 0) {
            double fLaboratory = 0.0;
            std::string sName;
            LaboratoryLineTable().GetLine(vMatch[i], fLaboratory, &sName);
            pSpectrum->SetLineIdentification(static_cast<int32_t>(i), vMatch[i], fLaboratory, sName.c_str());
        }
    }
    m_rState.Announce(change::kLines);
    return lMatched;
}

namespace {

// The standard error of a line's centre; for a double Gaussian, of the mean of its two centres (the
// components' errors taken as independent). 0 when the fit could not tell one.
double CenterError(const SpectralLine& oLine)
{
    if (!oLine.IsDoubleGaussian()) {
        return oLine.GetCenter1Error();
    }
    const double e1 = oLine.GetCenter1Error();
    const double e2 = oLine.GetCenter2Error();
    return e1 > 0.0 && e2 > 0.0 ? 0.5 * std::hypot(e1, e2) : 0.0;
}

} // namespace

std::vector<LineTableRow> LinesSession::LineTable() const
{
    std::vector<LineTableRow> vRows;
    const Spectrum* pSpectrum = m_rState.pCurrentSpectrum;
    if (pSpectrum == nullptr) {
        return vRows;
    }
    const std::optional<double> oJulianDate = m_rSession.Spectra().CurrentObservationTime();
    const WavelengthFrame eFrame = pSpectrum->GetMetadata().eFrame;
    const bool bCorrected =
        eFrame != WavelengthFrame::kTopocentric || (oJulianDate && m_rState.oTable.Coordinates().AreObjectCoordinatesSet());
    const SpectralLineList& oLines = pSpectrum->GetSpectralLines();
    for (int32_t i = 0; i < oLines.GetSpectralLineCount(); ++i) {
        const SpectralLine& oLine = oLines.GetLine(i);
        LineTableRow o;
        o.lLine = i;
        o.fCenter = oLine.GetCenter();
        o.fCenterError = CenterError(oLine);
        o.fSigma = oLine.GetWidth();
        o.fDepth = oLine.GetAmplitude1();
        o.fOffset = oLine.GetOffset();
        int32_t lIndex = -1;
        oLine.GetIdentification(&o.sName, lIndex, o.fLaboratory);
        if (lIndex >= 0) {
            o.oDoppler = quandrel::DopplerVelocity(o.fLaboratory, o.fCenter);
            if (o.fCenterError > 0.0) {
                o.oVelocityError = quandrel::DopplerVelocityError(o.fLaboratory, o.fCenterError);
            }
            if (bCorrected) {
                o.oCorrected =
                    m_rState.oTable.Coordinates().RadialVelocity(o.fLaboratory, o.fCenter, oJulianDate.value_or(0.0), eFrame);
            }
        } else {
            o.sName.clear();
        }
        vRows.push_back(std::move(o));
    }
    return vRows;
}

LineCommands LinesSession::CurrentLineCommands() const
{
    LineCommands o;
    const Spectrum* pCurrent = m_rState.pCurrentSpectrum;
    if (pCurrent == nullptr) {
        return o;
    }
    o.bHaveSpectrum = true;
    const bool bReference = pCurrent->IsReferenceSpectrum();
    const bool bLines = pCurrent->GetSpectralLineCount() > 0;
    const int32_t lActive = ActiveLineIndex();
    const int32_t lPoints = m_rSession.Calibration().Wavelengths().GetCalibrationPointCount();
    o.bIdentify = bLines && lActive >= 0 && !bReference;
    o.bUnidentify = o.bIdentify && pCurrent->GetLineLaboratoryIndex(lActive) >= 0;
    o.bIdentifyAll = !bReference;
    o.bIdentifyAllEnabled = bLines;
    o.bCalibrate = !bReference && lPoints > 0;
    o.bIdentifyCalibrationLine = bReference && bLines && lActive >= 0;
    o.bIdentifyLampLines = bReference && lPoints >= 2;
    o.bRemoveFromTable = m_rState.oTable.ContainsSpectrum(pCurrent);
    o.bShowHeader = !pCurrent->GetMetadata().vHeaderCards.empty();
    return o;
}
