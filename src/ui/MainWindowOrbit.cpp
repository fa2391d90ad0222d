// The main window's handlers of the orbit and the period: the orbit search through the ranges
// dialog, the exports of elements and residuals, the PDM period search, the periodogram and outside
// measurements.
#include "MainWindow.h"

#include "PdmDialog.h"
#include "OrbitSearchDialog.h"
#include "PeriodogramDialog.h"
#include "Prompts.h"
#include "core/NumberText.h"

#include <QTabWidget>

#include <algorithm>
#include <cmath>

void MainWindow::onFitOrbit()
{
    OrbitRangeInput oInput;
    oInput.oSearch = m_oSession.Orbit().OrbitSearchProposal();
    if (const auto oDefaults = m_oSession.Orbit().DefaultOrbitSearch(oInput.oSearch)) {
        oInput.oDefaults = *oDefaults;
    }
    oInput.fnCheck = [this](const OrbitSearch& oSearch) { return m_oSession.Orbit().CheckOrbitSearch(oSearch); };
    oInput.fnSuggest = [this](const OrbitSearch& oSearch) { return m_oSession.Orbit().SuggestOrbitSearch(oSearch); };
    const auto oSearch = m_pfrmOrbitalElementRange->Execute(oInput);
    if (!oSearch) {
        return;
    }
    OrbitJob oJob;
    if (!Report(m_oSession.Orbit().PrepareOrbitSearch(*oSearch, oJob))) {
        return;
    }
    if (!RunWithProgress("Orbit search", [&oJob](Progress& oProgress) { oJob.Run(&oProgress); })) {
        // Cancelled: the elements stay as they were.
        return;
    }
    const Outcome oOutcome = m_oSession.Orbit().FinishOrbitSearch(std::move(oJob));
    // A search that ran shows its elements, also when only the least-squares refinement was refused.
    if (Report(oOutcome) || (oOutcome && !oOutcome->bParameters && m_oSession.Orbit().IsOrbitFitted())) {
        m_ppgcTables->setCurrentIndex(m_oSession.Orbit().LeastSquaresFit() ? 4 : 2);
        m_ppgcPlots->setCurrentIndex(1);
        DrawRVGraph();
    }
}

void MainWindow::onExportElements()
{
    WithFile(File::Elements, [this](const std::string& sFile) { return m_oSession.Orbit().ExportElements(sFile); });
}

void MainWindow::onExportResiduals()
{
    WithFile(File::Residuals, [this](const std::string& sFile) { return m_oSession.Orbit().ExportResiduals(sFile); });
}

void MainWindow::onEstimatePeriod()
{
    if (!m_oSession.Periods().CanEstimatePeriod()) {
        return;
    }
    const auto oSearch = m_pfrmConfigurePDM->Execute(m_oSession.Periods().PeriodSearchProposal());
    if (!oSearch) {
        return;
    }
    PdmJob oJob;
    if (!Report(m_oSession.Periods().PrepareEstimatePeriod(*oSearch, oJob)) ||
        !RunWithProgress("Period search (PDM)", [&oJob](Progress& oProgress) { oJob.Run(&oProgress); })) {
        return;
    }
    const SessionResult<double> oPeriod = m_oSession.Periods().FinishEstimatePeriod(std::move(oJob));
    if (Report(oPeriod)) {
        const double fPeriod = *oPeriod;
        const std::string& sWarning = m_oSession.Periods().PeriodWarning();
        m_oPrompts.Message("PDM Result",
                           "Period of least dispersion: T = " + quandrel::FormatFixed(fPeriod, 3) + " d" +
                               (sWarning.empty() ? std::string() : "\n\n" + sWarning),
                           sWarning.empty() ? Icon::Information : Icon::Warning, Buttons::Ok);
        ShowFeedback(QString::fromStdString("PDM: T = " + quandrel::FormatFixed(fPeriod, 3) + " d"));
    }
}

void MainWindow::onImportMeasurements()
{
    // Several files are pooled, each a data set (an observer, an instrument).
    const std::vector<std::string> vFiles = m_oPrompts.OpenFiles(FileDialogOf(File::OutsideMeasurements));
    if (!vFiles.empty() && Report(m_oSession.Orbit().ImportMeasurementFiles(vFiles))) {
        m_ppgcPlots->setCurrentIndex(1);
        DrawRVGraph();
    }
}

void MainWindow::onPeriodogram()
{
    const DataSeries& oSeries = m_oSession.Orbit().GridSearch().GetData();
    if (oSeries.GetArraySize() < 4) {
        return;
    }
    // The last range, or 0.5 days to the time span at first.
    PeriodogramSetup oSetup;
    if (const auto& oLast = m_oSession.Periods().LastPeriodogram()) {
        oSetup.fShortest = 1.0 / oLast->vFrequency.back();
        oSetup.fLongest = 1.0 / oLast->vFrequency.front();
        oSetup.lSamples = static_cast<std::int64_t>(oLast->vFrequency.size());
    } else {
        const double fSpan = std::fabs(oSeries.GetX(oSeries.GetArraySize() - 1) - oSeries.GetX(0));
        oSetup.fLongest = std::max(fSpan, 1.0);
        oSetup.lSamples = DefaultPeriodogramSamples(fSpan, oSetup.fShortest, oSetup.fLongest);
    }
    const auto oChosen = m_pfrmPeriodogram->Execute(oSetup);
    if (!oChosen) {
        return;
    }
    PeriodogramJob oJob;
    if (!Report(m_oSession.Periods().PreparePeriodogram(oChosen->fShortest, oChosen->fLongest, oChosen->lSamples, oJob)) ||
        !RunWithProgress("Periodogram", [&oJob](Progress& oProgress) { oJob.Run(&oProgress); })) {
        return;
    }
    const SessionResult<PeriodogramResult> oFinished = m_oSession.Periods().FinishPeriodogram(std::move(oJob));
    if (Report(oFinished)) {
        const PeriodogramResult& oResult = *oFinished;
        m_ppgcPlots->setCurrentIndex(kPeriodogramPage);
        DrawPeriodogram();
        m_oPrompts.Message("Periodogram",
                           "P = " + quandrel::FormatFixed(oResult.BestPeriod(), 4) + " d, power " +
                               quandrel::FormatFixed(oResult.fBestPower, 3) + " (1 % false-alarm level " +
                               quandrel::FormatFixed(oResult.fFalseAlarm1Percent, 3) + ")",
                           Icon::Information, Buttons::Ok);
    }
}

void MainWindow::onPosterior()
{
    PosteriorOptions oOptions;
    std::optional<SessionResult<OrbitPosterior>> oResult;
    if (!RunWithProgress("Posterior of the orbit", [&](Progress& oProgress) {
            oResult.emplace(m_oSession.Orbit().SamplePosterior(oOptions, &oProgress));
        }) ||
        !oResult) {
        return;
    }
    if (!*oResult) {
        if (oResult->Error().sText != "The sampling was cancelled.") {
            Report(oResult->Error());
        }
        return;
    }
    if (!(*oResult)->bConverged) {
        ShowFeedback("The chains are shorter than 50 autocorrelation times: the intervals are rough");
    }
    m_oSession.Orbit().KeepPosterior(std::move(**oResult));
    m_ppgcPlots->setCurrentIndex(1);
}
