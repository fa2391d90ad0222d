// quandrel-cli cc on the two real alpha Dra spectra and on unusable entries.
#include "CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(CliCc, TheShippedSpectrumAgainstItselfAndUnusableEntries)
{
    const std::string sSample = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt";
    const CliRun oRun = RunCliCapture({"cc", sSample, sSample, "--from", "6500", "--to", "6650", "--function"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto vLines = OutputLines(oRun.sOut);
    ASSERT_GT(vLines.size(), 100U);
    EXPECT_NEAR(std::stod(vLines[0]), 0.0, 0.02) << "a spectrum against itself";
    EXPECT_EQ(Records(oRun.sOut).size(), vLines.size());
    EXPECT_EQ(Records(oRun.sOut)[1].size(), 2U);

    TempDir oDir;
    EXPECT_EQ(RunCliCapture({"cc", sSample, sSample, "--from", "6500"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"cc", sSample, "--from", "6500", "--to", "6600"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"cc", sSample, sSample, "--from", "6500", "--to", "6600", "--span", "0"}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"cc", sSample, oDir.File("none.txt"), "--from", "6500", "--to", "6600"}).lStatus, 1);
    const CliRun oNarrow = RunCliCapture({"cc", sSample, sSample, "--from", "6600", "--to", "6600.01"});
    EXPECT_EQ(oNarrow.lStatus, 1);
    EXPECT_FALSE(oNarrow.sErr.empty());
}

TEST(CliCc, TwoRealEpochsOfAlphaDra)
{
    // October against June around H-alpha: the published velocities give an observed shift of about
    // +69.9 km/s; the correlation of the whole profile (with its wings and the telluric lines, which do not
    // move) reads a few km/s less.
    const CliRun oRun = RunCliCapture({"cc", std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_20221021_Halpha_window.txt",
                                        std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt",
                                        "--from", "6540", "--to", "6590", "--span", "130"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    EXPECT_NEAR(std::stod(oRun.sOut), 69.9, 5.0);
    // The June spectrum's own velocity makes the shift October's absolute velocity.
    const CliRun oAbsolute = RunCliCapture({"cc", std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_20221021_Halpha_window.txt",
                                             std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt",
                                             "--from", "6540", "--to", "6590", "--span", "130", "--template-velocity", "-38.5"});
    ASSERT_EQ(oAbsolute.lStatus, 0) << oAbsolute.sErr;
    EXPECT_NEAR(std::stod(oAbsolute.sOut), std::stod(oRun.sOut) - 38.5, 1e-6);
    // With the dialog's span of 30 the two epochs 66 km/s apart peak at the edge: refused, no number.
    const CliRun oShort = RunCliCapture({"cc", std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_20221021_Halpha_window.txt",
                                          std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt",
                                          "--from", "6540", "--to", "6590"});
    EXPECT_EQ(oShort.lStatus, 1);
    EXPECT_EQ(oShort.sOut, "");
    EXPECT_NE(oShort.sErr.find("Let the correlation span grow"), std::string::npos) << oShort.sErr;
}

// Given the observation's time and place, the first line carries the velocity the table receives: the
// velocity corrected by what quandrel-cli barycorr gives for the same time and place.
TEST(CliCc, TheCorrectedVelocityFollowsWithTheObservationsTimeAndPlace)
{
    const std::string sSample = std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt";
    const std::vector<std::string> vPlace = {"--jd", "2459739.45", "--ra", "14", "4.4", "--dec", "64", "22.6",
                                             "--lon", "-11", "34", "--lat", "48", "8"};
    std::vector<std::string> vCc = {"cc", std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_20221021_Halpha_window.txt",
                                    sSample, "--from", "6540", "--to", "6590", "--span", "130"};
    const CliRun oPlain = RunCliCapture(vCc);
    vCc.insert(vCc.end(), vPlace.begin(), vPlace.end());
    const CliRun oCorrected = RunCliCapture(vCc);
    std::vector<std::string> vCorrection = {"barycorr"};
    vCorrection.insert(vCorrection.end(), vPlace.begin(), vPlace.end());
    const CliRun oCorrection = RunCliCapture(vCorrection);
    ASSERT_EQ(oCorrected.lStatus, 0) << oCorrected.sErr;
    ASSERT_EQ(oCorrection.lStatus, 0) << oCorrection.sErr;
    const auto vFields = Records(oCorrected.sOut).at(0);
    ASSERT_EQ(vFields.size(), 3U);
    EXPECT_EQ(vFields[0] + "\t" + vFields[1] + "\n", oPlain.sOut) << "the velocity and its error";
    // Two real alpha Dra spectra of different nights against each other over the broad H-alpha: their
    // differences count as noise, a few tenths of a km/s.
    EXPECT_GT(std::stod(vFields[1]), 0.05);
    EXPECT_LT(std::stod(vFields[1]), 2.0);
    const double fCorrection = std::stod(oCorrection.sOut.substr(oCorrection.sOut.find('=') + 1));
    const double fPlain = std::stod(vFields[0]);
    EXPECT_NEAR(std::stod(vFields[2]), fPlain + fCorrection + fPlain * fCorrection / 299792.458, 2e-6);
    EXPECT_NE(fCorrection, 0.0);
    // Half the place is a usage error.
    EXPECT_EQ(RunCliCapture({"cc", sSample, sSample, "--from", "6500", "--to", "6600", "--jd", "2459739.45"}).lStatus, 2);
}
