// The session's wavelength calibration: the calibration lines, the points identified with them, the
// calibration of the current spectrum in steps and the calibrated spectrum's file.
#include "Session.h"
#include "SessionMessages.h"

#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "core/UtilsClass.h"

#include <algorithm>
#include <cmath>

using quandrel::session::Written;
using quandrel::session::WriteFailure;

bool CSession::LoadCalibrationLinesAtStartUp()
{
    const std::string sPath = m_oSettings.ReadPath(ESetting::CalibrationFilePath);
    if (!m_oCalibration.Load(sPath)) {
        return false;
    }
    m_oCalibration.SetFileName(ExtractFileName(sPath));
    Announce(change::kCalibration);
    return true;
}

Outcome CSession::LoadCalibrationLines(const std::string& sPath)
{
    Outcome oOutcome;
    if (!m_oCalibration.Load(sPath)) {
        oOutcome = SMessage{"File not found error!", "Unable to load calibration reference file!"};
    }
    m_oCalibration.SetFileName(ExtractFileName(sPath));
    m_oSettings.Write(ESetting::CalibrationFilePath, sPath);
    Announce(change::kCalibration);
    return oOutcome;
}

void CSession::ClearCalibrationPoints()
{
    m_oCalibration.ClearCalibrationPoints();
    Announce(change::kCalibration);
}

bool CSession::AddCalibrationPoint(int32_t lIndex)
{
    const int32_t lActive = ActiveLine();
    double fWavelength = 0.0;
    std::string sName;
    if (lActive < 0 || lIndex < 0 || lIndex >= m_oCalibration.GetLineCount() ||
        !m_oCalibration.GetLine(lIndex, fWavelength, &sName)) {
        return false;
    }
    m_oCalibration.AddCalibrationPoint(m_pCurrentSpectrum->GetLineCenter(lActive), fWavelength);
    Announce(change::kCalibration);
    return true;
}

Outcome CSession::SaveCalibratedSpectrum(const std::string& sPath) const
{
    if (m_pCurrentSpectrum == nullptr) {
        return SMessage{"Error!", "No spectrum is loaded."};
    }
    const auto& vWavelength = m_pCurrentSpectrum->GetWavelengths();
    const auto& vIntensity = m_pCurrentSpectrum->GetIntensities();
    if (CCSVFile::WriteColumns(sPath, m_pCurrentSpectrum->GetNumberValues(), ";", {vWavelength, vIntensity}) != 0) {
        return WriteFailure(sPath);
    }
    m_oSettings.Write(ESetting::SpectraPath, ExtractDirectory(sPath));
    return std::nullopt;
}

void CSession::SpectrumValuesChanged()
{
    Announce(change::kSpectrumValues);
}

std::optional<std::pair<double, double>> CSession::CurrentWavelengthAxis() const
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

void CSession::BeginCalibration()
{
    m_pCalibrated = m_pCurrentSpectrum;
    if (m_pCalibrated != nullptr) {
        m_vSavedWavelength = m_pCalibrated->GetWavelengths();
        m_vSavedIntensity = m_pCalibrated->GetIntensities();
    }
}

namespace {

void PutValues(CSpectrum& oSpectrum, const std::vector<double>& vWavelength, const std::vector<double>& vIntensity)
{
    if (vWavelength.empty()) {
        oSpectrum.ClearValues();
    } else {
        oSpectrum.SetValues(static_cast<int32_t>(vWavelength.size()), vWavelength.data(), vIntensity.data());
    }
}

} // namespace

Outcome CSession::TryCalibration(const SCalibrationMode& oMode, SCalibrationFit& oFit)
{
    oFit = SCalibrationFit();
    if (m_pCalibrated == nullptr) {
        return SMessage{"Error!", "No spectrum is being calibrated."};
    }
    PutValues(*m_pCalibrated, m_vSavedWavelength, m_vSavedIntensity);
    const char cMode = !oMode.bPolynomial ? CCalibration::kSamplingPoints
                                          : static_cast<char>(std::clamp(oMode.lOrder, 1, 4) - 1);
    m_oCalibration.SetCalibrationMode(cMode);
    try {
        m_oCalibration.FitCalibration(oFit.bOrderReduced);
    } catch (const math::matrix_error&) {
        Announce(change::kSpectrumValues);
        return SMessage{"Error!", "The calibration points cannot be fitted by this polynomial\n\r"
                                  "(their positions do not tell it apart). The spectrum keeps its wavelengths."};
    }
    std::vector<double> vWavelength = m_vSavedWavelength;
    m_oCalibration.Calibrate(static_cast<int32_t>(vWavelength.size()), vWavelength.data());
    if (!m_oCalibration.IsFinite(vWavelength)) {
        Announce(change::kSpectrumValues);
        return SMessage{"Error!", kCalibrationNotFinite};
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

void CSession::DeleteCalibrationPoint(int32_t lIndex)
{
    if (lIndex >= 0 && lIndex < m_oCalibration.GetCalibrationPointCount()) {
        m_oCalibration.DeleteCalibrationPoint(lIndex);
        Announce(change::kCalibration);
    }
}

void CSession::EndCalibration(const std::optional<SCalibrationMode>& oKept)
{
    if (m_pCalibrated != nullptr && !oKept) {
        PutValues(*m_pCalibrated, m_vSavedWavelength, m_vSavedIntensity);
    }
    if (m_pCalibrated != nullptr && oKept) {
        // Undo gives the spectrum its values from before the calibration back.
        SUndoStep oStep;
        const int32_t lIndex = m_oSpectra.IndexOf(m_pCalibrated);
        oStep.sWhat = "calibrate " + (lIndex >= 0 ? m_vNames[static_cast<std::size_t>(lIndex)] : std::string("spectrum"));
        oStep.pCalibrated = m_pCalibrated;
        oStep.vWavelength = std::move(m_vSavedWavelength);
        oStep.vIntensity = std::move(m_vSavedIntensity);
        PushUndo(std::move(oStep));
    }
    if (oKept) {
        m_oSettings.Write(ESetting::PolynomialOrder, static_cast<int>(oKept->lOrder));
        m_oSettings.Write(ESetting::UsePolynomialRegression, oKept->bPolynomial);
    }
    m_pCalibrated = nullptr;
    m_vSavedWavelength.clear();
    m_vSavedIntensity.clear();
    Announce(change::kSpectrumValues);
}

SCalibrationMode CSession::ReadCalibrationMode() const
{
    return {m_oSettings.ReadBool(ESetting::UsePolynomialRegression),
            std::clamp(m_oSettings.ReadInteger(ESetting::PolynomialOrder), 1, 4)};
}

