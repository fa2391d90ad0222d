// The import dialog and the settings dialogs, driven through their controls.
#include "UiTestSupport.h"
#include "core/CsvFile.h"
#include "core/IniFile.h"
#include "ui/HelpWindow.h"
#include "ui/JpegPicture.h"
#include "ui/TextImportDialog.h"
#include "ui/MiscSettingsDialog.h"
#include "ui/ObserverSiteDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <tuple>

namespace {

// The import dialog on a file, with the settings file of a temporary folder.
class ImportDialogTest : public ::testing::Test {
protected:
    void Show(const std::string& sContent)
    {
        m_sFile = m_oDir.Write("spectrum.txt", sContent);
        m_oDialog.SetFile(m_sFile);
        m_oDialog.show();
    }
    QString Cell(int lRow, int lColumn)
    {
        auto* pView = Child<QTableView>(&m_oDialog, "stgPreview");
        return pView->model()->index(lRow, lColumn).data().toString();
    }
    int RawLines() { return Child<QListView>(&m_oDialog, "lsbRawData")->model()->rowCount(); }

    TempDir m_oDir;
    IniFile m_oIni{m_oDir.File("quandrel.ini")};
    SettingsGateway m_oSettings{m_oDir.File("quandrel.ini")};
    TextImportDialog m_oDialog{m_oSettings};
    std::string m_sFile;
};

} // namespace

TEST_F(ImportDialogTest, OpensWithDefaultsAndPreviewsTheFile)
{
    Show("# header\n656.3\t0.5\n656.4\t0.25\n");
    EXPECT_EQ(m_oDialog.windowTitle(), "Configure CSV file import");
    EXPECT_TRUE(Child<QRadioButton>(&m_oDialog, "rabUseDelimiters")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(&m_oDialog, "chbTabulator")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(&m_oDialog, "chbSemicolon")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(&m_oDialog, "chbComma")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(&m_oDialog, "chbAutomNmConversion")->isChecked());
    EXPECT_EQ(Child<QSpinBox>(&m_oDialog, "edLinesToSkip")->value(), 1) << "the header line is proposed for skipping";
    EXPECT_EQ(Child<QSpinBox>(&m_oDialog, "edStartValue1")->value(), 0);
    EXPECT_EQ(Child<QSpinBox>(&m_oDialog, "edStartValue2")->value(), 5);
    EXPECT_EQ(Child<QSpinBox>(&m_oDialog, "edNumberCharsValue1")->value(), 5);
    EXPECT_TRUE(Child<QGroupBox>(&m_oDialog, "grbDelimiters")->isVisible());
    EXPECT_FALSE(Child<QGroupBox>(&m_oDialog, "grbFixedColumns")->isVisible());

    EXPECT_EQ(RawLines(), 3);
    EXPECT_EQ(Cell(0, 0), "No.");
    EXPECT_EQ(Cell(0, 2), "lambda");
    EXPECT_EQ(Cell(0, 4), "I");
    EXPECT_EQ(m_oDialog.GetValueCount(), 2);
    EXPECT_EQ(Cell(1, 2), "6563");
    EXPECT_EQ(Cell(2, 4), "0.25");

    // Read as data, "# header" is a sample of zeros, and 0 below 2500 takes the file as nm.
    Child<QSpinBox>(&m_oDialog, "edLinesToSkip")->setValue(0);
    EXPECT_EQ(Cell(2, 0), "2");
    EXPECT_EQ(Cell(2, 2), "6563");
    EXPECT_EQ(Cell(3, 4), "0.25");
}

TEST_F(ImportDialogTest, HeaderLinesAreProposedForSkippingAndAStoredLargerCountKept)
{
    for (const auto& [pcContent, lStored, lProposed, pcFirst] :
         {std::tuple{"Line;Lambda\n\n# 2023\n6562.8;0.5\n", 0, 3, "6562.8"}, {"6562.8;0.5\n", 0, 0, "6562.8"},
          {"Wavelength;Flux\n6562.8;0.5\n6563;0.5\n", 2, 2, "6563"}}) {
        m_oIni.WriteInteger("FilterSettings", "LinesToSkip", lStored);
        Show(pcContent);
        EXPECT_EQ(Child<QSpinBox>(&m_oDialog, "edLinesToSkip")->value(), lProposed) << pcContent;
        EXPECT_EQ(Cell(1, 2), pcFirst) << pcContent;
        m_oDialog.close();
    }
}

TEST_F(ImportDialogTest, FileBytesAreEightBitCharactersAndOthersNamesThoseBytes)
{
    // A Latin-1 file: 0xB0 is the degree sign, 0xC2 an "A" with circumflex.
    Show("6562\xC2" "1\xB0" "0.5\n");
    auto* pRaw = Child<QListView>(&m_oDialog, "lsbRawData");
    EXPECT_EQ(pRaw->model()->index(0, 0).data().toString(), QString::fromUtf8("6562\u00C21\u00B00.5"));
    Child<QCheckBox>(&m_oDialog, "chbAutomNmConversion")->setChecked(false);
    Child<QCheckBox>(&m_oDialog, "chbOthers")->setChecked(true);
    auto* pedOthers = Child<QLineEdit>(&m_oDialog, "edOthers");
    pedOthers->setText(QString::fromUtf8("\u00B0\u20AC"));
    QTest::mouseClick(pedOthers, Qt::LeftButton);
    // Only the byte 0xB0 separates: "6562\xC2" "1" stays one field, read up to its first non-number.
    EXPECT_EQ(Cell(1, 2), "6562");
    EXPECT_EQ(Cell(1, 4), "0.5");
    Press(&m_oDialog, "btnOK");
    EXPECT_EQ(m_oIni.ReadString("FilterSettings", "OtherString", ""), "\xB0");
    Show("1\xB0" "2\n");
    EXPECT_EQ(Child<QLineEdit>(&m_oDialog, "edOthers")->text(), QString::fromUtf8("\u00B0"));
    m_oDialog.close();
}

TEST_F(ImportDialogTest, OkFillsTheSpectrumAndStoresTheSettings)
{
    Show("656.3;0.5\n656.4;0.25\n");
    Child<QCheckBox>(&m_oDialog, "chbComma")->setChecked(true);
    Child<QCheckBox>(&m_oDialog, "chbAutomNmConversion")->setChecked(false);
    Press(&m_oDialog, "btnOK");
    ASSERT_TRUE(m_oDialog.Result());
    ASSERT_EQ(m_oDialog.Result()->vWavelength.size(), 2U);
    // With ',' a separator too, "656.3" still splits at ';' first.
    EXPECT_EQ(m_oDialog.Result()->vWavelength[0], 656.3);
    EXPECT_TRUE(m_oIni.ReadBool("FilterSettings", "UseComma", false));
    EXPECT_FALSE(m_oIni.ReadBool("FilterSettings", "AutomNmAngstromConversion", true));
    EXPECT_EQ(m_oIni.ReadString("FilterSettings", "StartValue2", ""), "5");
}

TEST_F(ImportDialogTest, EnterInTheOthersFieldTakesWhatThePreviewThenShows)
{
    Show("6562|0.5\n6563|0.25\n");
    Child<QCheckBox>(&m_oDialog, "chbOthers")->setChecked(true);
    auto* pedOthers = Child<QLineEdit>(&m_oDialog, "edOthers");
    pedOthers->setFocus();
    QTest::keyClicks(pedOthers, "|");
    QTest::keyClick(pedOthers, Qt::Key_Return);
    ASSERT_TRUE(m_oDialog.Result()) << "Enter is OK";
    ASSERT_EQ(m_oDialog.Result()->vWavelength.size(), 2U);
    EXPECT_EQ(m_oDialog.Result()->vIntensity[1], 0.25) << "the '|' typed before Enter separates the columns";
}

TEST_F(ImportDialogTest, ClosingWithoutOkIsCancelAndLeavesTheSpectrumEmpty)
{
    Show("1;2\n");
    m_oDialog.close();
    EXPECT_FALSE(m_oDialog.Result());
    EXPECT_EQ(m_oDialog.GetValueCount(), 0) << "the arrays go with the dialog";
}

TEST_F(ImportDialogTest, SingleColumnNumbersTheSamplesAndDisablesValueTwo)
{
    Show("10\n20\n30\n");
    Child<QCheckBox>(&m_oDialog, "chbSingleColumn")->setChecked(true);
    EXPECT_FALSE(Child<QSpinBox>(&m_oDialog, "edStartValue2")->isEnabled());
    EXPECT_FALSE(Child<QSpinBox>(&m_oDialog, "edNumberCharsValue2")->isEnabled());
    EXPECT_EQ(Cell(1, 2), "0");
    EXPECT_EQ(Cell(3, 2), "2");
    EXPECT_EQ(Cell(3, 4), "30");
}

TEST_F(ImportDialogTest, OthersTextWaitsForAClick)
{
    Show("1|5\n");
    Child<QCheckBox>(&m_oDialog, "chbSemicolon")->setChecked(false);
    Child<QCheckBox>(&m_oDialog, "chbAutomNmConversion")->setChecked(false);
    Child<QCheckBox>(&m_oDialog, "chbOthers")->setChecked(true);
    auto* pedOthers = Child<QLineEdit>(&m_oDialog, "edOthers");
    EXPECT_TRUE(pedOthers->isEnabled());
    pedOthers->setText("|");
    EXPECT_EQ(Cell(1, 4), "0") << "typing alone does not refresh";
    QTest::mouseClick(pedOthers, Qt::LeftButton);
    EXPECT_EQ(Cell(1, 2), "1");
    EXPECT_EQ(Cell(1, 4), "5");
}

TEST_F(ImportDialogTest, FixedColumnModeShowsItsPanelOnEveryShowing)
{
    Show("6562.8    0.9\n");
    Child<QRadioButton>(&m_oDialog, "rabUseFixedColumns")->click();
    Child<QSpinBox>(&m_oDialog, "edStartValue2")->setValue(10);
    EXPECT_EQ(Cell(1, 4), "0.9");
    Press(&m_oDialog, "btnOK");
    EXPECT_EQ(m_oIni.ReadBool("FilterSettings", "UseDelimiters", true), false);

    m_oDialog.show();
    EXPECT_TRUE(Child<QRadioButton>(&m_oDialog, "rabUseFixedColumns")->isChecked());
    EXPECT_TRUE(Child<QGroupBox>(&m_oDialog, "grbFixedColumns")->isVisible());
    EXPECT_FALSE(Child<QGroupBox>(&m_oDialog, "grbDelimiters")->isVisible());
    EXPECT_EQ(Cell(1, 2), "6562.8");
    m_oDialog.close();
}

TEST_F(ImportDialogTest, RestoringFromMinimisedKeepsTheUnsavedChoices)
{
    Show("1;2\n");
    Child<QCheckBox>(&m_oDialog, "chbComma")->setChecked(true);
    m_oDialog.showMinimized();
    QCoreApplication::processEvents();
    m_oDialog.showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Child<QCheckBox>(&m_oDialog, "chbComma")->isChecked());
    m_oDialog.close();
}

TEST_F(ImportDialogTest, UnreadableFileShowsNothingAndOkGivesAnEmptySpectrum)
{
    m_oDialog.SetFile(m_oDir.File("missing.txt"));
    m_oDialog.show();
    EXPECT_EQ(RawLines(), 0);
    EXPECT_EQ(m_oDialog.GetValueCount(), 0);
    Press(&m_oDialog, "btnOK");
    ASSERT_TRUE(m_oDialog.Result());
    EXPECT_TRUE(m_oDialog.Result()->vWavelength.empty());
}

TEST_F(MainWindowTest, ObserverCoordinatesShowDefaultsAndStoreEitherSeparator)
{
    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(pDialog->windowTitle(), "Observer coordinates");
        EXPECT_TRUE(Child<QLabel>(pDialog, "lblConventions")->text().contains("positive west"));
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edLongitudeDegrees")->text(), "9");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edLongitudeMinutes")->text(), "0");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edLatitudeDegrees")->text(), "52");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edLatitudeMinutes")->text(), "0");
        Child<QLineEdit>(pDialog, "edLongitudeDegrees")->setText("10,5");
        Child<QLineEdit>(pDialog, "edLatitudeDegrees")->setText("north");
        Child<QLineEdit>(pDialog, "edLatitudeMinutes")->setText("30");
        Press(pDialog, "btnOK");
        // A field that is no number stops "OK" there: the dialog stays open.
        EXPECT_TRUE(pDialog->isVisible());
        Press(pDialog, "btnCancel");
    });
    Item("mniObserverCoordinates")->trigger();
    // Cancel keeps the site as it was: no field of the refused entry is stored.
    const IniFile& oIni = m_pMain->Session().Settings().File();
    EXPECT_EQ(oIni.ReadString("GeographicCoordinates", "LongDeg", "missing"), "missing");

    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edLongitudeDegrees")->setText("10,5");
        Child<QLineEdit>(pDialog, "edLatitudeMinutes")->setText("30");
        Press(pDialog, "btnOK");
    });
    Item("mniObserverCoordinates")->trigger();
    EXPECT_EQ(oIni.ReadFloat("GeographicCoordinates", "LongDeg", 0), 10.5);
    EXPECT_EQ(oIni.ReadFloat("GeographicCoordinates", "LatMin", 0), 30.0);
    EXPECT_EQ(m_pMain->Session().Project().Site().fLatitudeDegrees, 52.0);
}

TEST_F(MainWindowTest, MiscSettingsSetTheWidthMaximumAndTheThreshold)
{
    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(pDialog->windowTitle(), "Time threshold & Max. width");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edTimeThreshold")->text(), "0.2");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edMaxWidth")->text(), "20");
        Child<QLineEdit>(pDialog, "edTimeThreshold")->setText("0,35");
        Child<QLineEdit>(pDialog, "edMaxWidth")->setText("100");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edIdentifyVelocity")->text(), "50");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edLampTolerance")->text(), "3");
        Child<QLineEdit>(pDialog, "edIdentifyVelocity")->setText("80");
        Child<QLineEdit>(pDialog, "edLampTolerance")->setText("-1");
        Press(pDialog, "btnOK");
    });
    Item("mniMiscSettings")->trigger();
    EXPECT_EQ(m_pMain->Session().Settings().ReadFloat(Setting::IdentifyAllVelocity), 80.0);
    EXPECT_EQ(m_pMain->Session().Settings().ReadFloat(Setting::LampLineTolerance), 3.0) << "a tolerance must be positive";
    auto* ptrbWidth = Child<QSlider>(m_pMain.get(), "trbWidth");
    EXPECT_EQ(ptrbWidth->maximum(), 100);
    EXPECT_EQ(ptrbWidth->tickInterval(), 5);
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadFloat("Settings", "TimeThreshold", 0), 0.35);

    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edMaxWidth")->setText("wide");
        Press(pDialog, "btnOK");
    });
    Item("mniMiscSettings")->trigger();
    EXPECT_EQ(ptrbWidth->maximum(), 20) << "an invalid maximum is taken as 20";

    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edMaxWidth")->setText("60");
        Press(pDialog, "btnCancel");
    });
    Item("mniMiscSettings")->trigger();
    EXPECT_EQ(ptrbWidth->maximum(), 20);
}

TEST_F(MainWindowTest, AboutBoxShowsItsPicture)
{
    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(pDialog->windowTitle(), "About Quandrel");
        auto* pfrmHelp = qobject_cast<HelpWindow*>(pDialog);
        ASSERT_NE(pfrmHelp, nullptr);
        EXPECT_FALSE(pfrmHelp->Picture().isNull());
        EXPECT_EQ(pfrmHelp->Picture().width(), 616);
        Press(pDialog, "btnOK");
    });
    Item("mniAbout")->trigger();
}

TEST(JpegPicture, DamagedPicturesDecodeToNothing)
{
    const unsigned char acNotJpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01};
    EXPECT_TRUE(DecodeJpeg(acNotJpeg, sizeof acNotJpeg).isNull());
    EXPECT_TRUE(DecodeJpeg(nullptr, 0).isNull());
    const unsigned char acText[] = "no picture at all";
    EXPECT_TRUE(DecodeJpeg(acText, sizeof acText).isNull());
}

TEST(Prompts, WindowsFiltersBecomeQtFilters)
{
    EXPECT_EQ(ToQtFilter("All files (*.*)|*.*"), "All files (*)");
    EXPECT_EQ(ToQtFilter("Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*"), "Bitmaps (*.bmp);;All files (*)");
    EXPECT_EQ(ToQtFilter("Spectra|*.txt;*.dat"), "Spectra (*.txt *.dat)");
    EXPECT_EQ(DefaultSuffix("*.bmp"), "bmp");
    EXPECT_EQ(DefaultSuffix("txt"), "txt");
}
