// The main window's handlers of the wavelength calibration: the calibration reference lines, lamp
// lines identified with them, the calibration dialog and the calibrated spectrum.
#include "MainWindow.h"

#include "CalibrationDialog.h"
#include "LaboratoryLineDialog.h"
#include "Prompts.h"
#include "core/NumberText.h"

void MainWindow::onOpenCalibrationLines()
{
    WithFile(File::CalibrationLines, [this](const std::string& sFile) { return m_oSession.LoadCalibrationLines(sFile); });
}

void MainWindow::onSaveCalibratedSpectrum()
{
    if (GetCurrentSpectrum() == nullptr) {
        return;
    }
    WithFile(File::CalibratedSpectrum, [this](const std::string& sFile) { return m_oSession.SaveCalibratedSpectrum(sFile); });
}

void MainWindow::onCalibrate()
{
    Spectrum* pCurrent = GetCurrentSpectrum();
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
                                    Icon::Question, Buttons::YesNo) != Button::Yes) {
        return;
    }
    CalibrationInput oInput;
    oInput.oMode = m_oSession.ReadCalibrationMode();
    oInput.vPoints = m_oSession.Calibration().Points();
    oInput.fnTry = [this](const CalibrationMode& oMode, CalibrationFit& oFit) {
        return m_oSession.TryCalibration(oMode, oFit);
    };
    oInput.fnDelete = [this](int32_t lIndex) {
        m_oSession.DeleteCalibrationPoint(lIndex);
        return m_oSession.Calibration().Points();
    };
    m_oSession.BeginCalibration();
    m_oSession.EndCalibration(m_pfrmCalibration->Execute(oInput));
}

void MainWindow::onIdentifyLaboratoryLine()
{
    if (m_oSession.ActiveLineIndex() < 0) {
        return;
    }
    if (const auto lLine = m_pfrmLaboratoryLineSelect->Choose({&m_oSession.Calibration().Lines(), true, m_lLastCalibrationLine})) {
        m_lLastCalibrationLine = *lLine;
        m_oSession.AddCalibrationPoint(*lLine);
    }
}
