// quandrel-cli lines: the line search on generated and real spectra.
#include "CliRun.h"
#include "core/NumberText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>


TEST(CliLines, FindsGeneratedLinesAndTheirDopplerVelocities)
{
    // H-beta and H-alpha shifted by +30 km/s, in nm, on a continuum of 1.
    TempDir oDir;
    const double fShift = 1.0 + 30.0 / 299792.458;
    std::string sSpectrum;
    for (int k = 0; k < 12000; ++k) {
        const double x = 4800.0 + 0.2 * k;
        double y = 1.0;
        for (const double c : {4861.33 * fShift, 6562.80 * fShift}) {
            y -= 0.4 * std::exp(-(x - c) * (x - c) / (2 * 1.1 * 1.1));
        }
        sSpectrum += quandrel::FormatFixed(x / 10.0, 6) + ";" + quandrel::FormatFixed(y, 8) + "\n";
    }
    const std::string sFile = oDir.Write("s.txt", sSpectrum);
    const std::string sLab = oDir.Write("lab.txt", "H-alpha;656.280\nH-beta;486.133\n");
    const CliRun oRun = RunCliCapture({"lines", sFile, "--width-index", "20", "--sensitivity-index", "10", "--lab", sLab});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto vRecords = Records(oRun.sOut);
    ASSERT_EQ(vRecords.size(), 2U) << oRun.sOut;
    EXPECT_EQ(vRecords[0][4], "H-beta");
    EXPECT_EQ(vRecords[1][4], "H-alpha");
    EXPECT_EQ(vRecords[1][5], "6562.8");
    for (const auto& vRecord : vRecords) {
        ASSERT_EQ(vRecord.size(), 9U);
        EXPECT_NEAR(std::stod(vRecord[6]), 30.0, 0.5) << vRecord[4];
        // The velocity's error is the centre's in km/s.
        EXPECT_NEAR(std::stod(vRecord[8]), std::stod(vRecord[7]) / std::stod(vRecord[5]) * 299792.458, 1e-6);
        EXPECT_NEAR(std::stod(vRecord[1]), 1.1, 0.02);
        EXPECT_NEAR(std::stod(vRecord[2]), -0.4, 0.01);
    }

    // Without --lab: four fields and the centre's error; an emission search finds nothing here.
    const CliRun oPlain = RunCliCapture({"lines", sFile, "--width-index", "20", "--sensitivity-index", "10"});
    ASSERT_EQ(oPlain.lStatus, 0);
    EXPECT_EQ(Records(oPlain.sOut).front().size(), 5U);
    const CliRun oEmission =
        RunCliCapture({"lines", sFile, "--width-index", "20", "--sensitivity-index", "10", "--emission"});
    ASSERT_EQ(oEmission.lStatus, 0);
    EXPECT_TRUE(Records(oEmission.sOut).empty());

    // --identify: within 40 km/s both lines are identified as above; within 20 neither, and their
    // laboratory fields stay empty.
    const CliRun oWide = RunCliCapture({"lines", sFile, "--width-index", "20", "--lab", sLab, "--identify", "40"});
    EXPECT_EQ(oWide.sOut, oRun.sOut);
    const CliRun oNarrow = RunCliCapture({"lines", sFile, "--width-index", "20", "--lab", sLab, "--identify", "20"});
    ASSERT_EQ(Records(oNarrow.sOut).size(), 2U);
    EXPECT_EQ(Records(oNarrow.sOut)[0][4], "");
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--identify", "40"}).lStatus, 2) << "needs --lab";
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--lab", sLab, "--identify", "0"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--min-sigma", "-1"}).lStatus, 2);
}

TEST(CliLines, MeasuresHAlphaOfTheShippedSpectrum)
{
    // alpha Dra, 2022-06-08: the H-alpha core lies near 6562.11 A, about -31.6 km/s before any correction.
    const std::string sData = QUANDREL_SAMPLE_DATA_DIR;
    const CliRun oRun = RunCliCapture({"lines", sData + "/alphaDra_20220608_Halpha.txt", "--width-index", "20",
                                        "--sensitivity-index", "12", "--lab", sData + "/LinesX.txt"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    bool bFound = false;
    for (const auto& vRecord : Records(oRun.sOut)) {
        if (vRecord.size() == 9 && vRecord[4] == "H-alpha" && std::fabs(std::stod(vRecord[0]) - 6562.1) < 0.2) {
            bFound = true;
            EXPECT_NEAR(std::stod(vRecord[6]), -31.6, 0.5);
            // A deep line of a real spectrum at 0.1 A a sample: its centre to a few mA, about 0.1 km/s.
            EXPECT_GT(std::stod(vRecord[8]), 0.02);
            EXPECT_LT(std::stod(vRecord[8]), 0.5);
        }
    }
    EXPECT_TRUE(bFound) << oRun.sOut;
}

TEST(CliLines, RefusesBadSlidersAndUnreadableFiles)
{
    TempDir oDir;
    const std::string sFile = oDir.Write("s.txt", "1;1\n2;0.5\n3;1\n");
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--width-index", "21"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--width-index", "-1"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--width-max", "0"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--sensitivity-index", "21"}).lStatus, 2);
    // The top of the 32-bit range: a window wider than any file, refused without an overflow.
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--width-max", "2147483647", "--width-index", "2147483647"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"lines", sFile, "--lab", oDir.File("none.txt")}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"lines", oDir.File("none.txt")}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"lines", sFile}).lStatus, 0) << "three samples: no line, but no error";
    // Nothing to search is said, not answered with an empty list.
    const CliRun oZero = RunCliCapture({"lines", oDir.Write("zero.txt", "1;0\n2;0\n3;0\n4;0\n")});
    EXPECT_EQ(oZero.lStatus, 1);
    EXPECT_NE(oZero.sErr.find("cannot be searched"), std::string::npos) << oZero.sErr;
    // A window wider than the largest double: the fit's step is infinite and must still end.
    const std::string sWide = oDir.Write("wide.txt", "6563 1\n-1e308 1\n0 1\n1 0.5\n2 1\n1e308 1\n");
    const CliRun oWide = RunCliCapture({"lines", sWide, "--separators", " "});
    EXPECT_EQ(oWide.lStatus, 0);
    EXPECT_EQ(oWide.sOut.find("inf"), std::string::npos) << oWide.sOut;
    EXPECT_EQ(oWide.sOut.find("nan"), std::string::npos) << oWide.sOut;
}

// The window in samples and the depth threshold stand for the slider indices: --window 14 is width index 5, and
// a threshold above a line's depth leaves it out.
TEST(CliLines, WindowAndMinimumDepthInTheSpectrumsQuantities)
{
    const std::string sSpectrum = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt";
    const CliRun oIndices = RunCliCapture({"lines", sSpectrum, "--width-index", "5", "--sensitivity-index", "10"});
    const CliRun oWindow = RunCliCapture({"lines", sSpectrum, "--window", "14", "--sensitivity-index", "10"});
    ASSERT_EQ(oIndices.lStatus, 0) << oIndices.sErr;
    ASSERT_FALSE(Records(oIndices.sOut).empty());
    EXPECT_EQ(oWindow.sOut, oIndices.sOut);
    const CliRun oShallow = RunCliCapture({"lines", sSpectrum, "--window", "14", "--min-depth", "0.01"});
    const CliRun oDeep = RunCliCapture({"lines", sSpectrum, "--window", "14", "--min-depth", "0.9"});
    ASSERT_EQ(oDeep.lStatus, 0) << oDeep.sErr;
    EXPECT_LT(Records(oDeep.sOut).size(), Records(oShallow.sOut).size());
    for (const char* pcBad : {"0", "-1", "nan"}) {
        EXPECT_EQ(RunCliCapture({"lines", sSpectrum, "--min-depth", pcBad}).lStatus, 2) << pcBad;
    }
    EXPECT_EQ(RunCliCapture({"lines", sSpectrum, "--window", "0"}).lStatus, 2);
}
