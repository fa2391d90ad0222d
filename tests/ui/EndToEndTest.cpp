// A season of a single-lined binary, evaluated through the window as a user
// does it: wavelength calibration from the lamp, lines and velocities of every
// spectrum, the project saved and reopened, the orbit and the period, the
// exports. The spectra come from the generated sample run with a known orbit.
#include "UiTestSupport.h"
#include "core/NumberText.h"

#include <QCheckBox>
#include <QPixmap>
#include <QTabWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const std::string kRun = QUANDREL_SAMPLE_RUN_DIR;

std::vector<std::string> Lines(const std::string& sFile)
{
    std::ifstream oFile(sFile);
    std::vector<std::string> v;
    for (std::string s; std::getline(oFile, s);) {
        if (!s.empty() && s.back() == '\r') {
            s.pop_back();
        }
        if (!s.empty() && s[0] != '#') {
            v.push_back(s);
        }
    }
    return v;
}

double Number(const std::string& s)
{
    double f = NAN;
    return quandrel::ParseWholeDouble(s, f) ? f : NAN;
}

// The fields of a ';'-separated line as numbers.
std::vector<double> Fields(const std::string& s)
{
    std::vector<double> v;
    std::stringstream oLine(s);
    for (std::string sField; std::getline(oLine, sField, ';');) {
        v.push_back(Number(sField));
    }
    return v;
}

// "name=value" lines.
std::map<std::string, double> Elements(const std::string& sFile)
{
    std::map<std::string, double> o;
    for (const std::string& s : Lines(sFile)) {
        const std::size_t lEqual = s.find('=');
        if (lEqual != std::string::npos) {
            o[s.substr(0, lEqual)] = Number(s.substr(lEqual + 1));
        }
    }
    return o;
}

class EndToEndTest : public MainWindowTest {
protected:
    // The twenty FITS spectra of the sample run opened at once, "Identify all" searching within 80 km/s.
    void OpenSeasonAsFits();
    // The table holds the run's twenty velocities as the run was made.
    void ExpectTheTruth();

    void FindLines(int lWidthIndex, int lSensitivityIndex)
    {
        auto* pWidth = Child<QSlider>(m_pMain.get(), "trbWidth");
        auto* pSensitivity = Child<QSlider>(m_pMain.get(), "trbSensitivity");
        pWidth->setValue(pWidth->maximum() - lWidthIndex);
        pSensitivity->setValue(pSensitivity->maximum() - lSensitivityIndex);
        Item("mniFindSpectralLines")->trigger();
    }

    // The grid row of the calibration table holding this wavelength.
    int CalibrationRow(double fLambda)
    {
        for (int32_t i = 0; i < 100; ++i) {
            double f = 0;
            std::string sName;
            if (m_pMain->Session().Calibration().Wavelengths().Lines().GetLine(i, f, &sName) && std::fabs(f - fLambda) < 0.01) {
                return i + 1;
            }
        }
        return -1;
    }

    // The window at a step of the run, with a table page and a plot page shown (the manual's
    // pictures are copied from these by tools/update-screenshots.sh).
    void Snapshot(const char* pcName, int lTable, int lPlot)
    {
        m_pMain->resize(1100, 720);
        Child<QTabWidget>(m_pMain.get(), "pgcTables")->setCurrentIndex(lTable);
        Child<QTabWidget>(m_pMain.get(), "pgcPlots")->setCurrentIndex(lPlot);
        SaveScreenshot(m_pMain.get(), pcName);
    }
};

} // namespace

TEST_F(EndToEndTest, ASeasonOfSpectraGivesBackTheOrbit)
{
    const auto oTruth = Elements(kRun + "/truth.txt");
    ASSERT_EQ(oTruth.size(), 7U) << "the sample run is generated at build time";

    // 1. The lamp in pixels, marked as reference: the search takes its emission lines by itself. Three
    //    lines identified by hand with the neon table, the program finds the others.
    const std::vector<std::string> vLampLines = Lines(kRun + "/lamp_lines.txt");
    OpenSingleColumn(kRun + "/lamp_pixels.txt");
    Item("mniIndicateReference")->trigger();
    FindLines(0, 0);
    EXPECT_TRUE(Item("mniIndicateEmission")->isChecked());
    const Spectrum* pLamp = m_pMain->GetCurrentSpectrum();
    ASSERT_EQ(static_cast<std::size_t>(pLamp->GetSpectralLineCount()), vLampLines.size());
    const std::size_t lLast = vLampLines.size() - 1;
    for (const std::size_t i : {std::size_t{0}, lLast / 2, lLast}) {
        const int lRow = CalibrationRow(Number(vLampLines[i]));
        ASSERT_GT(lRow, 0) << vLampLines[i];
        IdentifyLaboratoryLine(static_cast<int32_t>(i), lRow);
    }
    m_pMain->PrepareContextMenu();
    ASSERT_TRUE(Item("mniIdentifyLampLinesPopup")->isVisible());
    Item("mniIdentifyLampLinesPopup")->trigger();
    const std::vector<CalibrationPoint>& vPoints = m_pMain->Session().Calibration().Wavelengths().Points();
    ASSERT_EQ(vPoints.size(), vLampLines.size());
    for (std::size_t i = 0; i < vPoints.size(); ++i) {
        EXPECT_NEAR(vPoints[i].fLambda, Number(vLampLines[i]), 1e-6) << "lamp line " << i;
    }
    Snapshot("lamp", 0, 0);

    // 2. The first exposure in pixels, calibrated with a cubic: H-alpha where the nm spectrum has it.
    OpenSingleColumn(kRun + "/star_00_pixels.txt");
    const Spectrum* pPixels = m_pMain->GetCurrentSpectrum();
    WhenModal([](QWidget* pDialog) {
        Child<QSpinBox>(pDialog, "edOrder")->setValue(3);
        Press(pDialog, "btnCalibrate");
        SaveScreenshot(pDialog, "dialog_calibration");
        EXPECT_LT(Child<QLineEdit>(pDialog, "edMaxSingleDeviation")->text().toDouble(), 0.02);
        Press(pDialog, "btnOK");
    });
    Item("mniCalibrate")->trigger();
    if (Item("mniIndicateEmission")->isChecked()) {
        Item("mniIndicateEmission")->trigger();
    }
    FindLines(10, 0);
    double fCalibratedHalpha = 0;
    for (int32_t i = 0; i < pPixels->GetSpectralLineCount(); ++i) {
        const double c = pPixels->GetLineCenter(i);
        if (std::fabs(c - 6563.3) < 2 && pPixels->GetSpectralLines().GetLine(i).GetAmplitude1() < -0.1) {
            fCalibratedHalpha = c;
        }
    }
    const std::vector<std::string> vTruth = Lines(kRun + "/velocities.txt");
    ASSERT_EQ(vTruth.size(), 20U);
    // Within a fortieth of the dispersion of 0.25 A per pixel.
    EXPECT_NEAR(fCalibratedHalpha, 6562.8 * (1 + Fields(vTruth[0])[2] / 299792.458), 0.1);

    // 3. Every epoch: open, find the lines, identify the deep ones, set the time, add the measurement.
    const std::vector<std::string> vEpochs = Lines(kRun + "/epochs.txt");
    ASSERT_EQ(vEpochs.size(), 20U);
    // The star moves by up to 61 km/s (its orbit and the Earth's): "Identify all" searches within 80.
    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edIdentifyVelocity")->setText("80");
        Press(pDialog, "btnOK");
    });
    Item("mniMiscSettings")->trigger();
    bool bFirst = true;
    for (const std::string& sEpoch : vEpochs) {
        const std::size_t lSemicolon = sEpoch.find(';');
        m_oPrompts.qOpenFiles.push_back(kRun + "/" + sEpoch.substr(0, lSemicolon));
        WhenModal([bFirst](QWidget* pDialog) {
            Child<QCheckBox>(pDialog, "chbSingleColumn")->setChecked(false);
            if (bFirst) {
                SaveScreenshot(pDialog, "dialog_import");
            }
            Press(pDialog, "btnOK");
        });
        Item("mniOpenSpectrum")->trigger();
        const Spectrum* pStar = m_pMain->GetCurrentSpectrum();
        ASSERT_GT(pStar->GetWavelengths().size(), 20000U);
        FindLines(10, 0);
        EXPECT_EQ(pStar->GetSpectralLineCount(), 5) << sEpoch << ": the noise floor leaves the real lines";
        std::vector<LineTableRow> vByHand;
        if (bFirst) {
            // The first spectrum line by line, as before "Identify all" existed, and undone again.
            for (int32_t i = 0; i < pStar->GetSpectralLineCount(); ++i) {
                Activate(i);
                Item("mniIdentifyWithXX")->trigger();
            }
            vByHand = m_pMain->Session().Lines().LineTable();
            for (int32_t i = 0; i < pStar->GetSpectralLineCount(); ++i) {
                Item("mniUndo")->trigger();
            }
        }
        Child<QPushButton>(m_pMain.get(), "btnIdentifyAll")->click();
        int lIdentified = 0;
        for (int32_t i = 0; i < pStar->GetSpectralLineCount(); ++i) {
            lIdentified += pStar->GetLineLaboratoryIndex(i) >= 0 ? 1 : 0;
        }
        if (bFirst) {
            const std::vector<LineTableRow> vAll = m_pMain->Session().Lines().LineTable();
            ASSERT_EQ(vAll.size(), vByHand.size());
            for (std::size_t i = 0; i < vAll.size(); ++i) {
                EXPECT_EQ(vAll[i].sName, vByHand[i].sName);
                ASSERT_TRUE(vAll[i].oDoppler && vByHand[i].oDoppler);
                EXPECT_EQ(*vAll[i].oDoppler, *vByHand[i].oDoppler) << vAll[i].sName;
            }
        }
        if (bFirst) {
            Snapshot("lines", 0, 0);
        }
        EXPECT_EQ(lIdentified, 5) << sEpoch << ": H-beta, He I, Na D2, Na D1, H-alpha";

        WhenModal([sJd = sEpoch.substr(lSemicolon + 1), bFirst](QWidget* pDialog) {
            Child<QRadioButton>(pDialog, "rabUseJulianDate")->click();
            Child<QLineEdit>(pDialog, "edJulianDate")->setText(QString::fromStdString(sJd));
            if (bFirst) {
                SaveScreenshot(pDialog, "dialog_observation_time");
            }
            Press(pDialog, "btnOK");
        });
        Item("mniTimeStamp2")->trigger();
        if (bFirst) {
            // The first measurement asks for the star's coordinates.
            m_oPrompts.qAnswers.push_back(Button::Ok);
            WhenModal([](QWidget* pObject) {
                Child<QLineEdit>(pObject, "edRightAscensionHours")->setText("5");
                Child<QLineEdit>(pObject, "edRightAscensionMinutes")->setText("55");
                Child<QLineEdit>(pObject, "edDeclinationDegrees")->setText("7");
                Child<QLineEdit>(pObject, "edDeclinationMinutes")->setText("24");
                SaveScreenshot(pObject, "dialog_object_coordinates");
                Press(pObject, "btkOK");
            });
            bFirst = false;
        }
        Child<QPushButton>(m_pMain.get(), "btnAddMeasurement")->click();
    }
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 20U);
    Snapshot("table", 1, 1);

    // Corrected velocities: the observer's motion is gone.
    DataSeries oCurve;
    m_pMain->Session().Project().Table().GetRVCurve(oCurve);
    ASSERT_EQ(oCurve.GetArraySize(), 20);
    double fWorst = 0;
    for (int32_t k = 0; k < 20; ++k) {
        const std::vector<double> vRow = Fields(vTruth[static_cast<std::size_t>(k)]);
        EXPECT_NEAR(oCurve.GetX(k), vRow[0], 1e-5);
        fWorst = std::max(fWorst, std::fabs(oCurve.GetY(k) - vRow[1]));
    }
    EXPECT_LT(fWorst, 1.5) << "km/s";

    // 4. Save, close and reopen the project.
    const std::string sProject = m_oDir.File("season.mtx");
    m_oPrompts.qSaveFiles.push_back(sProject);
    Item("mniSaveProject")->trigger();
    Item("mniCloseProject")->trigger();
    ASSERT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
    m_oPrompts.qOpenFiles.push_back(sProject);
    Item("mniOpenProject")->trigger();
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 20U);

    // 5. The orbit within ranges that hold the truth, and the period.
    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        SetRangeRow(pDialog, 1, "11", "14", "8");
        SetRangeRow(pDialog, 2, "2458998", "2459012", "8");
        SetRangeRow(pDialog, 3, "0", "0.6", "6");
        SetRangeRow(pDialog, 4, "0", "180", "6");
        SetRangeRow(pDialog, 5, "3.0E+06", "8.0E+06", "5");
        SetRangeRow(pDialog, 6, "-30", "0", "5");
        SaveScreenshot(pDialog, "dialog_orbit_ranges");
        Press(pDialog, "btnOK");
    });
    ASSERT_TRUE(Item("mniCalculateElements")->isEnabled());
    Item("mniCalculateElements")->trigger();
    ASSERT_TRUE(m_pMain->Session().Orbit().GridSearch().IsOptimized());

    Snapshot("orbit", 2, 1);
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("elements.txt"));
    Item("mniExportElements")->trigger();
    const auto oFound = Elements(m_oDir.File("elements.txt"));
    ASSERT_EQ(oFound.size(), 7U + 21U);
    // The least-squares elements hold the truth within three of their errors.
    for (const char* pcName : {"P", "e", "omega", "K1", "gamma"}) {
        const std::string sName = pcName;
        EXPECT_NEAR(oFound.at("lsq." + sName), oTruth.at(sName), 3.0 * oFound.at("lsq." + sName + ".err")) << sName;
    }
    EXPECT_NEAR(oFound.at("P"), oTruth.at("P"), 0.05);
    EXPECT_NEAR(oFound.at("e"), oTruth.at("e"), 0.02);
    EXPECT_NEAR(oFound.at("omega"), oTruth.at("omega"), 3.0);
    EXPECT_NEAR(oFound.at("K1"), oTruth.at("K1"), 1.0);
    EXPECT_NEAR(oFound.at("gamma"), oTruth.at("gamma"), 1.0);
    // T0 up to whole periods.
    const double fCycles = (oFound.at("T0") - oTruth.at("T0")) / oTruth.at("P");
    EXPECT_NEAR((fCycles - std::round(fCycles)) * oTruth.at("P"), 0.0, 0.15);

    m_oPrompts.qSaveFiles.push_back(m_oDir.File("residuals.txt"));
    Item("mniExportResiduals")->trigger();
    const std::vector<std::string> vResiduals = Lines(m_oDir.File("residuals.txt"));
    ASSERT_EQ(vResiduals.size(), 20U);
    double fSquares = 0;
    for (const std::string& s : vResiduals) {
        const std::vector<double> vFields = Fields(s);
        ASSERT_EQ(vFields.size(), 3U) << s;
        fSquares += vFields[2] * vFields[2];
    }
    EXPECT_LT(std::sqrt(fSquares / 20), 1.0) << "rms residual, km/s";

    WhenModal([](QWidget* pDialog) {
        ASSERT_NE(pDialog, nullptr);
        Child<QLineEdit>(pDialog, "edPeriodFrom")->setText("2");
        Child<QLineEdit>(pDialog, "edPeriodTo")->setText("30");
        SaveScreenshot(pDialog, "dialog_pdm");
        Press(pDialog, "btnOK");
    });
    Item("mniEstimatePeriod")->trigger();
    ASSERT_FALSE(m_oPrompts.vMessages.empty());
    ASSERT_EQ(m_oPrompts.vMessages.back().sTitle, "PDM Result");
    const std::string sPeriod = m_oPrompts.vMessages.back().sText;
    const std::size_t lValue = sPeriod.find("T = ") + 4;
    EXPECT_NEAR(Number(sPeriod.substr(lValue, sPeriod.rfind(" d") - lValue)), oTruth.at("P"), 0.2) << sPeriod;

    // 6. The first exposure against the second as template, for the correlation's pages.
    m_oPrompts.qOpenFiles.push_back(kRun + "/" + vEpochs[1].substr(0, vEpochs[1].find(';')));
    WhenModal([](QWidget* pDialog) { Press(pDialog, "btnOK"); });
    Item("mniOpenCCTemplate")->trigger();
    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edWavelengthFrom")->setText("6500");
        Child<QLineEdit>(pDialog, "edWavelengthTo")->setText("6620");
        Child<QLineEdit>(pDialog, "edCorrelationSpan")->setText("200");
        Child<QRadioButton>(pDialog, "rabInputTopocentricCorrection")->click();
        SaveScreenshot(pDialog, "dialog_cross_correlation");
        Press(pDialog, "btnOK");
    });
    Item("mniNewCCParams")->trigger();
    OpenSpectrum(kRun + "/" + vEpochs[0].substr(0, vEpochs[0].find(';')));
    m_pMain->Session().Spectra().SetObservationTime(Number(vEpochs[0].substr(vEpochs[0].find(';') + 1)));
    Item("mniRunCC")->trigger();
    ASSERT_NE(m_pMain->Session().Correlation().CorrelationFunction(), nullptr)
        << (m_oPrompts.vMessages.empty() ? std::string("no message") : m_oPrompts.vMessages.back().sText)
        << (m_pMain->GetCurrentSpectrum() == nullptr ? " and no current spectrum" : "");
    auto* pPlots = Child<QTabWidget>(m_pMain.get(), "pgcPlots");
    const char* apcPages[] = {"page_spectrum", "page_rv_graph", "page_template", "page_correlation_detail",
                              "page_correlation_function"};
    // The periodogram page is pictured by the analysis test, where a periodogram is computed.
    ASSERT_EQ(pPlots->count(), 6);
    for (int lPage = 0; lPage < 5; ++lPage) {
        Snapshot(apcPages[lPage], 0, lPage);
    }

    // 7. The dialogs not met on the way: each pictured and cancelled.
    FindLines(10, 0);
    ASSERT_GT(m_pMain->GetCurrentSpectrum()->GetSpectralLineCount(), 0);
    Activate(0);
    ASSERT_TRUE(Item("mniIdentifyWith")->isEnabled());
    for (const auto& [pcItem, pcPicture] :
         {std::pair{"mniIdentifyWith", "dialog_line_select"}, {"mniObserverCoordinates", "dialog_observer_coordinates"},
          {"mniMiscSettings", "dialog_misc_settings"}, {"mniAbout", "dialog_about"}}) {
        WhenModal([pcPicture](QWidget* pDialog) {
            SaveScreenshot(pDialog, pcPicture);
            pDialog->close();
        });
        Item(pcItem)->trigger();
    }
}

void EndToEndTest::OpenSeasonAsFits()
{
    // All twenty exposures at once, as a pipeline wrote them: no import dialog, no date, no coordinate.
    const std::vector<std::string> vEpochs = Lines(kRun + "/epochs.txt");
    ASSERT_EQ(vEpochs.size(), 20U);
    // The star moves by up to 61 km/s (its orbit and the Earth's): "Identify all" searches within 80.
    WhenModal([](QWidget* pDialog) {
        Child<QLineEdit>(pDialog, "edIdentifyVelocity")->setText("80");
        Press(pDialog, "btnOK");
    });
    Item("mniMiscSettings")->trigger();
    std::vector<std::string> vFiles;
    for (const std::string& sEpoch : vEpochs) {
        const std::string sName = sEpoch.substr(0, sEpoch.find('.'));
        vFiles.push_back(kRun + "/fits/" + sName + ".fits");
    }
    m_oPrompts.qOpenFileLists.push_back(vFiles);
    Item("mniOpenSpectrum")->trigger();
    ASSERT_EQ(m_pMain->Session().Spectra().SpectrumCount(), 20);
}

void EndToEndTest::ExpectTheTruth()
{
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 20U);
    // The corrected velocities are the truth: the header's time, object and site were used.
    const std::vector<std::string> vTruth = Lines(kRun + "/velocities.txt");
    DataSeries oCurve;
    m_pMain->Session().Project().Table().GetRVCurve(oCurve);
    ASSERT_EQ(oCurve.GetArraySize(), 20);
    for (int32_t k = 0; k < 20; ++k) {
        const std::vector<double> vRow = Fields(vTruth[static_cast<std::size_t>(k)]);
        EXPECT_NEAR(oCurve.GetX(k), vRow[0], 1e-6);
        EXPECT_NEAR(oCurve.GetY(k), vRow[1], 1.5) << k;
    }
}

TEST_F(EndToEndTest, TheSeasonAsFitsFilesNeedsNoTypedDateOrCoordinate)
{
    ASSERT_NO_FATAL_FAILURE(OpenSeasonAsFits());
    // The one question: the header's object for the table.
    m_oPrompts.qAnswers = {Button::Yes};
    // The sliders set once; then four actions per spectrum: choose it, find, identify all, add.
    FindLines(10, 0);
    auto* plsbSpectra = Child<QListWidget>(m_pMain.get(), "lsbSpectra");
    for (int32_t k = 0; k < 20; ++k) {
        plsbSpectra->setCurrentRow(k);
        ASSERT_EQ(m_pMain->Session().Spectra().CurrentIndex(), k);
        Child<QPushButton>(m_pMain.get(), "btnGo")->click();
        Child<QPushButton>(m_pMain.get(), "btnIdentifyAll")->click();
        EXPECT_TRUE(m_pMain->statusBar()->currentMessage().startsWith("5 lines identified"))
            << m_pMain->statusBar()->currentMessage().toStdString();
        Child<QPushButton>(m_pMain.get(), "btnAddMeasurement")->click();
    }
    ASSERT_EQ(m_oPrompts.vMessages.size(), 1U);
    EXPECT_EQ(m_oPrompts.vMessages[0].sTitle, "Object coordinates");
    ExpectTheTruth();
}

TEST_F(EndToEndTest, MeasureAllOpenSpectraDoesTheFourActionsForEverySpectrumAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(OpenSeasonAsFits());
    FindLines(10, 0);
    Item("mniMeasureAll")->trigger();
    EXPECT_TRUE(m_oPrompts.vMessages.empty()) << "every spectrum measured; the headers name the object";
    EXPECT_EQ(m_pMain->statusBar()->currentMessage().toStdString(), "20 of 20 spectra measured and added to the table");
    ExpectTheTruth();
    // One step undoes the rows.
    EXPECT_EQ(m_pMain->Session().UndoCaption(), "measure 20 spectra");
}
