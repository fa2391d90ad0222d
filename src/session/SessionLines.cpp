// The operations on all lines of the current spectrum at once: identifying them with laboratory or
// calibration lines, and the line table.
#include "Session.h"

#include "LineMatching.h"

#include "astro/Doppler.h"
#include "calibration/DenseMatrix.h"

#include <algorithm>
#include <cmath>

void Session::ActivateLine(int32_t lLine)
{
    if (m_pCurrentSpectrum == nullptr || lLine < 0 || lLine >= m_pCurrentSpectrum->GetSpectralLineCount()) {
        return;
    }
    if (!m_pCurrentSpectrum->IsActiveLine(lLine)) {
        m_pCurrentSpectrum->ToggleActiveLine(lLine);
        Announce(change::kLines);
    }
}

bool Session::UnidentifyActiveLine()
{
    const int32_t lActive = ActiveLineIndex();
    if (lActive < 0 || m_pCurrentSpectrum->GetLineLaboratoryIndex(lActive) < 0) {
        return false;
    }
    std::string sName;
    double fLaboratory = 0.0;
    int32_t lIndex = -1;
    int32_t lCount = 0;
    m_pCurrentSpectrum->GetLineIdentification(lActive, lIndex, fLaboratory, &sName, lCount);
    PushUndo(IdentificationStep("remove " + sName));
    m_pCurrentSpectrum->SetLineIdentification(lActive, -1, 0.0, "");
    Announce(change::kLines);
    return true;
}

int32_t Session::IdentifyAllLines(double fVelocityWindow)
{
    Spectrum* pSpectrum = m_pCurrentSpectrum;
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
    PushUndo(IdentificationStep("identify all"));
    for (std::size_t i = 0; i < vMatch.size(); ++i) {
        if (vMatch[i] >= 0) {
            double fLaboratory = 0.0;
            std::string sName;
            LaboratoryLineTable().GetLine(vMatch[i], fLaboratory, &sName);
            pSpectrum->SetLineIdentification(static_cast<int32_t>(i), vMatch[i], fLaboratory, sName.c_str());
        }
    }
    Announce(change::kLines);
    return lMatched;
}

Outcome Session::IdentifyRemainingLampLines(double fTolerance, int32_t& lAdded)
{
    lAdded = 0;
    Spectrum* pLamp = m_pCurrentSpectrum;
    if (pLamp == nullptr || !pLamp->IsReferenceSpectrum()) {
        return Message{"Identify remaining lamp lines", "The current spectrum is no reference spectrum."};
    }
    if (m_oCalibration.GetCalibrationPointCount() < 2) {
        return Message{"Identify remaining lamp lines",
                        "Identify at least two lamp lines with calibration lines first; the others are found "
                        "from them."};
    }
    const int32_t N = pLamp->GetNumberValues();
    const auto& vX = pLamp->GetWavelengths();
    const double fSpacing = N > 1 ? std::fabs(vX.back() - vX.front()) / (N - 1) : 1.0;
    const auto IsPaired = [&](double fCenter) {
        return std::any_of(m_oCalibration.Points().begin(), m_oCalibration.Points().end(),
                           [&](const CalibrationPoint& o) { return std::fabs(o.fMeasured - fCenter) < 0.5 * fSpacing; });
    };
    const auto IsUsed = [&](double fLambda) {
        return std::any_of(m_oCalibration.Points().begin(), m_oCalibration.Points().end(),
                           [&](const CalibrationPoint& o) { return o.fLambda == fLambda; });
    };
    for (;;) {
        // The provisional dispersion through the points so far.
        WavelengthCalibration oDispersion;
        for (const CalibrationPoint& o : m_oCalibration.Points()) {
            oDispersion.AddCalibrationPoint(o.fMeasured, o.fLambda);
        }
        const int32_t n = oDispersion.GetCalibrationPointCount();
        oDispersion.SetCalibrationMode(static_cast<char>(n < 3 ? 0 : (n < 6 ? 1 : 2)));
        bool bReduced = false;
        try {
            if (!oDispersion.FitCalibration(bReduced)) {
                break;
            }
        } catch (const math::DenseMatrixError&) {
            break;
        }
        // The line nearest to its calibration line, in samples.
        double fBestOff = fTolerance;
        std::optional<CalibrationPoint> oBest;
        for (int32_t i = 0; i < pLamp->GetSpectralLineCount(); ++i) {
            const double fCenter = pLamp->GetLineCenter(i);
            if (IsPaired(fCenter)) {
                continue;
            }
            const double fPredicted = oDispersion.CalibrateValue(fCenter);
            const double fSlope =
                (oDispersion.CalibrateValue(fCenter + fSpacing) - oDispersion.CalibrateValue(fCenter - fSpacing)) / 2;
            int32_t lIndex = -1;
            double fLambda = 0.0;
            std::string sName;
            if (!std::isfinite(fPredicted) || fSlope == 0.0 ||
                !m_oCalibration.Lines().FindNearestLine(fPredicted, lIndex, fLambda, &sName) || IsUsed(fLambda)) {
                continue;
            }
            const double fOff = std::fabs((fLambda - fPredicted) / fSlope);
            if (fOff <= fBestOff) {
                fBestOff = fOff;
                oBest = CalibrationPoint{fCenter, fLambda};
            }
        }
        if (!oBest) {
            break;
        }
        m_oCalibration.AddCalibrationPoint(oBest->fMeasured, oBest->fLambda);
        ++lAdded;
    }
    if (lAdded > 0) {
        Announce(change::kCalibration);
    }
    return std::nullopt;
}

std::vector<LineTableRow> Session::LineTable() const
{
    std::vector<LineTableRow> vRows;
    const Spectrum* pSpectrum = m_pCurrentSpectrum;
    if (pSpectrum == nullptr) {
        return vRows;
    }
    double fJulianDate = 0.0;
    const bool bCorrected = CurrentObservationTime(fJulianDate) && m_oTable.Coordinates().AreObjectCoordinatesSet();
    const SpectralLineList& oLines = pSpectrum->GetSpectralLines();
    for (int32_t i = 0; i < oLines.GetSpectralLineCount(); ++i) {
        const SpectralLine& oLine = oLines.GetLine(i);
        LineTableRow o;
        o.lLine = i;
        o.fCenter = oLine.GetCenter();
        o.fSigma = oLine.GetWidth();
        o.fDepth = oLine.GetAmplitude1();
        o.fOffset = oLine.GetOffset();
        int32_t lIndex = -1;
        oLine.GetIdentification(&o.sName, lIndex, o.fLaboratory);
        if (lIndex >= 0) {
            o.oDoppler = quandrel::DopplerVelocity(o.fLaboratory, o.fCenter);
            if (bCorrected) {
                o.oCorrected = m_oTable.Coordinates().RadialVelocity(o.fLaboratory, o.fCenter, fJulianDate);
            }
        } else {
            o.sName.clear();
        }
        vRows.push_back(std::move(o));
    }
    return vRows;
}

LineCommands Session::CurrentLineCommands() const
{
    LineCommands o;
    const Spectrum* pCurrent = m_pCurrentSpectrum;
    if (pCurrent == nullptr) {
        return o;
    }
    o.bHaveSpectrum = true;
    const bool bReference = pCurrent->IsReferenceSpectrum();
    const bool bLines = pCurrent->GetSpectralLineCount() > 0;
    const int32_t lActive = ActiveLineIndex();
    const int32_t lPoints = m_oCalibration.GetCalibrationPointCount();
    o.bIdentify = bLines && lActive >= 0 && !bReference;
    o.bUnidentify = o.bIdentify && pCurrent->GetLineLaboratoryIndex(lActive) >= 0;
    o.bIdentifyAll = !bReference;
    o.bIdentifyAllEnabled = bLines;
    o.bCalibrate = !bReference && lPoints > 0;
    o.bIdentifyCalibrationLine = bReference && bLines && lActive >= 0;
    o.bIdentifyLampLines = bReference && lPoints >= 2;
    o.bRemoveFromTable = m_oTable.ContainsSpectrum(pCurrent);
    o.bShowHeader = !pCurrent->GetMetadata().vHeaderCards.empty();
    return o;
}
