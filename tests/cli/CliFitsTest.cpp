// quandrel-cli and FITS files: every verb that reads a spectrum takes them, info prints the header's
// observation, convert goes both ways.
#include "CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
const std::string kFits = std::string(QUANDREL_TEST_DATA_DIR) + "/fits/";
}

TEST(CliFits, InfoPrintsWhatTheFileHolds)
{
    const SCliRun oRun = RunCliCapture({"info", kFits + "image_nm.fits.gz"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    EXPECT_EQ(oRun.sOut, "samples=20\nfrom=6500\nto=6501.9\nstep=0.1\njd_mid=2459739.006944\nobject=HD 123299\n"
                         "ra_h=14.07316667\ndec_deg=64.37583333\nlon_west_deg=5.5\nlat_deg=40.25\n");
    // A text file: only what its samples say.
    const SCliRun oText = RunCliCapture({"info", std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt"});
    EXPECT_EQ(oText.sOut, "samples=7061\nfrom=6479.092\nto=6699.9154\nstep=0\n");

    const SCliRun oFlat = RunCliCapture({"info", kFits + "image_2d.fits"});
    EXPECT_EQ(oFlat.lStatus, 1);
    EXPECT_NE(oFlat.sErr.find("not a one-dimensional spectrum"), std::string::npos) << oFlat.sErr;
}

TEST(CliFits, ConvertRoundTripsTextAndFitsAndEveryVerbReadsFits)
{
    CTempDir oDir;
    const std::string sText = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt";
    const std::string sFits = oDir.File("alpha.fits");
    ASSERT_EQ(RunCliCapture({"convert", sText, sFits}).lStatus, 0);
    const SCliRun oFromText = RunCliCapture({"import", sText});
    const SCliRun oFromFits = RunCliCapture({"import", sFits});
    ASSERT_EQ(oFromFits.lStatus, 0) << oFromFits.sErr;
    EXPECT_EQ(oFromFits.sOut, oFromText.sOut) << "uneven wavelengths go into a table, bit for bit";
    EXPECT_EQ(RunCliCapture({"lines", sFits}).sOut, RunCliCapture({"lines", sText}).sOut);

    const std::string sBack = oDir.File("back.txt");
    ASSERT_EQ(RunCliCapture({"convert", sFits, sBack}).lStatus, 0);
    EXPECT_EQ(RunCliCapture({"import", sBack}).sOut, oFromText.sOut);
    EXPECT_EQ(RunCliCapture({"convert", sFits}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"convert", sFits, oDir.File("no/folder/x.fits")}).lStatus, 1);
}
