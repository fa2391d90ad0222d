// Orbit and period analysis in the main window: importing velocities, the
// ranges dialog, the element grids, the graph, the exports and PDM.
#include "UiTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableWidget>

namespace {

const std::string kAlphaDra = std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt";

class AnalysisWindowTest : public MainWindowTest {
protected:
    void Import(const std::string& sFile)
    {
        m_oPrompts.qOpenFiles.push_back(sFile);
        Item("mniImportMeasurements")->trigger();
    }

    // Ranges around the published orbit of alpha Dra.
    static void AlphaDraRanges(QWidget* pDialog)
    {
        SetRangeRow(pDialog, 1, "51", "52", "8");
        SetRangeRow(pDialog, 2, "2459860", "2459912", "8");
        SetRangeRow(pDialog, 3, "0.3", "0.55", "5");
        SetRangeRow(pDialog, 4, "0", "60", "6");
        SetRangeRow(pDialog, 5, "2.5E+07", "3.5E+07", "5");
        SetRangeRow(pDialog, 6, "-20", "-10", "5");
    }

    QString Cell(const char* pcGrid, int lRow, int lColumn)
    {
        const QTableWidgetItem* pItem = Child<QTableWidget>(m_pMain.get(), pcGrid)->item(lRow, lColumn);
        return pItem ? pItem->text() : QString();
    }
};

} // namespace

TEST_F(AnalysisWindowTest, ImportedVelocitiesAreFittedShownExportedAndFolded)
{
    EXPECT_FALSE(Item("mniCalculateElements")->isEnabled());
    Import(kAlphaDra);
    EXPECT_EQ(m_oPrompts.vFileDialogs.back().sTitle, "Import external RV values");
    EXPECT_TRUE(Item("mniCalculateElements")->isEnabled());
    EXPECT_TRUE(Item("mniEstimatePeriod")->isEnabled());
    EXPECT_FALSE(Item("mniExportElements")->isEnabled());
    EXPECT_FALSE(IsBlank(m_pMain->ChartBitmap())) << "the graph page shows the points";
    EXPECT_EQ(Child<QTableWidget>(m_pMain.get(), "stgResiduals")->rowCount(), 228);
    EXPECT_EQ(Cell("stgResiduals", 0, 2), "RV (measured)");
    EXPECT_EQ(Cell("stgResiduals", 1, 1), "2459713.48");
    EXPECT_EQ(Cell("stgResiduals", 1, 3), "");

    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(pDialog->windowTitle(), "Determine orbital elements");
        auto* pGrid = Child<QTableWidget>(pDialog, "stgRange");
        EXPECT_EQ(pGrid->item(1, 1)->text(), "0.50") << "first showing: P from 0.5 days";
        EXPECT_EQ(pGrid->item(2, 1)->text(), "2459713.48");
        EXPECT_EQ(pGrid->item(5, 2)->text(), "1.00E+10");
        EXPECT_TRUE(Child<QCheckBox>(pDialog, "chbLeastSquares")->isChecked()) << "on by default";
        AlphaDraRanges(pDialog);
        Press(pDialog, "btnOK");
    });
    Item("mniCalculateElements")->trigger();
    ASSERT_TRUE(m_pMain->Session().Orbit().GridSearch().IsOptimized());
    EXPECT_EQ(Cell("stgOrbitalElements1", 1, 0), "P");
    EXPECT_NEAR(Cell("stgOrbitalElements1", 1, 1).toDouble(), 51.417, 0.05);
    EXPECT_NEAR(Cell("stgOrbitalElements1", 3, 1).toDouble(), 0.43, 0.02);
    EXPECT_EQ(Cell("stgOrbitalElements1", 4, 0), QString(QChar(0x03C9)));
    EXPECT_EQ(Cell("stgOrbitalElements2", 1, 0), QString(QChar(0x03B3)));
    EXPECT_NEAR(Cell("stgOrbitalElements2", 2, 1).toDouble(), 48.5, 0.5);
    // The least-squares elements with their errors beside the search's.
    EXPECT_EQ(Cell("stgLeastSquares", 1, 0), "P [d]");
    EXPECT_NEAR(Cell("stgLeastSquares", 1, 1).toDouble(), 51.4111, 0.0001);
    EXPECT_NEAR(Cell("stgLeastSquares", 1, 2).toDouble(), 0.0122, 0.0001);
    EXPECT_NEAR(Cell("stgLeastSquares", 9, 1).toDouble(), 0.451, 0.001) << "f(M)";
    EXPECT_EQ(Cell("stgLeastSquares", 12, 1), "227");
    EXPECT_FALSE(Cell("stgResiduals", 1, 3).isEmpty());
    EXPECT_TRUE(Item("mniExportElements")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(m_pMain.get(), "chbPhasePlot")->isEnabled());
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadInteger("OrbitalElementsRange", "OrbElemPSteps", 0), 8);

    m_oPrompts.qSaveFiles.push_back(m_oDir.File("elements.txt"));
    Item("mniExportElements")->trigger();
    const auto vElements = OutputLines(ReadWholeFile(m_oDir.File("elements.txt")));
    ASSERT_EQ(vElements.size(), 7U + 21U + 1U);
    EXPECT_EQ(vElements.back(), "# times: JD (UTC)\r") << "imported times are taken as they are";
    EXPECT_EQ(vElements[0].substr(0, 2), "P=");
    EXPECT_EQ(vElements[3].substr(0, 6), "omega=");
    EXPECT_EQ(vElements[6].substr(0, 3), "K1=");
    EXPECT_EQ(vElements[6].back(), '\r');
    EXPECT_EQ(vElements[8].substr(0, 10), "lsq.P.err=");
    EXPECT_EQ(vElements[vElements.size() - 2].substr(0, 6), "lsq.n=");
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("residuals.txt"));
    Item("mniExportResiduals")->trigger();
    const auto vResiduals = OutputLines(ReadWholeFile(m_oDir.File("residuals.txt")));
    ASSERT_EQ(vResiduals.size(), 1U + 227U);
    EXPECT_EQ(vResiduals[0], "# JD (UTC);velocity;residual of the least-squares elements\r");
    EXPECT_EQ(vResiduals[1].substr(0, 16), "2459713.479;15.8");
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("no/folder/residuals.txt"));
    Item("mniExportResiduals")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "Error!");

    Child<QCheckBox>(m_pMain.get(), "chbPhasePlot")->click();
    EXPECT_FALSE(IsBlank(m_pMain->ChartBitmap()));

    // Closing the project clears the fit, and the star's coordinates: the next project's velocities are
    // not corrected for this star.
    m_pMain->Session().Project().SetObjectCoordinates({14, 4.39, 64, 22.55});
    Item("mniCloseProject")->trigger();
    EXPECT_FALSE(m_pMain->Session().Orbit().GridSearch().IsOptimized());
    EXPECT_FALSE(m_pMain->Session().Project().ObjectPosition());
    EXPECT_FALSE(Item("mniExportElements")->isEnabled());
}

TEST_F(AnalysisWindowTest, RangesDialogRefusesBadEntriesAndHoldsUnusedElements)
{
    Import(kAlphaDra);
    WhenModal([](QWidget* pDialog) {
        AlphaDraRanges(pDialog);
        SetRangeRow(pDialog, 3, "0.3", "1", "5");
        Press(pDialog, "btnOK");
        EXPECT_TRUE(pDialog->isVisible()) << "e = 1 is refused";
        SetRangeRow(pDialog, 3, "0.3", "0.5", "0");
        Press(pDialog, "btnOK");
        EXPECT_TRUE(pDialog->isVisible()) << "0 steps are refused";
        SetRangeRow(pDialog, 3, "0.3", "0.5", "many");
        Press(pDialog, "btnOK");
        EXPECT_TRUE(pDialog->isVisible()) << "no number";
        // e held at its lower limit; steps typed with a fraction are cut.
        SetRangeRow(pDialog, 3, "0.43", "0.6", "5");
        Child<QCheckBox>(pDialog, "chbOptimizeE")->setChecked(false);
        EXPECT_FALSE(Child<QTableWidget>(pDialog, "stgRange")->item(3, 2)->flags() & Qt::ItemIsEditable);
        SetRangeRow(pDialog, 4, "0", "60", "5.9");
        Press(pDialog, "btnOK");
    });
    Item("mniCalculateElements")->trigger();
    ASSERT_EQ(m_oPrompts.vMessages.size(), 3U);
    EXPECT_EQ(m_oPrompts.vMessages[0].sTitle, "Invalid data");
    EXPECT_EQ(m_oPrompts.vMessages[0].sText,
              "Invalid data for orbital element intervals\n\r(string not a number/out of range)");
    ASSERT_TRUE(m_pMain->Session().Orbit().GridSearch().IsOptimized());
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadFloat("OrbitalElementsRange", "OrbElemEMax", -1), 0.43);
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadInteger("OrbitalElementsRange", "OrbElemESteps", -1), 1);
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadInteger("OrbitalElementsRange", "OrbElemOmegaSteps", -1), 5);
    EXPECT_EQ(Cell("stgOrbitalElements1", 3, 1), "0.4300");

    // The P range of the search stays for the next showing; "&Defaults" brings back the whole span.
    WhenModal([](QWidget* pDialog) {
        auto* pGrid = Child<QTableWidget>(pDialog, "stgRange");
        EXPECT_EQ(pGrid->item(1, 1)->text(), "51.00");
        EXPECT_EQ(pGrid->item(3, 2)->text(), "0.43") << "e comes back from the settings";
        Press(pDialog, "btnRestoreDefaults");
        EXPECT_EQ(pGrid->item(1, 1)->text(), "0.50");
        EXPECT_EQ(pGrid->item(1, 2)->text(), "454.91") << "the time span of the series";
        EXPECT_EQ(pGrid->item(3, 2)->text(), "0.90");
        Press(pDialog, "btnCancel");
    });
    Item("mniCalculateElements")->trigger();
}

TEST_F(AnalysisWindowTest, TooFewPointsAreNotSearched)
{
    // The validation file's head without its data: two comment lines and one measurement.
    Import(m_oDir.Write("one.txt", "# alpha Dra\n# JD RV\n2455000.5;12.0\n"));
    EXPECT_EQ(m_oPrompts.vMessages.back().sText,
              "The file one.txt holds 1 lines of a Julian date and a velocity; at least 2 are needed.");
    EXPECT_FALSE(Item("mniCalculateElements")->isEnabled());
    EXPECT_FALSE(m_pMain->Session().Orbit().GridSearch().IsOptimized());
    EXPECT_FALSE(Item("mniEstimatePeriod")->isEnabled());

    m_oPrompts.qOpenFiles.push_back(m_oDir.File("missing.txt"));
    Item("mniImportMeasurements")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "File format error!");
    EXPECT_EQ(m_oPrompts.vMessages.back().sText, "Unable to import RV file!");
}

TEST_F(AnalysisWindowTest, PeriodSearchReportsAndKeepsItsRange)
{
    Import(kAlphaDra);
    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edNumberDataPoints")->text(), "227");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edNumberBins")->text(), "75");
        // From the data: 0.5 days to the time span of the 227 velocities (454.9 days).
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edPeriodFrom")->text(), "0.5");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edPeriodTo")->text(), "455");
        Child<QLineEdit>(pDialog, "edPeriodFrom")->setText("40");
        Child<QLineEdit>(pDialog, "edPeriodTo")->setText("60");
        Press(pDialog, "btnOK");
    });
    Item("mniEstimatePeriod")->trigger();
    ASSERT_FALSE(m_oPrompts.vMessages.empty());
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "PDM Result");
    const std::string sResult = m_oPrompts.vMessages.back().sText;
    const std::string sPrefix = "Period of least dispersion: T = ";
    ASSERT_EQ(sResult.substr(0, sPrefix.size()), sPrefix);
    EXPECT_EQ(sResult.substr(sResult.size() - 2), " d") << "the period names its unit";
    EXPECT_NEAR(std::stod(sResult.substr(sPrefix.size())), 51.4, 0.2);
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadFloat("PeriodRange", "PeriodMin", 0), 40.0);

    const std::size_t lMessages = m_oPrompts.vMessages.size();
    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edNumberBins")->setText("0");
        Press(pDialog, "btnOK");
    });
    Item("mniEstimatePeriod")->trigger();
    ASSERT_EQ(m_oPrompts.vMessages.size(), lMessages + 1);
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "Invalid data");
    // A reversed period range is refused, not searched.
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Period search (PDM)");
        Child<QLineEdit>(pDialog, "edNumberBins")->setText("10");
        Child<QLineEdit>(pDialog, "edPeriodFrom")->setText("60");
        Child<QLineEdit>(pDialog, "edPeriodTo")->setText("40");
        Press(pDialog, "btnOK");
    });
    Item("mniEstimatePeriod")->trigger();
    ASSERT_EQ(m_oPrompts.vMessages.size(), lMessages + 2);
    EXPECT_NE(m_oPrompts.vMessages.back().sText.find("from a shorter to a longer period"), std::string::npos);
    WhenModal([](QWidget* pDialog) { Press(pDialog, "btnCancel"); });
    Item("mniEstimatePeriod")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.size(), lMessages + 2) << "cancel computes nothing";
}

TEST_F(AnalysisWindowTest, SuggestAndCalculateGiveThePublishedOrbitWithErrors)
{
    // The user opens the velocities, presses "Suggest" and "Calculate": no range typed.
    Import(kAlphaDra);
    WhenModal([](QWidget* pDialog) {
        Press(pDialog, "btnSuggest");
        auto* pGrid = Child<QTableWidget>(pDialog, "stgRange");
        EXPECT_LT(pGrid->item(1, 1)->text().toDouble(), 51.4);
        EXPECT_GT(pGrid->item(1, 2)->text().toDouble(), 51.4);
        SaveScreenshot(pDialog, "dialog_orbit_ranges_suggested");
        Press(pDialog, "btnOK");
    });
    Item("mniCalculateElements")->trigger();
    const auto& oFit = m_pMain->Session().Orbit().LeastSquaresFit();
    ASSERT_TRUE(oFit);
    // Published: P 51.4174 d, e 0.43, omega 22.4 deg, K1 48.51 km/s.
    EXPECT_NEAR(oFit->afValue[0], 51.4174, 2 * oFit->afError[0]);
    EXPECT_NEAR(oFit->afValue[2], 0.43, 0.01);
    EXPECT_NEAR(oFit->afValue[3], 22.4, 1.5);
    EXPECT_NEAR(oFit->afValue[4], 48.51, 0.2);
    EXPECT_NEAR(Cell("stgLeastSquares", 1, 1).toDouble(), oFit->afValue[0], 1e-4);
    EXPECT_EQ(Child<QTabWidget>(m_pMain.get(), "pgcTables")->currentIndex(), 4) << "the errors are shown";
    m_pMain->resize(1100, 720);
    SaveScreenshot(m_pMain.get(), "least_squares");
}

TEST_F(AnalysisWindowTest, ThePeriodogramPageShowsTheStrongestPeriodWithThePdmDispersions)
{
    Import(kAlphaDra);
    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edPeriodFrom")->setText("20");
        Child<QLineEdit>(pDialog, "edPeriodTo")->setText("100");
        Press(pDialog, "btnOK");
    });
    Item("mniEstimatePeriod")->trigger();
    ASSERT_FALSE(m_pMain->Session().Periods().PdmScan().empty());
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Periodogram");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edShortestPeriod")->text(), "0.5");
        Child<QLineEdit>(pDialog, "edFrequencies")->setText("1.5");
        Press(pDialog, "btnOK");
        EXPECT_TRUE(pDialog->isVisible()) << "no whole number of frequencies";
        Child<QLineEdit>(pDialog, "edShortestPeriod")->setText("10");
        Child<QLineEdit>(pDialog, "edLongestPeriod")->setText("200");
        Child<QLineEdit>(pDialog, "edFrequencies")->setText("20000");
        Press(pDialog, "btnOK");
    });
    Item("mniPeriodogram")->trigger();
    ASSERT_TRUE(m_pMain->Session().Periods().LastPeriodogram());
    EXPECT_EQ(m_pMain->Session().Periods().LastPeriodogram()->vFrequency.size(), 20000U);
    ASSERT_EQ(m_oPrompts.vMessages.back().sTitle, "Periodogram");
    EXPECT_NEAR(std::stod(m_oPrompts.vMessages.back().sText.substr(4)), 51.45, 0.1);
    EXPECT_EQ(Child<QTabWidget>(m_pMain.get(), "pgcPlots")->currentIndex(), 5);
    EXPECT_FALSE(IsBlank(m_pMain->ChartBitmap()));
    m_pMain->resize(1100, 720);
    SaveScreenshot(m_pMain.get(), "page_periodogram");
}

TEST_F(AnalysisWindowTest, ALongSearchRunsBesideALiveWindowAndCancelLeavesTheElements)
{
    Import(kAlphaDra);
    WhenModal([this](QWidget* pDialog) {
        AlphaDraRanges(pDialog);
        Press(pDialog, "btnOK");
    });
    Item("mniCalculateElements")->trigger();
    ASSERT_TRUE(m_pMain->Session().Orbit().IsOrbitFitted());
    const OrbitElements oBefore = m_pMain->Session().Orbit().Elements();

    // 40^4 x 10 x 10 grid points on 227 velocities: minutes of work, stopped after a moment.
    bool bLive = false;
    WhenModal([&](QWidget* pDialog) {
        AlphaDraRanges(pDialog);
        for (int r = 1; r <= 4; ++r) {
            Child<QTableWidget>(pDialog, "stgRange")->item(r, 3)->setText("40");
        }
        QTimer::singleShot(300, [&] {
            // Meanwhile: the progress bar shows, the commands wait, the plots can be switched.
            EXPECT_TRUE(Child<QWidget>(m_pMain.get(), "pnlWork")->isVisible());
            EXPECT_FALSE(m_pMain->menuBar()->isEnabled());
            Child<QTabWidget>(m_pMain.get(), "pgcPlots")->setCurrentIndex(0);
            Child<QPushButton>(m_pMain.get(), "btnZoomIn")->click();
            bLive = true;
            Child<QPushButton>(m_pMain.get(), "btnCancelWork")->click();
        });
        Press(pDialog, "btnOK");
    });
    Item("mniCalculateElements")->trigger();
    EXPECT_TRUE(bLive);
    EXPECT_FALSE(Child<QWidget>(m_pMain.get(), "pnlWork")->isVisible());
    EXPECT_TRUE(m_pMain->menuBar()->isEnabled());
    EXPECT_EQ(m_pMain->Session().Orbit().Elements().fPeriod, oBefore.fPeriod) << "the cancelled search changed nothing";
    EXPECT_EQ(m_pMain->Session().Orbit().Elements().fT0, oBefore.fT0);
    EXPECT_TRUE(m_pMain->Session().Orbit().LeastSquaresFit());
}
