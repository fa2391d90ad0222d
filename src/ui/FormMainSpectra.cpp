// The main window's handlers of spectra and plots: opening, choosing and removing spectra, zoom and
// scrolling, the chart as a bitmap or on paper, the settings dialogs and help.
#include "FormMain.h"

#include "FormHelp.h"
#include "FormImportConfig.h"
#include "FormMiscSettings.h"
#include "FormSettings.h"
#include "ImageView.h"
#include "Prompts.h"
#include "core/UtilsClass.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>

std::unique_ptr<CSpectrum> TfrmMain::ImportSpectrum(EFile eFile, ESetting ePath, CQtCanvas& oCanvas, std::string& sFile)
{
    const auto sChosen = AskForFile(eFile);
    if (!sChosen) {
        return nullptr;
    }
    sFile = *sChosen;
    const auto oSamples = m_pfrmImportConfig->Execute(sFile);
    if (!oSamples) {
        return nullptr;
    }
    auto pSpectrum = std::make_unique<CSpectrum>(&oCanvas);
    if (!oSamples->vWavelength.empty()) {
        pSpectrum->SetValues(static_cast<int32_t>(oSamples->vWavelength.size()), oSamples->vWavelength.data(),
                             oSamples->vIntensity.data());
    }
    pSpectrum->SetKeepYAxisFixed(m_oSession.Settings().ReadBool(ESetting::KeepYAxisFixed));
    m_oSession.Settings().Write(ePath, ExtractDirectory(sFile));
    return pSpectrum;
}

void TfrmMain::mniOpenSpectrumClick()
{
    std::string sChosen;
    auto pSpectrum = ImportSpectrum(EFile::Spectrum, ESetting::SpectraPath, m_oSpectrumCanvas, sChosen);
    if (!pSpectrum) {
        return;
    }
    StoreClipping();
    // Its plot starts with all of it, at the scroll bar's position.
    CSpectrum* pNew = pSpectrum.get();
    ShowSpectrum(pNew, m_oSpectrumCanvas, true);
    pNew->SetClipping(kClipPageSize, m_pscbClipping->value(), 0, pNew->GetNumberValues());
    m_oSession.AddSpectrum(std::move(pSpectrum), ExtractFileName(sChosen));
}

void TfrmMain::lsbSpectraClick()
{
    const QList<QListWidgetItem*> vSelected = m_plsbSpectra->selectedItems();
    if (vSelected.size() != 1) {
        return;
    }
    const int lRow = m_plsbSpectra->row(vSelected.front());
    if (m_oSession.Spectrum(lRow) == nullptr || lRow == m_oSession.CurrentIndex()) {
        return;
    }
    StoreClipping();
    m_oSession.SetCurrentSpectrum(lRow);
}

void TfrmMain::mniRemoveSpectrumClick()
{
    std::vector<int32_t> vRows;
    for (QListWidgetItem* pItem : m_plsbSpectra->selectedItems()) {
        vRows.push_back(m_plsbSpectra->row(pItem));
    }
    m_oSession.RemoveSpectra(vRows);
}

void TfrmMain::StoreClipping()
{
    CSpectrum* pCurrent = GetCurrentSpectrum();
    if (pCurrent == nullptr) {
        return;
    }
    int32_t lStart = 0;
    int32_t lCount = 0;
    pCurrent->GetZoom(lStart, lCount);
    pCurrent->SetClipping(kClipPageSize, m_pscbClipping->value(), lStart, lCount);
}

void TfrmMain::SetSpectrumKind(bool bReference, bool bEmission)
{
    m_oSession.SetSpectrumKind(bReference, bEmission);
}

void TfrmMain::btnZoomInClick()
{
    Zoom(true);
}

void TfrmMain::btnZoomOutClick()
{
    Zoom(false);
}

void TfrmMain::Zoom(bool bIn)
{
    CSpectrum* pCurrent = GetCurrentSpectrum();
    if (pCurrent == nullptr) {
        return;
    }
    int32_t lPosition = 0;
    const bool bMoved = bIn ? pCurrent->ZoomIn(kClipMaximum, lPosition) : pCurrent->ZoomOut(kClipMaximum, lPosition);
    if (bMoved) {
        m_pscbClipping->setValue(lPosition);
    }
    pCurrent->ComputeRange();
    RedrawSpectrum();
}

void TfrmMain::scbClippingChange(int lPosition)
{
    CSpectrum* pCurrent = GetCurrentSpectrum();
    if (pCurrent == nullptr) {
        return;
    }
    pCurrent->ScrollTo(kClipMaximum, lPosition);
    pCurrent->ComputeRange();
    RedrawSpectrum();
}

void TfrmMain::chbKeepYAxisFixedClick()
{
    const bool bKeep = m_pchbKeepYAxisFixed->isChecked();
    m_oSession.Settings().Write(ESetting::KeepYAxisFixed, bKeep);
    if (CSpectrum* pCurrent = GetCurrentSpectrum()) {
        pCurrent->SetKeepYAxisFixed(bKeep);
        pCurrent->ComputeRange();
        RedrawSpectrum();
    }
}

void TfrmMain::mniSaveChartClick()
{
    WithFile(EFile::Bitmap, [this](const std::string& sFile) -> Outcome {
        if (!ChartBitmap().save(QString::fromStdString(sFile), "BMP")) {
            return SMessage{"Error!", "Unable to write the bitmap file " + sFile + "!"};
        }
        m_oSession.Settings().Write(ESetting::BitmapPath, ExtractDirectory(sFile));
        return std::nullopt;
    });
}

void TfrmMain::mniPrintSpectrumClick()
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        m_oPrompts.Message("Error!", "No printer is installed.", EIcon::Warning, EButtons::Ok);
        return;
    }
    QPrinter oPrinter(QPrinterInfo::defaultPrinter());
    QPainter oPainter;
    if (!oPainter.begin(&oPrinter)) {
        m_oPrompts.Message("Error!", "The printer could not be started.", EIcon::Warning, EButtons::Ok);
        return;
    }
    const QRect oPage = oPainter.viewport();
    oPainter.drawImage(QRect(0, 0, oPage.width(), oPage.height() / 2), ChartBitmap());
    oPainter.end();
}

void TfrmMain::mniObserverCoordinatesClick()
{
    if (const auto oSite = m_pfrmSettings->Execute(m_oSession.ObserverSite())) {
        m_oSession.SetObserverSite(*oSite);
    }
}

void TfrmMain::mniMiscSettingsClick()
{
    SMiscSettings oNow;
    oNow.fTimeThreshold = m_oSession.Settings().ReadFloat(ESetting::TimeThreshold);
    oNow.lMaxWidth = m_ptrbWidth->maximum();
    if (const auto oChosen = m_pfrmMiscSettings->Execute(oNow)) {
        m_oSession.Settings().Write(ESetting::TimeThreshold, oChosen->fTimeThreshold);
        SetWidthMaximum(oChosen->lMaxWidth);
    }
}

void TfrmMain::mniAboutClick()
{
    m_pfrmHelp->exec();
}

void TfrmMain::OpenHelpDocument(const char* pcDocument)
{
    m_oPrompts.OpenDocument(pcDocument);
}
