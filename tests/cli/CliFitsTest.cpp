// quandrel-cli and FITS files: every verb that reads a spectrum takes them, info prints the header's
// observation, convert goes both ways.
#include "CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
const std::string kFits = std::string(QUANDREL_TEST_DATA_DIR) + "/fits/";
}

TEST(CliFits, InfoPrintsWhatTheFileHolds)
{
    const CliRun oRun = RunCliCapture({"info", kFits + "image_nm.fits.gz"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    // correction=: the precise one from the header's time, object and site (astropy: -11.491951 km/s).
    EXPECT_EQ(oRun.sOut, "samples=20\nfrom=6500\nto=6501.9\nstep=0.1\nframe=topocentric\njd_mid=2459739.006944\n"
                         "object=HD 123299\nra_h=14.07316667\ndec_deg=64.37583333\nlon_west_deg=5.5\nlat_deg=40.25\n"
                         "correction=-11.492\n");
    // A text file: only what its samples say.
    const CliRun oText = RunCliCapture({"info", std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt"});
    EXPECT_EQ(oText.sOut, "samples=7061\nfrom=6479.092\nto=6699.9154\nstep=0\n");

    const CliRun oFlat = RunCliCapture({"info", kFits + "image_2d.fits"});
    EXPECT_EQ(oFlat.lStatus, 1);
    EXPECT_NE(oFlat.sErr.find("not a one-dimensional spectrum"), std::string::npos) << oFlat.sErr;
}

TEST(CliFits, ConvertRoundTripsTextAndFitsAndEveryVerbReadsFits)
{
    TempDir oDir;
    const std::string sText = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt";
    const std::string sFits = oDir.File("alpha.fits");
    ASSERT_EQ(RunCliCapture({"convert", sText, sFits}).lStatus, 0);
    const CliRun oFromText = RunCliCapture({"import", sText});
    const CliRun oFromFits = RunCliCapture({"import", sFits});
    ASSERT_EQ(oFromFits.lStatus, 0) << oFromFits.sErr;
    EXPECT_EQ(oFromFits.sOut, oFromText.sOut) << "uneven wavelengths go into a table, bit for bit";
    EXPECT_EQ(RunCliCapture({"lines", sFits}).sOut, RunCliCapture({"lines", sText}).sOut);

    const std::string sBack = oDir.File("back.txt");
    ASSERT_EQ(RunCliCapture({"convert", sFits, sBack}).lStatus, 0);
    EXPECT_EQ(RunCliCapture({"import", sBack}).sOut, oFromText.sOut);
    EXPECT_EQ(RunCliCapture({"convert", sFits}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"convert", sFits, oDir.File("no/folder/x.fits")}).lStatus, 1);
    // What info would refuse is not written: a repeated wavelength.
    const CliRun oTwice = RunCliCapture({"convert", oDir.Write("twice.txt", "6500;1\n6500.5;2\n6500.5;3\n"), sBack + ".fits"});
    EXPECT_EQ(oTwice.lStatus, 1);
    EXPECT_NE(oTwice.sErr.find("6500.5 (sample 3) does not rise"), std::string::npos) << oTwice.sErr;
    EXPECT_FALSE(std::filesystem::exists(sBack + ".fits"));
}

TEST(CliNormalize, TheRealAlphaDraSpectrumLosesItsFalseLines)
{
    // The continuum of this spectrum lies near 1.1: the line search finds bumps of the noise above 1
    // as "absorption" lines of positive amplitude, and one of them is identified with H-alpha at
    // -1406 km/s. Divided by its continuum, every line found is a real dip, and H-alpha stays where
    // the fit on the raw spectrum put it.
    TempDir oDir;
    const std::string sRaw = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt";
    const std::string sLab = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/LinesX.txt";
    const std::string sNormalised = oDir.File("normalised.fits");
    ASSERT_EQ(RunCliCapture({"normalize", sRaw, "--out", sNormalised}).lStatus, 0);
    const auto Lines = [&](const std::string& sFile, const char* pcMinSigma) {
        std::vector<std::vector<std::string>> vLines;
        const CliRun oRun = RunCliCapture({"lines", sFile, "--width-index", "20", "--sensitivity-index", "12", "--lab",
                                            sLab, "--min-sigma", pcMinSigma});
        for (const std::string& sLine : OutputLines(oRun.sOut)) {
            if (sLine.empty() || sLine[0] == '#') {
                continue;
            }
            std::vector<std::string> vFields;
            std::size_t lStart = 0;
            for (std::size_t lTab = sLine.find('\t'); ; lTab = sLine.find('\t', lStart)) {
                vFields.push_back(sLine.substr(lStart, lTab - lStart));
                if (lTab == std::string::npos) {
                    break;
                }
                lStart = lTab + 1;
            }
            vLines.push_back(vFields);
        }
        return vLines;
    };
    // Without the noise floor; with it, the raw spectrum's false lines (a bump taken for an absorption
    // among them) are left out as well.
    const auto vRaw = Lines(sRaw, "0");
    const auto vNormalised = Lines(sNormalised, "0");
    EXPECT_EQ(Lines(sRaw, "3").size(), 1U);
    ASSERT_EQ(vRaw.size(), 3U);
    EXPECT_GT(std::stod(vRaw[0][2]), 0.0) << "a positive absorption";
    ASSERT_FALSE(vNormalised.empty());
    for (const auto& vLine : vNormalised) {
        EXPECT_LT(std::stod(vLine[2]), 0.0) << vLine[0];
    }
    EXPECT_NEAR(std::stod(vNormalised.back()[0]), std::stod(vRaw.back()[0]), 0.05) << "H-alpha";
    EXPECT_EQ(vNormalised.back()[4], "H-alpha");
    // At the next sensitivity step H-alpha stands alone.
    const CliRun oStep =
        RunCliCapture({"lines", sNormalised, "--width-index", "20", "--sensitivity-index", "13", "--min-sigma", "0"});
    EXPECT_EQ(OutputLines(oStep.sOut).size(), 2U) << oStep.sOut;

    // Identify all names the lines that agree with the velocity of the strong ones: the noise dip near
    // Fe I 6495 (at -10.6 km/s against H-alpha's -31.05) stays unnamed, and the mean stays H-alpha's.
    const CliRun oIdentified = RunCliCapture({"lines", sNormalised, "--width-index", "10", "--sensitivity-index", "0",
                                               "--lab", sLab, "--identify", "80"});
    ASSERT_EQ(oIdentified.lStatus, 0) << oIdentified.sErr;
    double fSum = 0.0;
    int lNamed = 0;
    for (const auto& vRecord : Records(oIdentified.sOut)) {
        if (vRecord.size() < 7 || vRecord[4].empty()) {
            continue;
        }
        EXPECT_NE(vRecord[4], "FeI_6495");
        fSum += std::stod(vRecord[6]);
        ++lNamed;
    }
    ASSERT_GE(lNamed, 1) << oIdentified.sOut;
    EXPECT_NEAR(fSum / lNamed, -31.05, 0.5) << oIdentified.sOut;

    EXPECT_EQ(RunCliCapture({"normalize", sRaw, "--order", "40"}).lStatus, 2);
}
