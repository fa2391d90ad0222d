// quandrel-cli jd, caldate, correction and project.
#include "CliRun.h"
#include "spectrum/Spectrum.h"
#include "rvtable/RvTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

TEST(CliTime, JulianAndCalendarDates)
{
    EXPECT_EQ(RunCliCapture({"jd", "2000", "1", "1.5"}).sOut, "2451545.00000000\n");
    EXPECT_EQ(RunCliCapture({"jd", "2012", "3", "1", "20", "30"}).sOut, "2455988.35416667\n");
    EXPECT_EQ(RunCliCapture({"caldate", "2451545.25"}).sOut, "2000\t1\t1\t18\t0.000000\n");
    EXPECT_EQ(RunCliCapture({"caldate", "2455988.35416667"}).sOut.substr(0, 16), "2012\t3\t1\t20\t30.0");
    EXPECT_EQ(RunCliCapture({"jd", "2000", "1"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"jd", "2000", "one", "1"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"caldate", "1e30"}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"caldate"}).lStatus, 2);
}

TEST(CliTime, CorrectionOfTheReferenceObservation)
{
    const CliRun oRun = RunCliCapture({"correction", "--jd", "2455988.354167", "--ra", "5", "55", "--dec", "7", "24",
                                        "--lon", "9", "0", "--lat", "52", "0"});
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    EXPECT_EQ(oRun.sOut, "-27.512584\n");
    // Signed minutes: -5 deg 30 min.
    EXPECT_EQ(RunCliCapture({"correction", "--jd", "2455988.35", "--ra", "5", "55", "--dec", "-5", "-30", "--lon", "9",
                             "0", "--lat", "52", "0"})
                  .lStatus,
              0);
    EXPECT_EQ(RunCliCapture({"correction", "--jd", "2455988.35", "--ra", "5"}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"correction", "--ra", "5", "55", "--dec", "7", "24", "--lon", "9", "0", "--lat", "52", "0"})
                  .lStatus,
              2);
}

TEST(CliTime, BarycorrAndTheTimeScalesOfTheOrbitVerbs)
{
    // The reference observation: astropy gives -27.516488 km/s with UT1 = UTC; its BJD_TDB is the time
    // the orbit verbs take with --time-scale bjd. Years outside 1960 .. 2100 are refused.
    const std::vector<std::string> vPlace = {"--ra", "5", "55", "--dec", "7", "24", "--lon", "9", "0", "--lat", "52", "0"};
    std::vector<std::string> vBarycorr = {"barycorr", "--jd", "2455988.354167"};
    vBarycorr.insert(vBarycorr.end(), vPlace.begin(), vPlace.end());
    const CliRun oRun = RunCliCapture(vBarycorr);
    ASSERT_EQ(oRun.lStatus, 0) << oRun.sErr;
    std::map<std::string, double> mValues;
    for (const auto& vRecord : Records(oRun.sOut)) {
        const std::size_t lEquals = vRecord[0].find('=');
        mValues[vRecord[0].substr(0, lEquals)] = std::stod(vRecord[0].substr(lEquals + 1));
    }
    EXPECT_NEAR(mValues["vcorr"], -27.516488, 1e-5);
    vBarycorr[2] = "2488500";
    EXPECT_EQ(RunCliCapture(vBarycorr).lStatus, 1) << "after 2100";

    TempDir oDir;
    const std::string sRv = oDir.Write("rv.txt", "2455988.354167;10\n2455990.5;-20\n2455993.25;15\n2455995.75;-5\n"
                                                 "2455997.5;12\n2455999.25;-18\n2456001.5;3\n2456003.75;8\n");
    std::vector<std::string> vOrbit = {"orbit", sRv, "--time-scale", "bjd", "--residuals", "--no-lsq", "--p", "2", "8"};
    vOrbit.insert(vOrbit.end(), vPlace.begin(), vPlace.end());
    const CliRun oOrbit = RunCliCapture(vOrbit);
    ASSERT_EQ(oOrbit.lStatus, 0) << oOrbit.sErr;
    EXPECT_EQ(oOrbit.sOut.substr(0, 19), "time_scale=BJD_TDB\n");
    const auto vRecords = Records(oOrbit.sOut);
    const auto itFirst = std::find_if(vRecords.begin(), vRecords.end(), [](const auto& v) { return v.size() == 3; });
    ASSERT_NE(itFirst, vRecords.end());
    EXPECT_NEAR(std::stod((*itFirst)[0]), mValues["bjd_tdb"], 1e-6);
    EXPECT_EQ(RunCliCapture({"pdm", sRv, "--time-scale", "bjd"}).lStatus, 2) << "without the object and site";
}

TEST(CliProject, InfoDumpExportAndCurve)
{
    TempDir oDir;
    RvTable oTable;
    oTable.Coordinates().SetObjectCoordinates(19, 5, 64, 22);
    for (int i = 0; i < 3; ++i) {
        Spectrum oSpectrum;
        const double afW[] = {1, 2};
        const double afI[] = {1.0 + i, 2};
        oSpectrum.SetValues(2, afW, afI);
        oSpectrum.SetObservationTime(2455000.5 + 0.1 * i);
        oTable.AddVelocity(&oSpectrum, 10.0 * i);
    }
    const std::string sProject = oDir.File("p.mtx");
    ASSERT_TRUE(oTable.SaveToFile(sProject));

    const CliRun oInfo = RunCliCapture({"project", "info", sProject});
    ASSERT_EQ(oInfo.lStatus, 0) << oInfo.sErr;
    EXPECT_NE(oInfo.sOut.find("rows\t3\n"), std::string::npos);
    EXPECT_NE(oInfo.sOut.find("object\tset\t19\t5\t64\t22\n"), std::string::npos);

    const CliRun oCurve = RunCliCapture({"project", "curve", sProject});
    // The orbit's times: BJD_TDB for the project's object at longitude and latitude 0, as astropy gives them.
    EXPECT_EQ(oCurve.sOut,
              "# time_scale=BJD_TDB\n2455000.50085502\t0\n2455000.60085622\t10\n2455000.70085737\t20\n");

    ASSERT_EQ(RunCliCapture({"project", "export", sProject, oDir.File("rv.txt"), "--threshold", "0.15"}).lStatus, 0);
    EXPECT_EQ(ReadWholeFile(oDir.File("rv.txt")),
              " 2455000.500\t   5.000\t  0.000\r\n 2455000.700\t  20.000\t  0.000\r\n");
    ASSERT_EQ(RunCliCapture({"project", "dump", sProject, oDir.File("dump.txt")}).lStatus, 0);
    EXPECT_EQ(OutputLines(ReadWholeFile(oDir.File("dump.txt"))).size(), 5U);

    EXPECT_EQ(RunCliCapture({"project", "info", oDir.Write("bad.mtx", "not a project")}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"project", "info", oDir.File("missing.mtx")}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"project", "dump", sProject, oDir.File("no/such/dir/d.txt")}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"project", "frobnicate", sProject}).lStatus, 2);
    EXPECT_EQ(RunCliCapture({"project", "dump", sProject}).lStatus, 2);
}
