// The main window's views: each refreshes from the session when the session announces a change.
#include "MainWindow.h"

#include "orbit/PeriodogramPlot.h"

#include "ImageView.h"
#include "LineTable.h"
#include "RvTableModel.h"
#include "astro/JulianDate.h"
#include "astro/Doppler.h"
#include "core/NumberFormats.h"
#include "core/NumberText.h"
#include "core/Utils.h"
#include "orbit/RvCurvePlot.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

void MainWindow::SessionChanged(uint32_t lChanges)
{
    if ((lChanges & (change::kSpectra | change::kCorrelation)) != 0) {
        ForgetPlots();
    }
    if ((lChanges & change::kSpectra) != 0) {
        RefreshSpectraList();
    }
    if ((lChanges & change::kCurrentSpectrum) != 0) {
        ShowCurrentSpectrum();
    } else if ((lChanges & change::kSpectrumValues) != 0) {
        ShowSpectrum(GetCurrentSpectrum(), m_oSpectrumCanvas, true);
    } else if ((lChanges & change::kLines) != 0) {
        RedrawSpectrum();
    }
    if ((lChanges & (change::kLines | change::kLaboratoryLines)) != 0) {
        RefreshSpectralLineList();
        RefreshActiveLineStatus();
    } else if ((lChanges & (change::kCurrentSpectrum | change::kTime | change::kCoordinates)) != 0) {
        RefreshSpectralLineList(); // the corrected velocities follow the time and coordinates
    }
    if ((lChanges & (change::kTime | change::kCoordinates)) != 0) {
        RefreshTimeDisplay();
        RefreshCoordinatesDisplay();
    }
    if ((lChanges & (change::kTable | change::kLaboratoryLines)) != 0) {
        RefreshTable();
    }
    if ((lChanges & (change::kTable | change::kProjectFile)) != 0) {
        RefreshTitle();
    }
    if ((lChanges & change::kLaboratoryLines) != 0) {
        SetStatusText(0, 10, Q(m_oSession.Lines().LaboratoryLineTable().GetFileName()));
    }
    if ((lChanges & change::kCalibration) != 0) {
        SetStatusText(1, 5, Q(ExtractFileName(m_oSession.Settings().ReadPath(Setting::CalibrationFilePath))));
    }
    if ((lChanges & change::kElements) != 0) {
        ShowOrbitalElements();
    }
    if ((lChanges & (change::kSeries | change::kElements)) != 0) {
        ShowResiduals();
        if (m_ppgcPlots->currentIndex() == 1) {
            DrawRVGraph();
        } else if (m_ppgcPlots->currentIndex() == kPeriodogramPage) {
            DrawPeriodogram();
        }
    }
    if ((lChanges & change::kCorrelation) != 0) {
        RedrawCorrelationPages();
    }
    UpdateCommandStates();
}

void MainWindow::RefreshSpectraList()
{
    m_bListSyncGuard = true;
    m_plsbSpectra->clear();
    for (int32_t i = 0; i < m_oSession.Spectra().SpectrumCount(); ++i) {
        m_plsbSpectra->addItem(Q(m_oSession.Spectra().SpectrumName(i)));
    }
    m_bListSyncGuard = false;
}

void MainWindow::ShowCurrentSpectrum()
{
    SpectrumPlot* pSpectrum = CurrentPlot();
    if (pSpectrum != nullptr) {
        const ScrollClipping oClipping = pSpectrum->Clipping();
        // The stored position belongs to this spectrum's stored window: no scrolling on the way.
        m_pscbClipping->blockSignals(true);
        m_pscbClipping->setValue(oClipping.lPosition);
        m_pscbClipping->blockSignals(false);
        pSpectrum->SetZoom(oClipping.lStart, oClipping.lCount);
        pSpectrum->ComputeRange();
    }
    // The list shows the current spectrum as its one selected entry.
    m_bListSyncGuard = true;
    const int32_t lCurrent = m_oSession.Spectra().CurrentIndex();
    if (lCurrent >= 0 && lCurrent < m_plsbSpectra->count() && m_plsbSpectra->currentRow() != lCurrent) {
        m_plsbSpectra->clearSelection();
        m_plsbSpectra->setCurrentRow(lCurrent);
    }
    m_bListSyncGuard = false;
    RedrawSpectrum();
}

void MainWindow::SyncSpectrumKindControls()
{
    const Spectrum* pCurrent = GetCurrentSpectrum();
    const bool bHave = pCurrent != nullptr;
    for (QAction* pItem : {m_oActions.pmniIndicateReference, m_oActions.pmniIndicateEmission,
                           m_oActions.pmniIndicateReferencePopup, m_oActions.pmniIndicateEmissionPopup}) {
        pItem->setEnabled(bHave);
    }
    m_pchbReferenceSpectrum->setEnabled(bHave);
    m_pchbEmissionSpectrum->setEnabled(bHave);
    if (!bHave) {
        return;
    }
    m_bKindSyncGuard = true;
    const bool bReference = pCurrent->IsReferenceSpectrum();
    const bool bEmission = pCurrent->IsEmissionSpectrum();
    m_oActions.pmniIndicateReference->setChecked(bReference);
    m_oActions.pmniIndicateReferencePopup->setChecked(bReference);
    m_pchbReferenceSpectrum->setChecked(bReference);
    m_oActions.pmniIndicateEmission->setChecked(bEmission);
    m_oActions.pmniIndicateEmissionPopup->setChecked(bEmission);
    m_pchbEmissionSpectrum->setChecked(bEmission);
    m_bKindSyncGuard = false;
}

SpectrumPlot& MainWindow::PlotOf(const Spectrum& oSpectrum, QtCanvas& oCanvas)
{
    std::unique_ptr<SpectrumPlot>& pPlot = m_mPlots[&oSpectrum];
    if (!pPlot) {
        pPlot = std::make_unique<SpectrumPlot>(&oCanvas, oSpectrum);
        pPlot->SetKeepYAxisFixed(m_oSession.Settings().ReadBool(Setting::KeepYAxisFixed));
        if (&oSpectrum == m_oSession.Correlation().CorrelationFunction()) {
            pPlot->SetXAxisLabel("RV [km/s]");
            pPlot->SetYAxisLabel("Correlation");
        }
        pPlot->PlotAllValues();
    }
    return *pPlot;
}

SpectrumPlot* MainWindow::CurrentPlot()
{
    const Spectrum* pCurrent = GetCurrentSpectrum();
    return pCurrent == nullptr ? nullptr : &PlotOf(*pCurrent, m_oSpectrumCanvas);
}

void MainWindow::ForgetPlots()
{
    const SpectraSession& oSpectra = m_oSession.Spectra();
    const CorrelationSession& oCorrelation = m_oSession.Correlation();
    std::erase_if(m_mPlots, [&](const auto& oEntry) {
        const Spectrum* p = oEntry.first;
        if (p == oCorrelation.Template() || p == oCorrelation.CorrelationDetail() || p == oCorrelation.CorrelationFunction()) {
            return false;
        }
        for (int32_t i = 0; i < oSpectra.SpectrumCount(); ++i) {
            if (oSpectra.SpectrumAt(i) == p) {
                return false;
            }
        }
        return true;
    });
}

void MainWindow::ShowSpectrum(const Spectrum* pSpectrum, QtCanvas& oCanvas, bool bReload)
{
    ImageView* pView = ViewOf(oCanvas);
    oCanvas.Resize(pView->width(), pView->height());
    oCanvas.Clear(Rgb{255, 255, 255});
    if (pSpectrum != nullptr) {
        // A new plot takes the values as it is made.
        const bool bNew = !m_mPlots.contains(pSpectrum);
        SpectrumPlot& oPlot = PlotOf(*pSpectrum, oCanvas);
        if (bReload && !bNew) {
            oPlot.PlotAllValues();
        }
        oPlot.Draw(oCanvas.GetHeight(), oCanvas.GetWidth());
    }
    oCanvas.Image();
    pView->update();
}

ImageView* MainWindow::ViewOf(const QtCanvas& oCanvas) const
{
    for (ImageView* pView : {m_pimgSpectrum, m_pimgRVGraph, m_pimgCorrelationTemplate, m_pimgCorrelationDetail, m_pimgCorrelationFunction}) {
        if (&pView->Canvas() == &oCanvas) {
            return pView;
        }
    }
    return m_pimgSpectrum;
}

void MainWindow::RedrawCorrelationPages()
{
    if (const Spectrum* pTemplate = m_oSession.Correlation().Template()) {
        ShowSpectrum(pTemplate, m_oCorrelationTemplateCanvas, true);
    }
    if (const Spectrum* pFunction = m_oSession.Correlation().CorrelationFunction()) {
        ShowSpectrum(pFunction, m_oCorrelationFunctionCanvas, true);
    }
    if (const Spectrum* pDetail = m_oSession.Correlation().CorrelationDetail(); pDetail != nullptr && m_ppgcPlots->currentIndex() == 3) {
        ShowSpectrum(pDetail, m_oCorrelationDetailCanvas, true);
    }
}

void MainWindow::RedrawSpectrum()
{
    ShowSpectrum(GetCurrentSpectrum(), m_oSpectrumCanvas, false);
}

QImage MainWindow::ChartBitmap()
{
    // The image of the page that is showing; on the correlation pages that page's plot.
    switch (m_ppgcPlots->currentIndex()) {
    case 1: return m_oRVGraphCanvas.Image();
    case 2: return m_oCorrelationTemplateCanvas.Image();
    case 3: return m_oCorrelationDetailCanvas.Image();
    case 4: return m_oCorrelationFunctionCanvas.Image();
    case kPeriodogramPage: return m_oPeriodogramCanvas.Image();
    default: return m_oSpectrumCanvas.Image();
    }
}

void MainWindow::RefreshSpectralLineList()
{
    // Without a current spectrum the table empties too, so no lines of a removed spectrum stay on view.
    const auto oCorrection = m_oSession.Project().CurrentCorrection();
    m_ppnlSpectralLines->Show(m_oSession.Lines().LineTable(), m_oSession.Lines().ActiveLineIndex(),
                              oCorrection ? Q(DescribeFrame(*oCorrection)) : QString());
}

void MainWindow::SpectralLineChosen(int32_t lLine)
{
    const Spectrum* pCurrent = GetCurrentSpectrum();
    if (pCurrent == nullptr || lLine < 0 || lLine >= pCurrent->GetSpectralLineCount()) {
        return;
    }
    SpectrumPlot& oPlot = *CurrentPlot();
    // The plot is centred on the line; from the whole spectrum it shows the line's surroundings.
    const auto& vX = pCurrent->GetWavelengths();
    const double fCenter = pCurrent->GetLineCenter(lLine);
    const auto lAt = static_cast<int32_t>(std::lower_bound(vX.begin(), vX.end(), fCenter) - vX.begin());
    int32_t lStart = 0;
    int32_t lCount = 0;
    oPlot.GetZoom(lStart, lCount);
    if (lCount >= pCurrent->GetNumberValues()) {
        const double fStep = vX.size() > 1 ? std::fabs(vX.back() - vX.front()) / static_cast<double>(vX.size() - 1) : 1.0;
        lCount = std::max<int32_t>(100, static_cast<int32_t>(40.0 * std::fabs(pCurrent->GetLineWidth(lLine)) / fStep));
    }
    oPlot.ShowRange(lAt - lCount / 2, lAt - lCount / 2 + lCount - 1);
    m_oSession.Lines().ActivateLine(lLine);
    SpectrumWindowChanged();
}

void MainWindow::RefreshActiveLineStatus()
{
    const int32_t lActive = m_oSession.Lines().ActiveLineIndex();
    if (lActive < 0) {
        SetStatusText(0, 1, QString());
        return;
    }
    const Spectrum* pCurrent = GetCurrentSpectrum();
    bool bDouble = false;
    const double fSecond = pCurrent->GetLineSecondCenter(lActive, bDouble);
    const double fFirst = pCurrent->GetLineFirstCenter(lActive);
    std::string sText = " " + quandrel::FormatFixedWidth(fFirst, 7, 3);
    if (bDouble) {
        sText += "/" + quandrel::FormatFixedWidth(fSecond, 7, 3);
    }
    int32_t lIndex = 0;
    double fWavelength = 0.0;
    std::string sName;
    if (m_oSession.Lines().LaboratoryLineTable().FindNearestLine(fFirst, lIndex, fWavelength, &sName) &&
        pCurrent->GetLineLaboratoryIndex(lActive) >= 0) {
        sText += ";" + sName + " (" + quandrel::FormatFixedWidth(fWavelength, 7, 3) + ")";
    }
    SetStatusText(0, 1, Q(sText));
}

namespace {

// printf's "%0*.0f": rounded, zero-padded to the width.
std::string ZeroPadded(double fValue, int lWidth)
{
    return quandrel::PadLeft(quandrel::FormatFixed(fValue, 0), lWidth, '0');
}

std::string Padded(int lValue, int lWidth, char cFill)
{
    return quandrel::PadLeft(std::to_string(lValue), lWidth, cFill);
}

} // namespace

void MainWindow::RefreshTimeDisplay()
{
    if (const std::optional<double> oJulianDate = m_oSession.Spectra().CurrentObservationTime()) {
        const CalendarDate o = JulianDate::CalendarDateToTheMinute(*oJulianDate);
        SetStatusText(0, 3, Q(ZeroPadded(o.day, 2) + "." + Padded(o.month, 2, '0') + "." + Padded(o.year, 4, ' ')));
        SetStatusText(0, 4, Q(ZeroPadded(o.hours, 2) + ":" + ZeroPadded(o.minutes, 2)));
    } else {
        SetStatusText(0, 3, QString());
        SetStatusText(0, 4, QString());
    }
    RefreshCorrectionDisplay();
}

void MainWindow::RefreshCoordinatesDisplay()
{
    if (const auto o = m_oSession.Project().ObjectPosition()) {
        SetStatusText(0, 6, Q(quandrel::FormatFixedWidth(o->fRightAscensionHours, 2, 0) + "h" +
                              ZeroPadded(o->fRightAscensionMinutes, 2) + "'"));
        SetStatusText(0, 8, Q(quandrel::FormatFixedWidth(o->fDeclinationDegrees, 3, 0)) + QChar(0x00B0) +
                                Q(ZeroPadded(o->fDeclinationMinutes, 2) + "'"));
    } else {
        SetStatusText(0, 6, QString());
        SetStatusText(0, 8, QString());
    }
    RefreshCorrectionDisplay();
}

void MainWindow::RefreshCorrectionDisplay()
{
    const auto oCorrection = m_oSession.Project().CurrentCorrection();
    if (oCorrection && oCorrection->ToAdd()) {
        SetStatusText(1, 1, Q(quandrel::FormatFixedWidth(*oCorrection->ToAdd(), 6, 2)));
    } else {
        SetStatusText(1, 1, QString());
    }
    // The kind of correction (an opened project brings its own), and the time also at the barycentre.
    if (auto* pmniPrecise = findChild<QAction*>("mniPreciseCorrection")) {
        const QSignalBlocker oQuiet(pmniPrecise);
        pmniPrecise->setChecked(m_oSession.Project().Correction() == CorrectionKind::kBarycentric);
    }
    std::string sDetail = m_oSession.Project().Correction() == CorrectionKind::kBarycentric
                              ? "Barycentric correction (precise)"
                              : "Heliocentric correction (classic)";
    if (oCorrection && oCorrection->ToAdd()) {
        sDetail += ": " + quandrel::FormatFixed(*oCorrection->ToAdd(), 4) + " km/s";
    }
    if (const auto oJulianDate = m_oSession.Spectra().CurrentObservationTime()) {
        sDetail += "\nJD (UTC) " + quandrel::FormatFixed(*oJulianDate, 6);
        if (const auto oTimes = m_oSession.Project().TimesAt(*oJulianDate)) {
            sDetail += ", BJD_TDB " + quandrel::FormatFixed(oTimes->fBjdTdb, 6);
            if (!oTimes->sWarning.empty()) {
                sDetail += "\n" + oTimes->sWarning;
                statusBar()->showMessage(Q(oTimes->sWarning));
            }
        }
    }
    SetStatusToolTip(1, 1, Q(sDetail));
    SetStatusToolTip(0, 4, Q(sDetail));
    // A header that asks for another correction than the program computes is said where it shows.
    if (oCorrection && !oCorrection->sWarning.empty()) {
        statusBar()->showMessage(Q(oCorrection->sWarning));
    }
}

void MainWindow::RefreshTable()
{
    m_pRvTableModel->SetFixedBrush(palette().brush(QPalette::Button));
    // Each row's time at the barycentre, beside its JD (UTC).
    std::vector<std::optional<double>> vBjd;
    for (const MeasurementRow& oRow : m_oSession.Project().Table().Rows()) {
        vBjd.push_back(m_oSession.Project().TimeIn(TimeScale::kBjdTdb, oRow.fJulianDate));
    }
    m_pRvTableModel->Refresh(std::move(vBjd));
    // The time column fits the longest time it shows.
    m_pstgTable->setColumnWidth(
        0, std::max(96, m_pstgTable->fontMetrics().horizontalAdvance(RvTableModel::TimeText(2488069.5)) + 16));
}

void MainWindow::SpectrumHovered(int lX, int lY)
{
    const SpectrumPlot* pCurrent = CurrentPlot();
    double x = 0.0;
    double y = 0.0;
    if (pCurrent == nullptr || !pCurrent->PixelToPoint(lX, lY, x, y)) {
        // Away from the plot the field shows the active line again.
        RefreshActiveLineStatus();
        return;
    }
    std::string sText = " " + quandrel::FormatFixed(x, 3) + " \u00C5";
    int32_t lIndex = 0;
    double fLaboratory = 0.0;
    std::string sName;
    if (m_oSession.Lines().LaboratoryLineTable().FindNearestLine(x, lIndex, fLaboratory, &sName) && fLaboratory > 0) {
        sText += "; " + sName + " " + quandrel::FormatFixed(quandrel::DopplerVelocity(fLaboratory, x), 1) +
                 " km/s";
    }
    SetStatusText(0, 1, Q(sText));
}

void MainWindow::RVGraphHovered(int lX, int lY)
{
    double x = 0.0;
    double y = 0.0;
    if (m_pRVCurve == nullptr || !m_pRVCurve->PixelToPoint(lX, lY, x, y)) {
        RefreshActiveLineStatus();
        return;
    }
    SetStatusText(0, 1, Q((m_pRVCurve->ShowsPhase() ? " phase " + quandrel::FormatFixed(x, 3) : " JD " + quandrel::FormatFixed(x, 3)) +
                          "; " + quandrel::FormatFixed(y, 2) + " km/s"));
}

void MainWindow::RefreshTitle()
{
    const std::string& sPath = m_oSession.Project().ProjectPath();
    QString sTitle = QString("Quandrel ") + kVersion;
    if (!sPath.empty()) {
        sTitle += " - " + Q(ExtractFileName(sPath));
    }
    if (!m_oSession.Project().Table().IsSaved()) {
        sTitle += " *";
    }
    setWindowTitle(sTitle);
}

void MainWindow::ShowFeedback(const QString& sText)
{
    statusBar()->showMessage(sText);
}

void MainWindow::ShowOrbitalElements()
{
    const OrbitElements& oElements = m_oSession.Orbit().Elements();
    ShowLeastSquares();
    if (!m_oSession.Orbit().IsOrbitFitted()) {
        // No elements (any more): the value column empties.
        for (QTableWidget* pGrid : {m_pstgOrbitalElements1, m_pstgOrbitalElements2}) {
            for (int r = 1; r < pGrid->rowCount(); ++r) {
                delete pGrid->takeItem(r, 1);
            }
        }
        return;
    }
    const auto Set = [](QTableWidget* pGrid, int lRow, int lColumn, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        pGrid->setItem(lRow, lColumn, pItem);
    };
    const auto Fixed = [](double f, int lPrecision, int lDecimals) {
        return QString::fromStdString(quandrel::FormatFixedPrecision(f, lPrecision, lDecimals));
    };
    for (QTableWidget* pGrid : {m_pstgOrbitalElements1, m_pstgOrbitalElements2}) {
        Set(pGrid, 0, 0, "Orbital element");
        Set(pGrid, 0, 1, "Value");
    }
    m_pstgOrbitalElements2->setRowCount(oElements.bTwoComponents ? 6 : 4);
    Set(m_pstgOrbitalElements1, 1, 0, "P");
    Set(m_pstgOrbitalElements1, 1, 1, Fixed(oElements.fPeriod, 9, 4));
    Set(m_pstgOrbitalElements1, 2, 0, "T0");
    Set(m_pstgOrbitalElements1, 2, 1, Fixed(oElements.fT0, 14, 4));
    Set(m_pstgOrbitalElements1, 3, 0, "e");
    Set(m_pstgOrbitalElements1, 3, 1, Fixed(oElements.fEccentricity, 7, 4));
    Set(m_pstgOrbitalElements1, 4, 0, QString(QChar(0x03C9)));
    Set(m_pstgOrbitalElements1, 4, 1, Fixed(oElements.fOmega, 8, 4));
    Set(m_pstgOrbitalElements1, 5, 0, "a1 sin i");
    Set(m_pstgOrbitalElements1, 5, 1, QString::fromStdString(quandrel::FormatExponent(oElements.fA1SinI, 5, 4)));
    Set(m_pstgOrbitalElements2, 1, 0, QString(QChar(0x03B3)));
    Set(m_pstgOrbitalElements2, 1, 1, Fixed(oElements.fGamma, 8, 4));
    Set(m_pstgOrbitalElements2, 2, 0, "K1");
    Set(m_pstgOrbitalElements2, 2, 1, Fixed(oElements.fK1, 7, 4));
    Set(m_pstgOrbitalElements2, 3, 0, "RMS");
    Set(m_pstgOrbitalElements2, 3, 1, Fixed(oElements.fRMS, 7, 4));
}

void MainWindow::ShowLeastSquares()
{
    QTableWidget* pGrid = m_pstgLeastSquares;
    pGrid->clearContents();
    const auto Set = [pGrid](int lRow, int lColumn, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        pGrid->setItem(lRow, lColumn, pItem);
    };
    Set(0, 0, "Least squares");
    Set(0, 1, "Value");
    Set(0, 2, QString::fromUtf8("\u00B1 error"));
    const auto& oFit = m_oSession.Orbit().LeastSquaresFit();
    if (!oFit || !m_oSession.Orbit().IsOrbitFitted()) {
        return;
    }
    const auto Number = [](double f) {
        return std::isfinite(f) ? QString::fromStdString(quandrel::FormatGeneral(f, 8)) : QString("undefined");
    };
    const QString asNames[6] = {"P [d]", "T0", "e", QString::fromUtf8("\u03C9 [\u00B0]"), "K1 [km/s]",
                                QString::fromUtf8("\u03B3 [km/s]")};
    for (int i = 0; i < 6; ++i) {
        Set(i + 1, 0, asNames[i]);
        Set(i + 1, 1, i == 1 ? QString::fromStdString(quandrel::FormatFixed(oFit->afValue[1], 5))
                             : Number(oFit->afValue[static_cast<std::size_t>(i)]));
        Set(i + 1, 2, Number(oFit->afError[static_cast<std::size_t>(i)]));
    }
    Set(7, 0, "a1 sin i [km]");
    Set(7, 1, Number(oFit->fA1SinI));
    Set(7, 2, Number(oFit->fA1SinIError));
    Set(8, 0, "a1 sin i [AU]");
    Set(8, 1, Number(oFit->fA1SinIAu));
    Set(8, 2, Number(oFit->fA1SinIAuError));
    Set(9, 0, QString::fromUtf8("f(M) [M\u2609]"));
    Set(9, 1, Number(oFit->fMassFunction));
    Set(9, 2, Number(oFit->fMassFunctionError));
    Set(10, 0, "RMS [km/s]");
    Set(10, 1, Number(oFit->fRms));
    Set(11, 0, QString::fromUtf8("\u03C7\u00B2 reduced"));
    Set(11, 1, Number(oFit->fChi2Reduced));
    Set(12, 0, "Points");
    Set(12, 1, QString::number(oFit->lPoints));
    // Each data set's offset from the first and its jitter.
    int lRow = 13;
    pGrid->setRowCount(13 + static_cast<int>(2 * oFit->vDataSets.size()));
    for (std::size_t k = 0; k < oFit->vDataSets.size(); ++k) {
        const DataSetTerms& oSet = oFit->vDataSets[k];
        if (k > 0) {
            Set(lRow, 0, QString::fromStdString("Offset " + oSet.sName + " [km/s]"));
            Set(lRow, 1, Number(oSet.fOffset));
            Set(lRow++, 2, Number(oSet.fOffsetError));
        }
        if (oFit->bJitter) {
            Set(lRow, 0, QString::fromStdString("Jitter " + oSet.sName + " [km/s]"));
            Set(lRow, 1, Number(oSet.fJitter));
            Set(lRow++, 2, Number(oSet.fJitterError));
        }
    }
    // The posterior, when sampled: median and the 68 % interval about it.
    if (const auto& oPosterior = m_oSession.Orbit().Posterior()) {
        pGrid->setRowCount(lRow + 1 + static_cast<int>(oPosterior->vSummaries.size()) + 1);
        Set(lRow, 0, "Posterior");
        Set(lRow, 1, "Median");
        Set(lRow++, 2, QString::fromUtf8("− / + (68 %)"));
        for (const PosteriorSummary& o : oPosterior->vSummaries) {
            Set(lRow, 0, QString::fromStdString(o.sName));
            Set(lRow, 1, o.sName == "T0" ? QString::fromStdString(quandrel::FormatFixed(o.fMedian, 5)) : Number(o.fMedian));
            Set(lRow++, 2, QString::fromUtf8("−") + Number(o.fMedian - o.fLow) + " / +" + Number(o.fHigh - o.fMedian));
        }
        Set(lRow, 0, QString::fromUtf8("Acceptance, τ, n_eff"));
        Set(lRow++, 1, Number(oPosterior->fAcceptance) + ", " + Number(oPosterior->fTau) + ", " +
                           Number(oPosterior->fEffective));
    }
    pGrid->setRowCount(lRow);
    pGrid->resizeColumnsToContents();
}

void MainWindow::ShowResiduals()
{
    const DataSeries& oData = m_oSession.Orbit().GridSearch().GetData();
    std::vector<double> vJd;
    std::vector<double> vResidual;
    m_oSession.Orbit().AlignedResiduals(vJd, vResidual);
    const int lPoints = oData.GetArraySize();
    const int lRows = std::max({1, lPoints, static_cast<int>(vResidual.size())}) + 1;
    m_pstgResiduals->clearContents();
    m_pstgResiduals->setRowCount(lRows);
    const auto Set = [this](int lRow, int lColumn, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        m_pstgResiduals->setItem(lRow, lColumn, pItem);
    };
    Set(0, 1, "JD");
    Set(0, 2, "RV (measured)");
    Set(0, 3, "Residual");
    for (int r = 1; r <= lPoints; ++r) {
        Set(r, 0, QString::number(r));
        Set(r, 1, QString::fromStdString(quandrel::FormatFixed(oData.GetX(r - 1), 2)));
        Set(r, 2, QString::fromStdString(quandrel::FormatFixed(oData.GetY(r - 1), 2)));
        if (r - 1 < static_cast<int>(vResidual.size())) {
            Set(r, 3, QString::fromStdString(quandrel::FormatFixed(vResidual[static_cast<std::size_t>(r - 1)], 4)));
        }
    }
}

void MainWindow::DrawPeriodogram()
{
    m_oPeriodogramCanvas.Resize(m_pimgPeriodogram->width(), m_pimgPeriodogram->height());
    m_oPeriodogramCanvas.Clear(Rgb{255, 255, 255});
    if (const auto& oPeriodogram = m_oSession.Periods().LastPeriodogram()) {
        PeriodogramPlot oPlot(&m_oPeriodogramCanvas);
        oPlot.SetPeriodogram(*oPeriodogram);
        oPlot.SetPdmScan(m_oSession.Periods().PdmScan());
        oPlot.Draw(m_oPeriodogramCanvas.GetHeight(), m_oPeriodogramCanvas.GetWidth());
    }
    m_oPeriodogramCanvas.Image();
    m_pimgPeriodogram->update();
}

void MainWindow::DrawRVGraph()
{
    m_oRVGraphCanvas.Resize(m_pimgRVGraph->width(), m_pimgRVGraph->height());
    m_oRVGraphCanvas.Clear(Rgb{255, 255, 255});
    m_pRVCurve = std::make_unique<RvCurvePlot>(&m_oRVGraphCanvas, &m_oSession.Orbit().GridSearch(), m_oSession.Orbit().AlignedSeries(),
                                            m_pchbPhasePlot->isChecked());
    m_pRVCurve->Draw(m_oRVGraphCanvas.GetHeight(), m_oRVGraphCanvas.GetWidth());
    m_oRVGraphCanvas.Image();
    m_pimgRVGraph->update();
}
