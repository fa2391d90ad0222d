// The operations on all lines of a spectrum at once: the noise floor of the search, "Identify all",
// the lamp lines found from a few identified by hand, and the line table.
#include "session/Session.h"
#include "astro/Doppler.h"
#include "io/FitsSpectrum.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr double kVelocity = 36.5; // km/s of the generated star

// 4800 .. 6700 angstrom at 0.1 angstrom, S/N 100, with five absorption lines of the laboratory table
// shifted by kVelocity (depths 0.1 .. 0.5, sigma 0.3 .. 1.2 angstrom), and one more line far from
// every laboratory line.
std::unique_ptr<Spectrum> StarSpectrum(bool bNoise, bool bStrayLine)
{
    struct Line {
        double fLambda, fSigma, fDepth;
    };
    const Line aLines[] = {{4861.33, 1.2, 0.45}, {5875.62, 0.5, 0.1}, {5889.95, 0.35, 0.5}, {5895.924, 0.35, 0.4},
                            {6562.80, 1.0, 0.5}};
    std::mt19937 oRandom(11);
    std::normal_distribution<double> oNoise(0.0, 0.01);
    std::vector<double> vW;
    std::vector<double> vI;
    for (int k = 0; k <= 19000; ++k) {
        const double x = 4800.0 + 0.1 * k;
        double y = 1.0;
        for (const Line& o : aLines) {
            const double c = o.fLambda * (1.0 + kVelocity / quandrel::kSpeedOfLight);
            y -= o.fDepth * std::exp(-(x - c) * (x - c) / (2 * o.fSigma * o.fSigma));
        }
        if (bStrayLine) {
            y -= 0.3 * std::exp(-(x - 5500.0) * (x - 5500.0) / 0.5);
        }
        vW.push_back(x);
        vI.push_back(y + (bNoise ? oNoise(oRandom) : 0.0));
    }
    auto pSpectrum = std::make_unique<Spectrum>();
    pSpectrum->SetValues(static_cast<int32_t>(vW.size()), vW.data(), vI.data());
    return pSpectrum;
}

class SessionLinesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath,
                                    std::string(QUANDREL_SAMPLE_DATA_DIR) + "/LinesX.txt");
        ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
    }

    // The lines found with the window's default slider positions and the settings' noise floor.
    int32_t Find()
    {
        EXPECT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
        return m_oSession.Spectra().CurrentSpectrum()->GetSpectralLineCount();
    }

    TempDir m_oDir;
    Session m_oSession{m_oDir.File("quandrel.ini")};
};

} // namespace

TEST_F(SessionLinesTest, TheNoiseFloorKeepsTheFiveRealLinesOfANoisySpectrumAtSensitivityZero)
{
    m_oSession.Spectra().AddSpectrum(StarSpectrum(true, false), "star");
    m_oSession.Settings().Write(Setting::MinDepthSigma, 0.0);
    EXPECT_GT(Find(), 100) << "without the floor the search fits the noise";
    m_oSession.Settings().Write(Setting::MinDepthSigma, 3.0);
    ASSERT_EQ(Find(), 5);
    const std::vector<LineTableRow> vRows = m_oSession.Lines().LineTable();
    const double aExpected[] = {4861.33, 5875.62, 5889.95, 5895.924, 6562.80};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(vRows[i].fCenter, aExpected[i] * (1.0 + kVelocity / quandrel::kSpeedOfLight), 0.05) << i;
        EXPECT_LT(vRows[i].fDepth, 0.0) << "absorption";
    }
}

TEST_F(SessionLinesTest, IdentifyAllGivesTheVelocitiesOfIdentifyingLineByLineAndLeavesStrangersAlone)
{
    // Line by line: each line with its nearest laboratory line.
    m_oSession.Spectra().AddSpectrum(StarSpectrum(false, true), "by hand");
    ASSERT_EQ(Find(), 6);
    for (int32_t i = 0; i < 6; ++i) {
        m_oSession.Lines().ActivateLine(i);
        if (std::fabs(m_oSession.Spectra().CurrentSpectrum()->GetLineCenter(i) - 5500.0) > 1.0) {
            m_oSession.Lines().IdentifyActiveLineWithNearest();
        }
    }
    const std::vector<LineTableRow> vByHand = m_oSession.Lines().LineTable();

    m_oSession.Spectra().AddSpectrum(StarSpectrum(false, true), "all at once");
    ASSERT_EQ(Find(), 6);
    EXPECT_EQ(m_oSession.Lines().IdentifyAllLines(10.0), 0) << "36.5 km/s lies outside a window of 10 km/s";
    EXPECT_EQ(m_oSession.Lines().IdentifyAllLines(50.0), 5);
    const std::vector<LineTableRow> vAll = m_oSession.Lines().LineTable();
    ASSERT_EQ(vAll.size(), vByHand.size());
    for (std::size_t i = 0; i < vAll.size(); ++i) {
        EXPECT_EQ(vAll[i].sName, vByHand[i].sName) << i;
        EXPECT_EQ(vAll[i].oDoppler.has_value(), vByHand[i].oDoppler.has_value()) << i;
        if (vAll[i].oDoppler) {
            EXPECT_EQ(*vAll[i].oDoppler, *vByHand[i].oDoppler) << vAll[i].sName;
            EXPECT_NEAR(*vAll[i].oDoppler, kVelocity, 0.2) << vAll[i].sName;
        }
    }
    EXPECT_TRUE(vAll[1].sName.empty()) << "the line at 5500 A matches no laboratory line";
    // One line loses its identification, and gets it back with an undo.
    m_oSession.Lines().ActivateLine(0);
    EXPECT_TRUE(m_oSession.Lines().UnidentifyActiveLine());
    EXPECT_FALSE(m_oSession.Lines().LineTable()[0].oDoppler.has_value());
    EXPECT_FALSE(m_oSession.Lines().UnidentifyActiveLine()) << "nothing left to remove";
    ASSERT_TRUE(m_oSession.Undo());
    EXPECT_EQ(m_oSession.Lines().LineTable()[0].sName, "H-beta");
    // A new search replaces the identified lines; undone, they are back with their identifications.
    ASSERT_EQ(Find(), 6);
    EXPECT_FALSE(m_oSession.Lines().LineTable()[0].oDoppler.has_value());
    EXPECT_EQ(m_oSession.UndoCaption(), "find spectral lines");
    ASSERT_TRUE(m_oSession.Undo());
    EXPECT_EQ(m_oSession.Lines().LineTable()[0].sName, "H-beta");
    // Once done, nothing is left to identify; one undo takes all five back.
    EXPECT_EQ(m_oSession.Lines().IdentifyAllLines(50.0), 0);
    ASSERT_TRUE(m_oSession.Undo());
    for (const LineTableRow& o : m_oSession.Lines().LineTable()) {
        EXPECT_FALSE(o.oDoppler.has_value());
    }
}

TEST_F(SessionLinesTest, TwoLinesNearOneLaboratoryLineGiveItToTheNearerAndHandIdentificationsStay)
{
    // Two dips 0.4 A either side of H-alpha's shifted place: H-alpha goes to the nearer one only.
    std::vector<double> vW;
    std::vector<double> vI;
    for (int k = 0; k <= 2000; ++k) {
        const double x = 6500.0 + 0.1 * k;
        vW.push_back(x);
        vI.push_back(1.0 - 0.4 * std::exp(-std::pow(x - 6562.3, 2) / 0.08) - 0.3 * std::exp(-std::pow(x - 6563.5, 2) / 0.08));
    }
    auto pSpectrum = std::make_unique<Spectrum>();
    pSpectrum->SetValues(static_cast<int32_t>(vW.size()), vW.data(), vI.data());
    m_oSession.Spectra().AddSpectrum(std::move(pSpectrum), "pair");
    EXPECT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 2, 0)));
    ASSERT_EQ(m_oSession.Spectra().CurrentSpectrum()->GetSpectralLineCount(), 2);
    EXPECT_EQ(m_oSession.Lines().IdentifyAllLines(100.0), 1);
    EXPECT_GE(m_oSession.Spectra().CurrentSpectrum()->GetLineLaboratoryIndex(0), 0) << "6562.3 lies nearer to 6562.8";
    EXPECT_LT(m_oSession.Spectra().CurrentSpectrum()->GetLineLaboratoryIndex(1), 0);

    // A line the user identified keeps its laboratory line, and no other line takes it.
    ASSERT_TRUE(m_oSession.Undo());
    m_oSession.Lines().ActivateLine(1);
    m_oSession.Lines().IdentifyActiveLineWithNearest();
    EXPECT_EQ(m_oSession.Lines().IdentifyAllLines(100.0), 0);
    EXPECT_LT(m_oSession.Spectra().CurrentSpectrum()->GetLineLaboratoryIndex(0), 0);
    EXPECT_GE(m_oSession.Spectra().CurrentSpectrum()->GetLineLaboratoryIndex(1), 0);
}

TEST_F(SessionLinesTest, ALampIsIdentifiedCompletelyFromThreeLinesIdentifiedByHand)
{
    // A neon lamp on a detector whose dispersion has quadratic and cubic terms, in pixels.
    const auto PixelLambda = [](double p) { return 6300.0 + 0.25 * p + 5e-6 * p * p - 1e-9 * p * p * p; };
    const std::vector<double> vNeon = {6334.4276, 6382.9914, 6402.248, 6506.5277, 6532.8824,
                                       6598.9528, 6678.2766, 6717.0430};
    std::vector<double> vCenters;
    for (const double fLambda : vNeon) {
        double p = (fLambda - 6300.0) / 0.25;
        for (int k = 0; k < 40; ++k) {
            p -= (PixelLambda(p) - fLambda) / (0.25 + 1e-5 * p - 3e-9 * p * p);
        }
        vCenters.push_back(p);
    }
    std::mt19937 oRandom(5);
    std::normal_distribution<double> oNoise(0.0, 0.002);
    std::vector<double> vX;
    std::vector<double> vY;
    for (int p = 0; p < 2048; ++p) {
        double y = 0.02 + oNoise(oRandom);
        for (const double c : vCenters) {
            y += 0.8 * std::exp(-(p - c) * (p - c) / (2 * 1.6 * 1.6));
        }
        vX.push_back(p);
        vY.push_back(y);
    }
    auto pLamp = std::make_unique<Spectrum>();
    pLamp->SetValues(static_cast<int32_t>(vX.size()), vX.data(), vY.data());
    m_oSession.Spectra().AddSpectrum(std::move(pLamp), "lamp");
    ASSERT_FALSE(m_oSession.Calibration().LoadCalibrationLines(std::string(QUANDREL_SAMPLE_DATA_DIR) + "/Neon.txt"));

    // Marked as reference only: the search looks for emission lines by itself.
    m_oSession.Spectra().SetSpectrumKind(true, false);
    EXPECT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 20, 0)));
    EXPECT_TRUE(m_oSession.Spectra().CurrentSpectrum()->IsEmissionSpectrum());
    ASSERT_EQ(m_oSession.Spectra().CurrentSpectrum()->GetSpectralLineCount(), 8);

    EXPECT_FALSE(m_oSession.Calibration().IdentifyRemainingLampLines(3.0)) << "needs two points first";
    const auto CalibrationIndex = [&](double fLambda) {
        for (int32_t i = 0; i < m_oSession.Calibration().Wavelengths().Lines().GetLineCount(); ++i) {
            double f = 0.0;
            std::string sName;
            if (m_oSession.Calibration().Wavelengths().Lines().GetLine(i, f, &sName) && std::fabs(f - fLambda) < 1e-6) {
                return i;
            }
        }
        return -1;
    };
    for (const int32_t lLine : {1, 4, 6}) {
        m_oSession.Lines().ActivateLine(lLine);
        ASSERT_TRUE(m_oSession.Calibration().AddCalibrationPoint(CalibrationIndex(vNeon[static_cast<std::size_t>(lLine)])));
    }
    const SessionResult<int32_t> oAdded = m_oSession.Calibration().IdentifyRemainingLampLines(3.0);
    ASSERT_TRUE(oAdded);
    EXPECT_EQ(*oAdded, 5);
    const std::vector<CalibrationPoint>& vPoints = m_oSession.Calibration().Wavelengths().Points();
    ASSERT_EQ(vPoints.size(), vNeon.size());
    for (std::size_t i = 0; i < vPoints.size(); ++i) {
        EXPECT_EQ(vPoints[i].fLambda, vNeon[i]) << "point " << i;
        EXPECT_NEAR(vPoints[i].fMeasured, vCenters[i], 0.1) << "point " << i;
    }
    // Nothing is left to pair.
    const SessionResult<int32_t> oNone = m_oSession.Calibration().IdentifyRemainingLampLines(3.0);
    ASSERT_TRUE(oNone);
    EXPECT_EQ(*oNone, 0);
}

TEST_F(SessionLinesTest, ACampaignMeasuresEverySpectrumInOrderOnAnyNumberOfThreadsAndSaysWhyOneFails)
{
    // Three FITS files of the generated star at three times, one unreadable file, one without a line.
    const std::string sNoLines = m_oDir.File("flat.fits");
    std::vector<std::string> vFiles;
    for (int i = 0; i < 3; ++i) {
        const std::unique_ptr<Spectrum> pStar = StarSpectrum(true, false);
        SpectrumMetadata m;
        m.oJulianDateMid = 2459000.5 + i;
        m.oRightAscensionHours = 5.9;
        m.oDeclinationDegrees = 7.4;
        std::string sError;
        vFiles.push_back(m_oDir.File("star" + std::to_string(i) + ".fits"));
        std::vector<double> vCounts = pStar->GetIntensities();
        for (double& f : vCounts) {
            f *= 1000.0 + i; // another exposure: the table tells spectra apart by their intensities
        }
        ASSERT_TRUE(WriteFitsSpectrum(vFiles.back(), pStar->GetWavelengths(), vCounts, m, sError));
        if (i == 0) {
            std::vector<double> vFlat(pStar->GetIntensities().size(), 1.0);
            ASSERT_TRUE(WriteFitsSpectrum(sNoLines, pStar->GetWavelengths(), vFlat, m, sError));
        }
    }
    vFiles.insert(vFiles.begin() + 1, m_oDir.File("missing.fits"));
    vFiles.push_back(sNoLines);
    CampaignOptions oOptions;
    oOptions.oSearch = *SliderScale::SearchOf(20, 10, 0);
    std::vector<std::vector<CampaignRow>> vByThreads;
    double fCorrection = 0.0;
    for (unsigned lThreads : {1U, 2U}) {
        Session oSession(m_oDir.File("campaign.ini"));
        ASSERT_FALSE(oSession.Lines().LoadLaboratoryLines(std::string(QUANDREL_SAMPLE_DATA_DIR) + "/LinesX.txt"));
        oOptions.lThreads = lThreads;
        auto oRows = oSession.Campaign().MeasureFiles(vFiles, oOptions);
        ASSERT_TRUE(oRows) << oRows.Error().sText;
        EXPECT_EQ(oSession.Project().Table().Rows().size(), 3U);
        EXPECT_EQ(oSession.Spectra().SpectrumCount(), 4) << "every file that could be read is open";
        fCorrection = oSession.Project().CorrectionAt(2459000.5);
        vByThreads.push_back(std::move(*oRows));
    }
    const std::vector<CampaignRow>& vRows = vByThreads[0];
    ASSERT_EQ(vRows.size(), vFiles.size());
    for (std::size_t i = 0; i < vRows.size(); ++i) {
        SCOPED_TRACE(vFiles[i]);
        EXPECT_EQ(vRows[i].sName, vFiles[i]) << "in the order given";
        EXPECT_EQ(vRows[i].fMean, vByThreads[1][i].fMean) << "the same on two threads";
        EXPECT_EQ(vRows[i].sFailure.empty(), i != 1 && i != 4) << vRows[i].sFailure;
    }
    EXPECT_NE(vRows[1].sFailure.find("missing.fits"), std::string::npos) << vRows[1].sFailure;
    EXPECT_EQ(vRows[4].sFailure, "no line stands out of its noise");
    // Five lines at 36.5 km/s, corrected for the observer at the settings' site.
    EXPECT_EQ(vRows[0].vVelocities.size(), 5U);
    EXPECT_NEAR(vRows[0].fMean, kVelocity + fCorrection, 0.2);
}
