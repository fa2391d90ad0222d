// quandrel-cli: verbs, help, exit codes and the import verb.
#include "CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>


TEST(CliGeneral, HelpUsageErrorsAndUnknownVerbs)
{
    const CliRun oHelp = RunCliCapture({"--help"});
    EXPECT_EQ(oHelp.lStatus, 0);
    EXPECT_NE(oHelp.sOut.find("import"), std::string::npos);
    EXPECT_EQ(RunCliCapture({}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"frobnicate"}).lStatus, 2);
    const CliRun oVerbHelp = RunCliCapture({"import", "--help"});
    EXPECT_EQ(oVerbHelp.lStatus, 0);
    EXPECT_NE(oVerbHelp.sOut.find("--single-column"), std::string::npos);
}

TEST(CliImport, ReadsTheShippedSampleSpectrum)
{
    const CliRun oRun = RunCliCapture({"import", std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    const auto vLines = OutputLines(oRun.sOut);
    ASSERT_EQ(vLines.size(), 7061U);
    EXPECT_EQ(vLines.front(), "6479.0919999999996\t1.11006");
    EXPECT_EQ(vLines.back(), "6699.9153999999999\t0.98714800000000003");
    // The same file summed up instead of printed.
    const CliRun oStats =
        RunCliCapture({"import", std::string(QUANDREL_SAMPLE_DATA_DIR) + "/alphaDra_20220608_Halpha.txt", "--stats"});
    ASSERT_EQ(oStats.lStatus, 0) << oStats.sErr;
    const auto vStats = OutputLines(oStats.sOut);
    ASSERT_EQ(vStats.size(), 5U);
    EXPECT_EQ(vStats[0], "samples=7061");
    EXPECT_EQ(vStats[1], "first=6479.0919999999996");
    EXPECT_EQ(vStats[2], "last=6699.9153999999999");
    EXPECT_EQ(vStats[3].rfind("min=0.", 0), 0U) << vStats[3];
    EXPECT_EQ(vStats[4].rfind("max=1.", 0), 0U) << vStats[4];
}

TEST(CliImport, OptionsReachTheImport)
{
    TempDir oDir;
    const std::string sFile = oDir.Write("s.txt", "# header\n656.3  0.5\n656.4  0.25\n");
    const CliRun oRun = RunCliCapture({"import", sFile, "--skip", "1", "--separators", " ", "--collapse"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    EXPECT_EQ(oRun.sOut, "6563\t0.5\n6564\t0.25\n");

    const CliRun oRaw = RunCliCapture({"import", sFile, "--skip", "1", "--separators", " ", "--collapse", "--no-nm-conversion"});
    EXPECT_EQ(OutputLines(oRaw.sOut).at(0), "656.29999999999995\t0.5");

    const std::string sFixed = oDir.Write("f.txt", "6562.8    0.9\n6563.0    0.8\n");
    EXPECT_EQ(RunCliCapture({"import", sFixed, "--fixed", "0,10"}).sOut, "6562.8000000000002\t0.90000000000000002\n6563\t0.80000000000000004\n");

    const std::string sSingle = oDir.Write("one.txt", "5\n7\n");
    EXPECT_EQ(RunCliCapture({"import", sSingle, "--single-column"}).sOut, "0\t5\n1\t7\n");

    const std::string sTab = oDir.Write("t.txt", "1,5\t2\n");
    EXPECT_EQ(RunCliCapture({"import", sTab, "--separators", "\\t", "--no-nm-conversion"}).sOut, "1.5\t2\n");
}

TEST(CliImport, HeaderLinesAreSkippedByDefault)
{
    TempDir oDir;
    // Lines without a digit and '#' lines at the head are headers; the first line with a number is
    // data, and so is everything after it. --skip can skip more, never fewer.
    for (const auto& [pcContent, pcExpected] :
         {std::pair{"Wavelength;Flux\n\n# observed 2023-05-01\n656.3;0.5\n656.4;0.25\n", "6563\t0.5\n6564\t0.25\n"},
          {"\xB0;I\r\n6563;0.5\r\n", "6563\t0.5\n"},
          {"6563;0.5\nfoot\n6564;0.25\n", "6563\t0.5\n0\t0\n6564\t0.25\n"}}) {
        const std::string sFile = oDir.Write("h.txt", pcContent);
        const CliRun oRun = RunCliCapture({"import", sFile});
        ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
        EXPECT_EQ(oRun.sOut, pcExpected) << pcContent;
    }
    const std::string sFile = oDir.Write("h.txt", "Wavelength;Flux\n6562;0.5\n6563;0.25\n");
    EXPECT_EQ(RunCliCapture({"import", sFile, "--skip", "2"}).sOut, "6563\t0.25\n");
}

TEST(CliImport, BadInputAndUsageGiveTheirExitCodes)
{
    TempDir oDir;
    const CliRun oMissing = RunCliCapture({"import", oDir.File("missing.txt")});
    EXPECT_EQ(oMissing.lStatus, 1);
    EXPECT_FALSE(oMissing.sErr.empty());
    EXPECT_EQ(RunCliCapture({"import", oDir.Write("empty.txt", "")}).lStatus, 1);

    const std::string sFile = oDir.Write("s.txt", "1;2\n");
    EXPECT_EQ(RunCliCapture({"import"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"import", sFile, sFile}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"import", sFile, "--skip"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"import", sFile, "--skip", "x"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"import", sFile, "--skip", "-1"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"import", sFile, "--fixed", "3"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"import", sFile, "--bogus"}).lStatus, 2);
}

TEST(CliImport, DevicesPipesAndSkipsBeyondTheFileEndAtOnce)
{
    TempDir oDir;
    const std::string sFifo = oDir.File("pipe");
    ASSERT_EQ(mkfifo(sFifo.c_str(), 0600), 0);
    // Each would have read without end, blocked, or skipped 2^31 times past the end.
    for (const std::vector<std::string>& vArguments :
         {std::vector<std::string>{"import", "/dev/zero"}, {"import", sFifo}, {"info", sFifo}, {"orbit", sFifo},
          {"orbit", "/dev/zero"}, {"import", oDir.Write("s.txt", "1;2\n3;4\n"), "--skip", "2147483647"}}) {
        const CliRun oRun = RunCliCapture(vArguments);
        EXPECT_EQ(oRun.lStatus, 1) << vArguments[1];
        EXPECT_FALSE(oRun.sErr.empty()) << vArguments[1];
    }
}
