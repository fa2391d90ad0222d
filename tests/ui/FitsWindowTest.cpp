// Spectra from FITS files in the window: several files at once and dropped on the window, the
// "Recent files" menu, the header's time and object in the table, the header cards, and saving.
#include "UiTestSupport.h"
#include "io/FitsSpectrum.h"

#include <QDropEvent>
#include <QLabel>
#include <QSpinBox>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const std::string kFits = std::string(QUANDREL_TEST_DATA_DIR) + "/fits/";

// A FITS spectrum of 100 samples of the object at RA 14.0732 h with this declination.
std::string WriteFits(const TempDir& oDir, const std::string& sName, double fDeclination)
{
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    // A slope with one absorption line at 6530 A.
    for (int i = 0; i < 100; ++i) {
        const double x = 6500.0 + 0.5 * i;
        vWavelength.push_back(x);
        vIntensity.push_back(1.0 - 0.001 * i - 0.4 * std::exp(-(x - 6530.0) * (x - 6530.0) / 2.0));
    }
    SpectrumMetadata o;
    o.oJulianDateMid = 2459739.4;
    o.sObject = "alf Dra";
    o.oRightAscensionHours = 14.0732;
    o.oDeclinationDegrees = fDeclination;
    std::string sError;
    EXPECT_TRUE(WriteFitsSpectrum(oDir.File(sName), vWavelength, vIntensity, o, sError)) << sError;
    return oDir.File(sName);
}

// The current spectrum's line found and identified with the nearest laboratory line.
void FindAndIdentify(MainWindow& oMain)
{
    EXPECT_FALSE(oMain.Session().Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
    ASSERT_GT(oMain.GetCurrentSpectrum()->GetSpectralLineCount(), 0);
    oMain.Session().Lines().ActivateLine(0);
    oMain.Session().Lines().IdentifyActiveLineWithNearest();
}

} // namespace

TEST_F(MainWindowTest, SeveralSpectraOpenAtOnceWithOneImportDialog)
{
    const std::string sText1 = m_oDir.Write("a.txt", "Wavelength;Flux\n6500;1\n6501;0.5\n6502;1\n");
    const std::string sText2 = m_oDir.Write("b.txt", "Wavelength;Flux\n6600;1\n6601;0.5\n");
    m_oPrompts.qOpenFileLists.push_back({kFits + "image_linear.fits", sText1, sText2, kFits + "image_2d.fits"});
    int lImportDialogs = 0;
    WhenModal([&lImportDialogs](QWidget* pDialog) {
        ++lImportDialogs;
        Press(pDialog, "btnOK");
    });
    Item("mniOpenSpectrum")->trigger();
    EXPECT_EQ(lImportDialogs, 1);
    ASSERT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 3) << "the two-dimensional image is refused";
    ASSERT_FALSE(m_oPrompts.vMessages.empty());
    EXPECT_NE(m_oPrompts.vMessages.back().sText.find("not a one-dimensional spectrum"), std::string::npos);
    // The second text file is read with the settings the first confirmed: its header line skipped.
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumAt(2)->GetWavelengths(), (std::vector<double>{6600, 6601}));
    double fJd = 0;
    EXPECT_TRUE(m_pMain->Session().Spectra().SpectrumAt(0)->GetObservationTime(fJd)) << "the FITS header's time";
    EXPECT_FALSE(m_pMain->Session().Spectra().SpectrumAt(1)->GetObservationTime(fJd));

    // The newest first in "Recent files"; choosing one opens it again.
    auto* pRecent = Child<QMenu>(m_pMain.get(), "mnuRecentFiles");
    ASSERT_EQ(pRecent->actions().size(), 3);
    EXPECT_EQ(pRecent->actions()[0]->toolTip().toStdString(), sText2);
    EXPECT_EQ(pRecent->actions()[2]->toolTip().toStdString(), kFits + "image_linear.fits");
    pRecent->actions()[2]->trigger();
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 4);
    EXPECT_EQ(pRecent->actions()[0]->toolTip().toStdString(), kFits + "image_linear.fits");
}

TEST_F(MainWindowTest, AFitsSpectrumBringsItsTimeAndObjectToTheTable)
{
    m_oPrompts.qOpenFiles.push_back(WriteFits(m_oDir, "one.fits", 64.3758));
    Item("mniOpenSpectrum")->trigger();
    ASSERT_NE(m_pMain->GetCurrentSpectrum(), nullptr);
    FindAndIdentify(*m_pMain);
    // No question for the time; the header's coordinates offered to a table without any.
    m_oPrompts.qAnswers = {Button::Yes};
    Child<QPushButton>(m_pMain.get(), "btnAddMeasurement")->click();
    ASSERT_EQ(m_oPrompts.vMessages.size(), 1U);
    EXPECT_EQ(m_oPrompts.vMessages[0].sTitle, "Object coordinates");
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows()[0].fJulianDate, 2459739.4);
    const auto oObject = m_pMain->Session().Project().ObjectPosition();
    ASSERT_TRUE(oObject);
    EXPECT_NEAR(oObject->fDeclinationDegrees + oObject->fDeclinationMinutes / 60.0, 64.3758, 1e-9);

    // A spectrum whose header places the object 3' away is added only when the user says so.
    m_oPrompts.qOpenFiles.push_back(WriteFits(m_oDir, "two.fits", 64.3758 + 3.0 / 60.0));
    Item("mniOpenSpectrum")->trigger();
    FindAndIdentify(*m_pMain);
    m_oPrompts.qAnswers = {Button::No};
    Child<QPushButton>(m_pMain.get(), "btnAddMeasurement")->click();
    ASSERT_EQ(m_oPrompts.vMessages.size(), 2U);
    EXPECT_NE(m_oPrompts.vMessages[1].sText.find("3.0' away"), std::string::npos) << m_oPrompts.vMessages[1].sText;
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);

    // The header's cards, and the spectrum saved as FITS with the table's object and the correction.
    m_pMain->PrepareContextMenu();
    ASSERT_TRUE(Item("mniFitsHeader")->isVisible());
    WhenModal([](QWidget* pDialog) {
        EXPECT_TRUE(Child<QPlainTextEdit>(pDialog, "memFitsHeader")->toPlainText().contains("JD-MID"));
        pDialog->close();
    });
    Item("mniFitsHeader")->trigger();
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("saved.fits"));
    Item("mniSaveSpectrumFits")->trigger();
    const auto oSaved = ReadFitsSpectrum(m_oDir.File("saved.fits"));
    ASSERT_TRUE(oSaved) << oSaved.Error();
    EXPECT_EQ(oSaved->vIntensity, m_pMain->GetCurrentSpectrum()->GetIntensities());
    EXPECT_NEAR(*oSaved->oMetadata.oDeclinationDegrees, 64.3758, 1e-9) << "the table's object";
    EXPECT_TRUE(oSaved->oMetadata.oVelocityCorrection);
    EXPECT_TRUE(oSaved->oMetadata.HasSite());
}

TEST_F(MainWindowTest, FilesDroppedOnTheWindowOpen)
{
    QMimeData oData;
    oData.setUrls({QUrl::fromLocalFile(QString::fromStdString(kFits + "table_rows.fits")),
                   QUrl::fromLocalFile(QString::fromStdString(kFits + "image_nm.fits.gz"))});
    QDragEnterEvent oEnter(QPoint(50, 50), Qt::CopyAction, &oData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_pMain.get(), &oEnter);
    EXPECT_TRUE(oEnter.isAccepted());
    QDropEvent oDrop(QPointF(50, 50), Qt::CopyAction, &oData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_pMain.get(), &oDrop);
    QApplication::processEvents();
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 2);
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumName(1), "image_nm.fits.gz");
}

TEST_F(MainWindowTest, NormalisingDividesByTheContinuumShownAndCanBeUndone)
{
    OpenSpectrum(std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt");
    const std::vector<double> vRaw = m_pMain->GetCurrentSpectrum()->GetIntensities();
    EXPECT_FALSE(Item("mniRestoreIntensities")->isEnabled());
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Normalise continuum");
        EXPECT_TRUE(Child<QLabel>(pDialog, "lblFit")->text().contains("samples make the continuum"));
        Child<QSpinBox>(pDialog, "edOrder")->setValue(2);
        SaveScreenshot(pDialog, "dialog_normalise");
        Press(pDialog, "btnOK");
    });
    Item("mniNormalizeContinuum")->trigger();
    std::vector<double> vNormalised = m_pMain->GetCurrentSpectrum()->GetIntensities();
    ASSERT_EQ(vNormalised.size(), vRaw.size());
    std::nth_element(vNormalised.begin(), vNormalised.begin() + vNormalised.size() / 2, vNormalised.end());
    EXPECT_NEAR(vNormalised[vNormalised.size() / 2], 1.0, 0.01) << "the median sample lies on the continuum";
    ASSERT_TRUE(Item("mniRestoreIntensities")->isEnabled());
    Item("mniRestoreIntensities")->trigger();
    EXPECT_EQ(m_pMain->GetCurrentSpectrum()->GetIntensities(), vRaw);
    EXPECT_FALSE(Item("mniRestoreIntensities")->isEnabled());
}

TEST_F(MainWindowTest, AFileOfEchelleOrdersOpensTheOrderTheUserChoosesAndTheMergedOneUnasked)
{
    m_oPrompts.qOpenFileLists.push_back({kFits + "o_orders.fits", kFits + "o_eshel.fits"});
    m_oPrompts.qChosenItems = {1};
    Item("mniOpenSpectrum")->trigger();
    ASSERT_EQ(m_oPrompts.vChoices.size(), 1U) << "the file with a merged spectrum asks nothing";
    EXPECT_EQ(m_oPrompts.vChoices[0].second,
              (std::vector<std::string>{"P_1C_30: 6500 \u2013 6504.75 \u00C5, 20 samples",
                                        "P_1C_31: 6430 \u2013 6433.8 \u00C5, 20 samples"}));
    ASSERT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 2);
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumAt(0)->GetWavelengths().front(), 6430.0);
    EXPECT_EQ(m_pMain->Session().Spectra().SpectrumAt(1)->GetWavelengths().front(), 6400.0) << "P_1C_FULL";
}
