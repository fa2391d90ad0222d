// The line commands of the main window: laboratory lines at start-up, the
// sliders, the search, selecting a line with the mouse, identification, the
// level refit and the hidden line commands.
#include "UiTestSupport.h"
#include "astro/Doppler.h"
#include "core/NumberText.h"
#include "ui/LaboratoryLineDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTableView>
#include <QTableWidget>

#include <cmath>
#include <fstream>

namespace {

const std::string kLines = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/LinesX.txt";

// A spectrum in nm with H-beta, Na D2 and H-alpha absorption lines, shifted by +0.1 A.
std::string WriteSpectrum(const TempDir& oDir)
{
    std::string sText;
    for (int k = 0; k < 6000; ++k) {
        const double fAngstrom = 4800.0 + 0.35 * k;
        double y = 1.0;
        for (const double c : {4861.43, 5890.05, 6562.9}) {
            y -= 0.5 * std::exp(-(fAngstrom - c) * (fAngstrom - c) / (2 * 1.0));
        }
        sText += quandrel::FormatFixed(fAngstrom / 10.0, 5) + "\t" + quandrel::FormatFixed(y, 6) + "\n";
    }
    return oDir.Write("star.txt", sText);
}

// The focus moves to a control (a window without display never gets the real one).
void GiveFocus(QWidget* pControl)
{
    QFocusEvent oEvent(QEvent::FocusIn);
    QApplication::sendEvent(pControl, &oEvent);
}

class LinesWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        OpenSpectrum(WriteSpectrum(m_oDir));
        Child<QSlider>(m_pMain.get(), "trbWidth")->setValue(20 - 10);     // width index 10: 24 samples
        Child<QSlider>(m_pMain.get(), "trbSensitivity")->setValue(20 - 10); // sensitivity index 10
    }

    // Clicks on the plot at the middle of line i.
    void ClickLine(int32_t i, Qt::MouseButton eButton)
    {
        const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
        const QImage oImage = m_pMain->ChartBitmap();
        const int y = oImage.height() / 2;
        for (int x = 0; x < oImage.width(); ++x) {
            if (m_pMain->PlotOf(*pSpectrum).FindLineAt(x, y) == i) {
                // Pixels of the plot are pixels of its view.
                auto* pView = Child<QWidget>(m_pMain.get(), "imgSpectrum");
                QTest::mouseClick(pView, eButton, Qt::NoModifier, QPoint(x, y));
                // A right click opens the context menu; the test only wants the click.
                Child<QMenu>(m_pMain.get(), "pumSpectrum")->hide();
                return;
            }
        }
        FAIL() << "line " << i << " is not on the plot";
    }

    QStringList ListedLines()
    {
        QStringList vItems;
        // The identified lines of the line table, as "name wavelength".
        auto* pTable = Child<QTableWidget>(m_pMain.get(), "tblSpectralLines");
        for (int r = 0; r < pTable->rowCount(); ++r) {
            if (!pTable->item(r, 0)->text().isEmpty()) {
                vItems << pTable->item(r, 0)->text() + " " + pTable->item(r, 1)->text();
            }
        }
        return vItems;
    }
};

} // namespace

TEST_F(MainWindowTest, StartUpWithoutLaboratoryLinesAsksForAFile)
{
    Stop();
    IniFile oIni(m_oDir.File("quandrel.ini"));
    oIni.WriteString("Paths", "InertialLinesFilePath", ".");
    m_oPrompts.qOpenFiles.push_back(kLines);
    Start();
    ASSERT_GE(m_oPrompts.vMessages.size(), 1U);
    EXPECT_EQ(m_oPrompts.vMessages[0].sTitle, "Error!");
    EXPECT_EQ(m_oPrompts.vMessages[0].sText,
              "Inertial spectral lines file (e.g. LinesX.txt) not found!\n\rPlease select a different one.");
    ASSERT_EQ(m_oPrompts.vFileDialogs.size(), 1U);
    EXPECT_EQ(m_oPrompts.vFileDialogs[0].sTitle, "Load file with inertial (laboratory) lines");
    EXPECT_EQ(m_oPrompts.vFileDialogs[0].sFilter, "ASCII Text files (*.asc)|*.asc|All files (*.*)|*.*");
    EXPECT_EQ(m_oPrompts.vFileDialogs[0].sInitialDirectory, "LinesX.txt");
    EXPECT_EQ(m_pMain->Session().Lines().LaboratoryLineTable().GetLineCount(), 16);
    EXPECT_EQ(m_pMain->StatusText(0, 10), "LinesX.txt");
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::LaboratoryLinesFilePath), kLines);
}

TEST_F(MainWindowTest, AnUnreadableLinesFileIsReported)
{
    m_oPrompts.qOpenFiles.push_back(m_oDir.File("missing.asc"));
    Item("mniOpenLinesFile")->trigger();
    ASSERT_FALSE(m_oPrompts.vMessages.empty());
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "File not found error!");
    EXPECT_EQ(m_oPrompts.vMessages.back().sText, "Unable to load laboratory wavelengths!");
    EXPECT_EQ(m_pMain->Session().Lines().LaboratoryLineTable().GetLineCount(), 0);
    EXPECT_EQ(m_pMain->StatusText(0, 10), "missing.asc");
}

TEST_F(LinesWindowTest, SlidersAndEditsFollowEachOther)
{
    auto* ptrbWidth = Child<QSlider>(m_pMain.get(), "trbWidth");
    auto* pedWidth = Child<QLineEdit>(m_pMain.get(), "edWidth");
    EXPECT_EQ(pedWidth->text(), "10") << "the edit shows the index, maximum - position";
    GiveFocus(pedWidth);
    pedWidth->setText("3");
    EXPECT_EQ(ptrbWidth->value(), 17);
    pedWidth->setText("many");
    EXPECT_EQ(ptrbWidth->value(), 15) << "text that is no number counts as 5";

    auto* ptrbSensitivity = Child<QSlider>(m_pMain.get(), "trbSensitivity");
    auto* pedSensitivity = Child<QLineEdit>(m_pMain.get(), "edSensitivity");
    EXPECT_EQ(pedSensitivity->text(), "10");
    GiveFocus(pedSensitivity);
    pedSensitivity->setText("12,6");
    emit pedSensitivity->editingFinished();
    EXPECT_EQ(ptrbSensitivity->value(), 20 - 13);
    pedSensitivity->setText("high");
    emit pedSensitivity->editingFinished();
    EXPECT_EQ(ptrbSensitivity->value(), 20 - 13) << "no number: nothing changes";
}

TEST_F(LinesWindowTest, FindsLinesUnderTheBusyCursorAndSelectsThemWithTheMouse)
{
    Child<QPushButton>(m_pMain.get(), "btnGo")->click();
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(pSpectrum->GetSpectralLineCount(), 3);
    EXPECT_EQ(m_oPrompts.vBusy, (std::vector<bool>{true, false}));
    EXPECT_NEAR(pSpectrum->GetLineCenter(2), 6562.9, 0.01);
    EXPECT_TRUE(ListedLines().isEmpty()) << "only identified lines are listed";

    ClickLine(2, Qt::LeftButton);
    EXPECT_EQ(pSpectrum->GetActiveLineIndex(), 2);
    EXPECT_EQ(m_pMain->StatusText(0, 1), QString(" ") + QString::fromStdString(quandrel::FormatFixed(pSpectrum->GetLineCenter(2), 3)));
    ClickLine(2, Qt::RightButton);
    EXPECT_EQ(pSpectrum->GetActiveLineIndex(), 2) << "a right click keeps the active line";
    ClickLine(2, Qt::LeftButton);
    EXPECT_EQ(pSpectrum->GetActiveLineIndex(), -2) << "a left click on the active line clears it";
    EXPECT_EQ(m_pMain->StatusText(0, 1), "");
    ClickLine(0, Qt::RightButton);
    EXPECT_EQ(pSpectrum->GetActiveLineIndex(), 0);
}

TEST_F(LinesWindowTest, IdentifiesTheActiveLineWithTheNearestOrAChosenLaboratoryLine)
{
    Item("mniFindSpectralLines")->trigger();
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(pSpectrum->GetSpectralLineCount(), 3);
    m_pMain->PrepareContextMenu();
    EXPECT_FALSE(Item("mniIdentifyWithXX")->isEnabled()) << "no active line yet";
    EXPECT_EQ(Item("mniIdentifyWithXX")->text(), "Identify with ");

    ClickLine(2, Qt::LeftButton);
    m_pMain->PrepareContextMenu();
    EXPECT_TRUE(Item("mniIdentifyWithXX")->isEnabled());
    EXPECT_EQ(Item("mniIdentifyWithXX")->text(), "Identify with H-alpha (6562.8)");
    Item("mniIdentifyWithXX")->trigger();
    EXPECT_EQ(ListedLines(), QStringList{"H-alpha 6562.800"});
    EXPECT_TRUE(m_pMain->StatusText(0, 1).endsWith(";H-alpha (6562.800)"));

    ClickLine(0, Qt::LeftButton);
    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(pDialog->windowTitle(), "Set inertial spectral line");
        auto* pGrid = Child<QTableView>(pDialog, "stgInertialLines");
        EXPECT_EQ(pGrid->model()->rowCount(), 17);
        EXPECT_EQ(pGrid->model()->index(0, 0).data().toString(), "Spectral line");
        EXPECT_EQ(pGrid->model()->index(2, 0).data().toString(), "H-beta");
        EXPECT_EQ(pGrid->model()->index(2, 2).data().toString(), "4861.33");
        // The nearest laboratory line is chosen at the start; "&OK" needs a line.
        ASSERT_FALSE(pGrid->selectionModel()->selectedRows().isEmpty());
        EXPECT_EQ(pGrid->selectionModel()->selectedRows().front().row(), 2);
        pGrid->clearSelection();
        EXPECT_FALSE(Child<QPushButton>(pDialog, "btnOK")->isEnabled());
        pGrid->selectRow(2);
        EXPECT_TRUE(Child<QPushButton>(pDialog, "btnOK")->isEnabled());
        Press(pDialog, "btnOK");
    });
    Item("mniIdentifyWith")->trigger();
    int32_t lIndex = 0;
    double fWavelength = 0;
    std::string sName;
    int32_t lCount = 0;
    pSpectrum->GetLineIdentification(0, lIndex, fWavelength, &sName, lCount);
    EXPECT_EQ(lIndex, 1) << "grid row 2 is line index 1";
    EXPECT_EQ(sName, "H-beta");
    EXPECT_EQ(ListedLines(), (QStringList{"H-beta 4861.330", "H-alpha 6562.800"}));

    // Cancel or the header row change nothing; the next showing starts at the line chosen last.
    ClickLine(1, Qt::LeftButton);
    WhenModal([](QWidget* pDialog) {
        auto* pGrid = Child<QTableView>(pDialog, "stgInertialLines");
        EXPECT_EQ(pGrid->selectionModel()->selectedRows().front().row(), 2) << "H-beta, chosen last";
        Press(pDialog, "btnCancel");
    });
    Item("mniIdentifyWith")->trigger();
    WhenModal([](QWidget* pDialog) {
        Child<QTableView>(pDialog, "stgInertialLines")->selectRow(0);
        EXPECT_FALSE(Child<QPushButton>(pDialog, "btnOK")->isEnabled()) << "the header is no line";
        Press(pDialog, "btnCancel");
    });
    Item("mniIdentifyWith")->trigger();
    EXPECT_EQ(pSpectrum->GetLineLaboratoryIndex(1), -1);

    // A reference spectrum is not identified with laboratory lines.
    Item("mniIndicateReference")->trigger();
    m_pMain->PrepareContextMenu();
    EXPECT_FALSE(Item("mniIdentifyWithXX")->isEnabled());
    EXPECT_FALSE(Item("mniIdentifyWith")->isEnabled());
}

TEST_F(LinesWindowTest, LevelLineAndOptimizeFit)
{
    Item("mniFindSpectralLines")->trigger();
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(pSpectrum->GetSpectralLineCount(), 3);
    auto* pchbOptLevel = Child<QCheckBox>(m_pMain.get(), "chbOptLevel");
    auto* ptrbOptLevel = Child<QSlider>(m_pMain.get(), "trbOptLevel");
    EXPECT_FALSE(ptrbOptLevel->isEnabled());
    pchbOptLevel->click();
    EXPECT_TRUE(ptrbOptLevel->isEnabled());
    ptrbOptLevel->setValue(100 - 90);
    EXPECT_EQ(Child<QLineEdit>(m_pMain.get(), "edLevel")->text(), "90");

    ClickLine(2, Qt::LeftButton);
    m_pMain->PrepareContextMenu();
    EXPECT_TRUE(Item("mniOptimizeFitPopup")->isEnabled());
    const double fBefore = pSpectrum->GetLineWidth(2);
    Item("mniOptimizeFit")->trigger();
    EXPECT_NE(pSpectrum->GetLineWidth(2), fBefore) << "refitted on the samples below 0.9";
    EXPECT_NEAR(pSpectrum->GetLineCenter(2), 6562.9, 0.01);
}

TEST_F(LinesWindowTest, HiddenLineCommandsWorkWhenInvoked)
{
    Item("mniFindSpectralLines")->trigger();
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(pSpectrum->GetSpectralLineCount(), 3);
    m_pMain->PrepareContextMenu();
    EXPECT_FALSE(Item("mniCombineRight")->isVisible());
    m_pMain->Session().Lines().ActivateLine(2);
    ASSERT_TRUE(m_pMain->Session().Lines().IdentifyActiveLine(0));
    ClickLine(1, Qt::LeftButton);
    Item("mniCombineRight")->trigger();
    EXPECT_EQ(pSpectrum->GetCombination(1), 1);
    EXPECT_EQ(pSpectrum->GetCombination(2), 0);
    EXPECT_EQ(pSpectrum->GetLineLaboratoryIndex(1), 0);
    Item("mniUncombine")->trigger();
    EXPECT_EQ(pSpectrum->GetCombination(1), 2);
    EXPECT_EQ(pSpectrum->GetCombination(2), 2);
    ClickLine(0, Qt::LeftButton);
    Item("mniCombineLeft")->trigger();
    EXPECT_EQ(pSpectrum->GetCombination(0), 2) << "the first line has no left neighbour";
    Item("mniDoubleGaussian")->trigger();
    EXPECT_TRUE(pSpectrum->IsDoubleGaussian(0));
    Item("mniSingleGaussian")->trigger();
    EXPECT_FALSE(pSpectrum->IsDoubleGaussian(0));
}

TEST_F(LinesWindowTest, AnEmptyLaboratoryTableIdentifiesNothing)
{
    m_oPrompts.qOpenFiles.push_back(m_oDir.Write("empty.asc", ""));
    Item("mniOpenLinesFile")->trigger();
    EXPECT_EQ(m_pMain->Session().Lines().LaboratoryLineTable().GetLineCount(), 0);
    Item("mniFindSpectralLines")->trigger();
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(pSpectrum->GetSpectralLineCount(), 3);
    ClickLine(1, Qt::LeftButton);
    m_pMain->PrepareContextMenu();
    EXPECT_EQ(Item("mniIdentifyWithXX")->text(), "Identify with ");
    Item("mniIdentifyWithXX")->trigger();
    EXPECT_EQ(pSpectrum->GetLineLaboratoryIndex(1), -1);
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(Child<QTableView>(pDialog, "stgInertialLines")->model()->rowCount(), 1);
        EXPECT_FALSE(Child<QPushButton>(pDialog, "btnOK")->isEnabled()) << "no line to choose";
        Press(pDialog, "btnCancel");
    });
    Item("mniIdentifyWith")->trigger();
    EXPECT_EQ(pSpectrum->GetLineLaboratoryIndex(1), -1);
    EXPECT_TRUE(ListedLines().isEmpty());
}

TEST_F(LinesWindowTest, TheLineTableShowsVelocitiesChoosesTheActiveLineAndCopiesItsText)
{
    // The noise floor's field takes either decimal separator and puts the kept value back for no number.
    auto* pedMinSigma = Child<QLineEdit>(m_pMain.get(), "edMinSigma");
    EXPECT_EQ(pedMinSigma->text(), "3");
    for (const char* pcTyped : {"2,5", "deep", "-1"}) {
        pedMinSigma->setText(pcTyped);
        emit pedMinSigma->editingFinished();
        EXPECT_EQ(m_pMain->Session().Settings().ReadFloat(Setting::MinDepthSigma), 2.5) << pcTyped;
    }
    Child<QPushButton>(m_pMain.get(), "btnGo")->click();
    Child<QPushButton>(m_pMain.get(), "btnIdentifyAll")->click();
    const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(pSpectrum->GetSpectralLineCount(), 3);
    auto* pTable = Child<QTableWidget>(m_pMain.get(), "tblSpectralLines");
    ASSERT_EQ(pTable->rowCount(), 3);
    EXPECT_EQ(ListedLines(), (QStringList{"H-beta 4861.330", "NaI_D2 5889.950", "H-alpha 6562.800"}));
    // +0.1 A at every line: 6.2, 5.1 and 4.6 km/s; no time, so Doppler velocities only.
    const double fHalpha = quandrel::DopplerVelocity(6562.8, pSpectrum->GetLineCenter(2));
    EXPECT_EQ(pTable->item(2, 5)->text().toStdString(), quandrel::FormatFixed(fHalpha, 2));
    EXPECT_TRUE(pTable->item(2, 6)->text().isEmpty());
    const QString sMean = Child<QLabel>(m_pMain.get(), "lblLineMean")->text();
    EXPECT_TRUE(sMean.startsWith("Mean of 3 identified lines (Doppler, not corrected): ")) << sMean.toStdString();

    // Choosing a row makes its line active and shows it in the middle of the plot.
    pTable->selectRow(1);
    EXPECT_EQ(pSpectrum->GetActiveLineIndex(), 1);
    int32_t lStart = 0;
    int32_t lCount = 0;
    m_pMain->PlotOf(*pSpectrum).GetZoom(lStart, lCount);
    EXPECT_LT(lCount, pSpectrum->GetNumberValues()) << "from the whole spectrum the plot zooms in";
    const double fMiddle = pSpectrum->GetWavelengths()[static_cast<std::size_t>(lStart + lCount / 2)];
    EXPECT_NEAR(fMiddle, pSpectrum->GetLineCenter(1), 1.0);

    // The context menu takes the identification off the active line; Undo gives it back.
    m_pMain->PrepareContextMenu();
    ASSERT_TRUE(Item("mniUnidentify")->isVisible());
    Item("mniUnidentify")->trigger();
    EXPECT_EQ(ListedLines(), (QStringList{"H-beta 4861.330", "H-alpha 6562.800"}));
    EXPECT_EQ(Item("mniUndo")->text(), "&Undo remove NaI_D2");
    Item("mniUndo")->trigger();
    EXPECT_EQ(ListedLines().size(), 3);

    QApplication::clipboard()->clear();
    pTable->findChild<QAction*>("mniCopyLineTable")->trigger();
    const QStringList vCopied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(vCopied.size(), 5) << "header, three lines, mean";
    EXPECT_TRUE(vCopied[0].startsWith("Line\tLaboratory"));
    EXPECT_TRUE(vCopied[3].startsWith("H-alpha\t6562.800\t"));
    EXPECT_EQ(vCopied[4], sMean);
}
