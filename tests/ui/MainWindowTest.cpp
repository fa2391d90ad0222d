// The main window: start-up and shut-down with the settings file, menus,
// opening and removing spectra, the spectrum kind, zoom, chart and help.
#include "UiTestSupport.h"
#include "core/IniFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"
#include "ui/ImageView.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QTest>
#include <QWheelEvent>
#include <QXmlStreamReader>
#include <QStatusBar>
#include <QLineEdit>

namespace {

const std::string kSample = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt";

int32_t VisibleCount(const SpectrumPlot& oPlot)
{
    int32_t lStart = 0;
    int32_t lCount = 0;
    oPlot.GetZoom(lStart, lCount);
    return lCount;
}

} // namespace

TEST_F(MainWindowTest, StartsWithCaptionMenusAndDefaultSettings)
{
    EXPECT_EQ(m_pMain->windowTitle(), "Quandrel 2.1.3");
    struct ExpectedItem {
        const char* pcName;
        const char* pcCaption;
        const char* pcShortcut;
        bool bEnabled;
    };
    for (const ExpectedItem& o : {ExpectedItem{"mniOpenSpectrum", "O&pen spectrum ...", "F2", true},
                           ExpectedItem{"mniSaveChart", "Save chart as .&bmp ...", "", true},
                           ExpectedItem{"mniPrintSpectrum", "&Print spectrum", "", true},
                           ExpectedItem{"mniExit", "E&xit Quandrel (Alt+F4)", "Ctrl+Q", true},
                           ExpectedItem{"mniSaveProject", "&Save project ...", "Ctrl+S", true},
                           ExpectedItem{"mniSaveProjectAs", "Save project &as ...", "Ctrl+Shift+S", true},
                           ExpectedItem{"mniCloseProject", "&Close project", "Ctrl+W", true},
                           ExpectedItem{"mniOpenProject", "Open &project ...", "", true},
                           ExpectedItem{"mniTimeStamp2", "Observation &time ...", "", false},
                           ExpectedItem{"mniImportMeasurements", "&Open measurements", "", true},
                           ExpectedItem{"mniExportElements", "E&xport elements", "", false},
                           ExpectedItem{"mniOpenCCTemplate", "&Open template", "F3", true},
                           ExpectedItem{"mniNewCCParams", "&New parameters", "", true},
                           ExpectedItem{"mniOpenCCParams", "O&pen parameters", "F4", false},
                           ExpectedItem{"mniRunCC", "R&un", "F5", false},
                           ExpectedItem{"mniCalculateElements", "&Calculate elements", "", false},
                           ExpectedItem{"mniManual", "&Manual (english)", "F1", true},
                           ExpectedItem{"mniHandbuch", "&Handbuch (deutsch)", "", true},
                           ExpectedItem{"mniReference", "&Reference (english)", "", true},
                           ExpectedItem{"mniReferenz", "R&eferenz (deutsch)", "", true},
                           ExpectedItem{"mniObserverCoordinates", "O&bserver coordinates ...", "", true},
                           ExpectedItem{"mniMiscSettings", "&Misc settings ...", "", true},
                           ExpectedItem{"mniAbout", "&About Quandrel ...", "", true}}) {
        QAction* pItem = Item(o.pcName);
        ASSERT_NE(pItem, nullptr);
        EXPECT_EQ(pItem->text(), o.pcCaption);
        EXPECT_EQ(pItem->shortcut().toString(), o.pcShortcut) << o.pcName;
        EXPECT_EQ(pItem->isEnabled(), o.bEnabled) << o.pcName;
    }
    // No spectrum: the kind controls are off.
    EXPECT_FALSE(Item("mniIndicateReference")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(m_pMain.get(), "chbReferenceSpectrum")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(m_pMain.get(), "chbKeepYAxisFixed")->isChecked());
    EXPECT_EQ(Child<QSlider>(m_pMain.get(), "trbWidth")->maximum(), 20);
    EXPECT_EQ(Child<QSlider>(m_pMain.get(), "trbWidth")->tickInterval(), 1);
    EXPECT_EQ(m_pMain->StatusText(0, 0), "   wavelength");
    EXPECT_EQ(m_pMain->StatusText(0, 5), "RA");
    EXPECT_EQ(m_pMain->StatusText(1, 4), "    Calibration lines file");
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::SpectraPath), ".");
}

TEST_F(MainWindowTest, RestoresAndStoresItsSettings)
{
    Stop();
    IniFile oIni(m_oDir.File("quandrel.ini"));
    oIni.WriteInteger("FormSettings", "Left", 40);
    oIni.WriteInteger("FormSettings", "Top", 30);
    oIni.WriteInteger("FormSettings", "Width", 700);
    oIni.WriteInteger("FormSettings", "Height", 500);
    oIni.WriteInteger("ExtremaDeterminationSettings", "MaxIntervallWidth", 100);
    oIni.WriteInteger("ExtremaDeterminationSettings", "IntervallWidth", 37);
    oIni.WriteInteger("ExtremaDeterminationSettings", "Sensitivity", 12);
    oIni.WriteBool("GraphicsSettings", "KeepYAxisFixed", false);
    oIni.WriteString("Paths", "CalibrationFilePath", "/data/lamps/Neon.txt");
    Start();
    EXPECT_EQ(m_pMain->geometry().width(), 700);
    EXPECT_EQ(m_pMain->geometry().height(), 500);
    auto* ptrbWidth = Child<QSlider>(m_pMain.get(), "trbWidth");
    EXPECT_EQ(ptrbWidth->maximum(), 100);
    EXPECT_EQ(ptrbWidth->tickInterval(), 5);
    EXPECT_EQ(ptrbWidth->value(), 37);
    EXPECT_EQ(Child<QSlider>(m_pMain.get(), "trbSensitivity")->value(), 12);
    EXPECT_FALSE(Child<QCheckBox>(m_pMain.get(), "chbKeepYAxisFixed")->isChecked());
    EXPECT_EQ(m_pMain->StatusText(1, 5), "Neon.txt");

    ptrbWidth->setValue(12);
    Stop();
    EXPECT_EQ(oIni.ReadInteger("ExtremaDeterminationSettings", "IntervallWidth", -1), 12);
    EXPECT_EQ(oIni.ReadInteger("ExtremaDeterminationSettings", "MaxIntervallWidth", -1), 100);
    EXPECT_EQ(oIni.ReadInteger("FormSettings", "Width", -1), 700);
    EXPECT_FALSE(oIni.ReadBool("GraphicsSettings", "KeepYAxisFixed", true));
}

TEST_F(MainWindowTest, OpensASpectrumThroughTheImportDialog)
{
    OpenSpectrum(kSample);
    ASSERT_EQ(m_oPrompts.vFileDialogs.size(), 1U);
    EXPECT_EQ(m_oPrompts.vFileDialogs[0].sTitle, "Load spectrum");
    EXPECT_EQ(m_oPrompts.vFileDialogs[0].sFilter, "All files (*.*)|*.*");
    EXPECT_EQ(m_oPrompts.vFileDialogs[0].sInitialDirectory, ".");

    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_NE(pSpectrum, nullptr);
    EXPECT_EQ(pSpectrum->GetNumberValues(), 7061);
    EXPECT_DOUBLE_EQ(pSpectrum->GetWavelengths().front(), 6479.092);
    auto* plsbSpectra = Child<QListWidget>(m_pMain.get(), "lsbSpectra");
    ASSERT_EQ(plsbSpectra->count(), 1);
    EXPECT_EQ(plsbSpectra->item(0)->text(), "alphaDra_20220608_Halpha.txt");
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::SpectraPath), QUANDREL_SAMPLE_DATA_DIR);
    EXPECT_FALSE(IsBlank(m_pMain->ChartBitmap()));
    EXPECT_TRUE(Item("mniIndicateReference")->isEnabled());

    const ScrollClipping o = m_pMain->PlotOf(*pSpectrum).Clipping();
    EXPECT_EQ(o.lPageSize, 50);
    EXPECT_EQ(o.lPosition, 475);
    EXPECT_EQ(o.lStart, 0);
    EXPECT_EQ(o.lCount, 7061);
}

TEST_F(MainWindowTest, AFileWithoutDataGivesAnEmptySpectrum)
{
    OpenSpectrum(m_oDir.Write("empty.txt", ""));
    OpenSpectrum(m_oDir.File("vanished.txt"));
    ASSERT_NE(m_pMain->GetCurrentSpectrum(), nullptr);
    EXPECT_EQ(m_pMain->GetCurrentSpectrum()->GetNumberValues(), 0);
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 2);
    EXPECT_TRUE(IsBlank(m_pMain->ChartBitmap()));
    QTest::mouseClick(Child<QPushButton>(m_pMain.get(), "btnZoomIn"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(m_pMain.get(), "btnZoomOut"), Qt::LeftButton);
    Child<QScrollBar>(m_pMain.get(), "scbClipping")->setValue(900);
    EXPECT_TRUE(IsBlank(m_pMain->ChartBitmap()));
}

TEST_F(MainWindowTest, CancellingLeavesEverythingAsItWas)
{
    m_oPrompts.qOpenFiles.push_back(std::nullopt);
    Item("mniOpenSpectrum")->trigger();
    m_oPrompts.qOpenFiles.push_back(kSample);
    WhenModal([](QWidget* pDialog) { Press(pDialog, "btnCancel"); });
    Item("mniOpenSpectrum")->trigger();
    m_oPrompts.qOpenFiles.push_back(kSample);
    WhenModal([](QWidget* pDialog) { pDialog->close(); });
    Item("mniOpenSpectrum")->trigger();
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), nullptr);
    EXPECT_TRUE(m_pMain->Session().Spectra().SpectrumCount() == 0);
    EXPECT_EQ(Child<QListWidget>(m_pMain.get(), "lsbSpectra")->count(), 0);
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::SpectraPath), ".");
}

TEST_F(MainWindowTest, ListClicksSelectOnlyWithOneEntrySelected)
{
    OpenSpectrum(kSample);
    const std::string sCopy = m_oDir.Write("second.txt", "6562.0\t1\n6563.0\t0.5\n6564.0\t1\n");
    OpenSpectrum(sCopy);
    auto* plsbSpectra = Child<QListWidget>(m_pMain.get(), "lsbSpectra");
    ASSERT_EQ(plsbSpectra->count(), 2);
    const Spectrum* pFirst = m_pMain->Session().Spectra().SpectrumAt(0);
    const Spectrum* pSecond = m_pMain->Session().Spectra().SpectrumAt(1);
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), pSecond);

    ClickItem(plsbSpectra, 0, Qt::ControlModifier);
    EXPECT_EQ(plsbSpectra->selectedItems().size(), 2);
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), pSecond) << "two selected entries change nothing";

    ClickItem(plsbSpectra, 0);
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), pFirst);
    EXPECT_EQ(VisibleCount(m_pMain->PlotOf(*pFirst)), 7061);
}

TEST_F(MainWindowTest, TheListEntryTheUserWorksWithIsTheCurrentSpectrum)
{
    for (const char* pcName : {"a.txt", "b.txt", "c.txt"}) {
        OpenSpectrum(m_oDir.Write(pcName, "6562.0\t1\n6563.0\t0.5\n6564.0\t1\n"));
    }
    auto* plsbSpectra = Child<QListWidget>(m_pMain.get(), "lsbSpectra");
    ASSERT_EQ(m_pMain->Session().Spectra().CurrentIndex(), 2);
    // The arrow keys move the highlight and the current spectrum with it.
    plsbSpectra->setFocus();
    QTest::keyClick(plsbSpectra, Qt::Key_Up);
    EXPECT_EQ(plsbSpectra->currentRow(), 1);
    EXPECT_EQ(m_pMain->Session().Spectra().CurrentIndex(), 1);
    // A right click on another entry makes it current before its menu acts.
    const QPoint oAt = plsbSpectra->visualItemRect(plsbSpectra->item(0)).center();
    QContextMenuEvent oRightClick(QContextMenuEvent::Mouse, oAt, plsbSpectra->viewport()->mapToGlobal(oAt));
    QApplication::sendEvent(plsbSpectra->viewport(), &oRightClick);
    auto* ppumSpectrum = Child<QMenu>(m_pMain.get(), "pumSpectrum");
    EXPECT_TRUE(ppumSpectrum->isVisible());
    ppumSpectrum->hide();
    EXPECT_EQ(m_pMain->Session().Spectra().CurrentIndex(), 0);
    // "Remove spectrum" then removes the entry the user chose, and the first remaining one is current.
    Item("mniRemoveSpectrum")->trigger();
    ASSERT_EQ(plsbSpectra->count(), 2);
    EXPECT_EQ(plsbSpectra->item(0)->text(), "b.txt");
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumName(m_pMain->Session().Spectra().CurrentIndex()), "b.txt");
}

TEST_F(MainWindowTest, SwitchingSpectraKeepsEachOnesZoom)
{
    OpenSpectrum(kSample);
    const Spectrum* pFirst = m_pMain->GetCurrentSpectrum();
    QTest::mouseClick(Child<QPushButton>(m_pMain.get(), "btnZoomIn"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(m_pMain.get(), "btnZoomIn"), Qt::LeftButton);
    const int32_t lZoomed = VisibleCount(m_pMain->PlotOf(*pFirst));
    EXPECT_LT(lZoomed, 7061);
    const int lPosition = Child<QScrollBar>(m_pMain.get(), "scbClipping")->value();

    OpenSpectrum(m_oDir.Write("b.txt", "1\t1\n2\t2\n3\t3\n"));
    auto* plsbSpectra = Child<QListWidget>(m_pMain.get(), "lsbSpectra");
    ClickItem(plsbSpectra, 0);
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), pFirst);
    EXPECT_EQ(VisibleCount(m_pMain->PlotOf(*pFirst)), lZoomed);
    EXPECT_EQ(Child<QScrollBar>(m_pMain.get(), "scbClipping")->value(), lPosition);
}

TEST_F(MainWindowTest, RemovingAllSpectraBlanksThePlotAndDisablesTheKind)
{
    OpenSpectrum(kSample);
    OpenSpectrum(kSample);
    auto* plsbSpectra = Child<QListWidget>(m_pMain.get(), "lsbSpectra");
    plsbSpectra->setFocus();
    QTest::keyClick(plsbSpectra, Qt::Key_A, Qt::ControlModifier);
    Item("mniRemoveSpectrum")->trigger();
    EXPECT_EQ(plsbSpectra->count(), 0);
    EXPECT_TRUE(m_pMain->Session().Spectra().SpectrumCount() == 0);
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), nullptr);
    EXPECT_TRUE(IsBlank(m_pMain->ChartBitmap()));
    EXPECT_FALSE(Child<QCheckBox>(m_pMain.get(), "chbEmissionSpectrum")->isEnabled());
    m_pMain->PrepareContextMenu();
    EXPECT_FALSE(Item("mniRemoveSpectrum")->isVisible());
}

TEST_F(MainWindowTest, RemovingOneSpectrumMakesTheFirstCurrent)
{
    OpenSpectrum(kSample);
    OpenSpectrum(m_oDir.Write("b.txt", "1\t1\n2\t2\n"));
    OpenSpectrum(m_oDir.Write("c.txt", "1\t1\n2\t2\n"));
    const Spectrum* pFirst = m_pMain->Session().Spectra().SpectrumAt(0);
    auto* plsbSpectra = Child<QListWidget>(m_pMain.get(), "lsbSpectra");
    ClickItem(plsbSpectra, 1);
    Item("mniRemoveSpectrum")->trigger();
    ASSERT_EQ(plsbSpectra->count(), 2);
    EXPECT_EQ(plsbSpectra->item(1)->text(), "c.txt");
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), pFirst);
}

TEST_F(MainWindowTest, SpectrumKindStaysInStepEverywhere)
{
    OpenSpectrum(kSample);
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    auto* pchbReference = Child<QCheckBox>(m_pMain.get(), "chbReferenceSpectrum");
    auto* pchbEmission = Child<QCheckBox>(m_pMain.get(), "chbEmissionSpectrum");

    Item("mniIndicateReference")->trigger();
    EXPECT_TRUE(pSpectrum->IsReferenceSpectrum());
    EXPECT_FALSE(pSpectrum->IsEmissionSpectrum());
    EXPECT_TRUE(pchbReference->isChecked());
    EXPECT_TRUE(Item("mniIndicateReferencePopup")->isChecked());

    pchbEmission->click();
    EXPECT_TRUE(pSpectrum->IsEmissionSpectrum());
    EXPECT_TRUE(pSpectrum->IsReferenceSpectrum());
    EXPECT_TRUE(Item("mniIndicateEmission")->isChecked());

    Item("mniIndicateReferencePopup")->trigger();
    EXPECT_FALSE(pSpectrum->IsReferenceSpectrum());
    EXPECT_TRUE(pSpectrum->IsEmissionSpectrum());
    EXPECT_FALSE(pchbReference->isChecked());
}

TEST_F(MainWindowTest, ZoomButtonsMoveTheScrollBarAndTheWindow)
{
    OpenSpectrum(kSample);
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    auto* pscbClipping = Child<QScrollBar>(m_pMain.get(), "scbClipping");
    QTest::mouseClick(Child<QPushButton>(m_pMain.get(), "btnZoomIn"), Qt::LeftButton);
    EXPECT_EQ(VisibleCount(m_pMain->PlotOf(*pSpectrum)), 4707);
    // The middle of the view (start 1177 + 4707 div 2) as a share of the scroll range ...
    const int lPosition = static_cast<int>((4707 / 2 + 1177) / 7061.0 * 1000);
    EXPECT_EQ(lPosition, 499);
    EXPECT_EQ(pscbClipping->value(), lPosition);
    // ... which the scroll bar reads back as the start's share of the free range.
    int32_t lStart = 0;
    int32_t lCount = 0;
    m_pMain->PlotOf(*pSpectrum).GetZoom(lStart, lCount);
    EXPECT_EQ(lStart, static_cast<int32_t>(lPosition / 1000.0 * (7060 - 4707 + 1)));

    // The large step of the scroll bar is 100.
    pscbClipping->setFocus();
    QTest::keyClick(pscbClipping, Qt::Key_PageDown);
    EXPECT_EQ(pscbClipping->value(), lPosition + 100);
    QTest::keyClick(pscbClipping, Qt::Key_PageUp);
    EXPECT_EQ(pscbClipping->value(), lPosition);

    pscbClipping->setValue(1000);
    m_pMain->PlotOf(*pSpectrum).GetZoom(lStart, lCount);
    EXPECT_EQ(lStart + lCount - 1, 7060);
    EXPECT_DOUBLE_EQ(m_pMain->PlotOf(*pSpectrum).GetXMax(), pSpectrum->GetWavelengths().back());

    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(Child<QPushButton>(m_pMain.get(), "btnZoomOut"), Qt::LeftButton);
    }
    EXPECT_EQ(VisibleCount(m_pMain->PlotOf(*pSpectrum)), 7061);
}

TEST_F(MainWindowTest, KeepYAxisFixedIsStoredAtOnceAndAppliesToTheCurrentSpectrum)
{
    OpenSpectrum(kSample);
    auto* pchbKeep = Child<QCheckBox>(m_pMain.get(), "chbKeepYAxisFixed");
    pchbKeep->click();
    EXPECT_FALSE(m_pMain->Session().Settings().File().ReadBool("GraphicsSettings", "KeepYAxisFixed", true));
    EXPECT_FALSE(m_pMain->CurrentPlot()->GetKeepYAxisFixed());
    OpenSpectrum(kSample);
    EXPECT_FALSE(m_pMain->CurrentPlot()->GetKeepYAxisFixed()) << "new spectra take the stored value";
}

TEST_F(MainWindowTest, ChartIsSavedAsBitmap)
{
    OpenSpectrum(kSample);
    const std::string sFile = m_oDir.File("chart.bmp");
    m_oPrompts.qSaveFiles.push_back(sFile);
    Item("mniSaveChart")->trigger();
    ASSERT_EQ(m_oPrompts.vFileDialogs.back().sTitle, "Save spectrum as bitmap");
    EXPECT_EQ(m_oPrompts.vFileDialogs.back().sFilter, "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*");
    EXPECT_TRUE(m_oPrompts.vFileDialogs.back().bOverwritePrompt);
    EXPECT_EQ(ReadWholeFile(sFile).substr(0, 2), "BM");
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::BitmapPath), ExtractDirectory(sFile));

    m_oPrompts.qSaveFiles.push_back(m_oDir.File("no/such/folder/chart.bmp"));
    Item("mniSaveChart")->trigger();
    ASSERT_FALSE(m_oPrompts.vMessages.empty());
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "Error!");
}

TEST_F(MainWindowTest, PrintingWithoutPrinterOffersAPdfFile)
{
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        GTEST_SKIP() << "this machine has a printer";
    }
    OpenSpectrum(kSample);
    m_oPrompts.qAnswers = {Button::No};
    Item("mniPrintSpectrum")->trigger();
    ASSERT_EQ(m_oPrompts.vMessages.size(), 1U);
    EXPECT_EQ(m_oPrompts.vMessages[0].sText.rfind("No printer is installed.", 0), 0U);
    m_oPrompts.qAnswers = {Button::Yes};
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("printed.pdf"));
    Item("mniPrintSpectrum")->trigger();
    EXPECT_EQ(ReadWholeFile(m_oDir.File("printed.pdf")).substr(0, 5), "%PDF-");
}

// The chart of the page shown, exported at a chosen size in each format and read back.
class ChartExportTest : public MainWindowTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ChartExportTest, TheShownPageIsWrittenAtTheChosenSize)
{
    OpenSpectrum(kSample);
    const std::string sFile = m_oDir.File(std::string("chart.") + GetParam());
    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        Child<QLineEdit>(pDialog, "edChartWidth")->setText("640.5");
        Press(pDialog, "btnOK");
        EXPECT_TRUE(pDialog->isVisible()) << "a fraction of a pixel is refused";
        Child<QLineEdit>(pDialog, "edChartWidth")->setText("640");
        Child<QLineEdit>(pDialog, "edChartHeight")->setText("480");
        Child<QLineEdit>(pDialog, "edChartResolution")->setText("144");
        Press(pDialog, "btnOK");
    });
    m_oPrompts.qSaveFiles.push_back(sFile);
    Item("mniExportChart")->trigger();
    const std::string sBytes = ReadWholeFile(sFile);
    ASSERT_FALSE(sBytes.empty()) << (m_oPrompts.vMessages.empty() ? "" : m_oPrompts.vMessages.back().sText);
    const std::string sFormat = GetParam();
    if (sFormat == "png") {
        QImage oImage;
        ASSERT_TRUE(oImage.loadFromData(QByteArray::fromStdString(sBytes), "PNG"));
        EXPECT_EQ(oImage.size(), QSize(640, 480));
        EXPECT_NEAR(oImage.dotsPerMeterX() * 0.0254, 144.0, 0.5);
        EXPECT_FALSE(IsBlank(oImage));
    } else if (sFormat == "svg") {
        QXmlStreamReader oXml(QByteArray::fromStdString(sBytes));
        ASSERT_TRUE(oXml.readNextStartElement());
        EXPECT_EQ(oXml.name(), QString("svg"));
        EXPECT_EQ(oXml.attributes().value("width"), QString("640"));
        EXPECT_EQ(oXml.attributes().value("height"), QString("480"));
        int lPaths = 0;
        while (!oXml.atEnd()) {
            oXml.readNext();
            lPaths += oXml.isStartElement() && oXml.name() == QString("path") ? 1 : 0;
        }
        EXPECT_FALSE(oXml.hasError()) << oXml.errorString().toStdString();
        EXPECT_GT(lPaths, 2);
    } else {
        EXPECT_EQ(sBytes.substr(0, 5), "%PDF-");
        EXPECT_NE(sBytes.find("%%EOF"), std::string::npos);
        // 640 x 480 pixels at 144 dpi: 320 x 240 points.
        EXPECT_NE(sBytes.find("/MediaBox [0 0 320.000000 240.000000]"), std::string::npos);
    }
    EXPECT_EQ(m_pMain->statusBar()->currentMessage().toStdString(), "Chart saved to chart." + sFormat);
}

INSTANTIATE_TEST_SUITE_P(Formats, ChartExportTest, ::testing::Values("png", "svg", "pdf"));

TEST_F(MainWindowTest, HelpItemsOpenTheirDocuments)
{
    // Each item opens its document where the build wrote it, by its full name.
    const std::vector<std::string> vNames = {"Quandrel-Manual.pdf", "Quandrel-Handbuch.pdf", "Quandrel-Reference.pdf",
                                             "Quandrel-Referenz.pdf"};
    for (const char* pcItem : {"mniManual", "mniHandbuch", "mniReference", "mniReferenz"}) {
        ASSERT_TRUE(Item(pcItem)->isEnabled()) << pcItem;
        Item(pcItem)->trigger();
    }
    ASSERT_EQ(m_oPrompts.vDocuments.size(), vNames.size());
    for (std::size_t i = 0; i < vNames.size(); ++i) {
        EXPECT_EQ(m_oPrompts.vDocuments[i], std::filesystem::weakly_canonical(std::string(QUANDREL_DOCS_DIR) + "/" + vNames[i]).string());
    }
    EXPECT_TRUE(m_oPrompts.vMessages.empty());

    // Without a program for PDF files the message says where the document is; a missing one, where it was looked for.
    m_oPrompts.bDocumentsOpen = false;
    Item("mniManual")->trigger();
    ASSERT_EQ(m_oPrompts.vMessages.size(), 1U);
    EXPECT_NE(m_oPrompts.vMessages[0].sText.find(m_oPrompts.vDocuments.back()), std::string::npos);
    EXPECT_EQ(m_oPrompts.vDocuments.back(), m_oPrompts.vDocuments.front());
    m_pMain->OpenHelpDocument("Quandrel-Nowhere.pdf");
    ASSERT_EQ(m_oPrompts.vMessages.size(), 2U);
    EXPECT_NE(m_oPrompts.vMessages[1].sText.find("Quandrel-Nowhere.pdf was not found"), std::string::npos);
    EXPECT_NE(m_oPrompts.vMessages[1].sText.find(QDir::currentPath().toStdString()), std::string::npos);
    EXPECT_EQ(m_oPrompts.vDocuments.size(), 5U);

    // The build writes all four documents; the manuals carry the screenshots.
    for (const char* pcName : {"Quandrel-Manual.pdf", "Quandrel-Handbuch.pdf", "Quandrel-Reference.pdf",
                               "Quandrel-Referenz.pdf"}) {
        const std::string sPdf = ReadWholeFile(std::string(QUANDREL_DOCS_DIR) + "/" + pcName);
        ASSERT_GT(sPdf.size(), 10000U) << pcName;
        EXPECT_EQ(sPdf.substr(0, 5), "%PDF-") << pcName;
        EXPECT_NE(sPdf.find("%%EOF"), std::string::npos) << pcName;
        const bool bManual = std::string(pcName).find("Manual") != std::string::npos ||
                             std::string(pcName).find("Handbuch") != std::string::npos;
        std::size_t lImages = 0;
        for (std::size_t l = sPdf.find("/Subtype /Image"); l != std::string::npos; l = sPdf.find("/Subtype /Image", l + 1)) {
            ++lImages;
        }
        EXPECT_EQ(lImages, bManual ? 4U : 0U) << pcName;
    }
}

TEST_F(MainWindowTest, ExitClosesTheWindowAndWritesItsSettings)
{
    Item("mniExit")->trigger();
    EXPECT_FALSE(m_pMain->isVisible());
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadInteger("ExtremaDeterminationSettings", "MaxIntervallWidth", -1), 20);
    EXPECT_TRUE(m_pMain->Session().Settings().File().ReadBool("GraphicsSettings", "KeepYAxisFixed", false));
}

TEST_F(MainWindowTest, TheMouseZoomsPansAndGoesBackWhileTheScrollBarKeepsInStepAndTheCursorIsReadOut)
{
    OpenSpectrum(kSample);
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_NE(pSpectrum, nullptr);
    const int32_t lAll = pSpectrum->GetNumberValues();
    auto* pView = Child<ImageView>(m_pMain.get(), "imgSpectrum");
    auto* pScroll = Child<QScrollBar>(m_pMain.get(), "scbClipping");
    const int lMiddleY = pView->height() / 2;
    const auto Window = [this, pSpectrum] {
        int32_t lStart = 0;
        int32_t lCount = 0;
        m_pMain->PlotOf(*pSpectrum).GetZoom(lStart, lCount);
        return std::pair{lStart, lCount};
    };
    const auto XAt = [this, pSpectrum, lMiddleY](int lX) {
        double x = 0;
        double y = 0;
        EXPECT_TRUE(m_pMain->PlotOf(*pSpectrum).PixelToPoint(lX, lMiddleY, x, y)) << lX;
        return x;
    };
    const auto InStep = [&] {
        EXPECT_EQ(pScroll->value(),
                  std::clamp(m_pMain->PlotOf(*pSpectrum).ScrollPosition(MainWindow::kClipMaximum), pScroll->minimum(), pScroll->maximum()));
    };

    // The wheel: one notch zooms in by the zoom buttons' factor about the sample under the cursor.
    const int lCursor = pView->width() / 3;
    const double fUnder = XAt(lCursor);
    QWheelEvent oWheel(QPointF(lCursor, lMiddleY), pView->mapToGlobal(QPointF(lCursor, lMiddleY)), QPoint(),
                       QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pView, &oWheel);
    auto [lStart, lCount] = Window();
    EXPECT_EQ(lCount, static_cast<int32_t>(lAll / 1.5));
    EXPECT_GT(fUnder, m_pMain->PlotOf(*pSpectrum).GetXMin());
    EXPECT_LT(fUnder, m_pMain->PlotOf(*pSpectrum).GetXMax());
    EXPECT_GT(lStart, 0) << "about the cursor, not the start";
    InStep();

    // A drag with the left button: the samples between its ends.
    const double fFrom = XAt(200);
    const double fTo = XAt(400);
    QTest::mousePress(pView, Qt::LeftButton, Qt::NoModifier, QPoint(200, lMiddleY));
    QTest::mouseMove(pView, QPoint(300, lMiddleY));
    QTest::mouseMove(pView, QPoint(400, lMiddleY));
    QTest::mouseRelease(pView, Qt::LeftButton, Qt::NoModifier, QPoint(400, lMiddleY));
    EXPECT_NEAR(m_pMain->PlotOf(*pSpectrum).GetXMin(), fFrom, 0.1);
    EXPECT_NEAR(m_pMain->PlotOf(*pSpectrum).GetXMax(), fTo, 0.1);
    std::tie(lStart, lCount) = Window();
    InStep();

    // A drag with the middle button moves the samples with the mouse: to the right shows earlier ones.
    QTest::mousePress(pView, Qt::MiddleButton, Qt::NoModifier, QPoint(200, lMiddleY));
    QTest::mouseMove(pView, QPoint(260, lMiddleY));
    QTest::mouseMove(pView, QPoint(300, lMiddleY));
    QTest::mouseRelease(pView, Qt::MiddleButton, Qt::NoModifier, QPoint(300, lMiddleY));
    const auto [lPanned, lSameCount] = Window();
    EXPECT_EQ(lSameCount, lCount);
    EXPECT_LT(lPanned, lStart);
    // The samples went with the mouse: 100 pixels of the plot's width.
    const int lPlotWidth = pView->width() - 2 * m_pMain->PlotOf(*pSpectrum).GetLeftMargin() - 15;
    EXPECT_NEAR(lStart - lPanned, 100.0 * lCount / lPlotWidth, 1.0);
    InStep();

    // The cursor's wavelength and its velocity from the nearest laboratory line in the wavelength field.
    QTest::mouseMove(pView, QPoint(300, lMiddleY));
    const QString sReadout = m_pMain->StatusText(0, 1);
    EXPECT_TRUE(sReadout.contains(QString::fromStdString(quandrel::FormatFixed(XAt(300), 3)))) << sReadout.toStdString();
    EXPECT_TRUE(sReadout.contains("km/s")) << sReadout.toStdString();

    // Escape, or a double click after another zoom, shows everything again; the buttons still work.
    QTest::keyClick(pView, Qt::Key_Escape);
    EXPECT_EQ(Window(), (std::pair{0, lAll}));
    InStep();
    QTest::mouseClick(Child<QPushButton>(m_pMain.get(), "btnZoomIn"), Qt::LeftButton);
    EXPECT_EQ(Window().second, static_cast<int32_t>(lAll / 1.5));
    QTest::mouseDClick(pView, Qt::LeftButton, Qt::NoModifier, QPoint(300, lMiddleY));
    EXPECT_EQ(Window(), (std::pair{0, lAll}));
}

TEST_F(MainWindowTest, TheFirstStartFitsTheScreenAndSizeAndSplitterComeBackOnTheNext)
{
    const QRect oScreen = m_pMain->screen()->availableGeometry();
    EXPECT_TRUE(oScreen.contains(m_pMain->geometry())) << "first start inside the screen";
    EXPECT_GE(m_pMain->width(), std::min(oScreen.width(), 882));
    // The sliders' value fields show their values from the first start.
    for (const auto& [pcSlider, pcField] : {std::pair{"trbWidth", "edWidth"}, std::pair{"trbSensitivity", "edSensitivity"}}) {
        const auto* pSlider = Child<QSlider>(m_pMain.get(), pcSlider);
        EXPECT_EQ(Child<QLineEdit>(m_pMain.get(), pcField)->text(), QString::number(pSlider->maximum() - pSlider->value()));
    }
    // The sliders' first positions find the five lines of a sample season's spectrum and H-alpha among
    // the lines of the real alpha Dra spectrum.
    for (const auto& [sFile, lAtLeast, lAtMost] : {std::tuple{std::string(QUANDREL_SAMPLE_RUN_DIR) + "/star_00.txt", 5, 5},
                                                   std::tuple{kSample, 10, 60}}) {
        OpenSpectrum(sFile);
        Item("mniFindSpectralLines")->trigger();
        const int lLines = m_pMain->Session().Spectra().CurrentSpectrum()->GetSpectralLineCount();
        EXPECT_GE(lLines, lAtLeast) << sFile;
        EXPECT_LE(lLines, lAtMost) << sFile;
    }
    auto* pSplitter = Child<QSplitter>(m_pMain.get(), "splMain");
    const int lTotal = pSplitter->sizes().value(0) + pSplitter->sizes().value(1);
    pSplitter->setSizes({lTotal / 3, lTotal - lTotal / 3});
    const int lControls = pSplitter->sizes().value(0);
    m_pMain->resize(m_pMain->width() - 40, m_pMain->height() - 30);
    const QSize oSize = m_pMain->size();
    Stop();
    Start();
    EXPECT_EQ(m_pMain->size(), oSize);
    EXPECT_EQ(Child<QSplitter>(m_pMain.get(), "splMain")->sizes().value(0), lControls);
    // A window kept larger than the screen comes back inside it.
    Stop();
    IniFile(m_oDir.File("quandrel.ini")).WriteString("FormSettings", "Width", "30000");
    Start();
    EXPECT_LE(m_pMain->width(), oScreen.width());
}

TEST_F(MainWindowTest, At1280By800NothingIsSquashedBelowAUsableSize)
{
    OpenSpectrum(kSample);
    m_pMain->resize(1280, 800);
    QApplication::processEvents();
    ASSERT_EQ(m_pMain->size(), QSize(1280, 800));
    // Every visible control at least the size its content asks for; the plot and the tables with room.
    for (QWidget* pWidget : m_pMain->findChildren<QWidget*>()) {
        if (!pWidget->isVisible() || pWidget->minimumSizeHint().isEmpty() || pWidget->objectName().isEmpty()) {
            continue;
        }
        EXPECT_GE(pWidget->width(), std::min(pWidget->minimumSizeHint().width(), 400))
            << pWidget->objectName().toStdString();
        EXPECT_GE(pWidget->height(), std::min(pWidget->minimumSizeHint().height(), 300))
            << pWidget->objectName().toStdString();
    }
    auto* pView = Child<ImageView>(m_pMain.get(), "imgSpectrum");
    EXPECT_GE(pView->width(), 900);
    EXPECT_GE(pView->height(), 250);
}

TEST_F(MainWindowTest, TheImportDialogProposesTheLayoutEachFileShows)
{
    // "Single column" ticked for a file of intensities is not kept for a two-column file: its wavelengths
    // were read as intensities.
    OpenSingleColumn(m_oDir.Write("pixels.txt", "0.9\n0.8\n0.95\n1.0\n"));
    EXPECT_EQ(m_pMain->GetCurrentSpectrum()->GetWavelengths(), (std::vector<double>{0, 1, 2, 3}));
    WhenModal([](QWidget* pDialog) {
        EXPECT_FALSE(Child<QCheckBox>(pDialog, "chbSingleColumn")->isChecked());
        Press(pDialog, "btnOK");
    });
    m_oPrompts.qOpenFiles.push_back(m_oDir.Write("two.txt", "# lambda;I\n6562.0;1\n6563.0;0.5\n6564.0;1\n"));
    Item("mniOpenSpectrum")->trigger();
    EXPECT_EQ(m_pMain->GetCurrentSpectrum()->GetWavelengths(), (std::vector<double>{6562.0, 6563.0, 6564.0}));
    WhenModal([](QWidget* pDialog) {
        EXPECT_TRUE(Child<QCheckBox>(pDialog, "chbSingleColumn")->isChecked());
        Press(pDialog, "btnOK");
    });
    m_oPrompts.qOpenFiles.push_back(m_oDir.File("pixels.txt"));
    Item("mniOpenSpectrum")->trigger();
}
