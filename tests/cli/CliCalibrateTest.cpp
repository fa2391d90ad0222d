// quandrel-cli calibrate.
#include "CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(CliCalibrate, MapsPixelsThroughPolynomialsAndSamplingPoints)
{
    TempDir oDir;
    const std::string sSpectrum = oDir.Write("pixels.txt", "0.9\n0.8\n0.7\n0.6\n0.5\n");
    // Five points of the line lambda = 6000 + 2 p (p = 0 .. 4 in single-column pixels), 10 apart.
    const std::string sPoints = oDir.Write("points.txt", "-10;5980\n0;6000\n10;6020\n20;6040\n");
    const CliRun oRun = RunCliCapture({"calibrate", sSpectrum, "--points", sPoints, "--polynomial", "1",
                                        "--single-column"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto vLines = OutputLines(oRun.sOut);
    ASSERT_EQ(vLines.size(), 6U);
    EXPECT_EQ(vLines[0].substr(0, 12), "# residuals:");
    EXPECT_EQ(vLines[1], "6000.000000;0.900000");
    EXPECT_EQ(vLines[5], "6008.000000;0.500000");

    // The output read back by the other verbs: the comment is skipped, the wavelengths stay angstrom.
    const std::string sCalibrated = oDir.Write("calibrated.txt", oRun.sOut);
    const auto vImported = OutputLines(RunCliCapture({"import", sCalibrated}).sOut);
    ASSERT_EQ(vImported.size(), 5U);
    EXPECT_EQ(vImported[0], "6000\t0.90000000000000002");
    EXPECT_EQ(OutputLines(RunCliCapture({"import", sCalibrated, "--skip", "2"}).sOut).size(), 4U);

    const CliRun oSampling = RunCliCapture({"calibrate", sSpectrum, "--points", sPoints, "--sampling",
                                             "--single-column"});
    ASSERT_EQ(oSampling.lStatus, 0);
    EXPECT_EQ(OutputLines(oSampling.sOut)[0], "# residuals: none (sampling points)");
    EXPECT_EQ(OutputLines(oSampling.sOut)[3], "6004.000000;0.700000");

    // Order 4 with four points: reduced, and said on standard error.
    const CliRun oReduced = RunCliCapture({"calibrate", sSpectrum, "--points", sPoints, "--polynomial", "4",
                                            "--single-column"});
    ASSERT_EQ(oReduced.lStatus, 0);
    EXPECT_FALSE(oReduced.sErr.empty());
    EXPECT_EQ(OutputLines(oReduced.sOut)[1], "6000.000000;0.900000");
}

TEST(CliCalibrate, RefusesTooFewPointsAndBadOptions)
{
    TempDir oDir;
    const std::string sSpectrum = oDir.Write("pixels.txt", "0.9\n0.8\n");
    EXPECT_EQ(RunCliCapture({"calibrate", sSpectrum, "--points", oDir.Write("one.txt", "1;6000\n3;6000\n"),
                             "--single-column"})
                  .lStatus,
              1)
        << "the same line measured twice is one point";
    EXPECT_EQ(RunCliCapture({"calibrate", sSpectrum, "--points", oDir.File("none.txt")}).lStatus, 1);
    // Points beyond any real wavelength overflow the fit: no infinite or undefined wavelength is printed.
    const std::string sHuge = oDir.Write("huge.txt", "100;6000\n200;1e308\n300;-1e308\n400;6600\n");
    for (const char* pcMode : {"--sampling", "--polynomial"}) {
        std::vector<std::string> vArguments{"calibrate", sSpectrum, "--points", sHuge, "--single-column", pcMode};
        if (std::string(pcMode) == "--polynomial") {
            vArguments.push_back("3");
        }
        const CliRun oRun = RunCliCapture(vArguments);
        EXPECT_EQ(oRun.lStatus, 1) << pcMode << oRun.sOut;
        EXPECT_NE(oRun.sErr.find("not finite"), std::string::npos) << pcMode;
    }
    EXPECT_EQ(RunCliCapture({"calibrate", sSpectrum}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"calibrate", sSpectrum, "--points", "p", "--polynomial", "5"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"calibrate", sSpectrum, "--points", "p", "--polynomial", "2", "--sampling"}).lStatus, 2);
}
