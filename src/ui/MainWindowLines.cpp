// The main window's handlers of spectral lines: the fitting sliders, the line search and fit, a
// click on a line, identification with laboratory lines and the laboratory table itself.
#include "lines/SliderScale.h"
#include "MainWindow.h"
#include "UiUtils.h"

#include "LaboratoryLineDialog.h"
#include "NormalizeDialog.h"
#include "Prompts.h"
#include "core/Utils.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The slider index an edit field names: its number rounded to the nearest whole one. Not a number
// (or not finite) gives nothing, and the command ends there, as for every invalid field.
std::optional<int> RoundedIndex(const QLineEdit* pEdit)
{
    const quandrel::Result<double> fValue = TextToFloat(pEdit->text().toStdString());
    if (!fValue) {
        return std::nullopt;
    }
    const double fIndex = std::floor(*fValue + 0.5);
    if (!std::isfinite(fIndex)) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp(fIndex, -1e6, 1e6));
}


} // namespace

void MainWindow::onWidthSliderMoved()
{
    if (m_bWidthSliderFocus) {
        m_pedWidth->setText(QString::number(m_ptrbWidth->maximum() - m_ptrbWidth->value()));
    }
}

void MainWindow::onWidthEdited()
{
    if (!m_bWidthSliderFocus) {
        const int lIndex = TextToInt(m_pedWidth->text().toStdString(), 5);
        m_ptrbWidth->setValue(m_ptrbWidth->maximum() - lIndex);
    }
}

void MainWindow::onSensitivitySliderMoved()
{
    if (m_bSensitivitySliderFocus) {
        m_pedSensitivity->setText(QString::number(m_ptrbSensitivity->maximum() - m_ptrbSensitivity->value()));
    }
}

void MainWindow::edSensitivityExit()
{
    if (m_bSensitivitySliderFocus) {
        return;
    }
    if (const auto lIndex = RoundedIndex(m_pedSensitivity)) {
        m_ptrbSensitivity->setValue(m_ptrbSensitivity->maximum() - *lIndex);
    }
}

void MainWindow::OptLevelChange()
{
    if (!m_bLevelSliderFocus) {
        return;
    }
    const bool bOn = m_pchbOptLevel->isChecked();
    m_ptrbOptLevel->setEnabled(bOn);
    m_pedLevel->setEnabled(bOn);
    if (GetCurrentSpectrum() != nullptr) {
        ApplyLevel(m_ptrbOptLevel->maximum() - m_ptrbOptLevel->value());
    }
}

void MainWindow::edLevelExit()
{
    if (m_bLevelSliderFocus) {
        return;
    }
    const auto lRounded = RoundedIndex(m_pedLevel);
    if (!lRounded) {
        return;
    }
    const int lLevel = *lRounded;
    m_ptrbOptLevel->setValue(m_ptrbOptLevel->maximum() - lLevel);
    if (GetCurrentSpectrum() != nullptr) {
        ApplyLevel(lLevel);
    }
}

void MainWindow::ApplyLevel(int lLevel)
{
    CurrentPlot()->SetLevel(m_pchbOptLevel->isChecked(), lLevel, m_ptrbOptLevel->maximum());
    if (m_bLevelSliderFocus) {
        m_pedLevel->setText(QString::number(lLevel));
    }
    if (m_pedLevel->text() != m_sLastLevelText) {
        RedrawSpectrum();
    }
    m_sLastLevelText = m_pedLevel->text();
}

void MainWindow::onFindSpectralLines()
{
    // The sliders run from the widest window and the lowest threshold at their left ends.
    const auto oSearch = SliderScale::SearchOf(m_ptrbWidth->maximum(), m_ptrbWidth->maximum() - m_ptrbWidth->value(),
                                               m_ptrbSensitivity->maximum() - m_ptrbSensitivity->value());
    Outcome oOutcome;
    if (!oSearch) {
        oOutcome = Message{"Fatal error!", "Invalid range for sensitivity or width slider!", true};
    } else {
        BusyCursor oBusy(m_oPrompts);
        oOutcome = m_oSession.Lines().FindSpectralLines(*oSearch);
    }
    if (Report(oOutcome) && GetCurrentSpectrum() != nullptr) {
        const int32_t lLines = GetCurrentSpectrum()->GetSpectralLineCount();
        ShowFeedback(lLines == 1 ? QString("1 line found") : QString("%1 lines found").arg(lLines));
    }
}

void MainWindow::onOptimizeFit()
{
    // The level slider runs from intensity 1 at its top to 0.
    if (m_ptrbOptLevel->maximum() > 0) {
        m_oSession.Lines().OptimizeFit(static_cast<double>(m_ptrbOptLevel->maximum() - m_ptrbOptLevel->value()) /
                               m_ptrbOptLevel->maximum());
    }
}

void MainWindow::onSpectrumClicked(int lX, int lY, Qt::MouseButton eButton)
{
    if ((eButton == Qt::LeftButton || eButton == Qt::RightButton) && GetCurrentSpectrum() != nullptr) {
        m_oSession.Lines().ChooseLine(CurrentPlot()->FindLineAt(lX, lY), eButton == Qt::LeftButton);
    }
}

void MainWindow::onIdentifyWithNearest()
{
    m_oSession.Lines().IdentifyActiveLineWithNearest();
}

void MainWindow::onIdentifyWith()
{
    if (m_oSession.Lines().ActiveLineIndex() < 0) {
        return;
    }
    const auto oNearest = m_oSession.Lines().NearestLaboratoryLine();
    const int32_t lPreselected = m_lLastLaboratoryLine >= 0 ? m_lLastLaboratoryLine : oNearest ? oNearest->lIndex : -1;
    if (const auto lLine = m_pfrmLaboratoryLineSelect->Choose({&m_oSession.Lines().LaboratoryLineTable(), false, lPreselected})) {
        m_lLastLaboratoryLine = *lLine;
        m_oSession.Lines().IdentifyActiveLine(*lLine);
    }
}

void MainWindow::onIdentifyAll()
{
    const Spectrum* pCurrent = GetCurrentSpectrum();
    if (pCurrent == nullptr) {
        return;
    }
    const double fWindow = m_oSession.Settings().ReadFloat(Setting::IdentifyAllVelocity);
    const int32_t lIdentified = m_oSession.Lines().IdentifyAllLines(fWindow);
    int32_t lLeft = 0;
    for (int32_t i = 0; i < pCurrent->GetSpectralLineCount(); ++i) {
        lLeft += pCurrent->GetLineLaboratoryIndex(i) < 0 ? 1 : 0;
    }
    ShowFeedback(QString("%1 line%2 identified within \u00B1%3 km/s, %4 left unidentified")
                     .arg(lIdentified)
                     .arg(lIdentified == 1 ? "" : "s")
                     .arg(QString::fromStdString(FloatToText(fWindow)))
                     .arg(lLeft));
}

void MainWindow::onMeasureAllOpenSpectra()
{
    CampaignOptions oOptions;
    const auto oSearch = SliderScale::SearchOf(m_ptrbWidth->maximum(), m_ptrbWidth->maximum() - m_ptrbWidth->value(),
                                               m_ptrbSensitivity->maximum() - m_ptrbSensitivity->value());
    if (!oSearch) {
        Report(Message{"Fatal error!", "Invalid range for sensitivity or width slider!", true});
        return;
    }
    oOptions.oSearch = *oSearch;
    oOptions.fMinSigma = m_oSession.Settings().ReadFloat(Setting::MinDepthSigma);
    oOptions.fIdentifyWindow = m_oSession.Settings().ReadFloat(Setting::IdentifyAllVelocity);
    auto oJob = m_oSession.Campaign().PrepareOpenSpectra(oOptions);
    if (!Report(oJob)) {
        return;
    }
    if (!m_oSession.Spectra().HeaderCoordinates()) {
        EnsureCoordinates();
    }
    CampaignJob& rJob = *oJob;
    if (!RunWithProgress("Measuring", [&rJob](Progress& oProgress) { rJob.Run(&oProgress); })) {
        ShowFeedback("Measuring cancelled: no spectrum changed");
        return;
    }
    const std::vector<CampaignRow> vRows = m_oSession.Campaign().Finish(std::move(rJob));
    std::string sFailures;
    for (const CampaignRow& o : vRows) {
        if (!o.sFailure.empty()) {
            sFailures += "\n" + o.sName + ": " + o.sFailure;
        }
    }
    const auto lMeasured = std::count_if(vRows.begin(), vRows.end(), [](const CampaignRow& o) { return o.sFailure.empty(); });
    const QString sDone = QString("%1 of %2 spectra measured and added to the table").arg(lMeasured).arg(vRows.size());
    ShowFeedback(sDone);
    if (!sFailures.empty()) {
        m_oPrompts.Message("Measure all open spectra", sDone.toStdString() + ". Not measured:" + sFailures, Icon::Warning,
                           Buttons::Ok);
    }
}

void MainWindow::onUnidentify()
{
    m_oSession.Lines().UnidentifyActiveLine();
}

void MainWindow::onIdentifyLampLines()
{
    const SessionResult<int32_t> oAdded =
        m_oSession.Calibration().IdentifyRemainingLampLines(m_oSession.Settings().ReadFloat(Setting::LampLineTolerance));
    if (Report(oAdded)) {
        const int32_t lAdded = *oAdded;
        ShowFeedback(QString("%1 lamp line%2 identified; %3 calibration points (see Calibrate ...)")
                         .arg(lAdded)
                         .arg(lAdded == 1 ? "" : "s")
                         .arg(m_oSession.Calibration().Wavelengths().GetCalibrationPointCount()));
    }
}

void MainWindow::edMinSigmaExit()
{
    // A depth floor of 0 or more noise sigmas; anything else puts the kept value back.
    if (const quandrel::Result<double> f = EditReal(m_pedMinSigma); f && *f >= 0.0 && std::isfinite(*f)) {
        m_oSession.Settings().Write(Setting::MinDepthSigma, *f);
    }
    m_pedMinSigma->setText(QString::fromStdString(FloatToText(m_oSession.Settings().ReadFloat(Setting::MinDepthSigma))));
}

void MainWindow::onOpenLaboratoryLines()
{
    if (!m_oSession.Project().Table().Rows().empty()) {
        if (m_oPrompts.Message("Warning!",
                               "Changing the laboratory wavelengths file \n\rwill clear the RV evaluation "
                               "table!\n\rDo you want to continue?",
                               Icon::Warning, Buttons::YesNo) != Button::Yes) {
            return;
        }
        if (!AskToSaveTable()) {
            // Cancelled, or the rows were to be kept and could not be saved: they stay.
            return;
        }
    }
    WithFile(File::LaboratoryLines, [this](const std::string& sFile) { return m_oSession.Lines().LoadLaboratoryLines(sFile); });
}

void MainWindow::onCombineLeft()
{
    m_oSession.Lines().CombineActiveLine(false);
}

void MainWindow::onCombineRight()
{
    m_oSession.Lines().CombineActiveLine(true);
}

void MainWindow::onUncombine()
{
    m_oSession.Lines().UncombineActiveLine();
}

void MainWindow::onGaussianType(bool bDouble)
{
    m_oSession.Lines().SetActiveGaussianType(bDouble);
}

void MainWindow::onNormalizeContinuum()
{
    const Spectrum* pSpectrum = GetCurrentSpectrum();
    if (pSpectrum == nullptr) {
        return;
    }
    NormalizeInput oInput;
    oInput.oOptions = m_oContinuumOptions;
    oInput.pvWavelength = &pSpectrum->GetWavelengths();
    oInput.pvIntensity = &pSpectrum->GetIntensities();
    oInput.fnFit = [this](const ContinuumOptions& oOptions) -> quandrel::Result<ContinuumFit> {
        auto oFit = m_oSession.Spectra().FitCurrentContinuum(oOptions);
        if (!oFit) {
            return quandrel::Failure(oFit.Error().sText);
        }
        return std::move(*oFit);
    };
    if (const auto oOptions = m_pfrmNormalize->Execute(oInput)) {
        m_oContinuumOptions = *oOptions;
        Report(m_oSession.Spectra().NormalizeCurrentSpectrum(*oOptions));
        UpdateCommandStates();
    }
}

void MainWindow::onRestoreIntensities()
{
    Report(m_oSession.Spectra().RestoreCurrentSpectrum());
    UpdateCommandStates();
}
