// The main window's handlers of spectra and plots: opening, choosing and removing spectra, zoom and
// scrolling, the chart as a bitmap or on paper, the settings dialogs and help.
#include "MainWindow.h"

#include "HelpWindow.h"
#include "TextImportDialog.h"
#include "MiscSettingsDialog.h"
#include "ObserverSiteDialog.h"
#include "ImageView.h"
#include "Prompts.h"
#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"
#include "io/FitsSpectrum.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>

std::unique_ptr<Spectrum> MainWindow::ReadSpectrumFile(const std::string& sFile, bool bAskImport, bool& bCancelled)
{
    bCancelled = false;
    if (IsFitsFile(sFile)) {
        // A file of echelle orders without a merged spectrum: the user names the order.
        SpectrumChoice oChoice;
        if (const std::vector<FitsEntry> vSpectra = SpectraSession::SpectraInFile(sFile); SpectraSession::MustChoose(vSpectra)) {
            std::vector<std::string> vItems;
            for (const FitsEntry& o : vSpectra) {
                vItems.push_back(o.sName + (o.sProblem.empty() ? ": " + quandrel::FormatGeneral(o.fFrom, 7) + " \u2013 " +
                                                                     quandrel::FormatGeneral(o.fTo, 7) + " \u00C5, " +
                                                                     std::to_string(o.lSamples) + " samples"
                                                               : ": " + o.sProblem));
            }
            const auto lItem = m_oPrompts.ChooseItem("Open spectrum", sFile + " holds " + std::to_string(vItems.size()) +
                                                                           " spectra. Open which one?", vItems);
            if (!lItem) {
                bCancelled = true;
                return nullptr;
            }
            const FitsEntry& oChosen = vSpectra[*lItem];
            if (oChosen.oOrder && oChosen.sName.starts_with("order ")) {
                oChoice.oOrder = oChosen.oOrder;
            } else {
                oChoice.sHdu = oChosen.sName;
            }
        }
        auto oRead = m_oSession.Spectra().ReadFitsSpectrum(sFile, oChoice);
        if (!Report(oRead)) {
            return nullptr;
        }
        Report(oRead->oWarning);
        return std::move(oRead->pSpectrum);
    }
    std::unique_ptr<Spectrum> pSpectrum;
    if (!bAskImport) {
        auto oRead = m_oSession.Spectra().ReadTextSpectrum(sFile);
        if (!Report(oRead)) {
            return nullptr;
        }
        pSpectrum = std::move(*oRead);
    } else {
        auto oSamples = m_pfrmImportConfig->Execute(sFile);
        if (!oSamples) {
            bCancelled = true;
            return nullptr;
        }
        pSpectrum = std::make_unique<Spectrum>();
        pSpectrum->TakeValues(std::move(oSamples->vWavelength), std::move(oSamples->vIntensity));
    }
    return pSpectrum;
}

std::unique_ptr<Spectrum> MainWindow::ImportSpectrum(File eFile, Setting ePath, std::string& sFile)
{
    const auto sChosen = AskForFile(eFile);
    if (!sChosen) {
        return nullptr;
    }
    sFile = *sChosen;
    bool bCancelled = false;
    auto pSpectrum = ReadSpectrumFile(sFile, true, bCancelled);
    if (pSpectrum) {
        m_oSession.Settings().Write(ePath, ExtractDirectory(sFile));
    }
    return pSpectrum;
}

void MainWindow::onOpenSpectrum()
{
    OpenSpectrumFiles(m_oPrompts.OpenFiles(FileDialogOf(File::Spectrum)));
}

void MainWindow::OpenSpectrumFiles(const std::vector<std::string>& vFiles)
{
    bool bImportConfirmed = false;
    for (const std::string& sFile : vFiles) {
        const bool bText = !IsFitsFile(sFile);
        bool bCancelled = false;
        auto pSpectrum = ReadSpectrumFile(sFile, bText && !bImportConfirmed, bCancelled);
        if (bCancelled) {
            break;
        }
        bImportConfirmed = bImportConfirmed || bText;
        if (!pSpectrum) {
            continue;
        }
        m_oSession.Settings().Write(Setting::SpectraPath, ExtractDirectory(sFile));
        m_oSession.Settings().AddRecentFile(sFile);
        StoreClipping();
        // Its plot starts with all of it, at the scroll bar's position.
        const Spectrum* pNew = pSpectrum.get();
        ShowSpectrum(pNew, m_oSpectrumCanvas, true);
        PlotOf(*pNew, m_oSpectrumCanvas).SetClipping({kClipPageSize, m_pscbClipping->value(), 0, pNew->GetNumberValues()});
        m_oSession.Spectra().AddSpectrum(std::move(pSpectrum), ExtractFileName(sFile));
    }
    RefreshRecentFiles();
}

void MainWindow::OpenProjectFile(const std::string& sFile)
{
    // A project read replaces the table: unsaved rows are offered for saving first, as on closing.
    if (!AskToSaveTable()) {
        return;
    }
    if (Report(m_oSession.Project().OpenProject(sFile))) {
        m_oSession.Settings().AddRecentFile(sFile);
        RefreshRecentFiles();
        ShowProjectOpened();
    }
}

void MainWindow::OpenRecentFile(const std::string& sFile)
{
    if (!QFileInfo::exists(QString::fromStdString(sFile))) {
        m_oPrompts.Message("Error!", "The file " + sFile + " no longer exists.", Icon::Warning, Buttons::Ok);
        return;
    }
    if (QString::fromStdString(sFile).endsWith(".mtx", Qt::CaseInsensitive)) {
        OpenProjectFile(sFile);
    } else {
        OpenSpectrumFiles({sFile});
    }
}

void MainWindow::RefreshRecentFiles()
{
    m_pmnuRecentFiles->clear();
    const std::vector<std::string> vFiles = m_oSession.Settings().ReadRecentFiles();
    int lNumber = 0;
    for (const std::string& sFile : vFiles) {
        ++lNumber;
        QAction* pItem = m_pmnuRecentFiles->addAction(
            QString("&%1 %2").arg(lNumber).arg(QString::fromStdString(ExtractFileName(sFile))));
        pItem->setObjectName(QString("mniRecentFile%1").arg(lNumber));
        pItem->setToolTip(QString::fromStdString(sFile));
        connect(pItem, &QAction::triggered, this, [this, sFile] { OpenRecentFile(sFile); });
    }
    m_pmnuRecentFiles->setEnabled(!vFiles.empty());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* pEvent)
{
    for (const QUrl& oUrl : pEvent->mimeData()->urls()) {
        if (oUrl.isLocalFile()) {
            pEvent->acceptProposedAction();
            return;
        }
    }
}

void MainWindow::dropEvent(QDropEvent* pEvent)
{
    std::vector<std::string> vSpectra;
    std::vector<std::string> vProjects;
    for (const QUrl& oUrl : pEvent->mimeData()->urls()) {
        if (!oUrl.isLocalFile()) {
            continue;
        }
        const QString sFile = oUrl.toLocalFile();
        (sFile.endsWith(".mtx", Qt::CaseInsensitive) ? vProjects : vSpectra).push_back(sFile.toStdString());
    }
    pEvent->acceptProposedAction();
    // The drop ends before any dialog shows, so the dragging program is not held up.
    QTimer::singleShot(0, this, [this, vSpectra, vProjects] {
        if (!vProjects.empty()) {
            OpenProjectFile(vProjects.front());
        }
        OpenSpectrumFiles(vSpectra);
    });
}

void MainWindow::onSaveSpectrumFits()
{
    WithFile(File::SpectrumFits, [this](const std::string& sFile) { return m_oSession.Spectra().SaveSpectrumAsFits(sFile); });
}

void MainWindow::onFitsHeader()
{
    const Spectrum* pSpectrum = GetCurrentSpectrum();
    if (pSpectrum == nullptr || pSpectrum->GetMetadata().vHeaderCards.empty()) {
        return;
    }
    QDialog oDialog(this);
    oDialog.setObjectName("frmFitsHeader");
    oDialog.setWindowTitle(QString::fromStdString("FITS header of " + m_oSession.Spectra().SpectrumName(m_oSession.Spectra().CurrentIndex())));
    auto* pText = new QPlainTextEdit;
    pText->setObjectName("memFitsHeader");
    pText->setReadOnly(true);
    pText->setLineWrapMode(QPlainTextEdit::NoWrap);
    pText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString sCards;
    for (const std::string& sCard : pSpectrum->GetMetadata().vHeaderCards) {
        sCards += QString::fromLatin1(sCard.data(), static_cast<qsizetype>(sCard.size())) + '\n';
    }
    pText->setPlainText(sCards);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(pButtons, &QDialogButtonBox::rejected, &oDialog, &QDialog::reject);
    auto* pLayout = new QVBoxLayout(&oDialog);
    pLayout->addWidget(pText);
    pLayout->addWidget(pButtons);
    oDialog.resize(720, 480);
    oDialog.exec();
}

void MainWindow::onSpectrumChosen()
{
    const QList<QListWidgetItem*> vSelected = m_plsbSpectra->selectedItems();
    if (vSelected.size() != 1) {
        return;
    }
    const int lRow = m_plsbSpectra->row(vSelected.front());
    if (m_oSession.Spectra().SpectrumAt(lRow) == nullptr || lRow == m_oSession.Spectra().CurrentIndex()) {
        return;
    }
    StoreClipping();
    m_oSession.Spectra().SetCurrentSpectrum(lRow);
}

void MainWindow::onRemoveSpectrum()
{
    std::vector<int32_t> vRows;
    for (QListWidgetItem* pItem : m_plsbSpectra->selectedItems()) {
        vRows.push_back(m_plsbSpectra->row(pItem));
    }
    m_oSession.Spectra().RemoveSpectra(vRows);
}

void MainWindow::StoreClipping()
{
    SpectrumPlot* pCurrent = CurrentPlot();
    if (pCurrent == nullptr) {
        return;
    }
    int32_t lStart = 0;
    int32_t lCount = 0;
    pCurrent->GetZoom(lStart, lCount);
    pCurrent->SetClipping({kClipPageSize, m_pscbClipping->value(), lStart, lCount});
}

void MainWindow::SetSpectrumKind(bool bReference, bool bEmission)
{
    m_oSession.Spectra().SetSpectrumKind(bReference, bEmission);
}

void MainWindow::onZoomIn()
{
    Zoom(true);
}

void MainWindow::onZoomOut()
{
    Zoom(false);
}

void MainWindow::Zoom(bool bIn)
{
    SpectrumPlot* pCurrent = CurrentPlot();
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

void MainWindow::SpectrumWindowChanged()
{
    if (SpectrumPlot* pCurrent = CurrentPlot()) {
        m_pscbClipping->blockSignals(true);
        m_pscbClipping->setValue(pCurrent->ScrollPosition(kClipMaximum));
        m_pscbClipping->blockSignals(false);
    }
    RedrawSpectrum();
}

void MainWindow::onClippingMoved(int lPosition)
{
    SpectrumPlot* pCurrent = CurrentPlot();
    if (pCurrent == nullptr) {
        return;
    }
    pCurrent->ScrollTo(kClipMaximum, lPosition);
    pCurrent->ComputeRange();
    RedrawSpectrum();
}

void MainWindow::onKeepYAxisFixed()
{
    const bool bKeep = m_pchbKeepYAxisFixed->isChecked();
    m_oSession.Settings().Write(Setting::KeepYAxisFixed, bKeep);
    if (SpectrumPlot* pCurrent = CurrentPlot()) {
        pCurrent->SetKeepYAxisFixed(bKeep);
        pCurrent->ComputeRange();
        RedrawSpectrum();
    }
}

void MainWindow::onSaveChart()
{
    WithFile(File::Bitmap, [this](const std::string& sFile) -> Outcome {
        QByteArray aBytes;
        QBuffer oBuffer(&aBytes);
        oBuffer.open(QIODevice::WriteOnly);
        if (!ChartBitmap().save(&oBuffer, "BMP") ||
            !quandrel::WriteFileAtomically(sFile, std::string(aBytes.constData(), static_cast<std::size_t>(aBytes.size())))) {
            return Message{"Error!", "Unable to write the bitmap file " + sFile + "!"};
        }
        m_oSession.Settings().Write(Setting::BitmapPath, ExtractDirectory(sFile));
        return std::nullopt;
    });
}

void MainWindow::onObserverSite()
{
    if (const auto oSite = m_pfrmSettings->Execute(m_oSession.Project().Site())) {
        m_oSession.Project().SetObserverSite(*oSite);
    }
}

void MainWindow::onMiscSettings()
{
    MiscSettings oNow;
    oNow.fTimeThreshold = m_oSession.Settings().ReadFloat(Setting::TimeThreshold);
    oNow.lMaxWidth = m_ptrbWidth->maximum();
    oNow.fIdentifyVelocity = m_oSession.Settings().ReadFloat(Setting::IdentifyAllVelocity);
    oNow.fLampTolerance = m_oSession.Settings().ReadFloat(Setting::LampLineTolerance);
    if (const auto oChosen = m_pfrmMiscSettings->Execute(oNow)) {
        m_oSession.Settings().Write(Setting::TimeThreshold, oChosen->fTimeThreshold);
        m_oSession.Settings().Write(Setting::IdentifyAllVelocity, oChosen->fIdentifyVelocity);
        m_oSession.Settings().Write(Setting::LampLineTolerance, oChosen->fLampTolerance);
        SetWidthMaximum(oChosen->lMaxWidth);
    }
}

void MainWindow::onAbout()
{
    m_pfrmHelp->exec();
}

void MainWindow::OpenHelpDocument(const char* pcDocument)
{
    // The working folder first (the desktop entry starts the program in its data folder), then the
    // installed share folder and the build tree beside the program.
    const QString sProgramFolder = QCoreApplication::applicationDirPath();
    const QStringList vFolders = {QDir::currentPath(), sProgramFolder + "/../share/quandrel", sProgramFolder + "/docs",
                                  sProgramFolder + "/../docs"};
    QStringList vLookedIn;
    for (const QString& sFolder : vFolders) {
        const QFileInfo oFile(QDir(sFolder), QString::fromUtf8(pcDocument));
        vLookedIn << QDir::cleanPath(oFile.absolutePath());
        if (!oFile.isFile()) {
            continue;
        }
        const std::string sPath = QDir::cleanPath(oFile.absoluteFilePath()).toStdString();
        if (!m_oPrompts.OpenDocument(sPath)) {
            m_oPrompts.Message("Help", "No program to show PDF files could be started.\n\nThe document is " + sPath +
                                           "; open it with a PDF viewer of your choice.",
                               Icon::Information, Buttons::Ok);
        }
        return;
    }
    m_oPrompts.Message("Help",
                       std::string("The document ") + pcDocument + " was not found. It was looked for in:\n" +
                           vLookedIn.join('\n').toStdString(),
                       Icon::Warning, Buttons::Ok);
}
