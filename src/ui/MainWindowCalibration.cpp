// The main window's handlers of the wavelength calibration: the calibration reference lines, lamp
// lines identified with them, the calibration dialog and the calibrated spectrum.
#include "MainWindow.h"

#include "CalibrationDialog.h"
#include "LaboratoryLineDialog.h"
#include "Prompts.h"
#include "core/NumberText.h"

void MainWindow::onOpenCalibrationLines()
{
    WithFile(File::CalibrationLines, [this](const std::string& sFile) { return m_oSession.Calibration().LoadCalibrationLines(sFile); });
}

void MainWindow::onSaveCalibratedSpectrum()
{
    if (GetCurrentSpectrum() == nullptr) {
        return;
    }
    WithFile(File::CalibratedSpectrum, [this](const std::string& sFile) { return m_oSession.Calibration().SaveCalibratedSpectrum(sFile); });
}

void MainWindow::onCalibrate()
{
    const Spectrum* pCurrent = GetCurrentSpectrum();
    if (pCurrent == nullptr || m_pfrmCalibration->isVisible()) {
        return;
    }
    // A spectrum in wavelengths already (a FITS spectrum) keeps them unless the user means to replace them.
    if (const auto oAxis = m_oSession.Calibration().CurrentWavelengthAxis();
        oAxis && m_oPrompts.Message("Warning!",
                                    "The spectrum already has wavelengths (" + quandrel::FormatFixed(oAxis->first, 2) +
                                        " to " + quandrel::FormatFixed(oAxis->second, 2) +
                                        "). Calibrating it replaces them by the lamp's polynomial of its pixels.\n\r"
                                        "Calibrate it all the same?",
                                    Icon::Question, Buttons::YesNo) != Button::Yes) {
        return;
    }
    CalibrationInput oInput;
    oInput.oMode = m_oSession.Calibration().ReadCalibrationMode();
    oInput.vPoints = m_oSession.Calibration().Wavelengths().Points();
    oInput.fnTry = [this](const CalibrationMode& oMode) { return m_oSession.Calibration().TryCalibration(oMode); };
    oInput.fnDelete = [this](int32_t lIndex) {
        m_oSession.Calibration().DeleteCalibrationPoint(lIndex);
        return m_oSession.Calibration().Wavelengths().Points();
    };
    m_oSession.Calibration().BeginCalibration();
    m_oSession.Calibration().EndCalibration(m_pfrmCalibration->Execute(oInput));
}

void MainWindow::onIdentifyLaboratoryLine()
{
    if (m_oSession.Lines().ActiveLineIndex() < 0) {
        return;
    }
    if (const auto lLine = m_pfrmLaboratoryLineSelect->Choose({&m_oSession.Calibration().Wavelengths().Lines(), true, m_lLastCalibrationLine})) {
        m_lLastCalibrationLine = *lLine;
        m_oSession.Calibration().AddCalibrationPoint(*lLine);
    }
}
