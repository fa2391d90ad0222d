// The main window's handlers of the wavelength calibration: the calibration reference lines, lamp
// lines identified with them, the calibration dialog and the calibrated spectrum.
#include "FormMain.h"

#include "FormCalibration.h"
#include "FormInertialLineSelect.h"
#include "Prompts.h"
#include "core/NumberText.h"

void TfrmMain::mniOpenCalibrationLinesClick()
{
    WithFile(EFile::CalibrationLines, [this](const std::string& sFile) { return m_oSession.LoadCalibrationLines(sFile); });
}

void TfrmMain::mniSaveCalibratedSpectrumClick()
{
    if (GetCurrentSpectrum() == nullptr) {
        return;
    }
    WithFile(EFile::CalibratedSpectrum, [this](const std::string& sFile) { return m_oSession.SaveCalibratedSpectrum(sFile); });
}

void TfrmMain::mniCalibrateClick()
{
    CSpectrum* pCurrent = GetCurrentSpectrum();
    if (pCurrent == nullptr || m_pfrmCalibration->isVisible()) {
        return;
    }
    // A spectrum in wavelengths already (a FITS spectrum) keeps them unless the user means to replace them.
    if (const auto oAxis = m_oSession.CurrentWavelengthAxis();
        oAxis && m_oPrompts.Message("Warning!",
                                    "The spectrum already has wavelengths (" + quandrel::FormatFixed(oAxis->first, 2) +
                                        " to " + quandrel::FormatFixed(oAxis->second, 2) +
                                        "). Calibrating it replaces them by the lamp's polynomial of its pixels.\n\r"
                                        "Calibrate it all the same?",
                                    EIcon::Question, EButtons::YesNo) != EButton::Yes) {
        return;
    }
    SCalibrationInput oInput;
    oInput.oMode = m_oSession.ReadCalibrationMode();
    oInput.vPoints = m_oSession.Calibration().Points();
    oInput.fnTry = [this](const SCalibrationMode& oMode, SCalibrationFit& oFit) {
        return m_oSession.TryCalibration(oMode, oFit);
    };
    oInput.fnDelete = [this](int32_t lIndex) {
        m_oSession.DeleteCalibrationPoint(lIndex);
        return m_oSession.Calibration().Points();
    };
    m_oSession.BeginCalibration();
    m_oSession.EndCalibration(m_pfrmCalibration->Execute(oInput));
}

void TfrmMain::mniIdentifyInertialLineClick()
{
    if (m_oSession.ActiveLine() < 0) {
        return;
    }
    if (const auto lLine = m_pfrmInertialLineSelect->Choose({&m_oSession.Calibration(), true, m_lLastCalibrationLine})) {
        m_lLastCalibrationLine = *lLine;
        m_oSession.AddCalibrationPoint(*lLine);
    }
}
