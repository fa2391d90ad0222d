// Observation time, coordinates, the table of radial velocities and the
// project commands of the main window.
#include "UiTestSupport.h"
#include "core/NumberText.h"
#include "core/Utils.h"
#include "ui/RvTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <cmath>
#include <tuple>

namespace {

std::string WriteSpectrum(const TempDir& oDir, const std::string& sName, double fShift, double fDepth = 0.5)
{
    std::string sText;
    for (int k = 0; k < 3000; ++k) {
        const double x = 6500.0 + 0.05 * k;
        const double y = 1.0 - fDepth * std::exp(-std::pow(x - 6562.8 - fShift, 2) / (2 * 0.5 * 0.5));
        sText += quandrel::FormatFixed(x, 4) + "\t" + quandrel::FormatFixed(y, 6) + "\n";
    }
    return oDir.Write(sName, sText);
}

class RvTableWindowTest : public MainWindowTest {
protected:
    // Opens a spectrum with one H-alpha line, finds and identifies the line.
    const Spectrum* OpenIdentified(const std::string& sName, double fShift, double fDepth = 0.5)
    {
        OpenSpectrum(WriteSpectrum(m_oDir, sName, fShift, fDepth));
        Child<QSlider>(m_pMain.get(), "trbWidth")->setValue(20 - 20);
        Child<QSlider>(m_pMain.get(), "trbSensitivity")->setValue(20 - 10);
        Item("mniFindSpectralLines")->trigger();
        const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
        EXPECT_EQ(pSpectrum->GetSpectralLineCount(), 1);
        m_pMain->Session().Lines().ActivateLine(0);
        Item("mniIdentifyWithXX")->trigger();
        return pSpectrum;
    }

    // Opens a spectrum with its line identified at a time and adds it as a row, the question for the
    // object coordinates cancelled.
    const Spectrum* AddRow(const std::string& sName, double fShift, double fJulianDate, double fDepth = 0.5)
    {
        const Spectrum* pSpectrum = OpenIdentified(sName, fShift, fDepth);
        m_pMain->Session().Spectra().SetObservationTime(fJulianDate);
        m_oPrompts.qAnswers = {Button::Cancel};
        Item("mniAddToMatrix")->trigger();
        return pSpectrum;
    }

    // "Observation time ..." with a civil date and time in a zone.
    void EnterTime(const char* pcDay, const char* pcMonth, const char* pcYear, const char* pcHours,
                   const char* pcMinutes, int lZone)
    {
        WhenModal([=](QWidget* pDialog) {
            ASSERT_NE(pDialog, nullptr);
            Child<QRadioButton>(pDialog, "rabUseCivilDate")->click();
            Child<QComboBox>(pDialog, "cobTimeZone")->setCurrentIndex(lZone);
            Child<QLineEdit>(pDialog, "edCivilDateDays")->setText(pcDay);
            Child<QLineEdit>(pDialog, "edCivilDateMonth")->setText(pcMonth);
            Child<QLineEdit>(pDialog, "edCivilDateYear")->setText(pcYear);
            Child<QLineEdit>(pDialog, "edCivilDateHours")->setText(pcHours);
            Child<QLineEdit>(pDialog, "edCivilDateMinutes")->setText(pcMinutes);
            Press(pDialog, "btnOK");
        });
        Item("mniTimeStamp2")->trigger();
    }

    void SetObject(const char* pcHours, const char* pcMinutes, const char* pcDegrees, const char* pcDegreeMinutes)
    {
        WhenModal([=](QWidget* pDialog) {
            ASSERT_NE(pDialog, nullptr);
            Child<QLineEdit>(pDialog, "edRightAscensionHours")->setText(pcHours);
            Child<QLineEdit>(pDialog, "edRightAscensionMinutes")->setText(pcMinutes);
            Child<QLineEdit>(pDialog, "edDeclinationDegrees")->setText(pcDegrees);
            Child<QLineEdit>(pDialog, "edDeclinationMinutes")->setText(pcDegreeMinutes);
            Press(pDialog, "btkOK");
        });
        Item("mniObjectCoordinates")->trigger();
    }

    QTableView* Grid() { return Child<QTableView>(m_pMain.get(), "stgMatrix"); }

    QString GridText(int lColumn, int lRow) { return Grid()->model()->index(lRow, lColumn).data().toString(); }

    void SetCurrentCell(int lRow, int lColumn) { Grid()->setCurrentIndex(Grid()->model()->index(lRow, lColumn)); }
};

} // namespace

TEST_F(RvTableWindowTest, TimeCoordinatesAndCorrectionInTheStatusBar)
{
    OpenSpectrum(WriteSpectrum(m_oDir, "a.txt", 0.0));
    EXPECT_EQ(m_pMain->StatusText(0, 3), "");
    EnterTime("1", "3", "2012", "21", "30", 1);
    double fJd = 0;
    ASSERT_TRUE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
    EXPECT_NEAR(fJd, 2455988.3541666667, 1e-8);
    EXPECT_EQ(m_pMain->StatusText(0, 3), "01.03.2012");
    EXPECT_EQ(m_pMain->StatusText(0, 4), "20:30");
    EXPECT_EQ(m_pMain->StatusText(1, 1), "") << "no object coordinates yet";
    // 23:59:40 UT is shown at the nearest minute, on the next day.
    m_pMain->Session().Spectra().SetObservationTime(2455988.5 - 20.0 / 86400.0);
    EXPECT_EQ(m_pMain->StatusText(0, 3), "02.03.2012");
    EXPECT_EQ(m_pMain->StatusText(0, 4), "00:00");
    m_pMain->Session().Spectra().SetObservationTime(fJd);

    SetObject("5", "55", "7", "24");
    EXPECT_EQ(m_pMain->StatusText(0, 6), " 5h55'");
    EXPECT_EQ(m_pMain->StatusText(0, 8), QString("  7") + QChar(0x00B0) + "24'");
    // Until the table takes the observer's coordinates, the correction uses longitude and latitude 0.
    // The precise correction at 9 deg W, 52 deg N: astropy gives -27.516488 km/s.
    EXPECT_NE(m_pMain->StatusText(1, 1), "-27.52");
    WhenModal([](QWidget* pDialog) { Press(pDialog, "btnOK"); });
    Item("mniObserverCoordinates")->trigger();
    EXPECT_EQ(m_pMain->StatusText(1, 1), "-27.52");
    // Its tooltip names the kind and gives the time also at the barycentre (astropy: BJD_TDB 2455988.356552).
    EXPECT_EQ(m_pMain->StatusToolTip(1, 1).toStdString(),
              "Barycentric correction (precise): -27.5165 km/s\nJD (UTC) 2455988.354167, BJD_TDB 2455988.356552");
    // A date beyond ERFA's table of leap seconds is said where the correction shows.
    m_pMain->Session().Spectra().SetObservationTime(2470000.5);
    EXPECT_NE(m_pMain->StatusToolTip(1, 1).toStdString().find("table of leap seconds (20"), std::string::npos)
        << m_pMain->StatusToolTip(1, 1).toStdString();
}

TEST_F(RvTableWindowTest, TimeDialogTakesJulianDatesAndForgetsAfterCancel)
{
    OpenSpectrum(WriteSpectrum(m_oDir, "a.txt", 0.0));
    WhenModal([](QWidget* pDialog) {
        Child<QRadioButton>(pDialog, "rabUseJulianDate")->click();
        EXPECT_TRUE(Child<QLineEdit>(pDialog, "edJulianDate")->isEnabled());
        EXPECT_FALSE(Child<QLineEdit>(pDialog, "edCivilDateDays")->isEnabled());
        Child<QLineEdit>(pDialog, "edJulianDate")->setText("2459739,38522");
        Press(pDialog, "btnOK");
    });
    Item("mniTimeStamp2")->trigger();
    double fJd = 0;
    ASSERT_TRUE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
    EXPECT_EQ(fJd, 2459739.38522);
    EXPECT_TRUE(m_oPrompts.vMessages.empty()) << "a plausible date is taken without a question";

    // A reduced date (JD - 2400000) or a date far off is used only when the user confirms it.
    for (const auto& [pcTyped, eAnswer] : {std::pair{"59739.38522", Button::No}, {"3012345.5", Button::No},
                                           {"2299000.5", Button::Yes}}) {
        m_oPrompts.qAnswers = {eAnswer};
        WhenModal([pcTyped](QWidget* pDialog) {
            Child<QLineEdit>(pDialog, "edJulianDate")->setText(pcTyped);
            Press(pDialog, "btnOK");
        });
        Item("mniTimeStamp2")->trigger();
        ASSERT_FALSE(m_oPrompts.vMessages.empty()) << pcTyped;
        EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "Warning!") << pcTyped;
        ASSERT_TRUE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
        EXPECT_EQ(fJd, eAnswer == Button::Yes ? 2299000.5 : 2459739.38522) << pcTyped;
    }
    m_pMain->Session().Spectra().SetObservationTime(2459739.38522);
    EXPECT_TRUE(m_pMain->Session().Settings().File().ReadBool("Settings", "UseJulianDate", false));

    // Cancel stores nothing; a day that is no number keeps the dialog open.
    WhenModal([](QWidget* pDialog) {
        EXPECT_TRUE(Child<QRadioButton>(pDialog, "rabUseJulianDate")->isChecked()) << "the mode is remembered";
        Child<QRadioButton>(pDialog, "rabUseCivilDate")->click();
        Child<QLineEdit>(pDialog, "edCivilDateDays")->setText("first");
        Press(pDialog, "btnOK");
        EXPECT_TRUE(pDialog->isVisible());
        Press(pDialog, "btnCancel");
    });
    Item("mniTimeStamp2")->trigger();
    ASSERT_TRUE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
    EXPECT_EQ(fJd, 2459739.38522);
}

TEST_F(RvTableWindowTest, TheTimeDialogOffersOnlyTheSpectrumsOwnTime)
{
    // A time typed for one spectrum is not offered for the next: Enter on the next one's dialog
    // stores nothing (it added star_03 at star_02's time).
    OpenSpectrum(WriteSpectrum(m_oDir, "a.txt", 0.0));
    EnterTime("26", "8", "2020", "11", "45", 0);
    double fJd = 0.0;
    ASSERT_TRUE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
    OpenSpectrum(WriteSpectrum(m_oDir, "b.txt", 0.0));
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edCivilDateDays")->text(), "");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edCivilDateHours")->text(), "");
        QTest::keyClick(pDialog, Qt::Key_Return);
        EXPECT_TRUE(pDialog->isVisible()) << "no time to take";
        Press(pDialog, "btnCancel");
    });
    Item("mniTimeStamp2")->trigger();
    EXPECT_FALSE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
    // A spectrum with a time of its own shows it (11:45 of 26 August 2020 in UT).
    m_pMain->Session().Spectra().SetObservationTime(2459087.98958333);
    WhenModal([](QWidget* pDialog) {
        Child<QRadioButton>(pDialog, "rabUseCivilDate")->click();
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edCivilDateDays")->text(), "26");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edCivilDateHours")->text(), "11");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edCivilDateMinutes")->text(), "45");
        Press(pDialog, "btnCancel");
    });
    Item("mniTimeStamp2")->trigger();
}

TEST_F(RvTableWindowTest, OtherTimeZonesTakeQuarterHoursAndACancelledZoneIsForgotten)
{
    OpenSpectrum(WriteSpectrum(m_oDir, "a.txt", 0.0));
    const IniFile& oIni = m_pMain->Session().Settings().File();
    const double fMidnightUt = 2455988.5; // 2 March 2012, 0:00 UT
    // Offsets of whole, half and quarter hours are taken (a whole one stored as before); others keep
    // the dialog open.
    for (const auto& [pcOffset, fHours, pcStored] :
         {std::tuple{"5,5", 5.5, "5.5"}, {"-3.75", -3.75, "-3.75"}, {"5", 5.0, "5"}}) {
        WhenModal([pcOffset](QWidget* pDialog) {
            Child<QRadioButton>(pDialog, "rabUseCivilDate")->click();
            Child<QComboBox>(pDialog, "cobTimeZone")->setCurrentIndex(3);
            for (const auto& [pcField, pcText] : {std::pair{"edCivilDateDays", "2"}, {"edCivilDateMonth", "3"},
                                                  {"edCivilDateYear", "2012"}, {"edCivilDateHours", "12"},
                                                  {"edCivilDateMinutes", "0"}, {"edTimeZone", "5.3"}}) {
                Child<QLineEdit>(pDialog, pcField)->setText(pcText);
            }
            Press(pDialog, "btnOK");
            EXPECT_TRUE(pDialog->isVisible()) << "5.3 h is no zone offset";
            Child<QLineEdit>(pDialog, "edTimeZone")->setText(pcOffset);
            Press(pDialog, "btnOK");
        });
        Item("mniTimeStamp2")->trigger();
        double fJd = 0;
        ASSERT_TRUE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
        EXPECT_NEAR(fJd, fMidnightUt + (12.0 - fHours) / 24.0, 1e-9) << pcOffset;
        EXPECT_EQ(oIni.ReadString("Settings", "OtherTimeZone", ""), pcStored);
    }
    // Switching to MET and cancelling leaves "Other" of 5 hours for the next showing, and its OK
    // uses those 5 hours.
    WhenModal([](QWidget* pDialog) {
        Child<QComboBox>(pDialog, "cobTimeZone")->setCurrentIndex(1);
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edTimeZone")->text(), "1");
        Press(pDialog, "btnCancel");
    });
    Item("mniTimeStamp2")->trigger();
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(Child<QComboBox>(pDialog, "cobTimeZone")->currentIndex(), 3);
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edTimeZone")->text(), "5");
        Press(pDialog, "btnOK");
    });
    Item("mniTimeStamp2")->trigger();
    double fJd = 0;
    ASSERT_TRUE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd));
    EXPECT_NEAR(fJd, fMidnightUt + 7.0 / 24.0, 1e-9);
}

TEST_F(RvTableWindowTest, AddMeasurementAsksForTimeAndCoordinatesAndFillsTheGrid)
{
    const Spectrum* pSpectrum = OpenIdentified("a.txt", 0.5);
    m_oPrompts.qAnswers = {Button::Ok, Button::Ok};
    WhenModal([this](QWidget* pTime) {
        EXPECT_EQ(pTime->windowTitle(), "Observation time");
        Child<QRadioButton>(pTime, "rabUseJulianDate")->click();
        Child<QLineEdit>(pTime, "edJulianDate")->setText("2455988.354167");
        WhenModal([](QWidget* pObject) {
            EXPECT_EQ(pObject->windowTitle(), "Object coordinates");
            Child<QLineEdit>(pObject, "edRightAscensionHours")->setText("5");
            Child<QLineEdit>(pObject, "edRightAscensionMinutes")->setText("55");
            Child<QLineEdit>(pObject, "edDeclinationDegrees")->setText("7");
            Child<QLineEdit>(pObject, "edDeclinationMinutes")->setText("24");
            Press(pObject, "btkOK");
        });
        Press(pTime, "btnOK");
    });
    Child<QPushButton>(m_pMain.get(), "btnAddMeasurement")->click();
    ASSERT_EQ(m_oPrompts.vMessages.size(), 2U);
    EXPECT_EQ(m_oPrompts.vMessages[0].sTitle, "No time stamp specified!");
    EXPECT_EQ(m_oPrompts.vMessages[0].sText, "Please specify date and time before evaluating!");
    EXPECT_EQ(m_oPrompts.vMessages[1].sTitle, "No object coordinates specified!");
    EXPECT_EQ(m_oPrompts.vMessages[1].sText, "Please specify object coordinates before evaluating!");

    const RvTable& oTable = m_pMain->Session().Project().Table();
    ASSERT_EQ(oTable.Rows().size(), 1U);
    EXPECT_TRUE(oTable.Coordinates().AreObserverCoordinatesSet());
    // The precise correction as astropy gives it, -27.516488 km/s, combined with the Doppler velocity.
    const double fDoppler = (pSpectrum->GetLineCenter(0) - 6562.8) / 6562.8 * 299792.458;
    const double fExpected = fDoppler - 27.516488 - fDoppler * 27.516488 / 299792.458;
    EXPECT_NEAR(oTable.Rows()[0].measurements[0].fVelocity1, fExpected, 0.001);
    EXPECT_NEAR(oTable.Rows()[0].measurements[0].fVelocity1, 22.85 - 27.51, 0.1);

    EXPECT_EQ(Grid()->model()->rowCount(), 3);
    EXPECT_EQ(Grid()->model()->columnCount(), 5) << "time, H-alpha, the mean, BJD_TDB and the data set";
    EXPECT_EQ(GridText(4, 0), "Data set");
    // The data set is edited in place; the orbit then pools the rows by it.
    ASSERT_TRUE(Grid()->model()->flags(Grid()->model()->index(2, 4)) & Qt::ItemIsEditable);
    EXPECT_FALSE(Grid()->model()->flags(Grid()->model()->index(2, 2)) & Qt::ItemIsEditable);
    ASSERT_TRUE(Grid()->model()->setData(Grid()->model()->index(2, 4), QString("  Observer A ")));
    QCoreApplication::processEvents();
    EXPECT_EQ(oTable.Rows()[0].sDataSet, "Observer A");
    EXPECT_EQ(GridText(4, 2), "Observer A");
    EXPECT_EQ(GridText(3, 0), "BJD_TDB");
    EXPECT_EQ(GridText(3, 2), "2455988.35655") << "astropy's BJD_TDB of the row's time, object and site";
    EXPECT_EQ(GridText(2, 0), "Mean \u00B1 SE");
    EXPECT_EQ(GridText(2, 2), QString::fromStdString(quandrel::FormatFixed(fExpected, 2) + " \u00B1 0.00 (1)"));
    EXPECT_EQ(GridText(1, 0), "H-alpha");
    EXPECT_EQ(GridText(1, 1), "6562.8");
    EXPECT_EQ(GridText(0, 2), " 1. 3.2012 20:30");
    EXPECT_EQ(GridText(1, 2), QString::fromStdString(quandrel::FormatFixedWidth(fExpected, 6, 2)));
    m_pMain->PrepareContextMenu();
    EXPECT_TRUE(Item("mniRemoveFromMatrix")->isVisible());
}

TEST_F(RvTableWindowTest, ProjectsSaveReopenAndRefuseDamagedFiles)
{
    AddRow("a.txt", 0.5, 2455000.5);
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    EXPECT_FALSE(m_pMain->Session().Project().Table().IsSaved());

    const std::string sProject = m_oDir.File("p.mtx");
    m_oPrompts.qSaveFiles.push_back(sProject);
    Item("mniSaveProject")->trigger();
    EXPECT_EQ(m_oPrompts.vFileDialogs.back().sTitle, "Save matrix");
    EXPECT_TRUE(m_pMain->Session().Project().Table().IsSaved());
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::TablePath), ExtractDirectory(sProject));

    // Close, then reopen: the row and the laboratory table come back.
    Item("mniCloseProject")->trigger();
    EXPECT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
    EXPECT_TRUE(m_pMain->Session().Spectra().SpectrumCount() == 0);
    m_oPrompts.qOpenFiles.push_back(sProject);
    Item("mniOpenProject")->trigger();
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    EXPECT_EQ(GridText(1, 0), "H-alpha");
    EXPECT_EQ(m_pMain->StatusText(0, 10), "LinesX.txt");

    m_oPrompts.qOpenFiles.push_back(m_oDir.Write("bad.mtx", "Quandrel matrix file1.2 but nothing else"));
    Item("mniOpenProject")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "File format error!");
    EXPECT_EQ(m_oPrompts.vMessages.back().sText.rfind("Unable to load matrix file!", 0), 0U);
    EXPECT_NE(m_oPrompts.vMessages.back().sText.find("bad.mtx\nThe file is no intact project file"), std::string::npos);
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U) << "the open project stays";
    EXPECT_EQ(GridText(1, 0), "H-alpha");
}

TEST_F(RvTableWindowTest, UnsavedRowsAreKeptWhenTheWantedSaveDoesNotHappen)
{
    AddRow("a.txt", 0.5, 2455000.5);
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);

    // Yes, then the save dialog is cancelled: nothing is discarded.
    m_oPrompts.qAnswers = {Button::Yes};
    Item("mniCloseProject")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sText, "Save changes in RV evaluation?");
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    EXPECT_FALSE(m_pMain->Session().Spectra().SpectrumCount() == 0);

    // Yes, then a file that cannot be written: still nothing is discarded, and the failure is said.
    m_oPrompts.qAnswers = {Button::Yes};
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("no/such/folder/p.mtx"));
    Item("mniCloseProject")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "Error!");
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);

    // Opening a project stops there too, before its file dialog.
    m_oPrompts.qAnswers = {Button::Yes};
    const std::size_t lDialogs = m_oPrompts.vFileDialogs.size();
    Item("mniOpenProject")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sText, "Save changes in RV evaluation?");
    EXPECT_EQ(m_oPrompts.vFileDialogs.size(), lDialogs + 1) << "only the save dialog";
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);

    // Closing the program stops there too.
    m_oPrompts.qAnswers = {Button::Yes};
    m_pMain->close();
    EXPECT_TRUE(m_pMain->isVisible());

    // No discards the rows, the spectra and the star's coordinates (the next project's star is another).
    m_pMain->Session().Project().SetObjectCoordinates({1, 2, 3, 4});
    m_oPrompts.qAnswers = {Button::No};
    Item("mniCloseProject")->trigger();
    EXPECT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
    EXPECT_TRUE(m_pMain->Session().Spectra().SpectrumCount() == 0);
    EXPECT_FALSE(m_pMain->Session().Project().Table().Coordinates().AreObjectCoordinatesSet());
    EXPECT_EQ(Grid()->model()->rowCount(), 3) << "one empty data row";
}

TEST_F(RvTableWindowTest, CancelOnEveryQuestionToSaveLeavesEverythingAsItWas)
{
    AddRow("a.txt", 0.5, 2455000.5);
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    const std::size_t lDialogs = m_oPrompts.vFileDialogs.size();
    const std::string sLines = m_pMain->Session().Lines().LaboratoryLineTable().GetFileName();
    // Closing the project, clearing the table, opening another project, another lines file (after
    // its own warning), quitting.
    const std::vector<std::pair<const char*, std::deque<Button>>> vCommands = {
        {"mniCloseProject", {Button::Cancel}},  {"mniClearMatrix", {Button::Cancel}},
        {"mniOpenProject", {Button::Cancel}},   {"mniOpenLinesFile", {Button::Yes, Button::Cancel}},
        {nullptr, {Button::Cancel}}};
    for (const auto& [pcItem, qAnswers] : vCommands) {
        const std::string sWhat = pcItem != nullptr ? pcItem : "quit";
        m_oPrompts.qAnswers = qAnswers;
        if (pcItem != nullptr) {
            Item(pcItem)->trigger();
        } else {
            m_pMain->close();
        }
        EXPECT_EQ(m_oPrompts.vMessages.back().sText, "Save changes in RV evaluation?") << sWhat;
        EXPECT_EQ(m_oPrompts.vMessages.back().eButtons, Buttons::YesNoCancel) << sWhat;
        EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U) << sWhat;
        EXPECT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 1) << sWhat;
        EXPECT_EQ(m_oPrompts.vFileDialogs.size(), lDialogs) << sWhat << ": no file asked for";
        EXPECT_EQ(m_pMain->Session().Lines().LaboratoryLineTable().GetFileName(), sLines) << sWhat;
        EXPECT_TRUE(m_pMain->isVisible()) << sWhat;
    }
}

TEST_F(RvTableWindowTest, ASecondMeasurementAtOneTimeIsAskedAboutAndSavingGoesBackToTheProjectsFile)
{
    OpenIdentified("a.txt", 0.5);
    m_pMain->Session().Spectra().SetObservationTime(2455000.5);
    m_pMain->Session().Project().SetObjectCoordinates({1, 2, 3, 4});
    Item("mniAddToMatrix")->trigger();
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    EXPECT_EQ(m_pMain->statusBar()->currentMessage(), "Row 1 added (JD 2455000.5000)");
    EXPECT_EQ(m_pMain->windowTitle(), "Quandrel 2.1.3 *");

    // A second spectrum with the first one's time: No adds nothing, Yes adds it.
    OpenIdentified("b.txt", -0.5, 0.45);
    m_pMain->Session().Spectra().SetObservationTime(2455000.5);
    m_oPrompts.qAnswers = {Button::No};
    Item("mniAddToMatrix")->trigger();
    EXPECT_NE(m_oPrompts.vMessages.back().sText.find("Row 1 of the table (18. 6.2009  0:00) has the same observation time"),
              std::string::npos)
        << m_oPrompts.vMessages.back().sText;
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    m_oPrompts.qAnswers = {Button::Yes};
    Item("mniAddToMatrix")->trigger();
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 2U);
    // The new row (before the other of its time) is selected.
    EXPECT_EQ(Grid()->currentIndex().row(), RvTableModel::ModelRow(0));
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows()[0].fSpectrumKey, m_pMain->GetCurrentSpectrum()->Key());

    // The first save asks for a file; the next one writes it again without asking.
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("season.mtx"));
    Item("mniSaveProject")->trigger();
    EXPECT_EQ(m_pMain->windowTitle(), "Quandrel 2.1.3 - season.mtx");
    EXPECT_EQ(m_pMain->statusBar()->currentMessage(), "Project saved to season.mtx");
    SetCurrentCell(RvTableModel::ModelRow(0), 0);
    m_oPrompts.qAnswers = {Button::Yes};
    Item("mniRemoveEvaluation")->trigger();
    EXPECT_EQ(m_pMain->windowTitle(), "Quandrel 2.1.3 - season.mtx *");
    const std::size_t lDialogs = m_oPrompts.vFileDialogs.size();
    Item("mniSaveProject")->trigger();
    EXPECT_EQ(m_oPrompts.vFileDialogs.size(), lDialogs);
    EXPECT_EQ(m_pMain->windowTitle(), "Quandrel 2.1.3 - season.mtx");
    RvTable oSaved;
    ASSERT_TRUE(oSaved.LoadFromFile(m_oDir.File("season.mtx")));
    EXPECT_EQ(oSaved.Rows().size(), 1U);
}

TEST_F(RvTableWindowTest, GridCommandsAndRemovingASpectrumFromTheTable)
{
    const Spectrum* pA = AddRow("a.txt", 0.5, 2455000.5);
    AddRow("b.txt", -0.5, 2455000.2, 0.45);
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 2U);
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows()[0].fJulianDate, 2455000.2) << "rows in the order of time";

    SetCurrentCell(2, 1);
    Item("mniClearSingleCell")->trigger();
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U) << "the row's only measurement went with it";

    // "Remove from RV table" on the current spectrum (b, selected): its row, if any, and the spectrum go.
    Item("mniRemoveFromMatrix")->trigger();
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 1);
    EXPECT_EQ(m_pMain->GetCurrentSpectrum(), pA);
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);

    // Removing a row asks first: No keeps it, Yes removes it.
    SetCurrentCell(2, 0);
    m_oPrompts.qAnswers = {Button::No};
    Item("mniRemoveEvaluation")->trigger();
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    EXPECT_NE(m_oPrompts.vMessages.back().sText.find("Remove row 1 ("), std::string::npos);
    m_oPrompts.qAnswers = {Button::Yes};
    Item("mniRemoveEvaluation")->trigger();
    EXPECT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
    // Ctrl+Z brings it back; the Edit menu names what it undoes.
    EXPECT_EQ(Item("mniUndo")->text(), "&Undo remove row 1");
    QApplication::setActiveWindow(m_pMain.get());
    QTest::keyClick(m_pMain.get(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    EXPECT_EQ(GridText(1, 2).isEmpty(), false);
    SetCurrentCell(2, 0);
    m_oPrompts.qAnswers = {Button::Yes};
    Item("mniRemoveEvaluation")->trigger();
    EXPECT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
    Item("mniRemoveEvaluation")->trigger(); // no rows: nothing happens
    Item("mniRemoveSingleColumn1")->trigger();
    EXPECT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
}

TEST_F(RvTableWindowTest, ExportDumpAndANewLinesFile)
{
    OpenIdentified("a.txt", 0.5);
    m_pMain->Session().Spectra().SetObservationTime(2455000.5);
    m_pMain->Session().Project().SetObjectCoordinates({1, 0, 2, 0});
    Item("mniAddToMatrix")->trigger();

    m_oPrompts.qSaveFiles.push_back(m_oDir.File("rv.txt"));
    Item("mniExportResults")->trigger();
    EXPECT_EQ(m_oPrompts.vFileDialogs.back().sTitle, "Export matrix");
    EXPECT_EQ(m_oPrompts.vFileDialogs.back().sDefaultExtension, "txt");
    EXPECT_EQ(ReadWholeFile(m_oDir.File("rv.txt")).substr(0, 12), " 2455000.500");
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::ExportPath), m_oDir.File("rv.txt"));
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("no/folder/rv.txt"));
    Item("mniExportResults")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "Error!");

    m_oPrompts.qSaveFiles.push_back(m_oDir.File("dump.txt"));
    Item("mniDumpMeasurements")->trigger();
    EXPECT_EQ(m_oPrompts.vFileDialogs.back().sTitle, "Export measurements to text file");
    EXPECT_NE(ReadWholeFile(m_oDir.File("dump.txt")).find("H-alpha"), std::string::npos);

    // A new lines file would clear the table: No keeps it.
    m_oPrompts.qAnswers = {Button::No};
    Item("mniOpenLinesFile")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sText,
              "Changing the laboratory wavelengths file \n\rwill clear the RV evaluation table!\n\rDo you want to continue?");
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);

    // Yes, then no file chosen: the table stays as it was; a file chosen clears it.
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("p.mtx"));
    Item("mniSaveProject")->trigger();
    m_oPrompts.qAnswers = {Button::Yes};
    m_oPrompts.qOpenFiles.push_back(std::nullopt);
    Item("mniOpenLinesFile")->trigger();
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    m_oPrompts.qAnswers = {Button::Yes};
    m_oPrompts.qOpenFiles.push_back(std::string(QUANDREL_SAMPLE_DATA_DIR) + "/LinesX.txt");
    Item("mniOpenLinesFile")->trigger();
    EXPECT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
}

TEST_F(RvTableWindowTest, TheCoordinatesDialogReopensWithTheFocusOnItsFirstField)
{
    for (int lRound = 0; lRound < 2; ++lRound) {
        QString sFocus;
        WhenModal([&sFocus](QWidget* pDialog) {
            ASSERT_NE(pDialog, nullptr);
            QApplication::processEvents();
            sFocus = pDialog->focusWidget() != nullptr ? pDialog->focusWidget()->objectName() : QString();
            // The user left the dialog from another field.
            Child<QLineEdit>(pDialog, "edDeclinationMinutes")->setFocus();
            Press(pDialog, "btnCancel");
        });
        Item("mniObjectCoordinates")->trigger();
        EXPECT_EQ(sFocus, "edRightAscensionHours") << "round " << lRound;
    }
}

TEST_F(RvTableWindowTest, TheTimeDialogRefusesFractionsWhereWholeNumbersAreExpected)
{
    OpenSpectrum(WriteSpectrum(m_oDir, "a.txt", 0.0));
    // Month, year, hours and minutes with a fraction, a minute beyond 59: each keeps the dialog open.
    for (const auto& [pcField, pcText] : {std::pair{"edCivilDateMonth", "3.5"}, std::pair{"edCivilDateYear", "2012.5"},
                                          std::pair{"edCivilDateHours", "21.5"}, std::pair{"edCivilDateMinutes", "30.5"},
                                          std::pair{"edCivilDateMinutes", "60"}}) {
        bool bStayedOpen = false;
        WhenModal([&, pcField = pcField, pcText = pcText](QWidget* pDialog) {
            ASSERT_NE(pDialog, nullptr);
            Child<QRadioButton>(pDialog, "rabUseCivilDate")->click();
            for (const auto& [pcName, pcValue] : {std::pair{"edCivilDateDays", "1"}, std::pair{"edCivilDateMonth", "3"},
                                                  std::pair{"edCivilDateYear", "2012"}, std::pair{"edCivilDateHours", "21"},
                                                  std::pair{"edCivilDateMinutes", "30"}}) {
                Child<QLineEdit>(pDialog, pcName)->setText(pcValue);
            }
            Child<QLineEdit>(pDialog, pcField)->setText(pcText);
            Press(pDialog, "btnOK");
            bStayedOpen = pDialog->isVisible();
            Press(pDialog, "btnCancel");
        });
        Item("mniTimeStamp2")->trigger();
        EXPECT_TRUE(bStayedOpen) << pcField << " = " << pcText;
        double fJd = 0;
        EXPECT_FALSE(m_pMain->GetCurrentSpectrum()->GetObservationTime(fJd)) << pcField << " = " << pcText;
    }
}

TEST_F(RvTableWindowTest, ARowWhoseLinesDisagreeIsMarkedAndNamesTheLine)
{
    // Four lines at +20 km/s; in the second spectrum H-alpha lies at +60 km/s.
    const auto Write = [this](const std::string& sName, double fHalphaVelocity) {
        std::string sText;
        for (int k = 0; k < 40000; ++k) {
            const double x = 4800.0 + 0.05 * k;
            double y = 1.0;
            for (const auto& [fLab, fVelocity] : std::vector<std::pair<double, double>>{
                     {4861.33, 20.0}, {5875.62, 20.0}, {5889.95, 20.0}, {6562.80, fHalphaVelocity}}) {
                const double c = fLab * (1.0 + fVelocity / 299792.458);
                y -= 0.4 * std::exp(-std::pow(x - c, 2) / (2 * 0.4 * 0.4));
            }
            sText += quandrel::FormatFixed(x, 4) + "\t" + quandrel::FormatFixed(y, 6) + "\n";
        }
        return m_oDir.Write(sName, sText);
    };
    m_pMain->Session().Settings().Write(Setting::IdentifyAllVelocity, 100.0);
    for (const auto& [pcName, fHalpha, fJulianDate] :
         {std::tuple{"agree.txt", 20.0, 2455000.5}, std::tuple{"disagree.txt", 60.0, 2455001.5}}) {
        OpenSpectrum(Write(pcName, fHalpha));
        Child<QSlider>(m_pMain.get(), "trbWidth")->setValue(20 - 10);
        Child<QSlider>(m_pMain.get(), "trbSensitivity")->setValue(20 - 10);
        Child<QPushButton>(m_pMain.get(), "btnGo")->click();
        Child<QPushButton>(m_pMain.get(), "btnIdentifyAll")->click();
        if (fHalpha != 20.0) {
            // Identify all leaves out a line that disagrees with the others; the user identifies it by hand.
            EXPECT_LT(m_pMain->GetCurrentSpectrum()->GetLineLaboratoryIndex(3), 0);
            m_pMain->Session().Lines().ActivateLine(3);
            m_pMain->Session().Lines().IdentifyActiveLineWithNearest();
        }
        m_pMain->Session().Spectra().SetObservationTime(fJulianDate);
        m_oPrompts.qAnswers = {Button::Cancel};
        Child<QPushButton>(m_pMain.get(), "btnAddMeasurement")->click();
    }
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 2U);
    const int lMean = Grid()->model()->columnCount() - 2; // before the data set
    EXPECT_EQ(GridText(lMean, 0), "Mean \u00B1 SE");
    // The corrected means: H-alpha 40 km/s off moves the second by 10 km/s and its error to 10 km/s.
    const double fAgree = GridText(lMean, 2).section(' ', 0, 0).toDouble();
    const double fDisagree = GridText(lMean, 3).section(' ', 0, 0).toDouble();
    EXPECT_NEAR(fDisagree - fAgree, 10.0, 0.1);
    EXPECT_TRUE(GridText(lMean, 2).endsWith("(4)"));
    EXPECT_TRUE(GridText(lMean, 3).endsWith("\u00B1 10.00 (4)")) << GridText(lMean, 3).toStdString();
    EXPECT_FALSE(Grid()->model()->index(2, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(Grid()->model()->index(3, 1).data(Qt::BackgroundRole).isValid());
    const QString sTip = Grid()->model()->index(3, lMean).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(sTip.startsWith("H-alpha (")) << sTip.toStdString();
    EXPECT_TRUE(sTip.section('\n', 0, 0).endsWith(" standard errors from the mean of the other lines")) << sTip.toStdString();
    // A row that agrees says only what the orbit takes of it: the mean weighted by the lines' errors.
    EXPECT_TRUE(Grid()->model()->index(2, lMean).data(Qt::ToolTipRole).toString().startsWith("Weighted by the lines' errors"));
}
