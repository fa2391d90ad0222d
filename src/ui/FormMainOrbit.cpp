// The main window's handlers of the orbit and the period: the orbit search through the ranges
// dialog, the exports of elements and residuals, the PDM period search, the periodogram and outside
// measurements.
#include "FormMain.h"

#include "FormConfigurePDM.h"
#include "FormOrbitalElementRange.h"
#include "FormPeriodogram.h"
#include "Prompts.h"
#include "core/NumberText.h"

#include <QTabWidget>

#include <algorithm>
#include <cmath>

void TfrmMain::mniCalculateElementsClick()
{
    SOrbitRangeInput oInput;
    oInput.oSearch = m_oSession.OrbitSearchProposal();
    SOrbitSearch oDefaults = oInput.oSearch;
    if (!m_oSession.DefaultOrbitSearch(oDefaults)) {
        oInput.oDefaults = oDefaults;
    }
    oInput.fnCheck = [this](const SOrbitSearch& oSearch) { return m_oSession.CheckOrbitSearch(oSearch); };
    oInput.fnSuggest = [this](SOrbitSearch& oSearch) { return m_oSession.SuggestOrbitSearch(oSearch); };
    const auto oSearch = m_pfrmOrbitalElementRange->Execute(oInput);
    if (!oSearch) {
        return;
    }
    SOrbitJob oJob;
    if (!Report(m_oSession.PrepareOrbitSearch(*oSearch, oJob))) {
        return;
    }
    if (!RunWithProgress("Orbit search", [&oJob](CProgress& oProgress) { oJob.Run(&oProgress); })) {
        // Cancelled: the elements stay as they were.
        return;
    }
    const Outcome oOutcome = m_oSession.FinishOrbitSearch(std::move(oJob));
    // A search that ran shows its elements, also when only the least-squares refinement was refused.
    if (Report(oOutcome) || (oOutcome && !oOutcome->bParameters && m_oSession.IsOrbitFitted())) {
        m_ppgcTables->setCurrentIndex(m_oSession.LeastSquaresOrbit() ? 4 : 2);
        m_ppgcPlots->setCurrentIndex(1);
        DrawRVGraph();
    }
}

void TfrmMain::mniExportElementsClick()
{
    WithFile(EFile::Elements, [this](const std::string& sFile) { return m_oSession.ExportElements(sFile); });
}

void TfrmMain::mniExportResidualsClick()
{
    WithFile(EFile::Residuals, [this](const std::string& sFile) { return m_oSession.ExportResiduals(sFile); });
}

void TfrmMain::mniEstimatePeriodClick()
{
    if (!m_oSession.CanEstimatePeriod()) {
        return;
    }
    const auto oSearch = m_pfrmConfigurePDM->Execute(m_oSession.PeriodSearchProposal());
    if (!oSearch) {
        return;
    }
    SPdmJob oJob;
    if (!Report(m_oSession.PrepareEstimatePeriod(*oSearch, oJob)) ||
        !RunWithProgress("Period search (PDM)", [&oJob](CProgress& oProgress) { oJob.Run(&oProgress); })) {
        return;
    }
    double fPeriod = 0.0;
    if (Report(m_oSession.FinishEstimatePeriod(std::move(oJob), fPeriod))) {
        const std::string& sWarning = m_oSession.PeriodWarning();
        m_oPrompts.Message("PDM Result",
                           "Period of least dispersion: T = " + quandrel::FormatFixed(fPeriod, 3) + " d" +
                               (sWarning.empty() ? std::string() : "\n\n" + sWarning),
                           sWarning.empty() ? EIcon::Information : EIcon::Warning, EButtons::Ok);
        ShowFeedback(QString::fromStdString("PDM: T = " + quandrel::FormatFixed(fPeriod, 3) + " d"));
    }
}

void TfrmMain::mniImportMeasurementsClick()
{
    const auto sFile = AskForFile(EFile::OutsideMeasurements);
    if (sFile && Report(m_oSession.ImportMeasurements(*sFile))) {
        m_ppgcPlots->setCurrentIndex(1);
        DrawRVGraph();
    }
}

void TfrmMain::mniPeriodogramClick()
{
    const CMeasuredDataArray& oSeries = m_oSession.Orbit().GetData();
    if (oSeries.GetArraySize() < 4) {
        return;
    }
    // The last range, or 0.5 days to the time span at first.
    SPeriodogramSetup oSetup;
    if (const auto& oLast = m_oSession.Periodogram()) {
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
    SPeriodogramJob oJob;
    if (!Report(m_oSession.PreparePeriodogram(oChosen->fShortest, oChosen->fLongest, oChosen->lSamples, oJob)) ||
        !RunWithProgress("Periodogram", [&oJob](CProgress& oProgress) { oJob.Run(&oProgress); })) {
        return;
    }
    SPeriodogram oResult;
    if (Report(m_oSession.FinishPeriodogram(std::move(oJob), oResult))) {
        m_ppgcPlots->setCurrentIndex(kPeriodogramPage);
        DrawPeriodogram();
        m_oPrompts.Message("Periodogram",
                           "P = " + quandrel::FormatFixed(oResult.BestPeriod(), 4) + " d, power " +
                               quandrel::FormatFixed(oResult.fBestPower, 3) + " (1 % false-alarm level " +
                               quandrel::FormatFixed(oResult.fFalseAlarm1Percent, 3) + ")",
                           EIcon::Information, EButtons::Ok);
    }
}
