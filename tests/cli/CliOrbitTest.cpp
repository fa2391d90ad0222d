// quandrel-cli orbit and pdm on a generated series and on real amateur velocities.
#include "CliRun.h"
#include "core/NumberText.h"
#include "io/FitsHeader.h"
#include "orbit/OrbitGridSearch.h"
#include "support/Generators.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

namespace {

std::map<std::string, double> Elements(const std::string& sOut)
{
    std::map<std::string, double> mValues;
    for (const auto& sLine : OutputLines(sOut)) {
        const auto lEquals = sLine.find('=');
        double fValue = 0.0;
        // "undefined" and other words are no values.
        if (lEquals != std::string::npos && quandrel::ParseWholeDouble(sLine.substr(lEquals + 1), fValue)) {
            mValues[sLine.substr(0, lEquals)] = fValue;
        }
    }
    return mValues;
}

std::string GeneratedSeries(const TempDir& oDir)
{
    const DataSeries oSeries = quandrel::testing::CadenceSeries(quandrel::testing::CadenceOrbit(), 30);
    std::string sText;
    for (int k = 0; k < oSeries.GetArraySize(); ++k) {
        sText += quandrel::FormatFixed(oSeries.GetX(k), 5) + "\t" + quandrel::FormatFixed(oSeries.GetY(k), 4) + "\n";
    }
    return oDir.Write("rv.txt", sText);
}

} // namespace

TEST(CliOrbit, RecoversAGeneratedOrbitAndPrintsResiduals)
{
    TempDir oDir;
    const std::string sFile = GeneratedSeries(oDir);
    const CliRun oRun = RunCliCapture({"orbit", sFile, "--p", "12", "13", "--t0", "2455000", "2455012.5",
                                        "--a1sini", "1e6", "1e7", "--gamma", "-30", "10", "--residuals", "--no-lsq"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto m = Elements(oRun.sOut);
    ASSERT_EQ(m.size(), 8U);
    EXPECT_NEAR(m.at("P"), 12.5, 0.01);
    EXPECT_NEAR(m.at("e"), 0.3, 0.01);
    EXPECT_NEAR(m.at("omega"), 60.0, 1.0);
    EXPECT_NEAR(m.at("K1"), 35.0, 0.2);
    EXPECT_NEAR(m.at("gamma"), -12.0, 0.2);
    EXPECT_LT(m.at("RMS"), 0.2);
    EXPECT_EQ(OutputLines(oRun.sOut).size(), 8U + 30U);
    EXPECT_EQ(OutputLines(oRun.sOut)[0].substr(0, 2), "P=");
    EXPECT_EQ(OutputLines(oRun.sOut)[7].substr(0, 4), "RMS=");

    // Fixed elements are held; bad ranges are usage errors.
    const CliRun oFixed = RunCliCapture({"orbit", sFile, "--fix-p", "12.5", "--fix-e", "0.3", "--t0", "2455000",
                                          "2455012.5", "--steps", "6"});
    ASSERT_EQ(oFixed.lStatus, 0) << oFixed.sErr;
    EXPECT_EQ(Elements(oFixed.sOut).at("P"), 12.5);
    EXPECT_EQ(Elements(oFixed.sOut).at("e"), 0.3);
    EXPECT_EQ(RunCliCapture({"orbit", sFile, "--e", "0", "1"}).lStatus, 2) << "e must stay below 1";
    EXPECT_EQ(RunCliCapture({"orbit", sFile, "--steps", "0"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"orbit", sFile, "--p", "1"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"orbit", oDir.File("none.txt")}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"orbit", oDir.Write("one.txt", "2455000;3\n")}).lStatus, 1) << "one point";
}

TEST(CliOrbit, FitsTheRealAlphaDraVelocities)
{
    // 227 amateur velocities; published P = 51.417 d, e = 0.43, omega = 22.4, K1 = 48.51 km/s.
    const std::string sFile = std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt";
    const CliRun oRun = RunCliCapture({"orbit", sFile, "--p", "51", "52", "--t0", "2459860", "2459912", "--e", "0.3",
                                        "0.55", "--omega", "0", "60", "--a1sini", "2.5e7", "3.5e7", "--gamma", "-20",
                                        "-10"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto m = Elements(oRun.sOut);
    EXPECT_NEAR(m.at("P"), 51.417, 0.05);
    EXPECT_NEAR(m.at("e"), 0.43, 0.02);
    EXPECT_NEAR(m.at("omega"), 22.4, 2.0);
    EXPECT_NEAR(m.at("K1"), 48.5, 0.5);
    EXPECT_NEAR(m.at("gamma"), -15.36, 0.3);
    EXPECT_LT(m.at("RMS"), 1.2);
    // The least-squares elements, with errors: the published period within two of them.
    ASSERT_EQ(m.size(), 8U + 21U);
    EXPECT_NEAR(m.at("lsq.P"), 51.4174, 2 * m.at("lsq.P.err"));
    EXPECT_NEAR(m.at("lsq.P.err"), 0.0122, 0.0005);
    EXPECT_NEAR(m.at("lsq.f_M"), 0.451, 0.001);
    EXPECT_EQ(m.at("lsq.n"), 227);

    // A third column weighs the points: uniform uncertainties of 2 km/s divide chi-square by 4.
    TempDir oDir;
    std::ifstream oIn(sFile);
    std::string sWeighted;
    for (std::string sLine; std::getline(oIn, sLine);) {
        sWeighted += sLine + ";2\n";
    }
    const CliRun oWeighted = RunCliCapture({"orbit", oDir.Write("w.txt", sWeighted), "--p", "51", "52", "--t0",
                                             "2459860", "2459912", "--e", "0.3", "0.55", "--omega", "0", "60",
                                             "--a1sini", "2.5e7", "3.5e7", "--gamma", "-20", "-10"});
    ASSERT_EQ(oWeighted.lStatus, 0) << oWeighted.sErr;
    EXPECT_NEAR(Elements(oWeighted.sOut).at("lsq.chi2r"), m.at("lsq.residual_variance") / 4.0, 1e-9);
    EXPECT_EQ(m.count("lsq.chi2r"), 0U) << "without uncertainties it is the residual variance";
    EXPECT_NEAR(Elements(oWeighted.sOut).at("lsq.P"), m.at("lsq.P"), 1e-9);

    const CliRun oPdm = RunCliCapture({"pdm", sFile});
    ASSERT_EQ(oPdm.lStatus, 0) << oPdm.sErr;
    ASSERT_EQ(oPdm.sOut.substr(0, 4), "T = ");
    EXPECT_NEAR(std::stod(oPdm.sOut.substr(4)), 51.4, 0.2);
}

TEST(CliPdm, ReportsLikeTheResultBoxAndRefusesUnusableEntries)
{
    TempDir oDir;
    const std::string sFile = GeneratedSeries(oDir);
    const CliRun oRun = RunCliCapture({"pdm", sFile, "--from", "5", "--to", "20"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    EXPECT_EQ(oRun.sOut.size(), 13U) << "T = %8.3f";
    EXPECT_NEAR(std::stod(oRun.sOut.substr(4)), 12.5, 0.2);
    EXPECT_EQ(RunCliCapture({"pdm", sFile, "--bins", "0"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"pdm", sFile, "--from", "0"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"pdm", sFile, "--to", "-3"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"pdm", oDir.Write("few.txt", "1;1\n2;2\n3;3\n")}).lStatus, 1);
    // Header lines are no measurements: a file with one measurement is refused, not fitted.
    const std::string sHeaded = oDir.Write("headed.txt", "# JD_UTC RV_kms\nJD RV\n2460061.5 -3.2\n");
    for (const char* pcVerb : {"orbit", "pdm"}) {
        const CliRun oRefused = RunCliCapture({pcVerb, sHeaded});
        EXPECT_EQ(oRefused.lStatus, 1) << pcVerb << ": " << oRefused.sOut;
        EXPECT_NE(oRefused.sErr.find("holds 1 lines"), std::string::npos) << oRefused.sErr;
    }
}

TEST(CliLs, ThePeriodogramsStrongestPeakAndItsCurve)
{
    const std::string sFile = std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt";
    const CliRun oRun = RunCliCapture({"ls", sFile});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto m = Elements(oRun.sOut);
    EXPECT_NEAR(m.at("P"), 51.4, 0.2);
    EXPECT_GT(m.at("power"), m.at("fap1"));
    const CliRun oCurve = RunCliCapture({"ls", sFile, "--from", "2", "--to", "300", "--samples", "2000", "--curve"});
    ASSERT_EQ(oCurve.lStatus, 0) << oCurve.sErr;
    const auto vLines = OutputLines(oCurve.sOut);
    ASSERT_EQ(vLines.size(), 3U + 2000U);
    EXPECT_EQ(vLines[3].substr(0, vLines[3].find('\t')), "0.003333333333") << "from 1/300";
    EXPECT_EQ(RunCliCapture({"ls", sFile, "--from", "5", "--to", "2"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"ls", sFile, "--from", "5"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"ls", sFile, "--samples", "1"}).lStatus, 2);
    // Data that hold no period exit 1 with the reason; options beyond the numbers are no crash.
    TempDir oDir;
    for (const auto& [sText, pcWhy] : {std::pair{std::string("1 2\n1 3\n1 4\n1 5\n1 6\n"), "same time"},
                                       {std::string("1 1e300\n2 -1e300\n3 1e300\n4 2\n5 1\n"), "beyond what"}}) {
        const CliRun oData = RunCliCapture({"ls", oDir.Write("d.txt", sText)});
        EXPECT_EQ(oData.lStatus, 1) << sText;
        EXPECT_NE(oData.sErr.find(pcWhy), std::string::npos) << oData.sErr;
        EXPECT_EQ(oData.sOut, "");
    }
    EXPECT_EQ(RunCliCapture({"ls", sFile, "--from", "1e-300", "--to", "1e300"}).lStatus, 0);
    // A date the calendar does not have is refused, not moved to the next month.
    EXPECT_EQ(RunCliCapture({"jd", "2023", "2", "30"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"jd", "2023", "2", "29"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"jd", "2024", "2", "29"}).lStatus, 0);
    EXPECT_FALSE(JulianDateOfFitsDate("2023-02-29", ""));
}

TEST(CliOrbit, RangesFromTheDataReachKepler16)
{
    // 140 SOPHIE velocities with their uncertainties; the primary's orbit: K 13.675 km/s, gamma
    // -33.795 km/s, P 41.078 d (anomalistic), e 0.159, omega 263.5 deg. A small planet signal remains.
    const CliRun oRun = RunCliCapture({"orbit", std::string(QUANDREL_TEST_DATA_DIR) + "/kepler16_rv.txt", "--auto"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto m = Elements(oRun.sOut);
    EXPECT_NEAR(m.at("lsq.K1"), 13.675, 2 * m.at("lsq.K1.err"));
    EXPECT_NEAR(m.at("lsq.gamma"), -33.795, 2 * m.at("lsq.gamma.err"));
    EXPECT_NEAR(m.at("lsq.P"), 41.078, 0.001);
    EXPECT_NEAR(m.at("lsq.e"), 0.159, 0.002);
    EXPECT_NEAR(m.at("lsq.omega"), 263.5, 0.5);
}

TEST(CliOrbit, ResultsThatMeanNothingAreRefusedAndUnsortedFilesSorted)
{
    TempDir oDir;
    const std::string sFile = std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt";
    // The same measurements in reverse order: the same orbit.
    std::ifstream oIn(sFile);
    std::vector<std::string> vLines;
    for (std::string sLine; std::getline(oIn, sLine);) {
        vLines.push_back(sLine);
    }
    std::string sReversed;
    for (auto it = vLines.rbegin(); it != vLines.rend(); ++it) {
        sReversed += *it + "\n";
    }
    const std::vector<std::string> vRanges = {"--p", "51", "52", "--t0", "2459860", "2459912", "--e", "0.3", "0.55",
                                              "--steps", "3", "--no-lsq"};
    auto vSorted = std::vector<std::string>{"orbit", sFile};
    auto vUnsorted = std::vector<std::string>{"orbit", oDir.Write("reversed.txt", sReversed)};
    vSorted.insert(vSorted.end(), vRanges.begin(), vRanges.end());
    vUnsorted.insert(vUnsorted.end(), vRanges.begin(), vRanges.end());
    const CliRun oUnsorted = RunCliCapture(vUnsorted);
    ASSERT_EQ(oUnsorted.lStatus, 0) << oUnsorted.sErr;
    EXPECT_EQ(oUnsorted.sOut, RunCliCapture(vSorted).sOut);

    // Fewer measurements than free elements, or no time between them: refused with a reason.
    for (const auto& [pcContent, pcReason] :
         {std::pair{"2459000;1\n2459003;5\n", "at least 7"}, {"2459000;1\n2459000;5\n2459000;3\n2459000;2\n2459000;4\n2459000;6\n2459000;0\n", "same time"}}) {
        const CliRun oRun = RunCliCapture({"orbit", oDir.Write("few.txt", pcContent), "--steps", "3"});
        EXPECT_EQ(oRun.lStatus, 1) << pcContent;
        EXPECT_NE(oRun.sErr.find(pcReason), std::string::npos) << oRun.sErr;
    }
    // Dates and coordinates outside their ranges are usage errors, not other dates or places.
    EXPECT_EQ(RunCliCapture({"jd", "2022", "13", "40"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"jd", "2022", "6", "8", "25"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"jd", "2022", "6", "8", "21", "30"}).lStatus, 0);
    const std::vector<std::string> vCorrection = {"correction", "--jd", "2459739.3852", "--ra", "14", "4.39", "--dec",
                                                  "64", "22.55", "--lon", "1", "40.8", "--lat"};
    for (const auto& [pcDegrees, lStatus] : {std::pair{"47", 0}, {"91", 2}, {"-90.5", 2}}) {
        auto v = vCorrection;
        v.push_back(pcDegrees);
        v.push_back("0");
        EXPECT_EQ(RunCliCapture(v).lStatus, lStatus) << pcDegrees;
    }
    // Output that cannot be written is a failure.
    std::ostream oFull(nullptr);
    std::ostringstream oErr;
    EXPECT_EQ(quandrel::cli::RunCli({"jd", "2022", "6", "8"}, oFull, oErr), 1);
    EXPECT_NE(oErr.str().find("could not be written"), std::string::npos);
}

TEST(CliOrbit, WorkIsBoundedByTheDataAndByLimitsNamedInTheRefusal)
{
    const std::string sFile = std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt";
    for (const auto& [vArguments, pcLimit] :
         {std::pair{std::vector<std::string>{"orbit", sFile, "--steps", "2147483647"}, "10^11"},
          {std::vector<std::string>{"orbit", sFile, "--steps", "100"}, "10^11"},
          {std::vector<std::string>{"pdm", sFile, "--bins", "2147483647"}, "227 measurements"},
          {std::vector<std::string>{"pdm", sFile, "--bins", "228"}, "227 measurements"}}) {
        const CliRun oRun = RunCliCapture(vArguments);
        EXPECT_EQ(oRun.lStatus, 2) << vArguments[2] << " " << vArguments[3];
        EXPECT_NE(oRun.sErr.find(pcLimit), std::string::npos) << oRun.sErr;
    }
}

// Observers pooled: two files, each a data set, fit as the one file whose lines name their data set,
// with B's offset and jitter as the maximum likelihood gives them.
TEST(CliOrbit, SeveralFilesAreDataSetsWithTheirOffsetsAndJitters)
{
    TempDir oDir;
    const std::string sPooled = std::string(QUANDREL_TEST_DATA_DIR) + "/orbit/two_datasets.txt";
    std::ifstream oPooled(sPooled);
    std::map<std::string, std::string> mFiles;
    for (std::string sLine; std::getline(oPooled, sLine);) {
        if (!sLine.empty() && sLine[0] != '#') {
            mFiles[sLine.substr(sLine.rfind(';') + 1)] += sLine.substr(0, sLine.rfind(';')) + "\n";
        }
    }
    const std::vector<std::string> vRanges = {"--p", "12", "13", "--e", "0", "0.6", "--gamma", "-15", "-5",
                                              "--steps", "6", "--jitter"};
    std::vector<std::string> vTwo = {"orbit", oDir.Write("A.txt", mFiles["A"]), oDir.Write("B.txt", mFiles["B"])};
    std::vector<std::string> vOne = {"orbit", sPooled};
    vTwo.insert(vTwo.end(), vRanges.begin(), vRanges.end());
    vOne.insert(vOne.end(), vRanges.begin(), vRanges.end());
    const CliRun oTwo = RunCliCapture(vTwo);
    const CliRun oOne = RunCliCapture(vOne);
    ASSERT_EQ(oTwo.lStatus, 0) << oTwo.sErr;
    EXPECT_EQ(oTwo.sOut, oOne.sOut);
    const auto mValues = Elements(oTwo.sOut);
    EXPECT_NEAR(mValues.at("lsq.offset.B"), 3.26114381672, 1e-4);
    EXPECT_NEAR(mValues.at("lsq.jitter.B"), 0.978676557165, 1e-4);
    EXPECT_EQ(mValues.at("lsq.jitter.A"), 0.0);
    EXPECT_NE(oTwo.sOut.find("lsq.jitter.A.err=undefined"), std::string::npos);
    // Uncertainties in one file and not in the other are refused.
    EXPECT_EQ(RunCliCapture({"orbit", oDir.Write("C.txt", "2459001;1\n2459002;2\n2459003;3\n"), vTwo[1]}).lStatus, 1);
}
