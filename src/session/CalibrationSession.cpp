// The session's wavelength calibration: the calibration lines, the points identified with them, the
// calibration of the current spectrum in steps and the calibrated spectrum's file.
#include "Session.h"
#include "SessionMessages.h"

#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"

#include <algorithm>
#include <cmath>

using quandrel::session::Written;
using quandrel::session::WriteFailure;

bool CalibrationSession::LoadCalibrationLinesAtStartUp()
{
    const std::string sPath = m_rState.oSettings.ReadPath(Setting::CalibrationFilePath);
    if (!m_oCalibration.Lines().Load(sPath)) {
        return false;
    }
    m_oCalibration.Lines().SetFileName(ExtractFileName(sPath));
    m_rState.Announce(change::kCalibration);
    return true;
}

Outcome CalibrationSession::LoadCalibrationLines(const std::string& sPath)
{
    Outcome oOutcome;
    if (!m_oCalibration.Lines().Load(sPath)) {
        oOutcome = Message{"File not found error!", "Unable to load calibration reference file!"};
    }
    m_oCalibration.Lines().SetFileName(ExtractFileName(sPath));
    m_rState.oSettings.Write(Setting::CalibrationFilePath, sPath);
    m_rState.Announce(change::kCalibration);
    return oOutcome;
}

void CalibrationSession::ClearCalibrationPoints()
{
    m_oCalibration.ClearCalibrationPoints();
    m_rState.Announce(change::kCalibration);
}

void CalibrationSession::AddCalibrationPoint(double fPosition, double fWavelength)
{
    m_oCalibration.AddCalibrationPoint(fPosition, fWavelength);
    m_rState.Announce(change::kCalibration);
}

bool CalibrationSession::AddCalibrationPoint(int32_t lIndex)
{
    const int32_t lActive = m_rSession.Lines().ActiveLineIndex();
    double fWavelength = 0.0;
    std::string sName;
    if (lActive < 0 || lIndex < 0 || lIndex >= m_oCalibration.Lines().GetLineCount() ||
        !m_oCalibration.Lines().GetLine(lIndex, fWavelength, &sName)) {
        return false;
    }
    m_oCalibration.AddCalibrationPoint(m_rState.pCurrentSpectrum->GetLineCenter(lActive), fWavelength);
    m_rState.Announce(change::kCalibration);
    return true;
}

Outcome CalibrationSession::SaveCalibratedSpectrum(const std::string& sPath) const
{
    if (m_rState.pCurrentSpectrum == nullptr) {
        return Message{"Error!", "No spectrum is loaded."};
    }
    const auto& vWavelength = m_rState.pCurrentSpectrum->GetWavelengths();
    const auto& vIntensity = m_rState.pCurrentSpectrum->GetIntensities();
    if (CsvFile::WriteColumns(sPath, m_rState.pCurrentSpectrum->GetNumberValues(), ";", {vWavelength, vIntensity}) != 0) {
        return WriteFailure(sPath);
    }
    m_rState.oSettings.Write(Setting::SpectraPath, ExtractDirectory(sPath));
    return std::nullopt;
}

std::optional<std::pair<double, double>> CalibrationSession::CurrentWavelengthAxis() const
{
    if (m_rState.pCurrentSpectrum == nullptr || m_rState.pCurrentSpectrum->GetNumberValues() == 0) {
        return std::nullopt;
    }
    const std::vector<double>& vWavelength = m_rState.pCurrentSpectrum->GetWavelengths();
    for (std::size_t i = 0; i < vWavelength.size(); ++i) {
        if (vWavelength[i] != static_cast<double>(i)) {
            return std::make_pair(vWavelength.front(), vWavelength.back());
        }
    }
    return std::nullopt;
}

void CalibrationSession::BeginCalibration()
{
    m_pCalibrated = m_rState.pCurrentSpectrum;
    if (m_pCalibrated != nullptr) {
        m_vSavedWavelength = m_pCalibrated->GetWavelengths();
        m_vSavedIntensity = m_pCalibrated->GetIntensities();
    }
}

namespace {

void PutValues(Spectrum& oSpectrum, const std::vector<double>& vWavelength, const std::vector<double>& vIntensity)
{
    if (vWavelength.empty()) {
        oSpectrum.ClearValues();
    } else {
        oSpectrum.ReplaceValues(static_cast<int32_t>(vWavelength.size()), vWavelength.data(), vIntensity.data());
    }
}

} // namespace

SessionResult<CalibrationFit> CalibrationSession::TryCalibration(const CalibrationMode& oMode)
{
    CalibrationFit oFit;
    if (m_pCalibrated == nullptr) {
        return quandrel::Failure(Message{"Error!", "No spectrum is being calibrated."});
    }
    PutValues(*m_pCalibrated, m_vSavedWavelength, m_vSavedIntensity);
    const char cMode = !oMode.bPolynomial ? WavelengthCalibration::kSamplingPoints
                                          : static_cast<char>(std::clamp(oMode.lOrder, 1, 4) - 1);
    m_oCalibration.SetCalibrationMode(cMode);
    if (m_oCalibration.FitCalibration(oFit.bOrderReduced) == WavelengthCalibration::FitResult::kSingular) {
        m_rState.Announce(change::kSpectrumValues);
        return quandrel::Failure(Message{"Error!", "The calibration points cannot be fitted by this polynomial\n\r"
                                  "(their positions do not tell it apart). The spectrum keeps its wavelengths."});
    }
    std::vector<double> vWavelength = m_vSavedWavelength;
    m_oCalibration.Calibrate(static_cast<int32_t>(vWavelength.size()), vWavelength.data());
    if (!m_oCalibration.IsFinite(vWavelength)) {
        m_rState.Announce(change::kSpectrumValues);
        return quandrel::Failure(Message{"Error!", kCalibrationNotFinite});
    }
    if (!vWavelength.empty()) {
        PutValues(*m_pCalibrated, vWavelength, m_vSavedIntensity);
    }
    double fMeanSquare = 0.0;
    oFit.bHaveResiduals = m_oCalibration.GetResiduals(fMeanSquare, oFit.fMaxAbs);
    oFit.fRms = std::sqrt(fMeanSquare);
    m_rState.Announce(change::kSpectrumValues);
    return oFit;
}

void CalibrationSession::DeleteCalibrationPoint(int32_t lIndex)
{
    if (lIndex >= 0 && lIndex < m_oCalibration.GetCalibrationPointCount()) {
        m_oCalibration.DeleteCalibrationPoint(lIndex);
        m_rState.Announce(change::kCalibration);
    }
}

void CalibrationSession::EndCalibration(const std::optional<CalibrationMode>& oKept)
{
    if (m_pCalibrated != nullptr && !oKept) {
        PutValues(*m_pCalibrated, m_vSavedWavelength, m_vSavedIntensity);
    }
    if (m_pCalibrated != nullptr && oKept) {
        // Undo gives the spectrum its values from before the calibration back.
        UndoStep oStep;
        const int32_t lIndex = m_rState.oSpectra.IndexOf(m_pCalibrated);
        oStep.sWhat = "calibrate " + (lIndex >= 0 ? m_rState.vNames[static_cast<std::size_t>(lIndex)] : std::string("spectrum"));
        oStep.pCalibrated = m_pCalibrated;
        oStep.vWavelength = std::move(m_vSavedWavelength);
        oStep.vIntensity = std::move(m_vSavedIntensity);
        m_rState.PushUndo(std::move(oStep));
    }
    if (oKept) {
        m_rState.oSettings.Write(Setting::PolynomialOrder, static_cast<int>(oKept->lOrder));
        m_rState.oSettings.Write(Setting::UsePolynomialRegression, oKept->bPolynomial);
    }
    m_pCalibrated = nullptr;
    m_vSavedWavelength.clear();
    m_vSavedIntensity.clear();
    m_rState.Announce(change::kSpectrumValues);
}

CalibrationMode CalibrationSession::ReadCalibrationMode() const
{
    return {m_rState.oSettings.ReadBool(Setting::UsePolynomialRegression),
            std::clamp(m_rState.oSettings.ReadInteger(Setting::PolynomialOrder), 1, 4)};
}

SessionResult<int32_t> CalibrationSession::IdentifyRemainingLampLines(double fTolerance)
{
    int32_t lAdded = 0;
    Spectrum* pLamp = m_rState.pCurrentSpectrum;
    if (pLamp == nullptr || !pLamp->IsReferenceSpectrum()) {
        return quandrel::Failure(Message{"Identify remaining lamp lines", "The current spectrum is no reference spectrum."});
    }
    if (m_oCalibration.GetCalibrationPointCount() < 2) {
        return quandrel::Failure(Message{"Identify remaining lamp lines",
                                         "Identify at least two lamp lines with calibration lines first; the "
                                         "others are found from them."});
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
        if (oDispersion.FitCalibration(bReduced) != WavelengthCalibration::FitResult::kFitted) {
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
        m_rState.Announce(change::kCalibration);
    }
    return lAdded;
}
