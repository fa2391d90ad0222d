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

bool Session::LoadCalibrationLinesAtStartUp()
{
    const std::string sPath = m_oSettings.ReadPath(Setting::CalibrationFilePath);
    if (!m_oCalibration.Lines().Load(sPath)) {
        return false;
    }
    m_oCalibration.Lines().SetFileName(ExtractFileName(sPath));
    Announce(change::kCalibration);
    return true;
}

Outcome Session::LoadCalibrationLines(const std::string& sPath)
{
    Outcome oOutcome;
    if (!m_oCalibration.Lines().Load(sPath)) {
        oOutcome = Message{"File not found error!", "Unable to load calibration reference file!"};
    }
    m_oCalibration.Lines().SetFileName(ExtractFileName(sPath));
    m_oSettings.Write(Setting::CalibrationFilePath, sPath);
    Announce(change::kCalibration);
    return oOutcome;
}

void Session::ClearCalibrationPoints()
{
    m_oCalibration.ClearCalibrationPoints();
    Announce(change::kCalibration);
}

void Session::AddCalibrationPoint(double fPosition, double fWavelength)
{
    m_oCalibration.AddCalibrationPoint(fPosition, fWavelength);
    Announce(change::kCalibration);
}

bool Session::AddCalibrationPoint(int32_t lIndex)
{
    const int32_t lActive = ActiveLineIndex();
    double fWavelength = 0.0;
    std::string sName;
    if (lActive < 0 || lIndex < 0 || lIndex >= m_oCalibration.Lines().GetLineCount() ||
        !m_oCalibration.Lines().GetLine(lIndex, fWavelength, &sName)) {
        return false;
    }
    m_oCalibration.AddCalibrationPoint(m_pCurrentSpectrum->GetLineCenter(lActive), fWavelength);
    Announce(change::kCalibration);
    return true;
}

Outcome Session::SaveCalibratedSpectrum(const std::string& sPath) const
{
    if (m_pCurrentSpectrum == nullptr) {
        return Message{"Error!", "No spectrum is loaded."};
    }
    const auto& vWavelength = m_pCurrentSpectrum->GetWavelengths();
    const auto& vIntensity = m_pCurrentSpectrum->GetIntensities();
    if (CsvFile::WriteColumns(sPath, m_pCurrentSpectrum->GetNumberValues(), ";", {vWavelength, vIntensity}) != 0) {
        return WriteFailure(sPath);
    }
    m_oSettings.Write(Setting::SpectraPath, ExtractDirectory(sPath));
    return std::nullopt;
}

void Session::SpectrumValuesChanged()
{
    Announce(change::kSpectrumValues);
}

std::optional<std::pair<double, double>> Session::CurrentWavelengthAxis() const
{
    if (m_pCurrentSpectrum == nullptr || m_pCurrentSpectrum->GetNumberValues() == 0) {
        return std::nullopt;
    }
    const std::vector<double>& vWavelength = m_pCurrentSpectrum->GetWavelengths();
    for (std::size_t i = 0; i < vWavelength.size(); ++i) {
        if (vWavelength[i] != static_cast<double>(i)) {
            return std::make_pair(vWavelength.front(), vWavelength.back());
        }
    }
    return std::nullopt;
}

void Session::BeginCalibration()
{
    m_pCalibrated = m_pCurrentSpectrum;
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

Outcome Session::TryCalibration(const CalibrationMode& oMode, CalibrationFit& oFit)
{
    oFit = CalibrationFit();
    if (m_pCalibrated == nullptr) {
        return Message{"Error!", "No spectrum is being calibrated."};
    }
    PutValues(*m_pCalibrated, m_vSavedWavelength, m_vSavedIntensity);
    const char cMode = !oMode.bPolynomial ? WavelengthCalibration::kSamplingPoints
                                          : static_cast<char>(std::clamp(oMode.lOrder, 1, 4) - 1);
    m_oCalibration.SetCalibrationMode(cMode);
    try {
        m_oCalibration.FitCalibration(oFit.bOrderReduced);
    } catch (const math::DenseMatrixError&) {
        Announce(change::kSpectrumValues);
        return Message{"Error!", "The calibration points cannot be fitted by this polynomial\n\r"
                                  "(their positions do not tell it apart). The spectrum keeps its wavelengths."};
    }
    std::vector<double> vWavelength = m_vSavedWavelength;
    m_oCalibration.Calibrate(static_cast<int32_t>(vWavelength.size()), vWavelength.data());
    if (!m_oCalibration.IsFinite(vWavelength)) {
        Announce(change::kSpectrumValues);
        return Message{"Error!", kCalibrationNotFinite};
    }
    if (!vWavelength.empty()) {
        PutValues(*m_pCalibrated, vWavelength, m_vSavedIntensity);
    }
    double fMeanSquare = 0.0;
    oFit.bHaveResiduals = m_oCalibration.GetResiduals(fMeanSquare, oFit.fMaxAbs);
    oFit.fRms = std::sqrt(fMeanSquare);
    Announce(change::kSpectrumValues);
    return std::nullopt;
}

void Session::DeleteCalibrationPoint(int32_t lIndex)
{
    if (lIndex >= 0 && lIndex < m_oCalibration.GetCalibrationPointCount()) {
        m_oCalibration.DeleteCalibrationPoint(lIndex);
        Announce(change::kCalibration);
    }
}

void Session::EndCalibration(const std::optional<CalibrationMode>& oKept)
{
    if (m_pCalibrated != nullptr && !oKept) {
        PutValues(*m_pCalibrated, m_vSavedWavelength, m_vSavedIntensity);
    }
    if (m_pCalibrated != nullptr && oKept) {
        // Undo gives the spectrum its values from before the calibration back.
        UndoStep oStep;
        const int32_t lIndex = m_oSpectra.IndexOf(m_pCalibrated);
        oStep.sWhat = "calibrate " + (lIndex >= 0 ? m_vNames[static_cast<std::size_t>(lIndex)] : std::string("spectrum"));
        oStep.pCalibrated = m_pCalibrated;
        oStep.vWavelength = std::move(m_vSavedWavelength);
        oStep.vIntensity = std::move(m_vSavedIntensity);
        PushUndo(std::move(oStep));
    }
    if (oKept) {
        m_oSettings.Write(Setting::PolynomialOrder, static_cast<int>(oKept->lOrder));
        m_oSettings.Write(Setting::UsePolynomialRegression, oKept->bPolynomial);
    }
    m_pCalibrated = nullptr;
    m_vSavedWavelength.clear();
    m_vSavedIntensity.clear();
    Announce(change::kSpectrumValues);
}

CalibrationMode Session::ReadCalibrationMode() const
{
    return {m_oSettings.ReadBool(Setting::UsePolynomialRegression),
            std::clamp(m_oSettings.ReadInteger(Setting::PolynomialOrder), 1, 4)};
}

