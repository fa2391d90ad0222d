// Wavelength calibration through the window: a neon lamp in pixels,
// identified with the calibration lines, calibrates a spectrum in pixels.
#include "UiTestSupport.h"
#include "core/IniFile.h"
#include "core/NumberText.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>

#include <cmath>

namespace {

double TrueLambda(double p)
{
    return 5800.0 + 0.65 * p + 2e-5 * p * p - 3e-9 * p * p * p;
}

// Pixel position of a wavelength under the true relation.
double PixelOf(double fLambda)
{
    double p = (fLambda - 5800.0) / 0.65;
    for (int k = 0; k < 30; ++k) {
        p -= (TrueLambda(p) - fLambda) / (0.65 + 4e-5 * p - 9e-9 * p * p);
    }
    return p;
}

// Single-column intensities: emission lines at the given wavelengths (lamp) or an absorption line (star).
std::string WritePixels(const TempDir& oDir, const std::string& sName, const std::vector<double>& vLambda, bool bEmission)
{
    std::string sText;
    for (int x = 0; x < 2048; ++x) {
        double y = bEmission ? 0.02 : 1.0;
        for (const double fLambda : vLambda) {
            const double p = PixelOf(fLambda);
            y += (bEmission ? 0.8 : -0.5) * std::exp(-(x - p) * (x - p) / (2 * 1.5 * 1.5));
        }
        sText += quandrel::FormatFixed(y, 6) + "\n";
    }
    return oDir.Write(sName, sText);
}

using CalibrationWindowTest = MainWindowTest;

} // namespace

TEST_F(MainWindowTest, StartUpWithoutCalibrationLinesAsksForAFile)
{
    Stop();
    IniFile oIni(m_oDir.File("quandrel.ini"));
    oIni.WriteString("Paths", "CalibrationFilePath", ".");
    m_oPrompts.qOpenFiles.push_back(m_oDir.File("missing.asc"));
    Start();
    ASSERT_GE(m_oPrompts.vMessages.size(), 2U);
    EXPECT_EQ(m_oPrompts.vMessages[0].sText,
              "Calibration reference file (e.g. Neon.txt) not found!\n\rPlease select a different one.");
    EXPECT_EQ(m_oPrompts.vFileDialogs[0].sTitle, "Load file with calibration reference lines");
    EXPECT_EQ(m_oPrompts.vMessages[1].sTitle, "File not found error!");
    EXPECT_EQ(m_oPrompts.vMessages[1].sText, "Unable to load calibration reference file!");
    EXPECT_EQ(m_pMain->StatusText(1, 5), "missing.asc");
}

TEST_F(CalibrationWindowTest, ALampInPixelsCalibratesAStarInPixels)
{
    // Neon lines of data/Neon.txt (grid rows 1 .. 29) used by the lamp: rows 2, 12, 16, 20, 24, 26, 29.
    const std::vector<int> vRows = {2, 12, 16, 20, 24, 26, 29};
    std::vector<double> vLambda;
    for (const int lRow : vRows) {
        std::string sName;
        double f = 0;
        m_pMain->Session().Calibration().Wavelengths().Lines().GetLine(lRow - 1, f, &sName);
        vLambda.push_back(f);
    }
    OpenSingleColumn(WritePixels(m_oDir, "lamp.txt", vLambda, true));
    Item("mniIndicateReference")->trigger();
    Item("mniIndicateEmission")->trigger();
    Child<QSlider>(m_pMain.get(), "trbWidth")->setValue(20 - 4);
    Child<QSlider>(m_pMain.get(), "trbSensitivity")->setValue(20 - 10);
    Item("mniFindSpectralLines")->trigger();
    const Spectrum* pLamp = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(pLamp->GetSpectralLineCount(), 7);
    m_pMain->PrepareContextMenu();
    EXPECT_FALSE(Item("mniIdentifyWithXX")->isEnabled()) << "a reference spectrum is not identified with laboratory lines";
    for (int32_t i = 0; i < 7; ++i) {
        IdentifyLaboratoryLine(i, vRows[static_cast<std::size_t>(i)]);
    }
    ASSERT_EQ(m_pMain->Session().Calibration().Wavelengths().GetCalibrationPointCount(), 7);

    // A star in pixels with an absorption line at 6562.8 A.
    OpenSingleColumn(WritePixels(m_oDir, "star.txt", {6562.8}, false));
    const Spectrum* pStar = m_pMain->GetCurrentSpectrum();
    const std::vector<double> vPixels = pStar->GetWavelengths();
    m_pMain->PrepareContextMenu();
    ASSERT_TRUE(Item("mniCalibrate")->isVisible());

    // Calibrate, then Cancel: the spectrum comes back exactly.
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Calibration");
        EXPECT_TRUE(Child<QRadioButton>(pDialog, "rabPolynomialRegression")->isChecked());
        EXPECT_EQ(Child<QTableWidget>(pDialog, "stgSamplingPoints")->rowCount(), 8);
        Child<QSpinBox>(pDialog, "edOrder")->setValue(3);
        Press(pDialog, "btnCalibrate");
        Press(pDialog, "btnCalibrate");
        EXPECT_FALSE(Child<QLineEdit>(pDialog, "edStandardDeviation")->text().isEmpty());
        Press(pDialog, "btnCancel");
    });
    Item("mniCalibrate")->trigger();
    EXPECT_EQ(pStar->GetWavelengths(), vPixels);

    // Calibrate and keep: every pixel within 0.01 A of the truth.
    WhenModal([](QWidget* pDialog) {
        Child<QSpinBox>(pDialog, "edOrder")->setValue(3);
        Press(pDialog, "btnCalibrate");
        EXPECT_LT(Child<QLineEdit>(pDialog, "edMaxSingleDeviation")->text().toDouble(), 0.01);
        Press(pDialog, "btnOK");
    });
    Item("mniCalibrate")->trigger();
    double fWorst = 0;
    for (std::size_t x = 0; x < vPixels.size(); ++x) {
        fWorst = std::max(fWorst, std::fabs(pStar->GetWavelengths()[x] - TrueLambda(static_cast<double>(x))));
    }
    EXPECT_LT(fWorst, 0.01);
    EXPECT_EQ(m_pMain->Session().Settings().File().ReadInteger("Calibration", "PolynomialRegressionOrder", 0), 3);

    // The calibrated spectrum is saved as "%f;%f" lines.
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("calibrated.txt"));
    Item("mniSaveCalibratedSpectrum")->trigger();
    const auto vLines = OutputLines(ReadWholeFile(m_oDir.File("calibrated.txt")));
    ASSERT_EQ(vLines.size(), 2048U);
    EXPECT_EQ(vLines[0], quandrel::FormatFixed(pStar->GetWavelengths()[0], 6) + ";" +
                             quandrel::FormatFixed(pStar->GetIntensities()[0], 6));
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::SpectraPath), m_oDir.File("").substr(0, m_oDir.File("").size() - 1));

    // A spectrum in wavelengths is calibrated again only when the user says so; Undo gives the pixels back.
    const std::vector<double> vCalibrated = pStar->GetWavelengths();
    m_oPrompts.qAnswers = {Button::No};
    Item("mniCalibrate")->trigger();
    ASSERT_FALSE(m_oPrompts.vMessages.empty());
    EXPECT_EQ(m_oPrompts.vMessages.back().sText.substr(0, 36), "The spectrum already has wavelengths");
    EXPECT_EQ(pStar->GetWavelengths(), vCalibrated);
    EXPECT_EQ(m_pMain->Session().UndoCaption(), "calibrate star.txt");
    Item("mniUndo")->trigger();
    EXPECT_EQ(pStar->GetWavelengths(), vPixels);

    // Sampling points leave the residual fields empty; one point is too few and keeps the wavelengths.
    WhenModal([](QWidget* pDialog) {
        Child<QRadioButton>(pDialog, "rabSamplingPointCalibration")->click();
        EXPECT_FALSE(Child<QSpinBox>(pDialog, "edOrder")->isEnabled());
        Press(pDialog, "btnCalibrate");
        EXPECT_TRUE(Child<QLineEdit>(pDialog, "edStandardDeviation")->text().isEmpty());
        Press(pDialog, "btnCancel");
    });
    Item("mniCalibrate")->trigger();
    Item("mniClearReferenceLines")->trigger();
    EXPECT_EQ(m_pMain->Session().Calibration().Wavelengths().GetCalibrationPointCount(), 0);
    m_pMain->PrepareContextMenu();
    EXPECT_FALSE(Item("mniCalibrate")->isVisible());
}

TEST_F(CalibrationWindowTest, TooFewPointsWarnAndKeepTheWavelengths)
{
    OpenSingleColumn(WritePixels(m_oDir, "star.txt", {6562.8}, false));
    const Spectrum* pStar = m_pMain->GetCurrentSpectrum();
    const std::vector<double> vPixels = pStar->GetWavelengths();
    m_pMain->Session().Calibration().AddCalibrationPoint(100.0, 5870.0);
    WhenModal([](QWidget* pDialog) {
        Child<QRadioButton>(pDialog, "rabPolynomialRegression")->click();
        Child<QSpinBox>(pDialog, "edOrder")->setValue(2);
        Press(pDialog, "btnCalibrate");
        EXPECT_TRUE(Child<QLineEdit>(pDialog, "edStandardDeviation")->text().isEmpty())
            << "no polynomial was fitted yet";
        Press(pDialog, "btnOK");
    });
    Item("mniCalibrate")->trigger();
    ASSERT_FALSE(m_oPrompts.vMessages.empty());
    EXPECT_EQ(m_oPrompts.vMessages.back().sText,
              "Too less sampling points for fitting in this mode!\n\rPolynomial fit order has been reduced!");
    EXPECT_EQ(pStar->GetWavelengths(), vPixels);
}
