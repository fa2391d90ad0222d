// The binary project file: its byte layout, round trips, and thousands of
// damaged variants that must be refused without harm.
#include "core/BinaryStream.h"
#include "core/DataSeries.h"
#include "spectrum/Spectrum.h"
#include "rvtable/RvTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

namespace {

double DoubleAt(const std::string& s, std::size_t lOffset)
{
    double f = 0;
    std::memcpy(&f, s.data() + lOffset, 8);
    return f;
}

int32_t IntAt(const std::string& s, std::size_t lOffset)
{
    int32_t l = 0;
    std::memcpy(&l, s.data() + lOffset, 4);
    return l;
}

// A table with two rows (one velocity each), coordinates and a laboratory table of two lines.
RvTable MakeProject(const TempDir& oDir)
{
    RvTable oTable;
    oTable.Coordinates().SetObjectCoordinates(19, 5.5, -5, -30);
    oTable.Coordinates().SetObserverCoordinates(9, 0, 52, 30);
    EXPECT_TRUE(oTable.LaboratoryLineTable().Load(oDir.Write("LinesX.txt", "Halpha;6562.8\nHbeta;4861.3\n")));
    oTable.LaboratoryLineTable().SetFileName("LinesX.txt");
    for (int i = 0; i < 2; ++i) {
        Spectrum oSpectrum;
        const double afW[] = {1, 2};
        const double afI[] = {1.0 + i, 2};
        oSpectrum.SetValues(2, afW, afI);
        oSpectrum.SetObservationTime(2455000.5 + i);
        oTable.AddVelocity(&oSpectrum, -12.25 * (i + 1));
    }
    return oTable;
}

} // namespace

TEST(ProjectFile, ByteLayout)
{
    TempDir oDir;
    RvTable oTable = MakeProject(oDir);
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("p.mtx")));
    EXPECT_TRUE(oTable.IsSaved());
    const std::string s = ReadWholeFile(oDir.File("p.mtx"));
    ASSERT_EQ(s.size(), 93U + 2 * (24 + 48) + 4 + 10 + 4 + (4 + 7 + 8) + (4 + 6 + 8));
    EXPECT_EQ(s.substr(0, 23), "Quandrel matrix file1.2");
    EXPECT_EQ(DoubleAt(s, 23), 19.0);
    EXPECT_EQ(DoubleAt(s, 31), 5.5);
    EXPECT_EQ(DoubleAt(s, 39), -5.0);
    EXPECT_EQ(DoubleAt(s, 47), -30.0);
    EXPECT_EQ(DoubleAt(s, 55), 9.0);
    EXPECT_EQ(DoubleAt(s, 63), 0.0);
    EXPECT_EQ(DoubleAt(s, 71), 52.0);
    EXPECT_EQ(DoubleAt(s, 79), 30.0);
    EXPECT_EQ(s[87], 1) << "observer set";
    EXPECT_EQ(s[88], 1) << "object set";
    EXPECT_EQ(IntAt(s, 89), 2);
    // Row 0: reserved, n, JD, key; then its measurement.
    EXPECT_EQ(IntAt(s, 97), 1);
    EXPECT_EQ(DoubleAt(s, 101), 2455000.5);
    EXPECT_EQ(DoubleAt(s, 109), 3.0);
    EXPECT_EQ(DoubleAt(s, 117), 0.0);         // centre 1
    EXPECT_EQ(DoubleAt(s, 117 + 24), -12.25); // velocity 1
    EXPECT_EQ(IntAt(s, 117 + 40), 0);         // laboratory index
    EXPECT_EQ(s[117 + 44], 0);                // single
    EXPECT_EQ(DoubleAt(s, 165 + 8), 2455001.5);
    EXPECT_EQ(DoubleAt(s, 189 + 24), -24.5);
    // The laboratory table.
    EXPECT_EQ(IntAt(s, 237), 10);
    EXPECT_EQ(s.substr(241, 10), "LinesX.txt");
    EXPECT_EQ(IntAt(s, 251), 2);
    EXPECT_EQ(IntAt(s, 255), 7);
    EXPECT_EQ(s.substr(259, 7), std::string("Halpha\0", 7));
    EXPECT_EQ(DoubleAt(s, 266), 6562.8);
}

TEST(ProjectFile, AnEmptyProjectIs101BytesPlusTheFileName)
{
    TempDir oDir;
    RvTable oTable;
    oTable.LaboratoryLineTable().SetFileName("abc.txt");
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("e.mtx")));
    EXPECT_EQ(ReadWholeFile(oDir.File("e.mtx")).size(), 101U + 7U);
}

TEST(ProjectFile, RoundTripsEverything)
{
    TempDir oDir;
    RvTable oTable = MakeProject(oDir);
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("p.mtx")));
    RvTable oLoaded;
    ASSERT_TRUE(oLoaded.LoadFromFile(oDir.File("p.mtx")));
    EXPECT_TRUE(oLoaded.IsSaved());
    ASSERT_EQ(oLoaded.Rows().size(), 2U);
    EXPECT_EQ(oLoaded.Rows()[1].measurements[0].fVelocity1, -24.5);
    double a, b, c, d;
    EXPECT_TRUE(oLoaded.Coordinates().GetObjectCoordinates(a, b, c, d));
    EXPECT_EQ(d, -30.0);
    EXPECT_TRUE(oLoaded.Coordinates().AreObserverCoordinatesSet());
    EXPECT_EQ(oLoaded.LaboratoryLineTable().GetFileName(), "LinesX.txt");
    EXPECT_EQ(oLoaded.LaboratoryLineTable().GetLineCount(), 2);
    ASSERT_TRUE(oLoaded.SaveToFile(oDir.File("q.mtx")));
    EXPECT_EQ(ReadWholeFile(oDir.File("q.mtx")), ReadWholeFile(oDir.File("p.mtx")));
}

TEST(ProjectFile, OtherFilesAreRefusedAndTheTableStays)
{
    TempDir oDir;
    RvTable oTable = MakeProject(oDir);
    bool bFormatError = false;
    EXPECT_FALSE(oTable.LoadFromFile(oDir.File("missing.mtx"), &bFormatError));
    EXPECT_FALSE(bFormatError);
    EXPECT_EQ(oTable.Rows().size(), 2U) << "a file that cannot be opened changes nothing";

    EXPECT_FALSE(oTable.LoadFromFile(oDir.Write("x.mtx", "Quandrel matrix file1.1" + std::string(200, '\0')),
                                      &bFormatError));
    EXPECT_TRUE(bFormatError);
    EXPECT_EQ(oTable.Rows().size(), 2U) << "a foreign file does not cost the user's rows";
    EXPECT_EQ(oTable.LaboratoryLineTable().GetLineCount(), 2) << "the laboratory table stays";
}

TEST(ProjectFile, DamagedFilesAreRefusedWithoutHarm)
{
    TempDir oDir;
    RvTable oTable = MakeProject(oDir);
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("p.mtx")));
    const std::string sGood = ReadWholeFile(oDir.File("p.mtx"));
    const std::string sPath = oDir.File("bad.mtx");
    std::mt19937 oRandom(99);
    int lRefused = 0;
    int lVariants = 0;
    const auto Try = [&](const std::string& sBytes) {
        oDir.Write("bad.mtx", sBytes);
        RvTable oLoaded;
        bool bFormatError = false;
        if (!oLoaded.LoadFromFile(sPath, &bFormatError)) {
            ++lRefused;
            EXPECT_TRUE(bFormatError);
            EXPECT_TRUE(oLoaded.Rows().empty());
        } else {
            // What loads is a table whose every measurement names a laboratory line.
            for (const auto& oRow : oLoaded.Rows()) {
                for (const auto& o : oRow.measurements) {
                    EXPECT_GE(o.lLaboratoryLineIndex, 0);
                    EXPECT_LT(o.lLaboratoryLineIndex, std::max(oLoaded.LaboratoryLineTable().GetLineCount(), 1));
                }
            }
        }
        ++lVariants;
    };
    for (std::size_t lLength = 0; lLength < sGood.size(); ++lLength) {
        Try(sGood.substr(0, lLength));
    }
    EXPECT_EQ(lRefused, static_cast<int>(sGood.size())) << "every truncation is refused";
    for (int i = 0; i < 3000; ++i) {
        std::string sBad = sGood;
        const std::size_t lAt = oRandom() % sBad.size();
        sBad[lAt] = static_cast<char>(sBad[lAt] ^ (1 << (oRandom() % 8)));
        Try(sBad);
    }
    // Huge and negative counts at every count field.
    for (std::size_t lAt : {89U, 97U, 165U, 237U, 251U, 255U, 274U, 117U + 40U}) {
        for (int32_t lCount : {-1, 0x7fffffff, 0x40000000, 1000, -2147483647 - 1}) {
            std::string sBad = sGood;
            std::memcpy(&sBad[lAt], &lCount, 4);
            Try(sBad);
        }
    }
    Try(sGood + "trailing");
    EXPECT_GT(lVariants, 3000);
}

TEST(ProjectFile, ASaveThatCannotHappenIsReported)
{
    TempDir oDir;
    RvTable oTable = MakeProject(oDir);
    // A folder stands where the file would go.
    std::filesystem::create_directory(oDir.File("p.mtx"));
    EXPECT_FALSE(oTable.SaveToFile(oDir.File("p.mtx")));
    EXPECT_FALSE(oTable.IsSaved());
    EXPECT_FALSE(oTable.SaveToFile(oDir.File("no/such/folder/p.mtx")));
    EXPECT_FALSE(oTable.DumpToFile(oDir.File("no/such/folder/d.txt")));
}

// The velocities' errors travel in the measurements' padding of rows this program marks as its own:
// they come back to 0.2 % and weigh the curve; a row of another writer keeps its padding meaningless.
TEST(ProjectFile, TheErrorsOfTheVelocitiesComeBackInRowsThisProgramMarked)
{
    TempDir oDir;
    RvTable oTable = MakeProject(oDir);
    std::vector<MeasurementRow> vRows = oTable.Rows();
    vRows[0].measurements[0].fVelocityError1 = 0.1234;
    vRows[0].measurements.push_back(vRows[0].measurements[0]);
    vRows[0].measurements[1].fVelocity1 = -10.0;
    vRows[0].measurements[1].fVelocityError1 = 2.5;
    vRows[0].measurements[1].bDouble = true;
    vRows[0].measurements[1].fVelocityError2 = 0.0004; // below 1 m/s: kept as 1 m/s
    vRows[1].measurements[0].fVelocityError1 = 1500.0;  // beyond 1000 km/s: kept as 1000 km/s
    oTable.RestoreRows(vRows, false);
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("e.mtx")));
    RvTable oLoaded;
    ASSERT_TRUE(oLoaded.LoadFromFile(oDir.File("e.mtx")));
    const auto& vLoaded = oLoaded.Rows();
    EXPECT_NEAR(vLoaded[0].measurements[0].fVelocityError1, 0.1234, 0.002 * 0.1234);
    EXPECT_NEAR(vLoaded[0].measurements[1].fVelocityError1, 2.5, 0.002 * 2.5);
    EXPECT_NEAR(vLoaded[0].measurements[1].fVelocityError2, 0.001, 1e-9);
    EXPECT_TRUE(vLoaded[0].measurements[1].bDouble);
    EXPECT_EQ(vLoaded[0].measurements[0].fVelocityError2, 0.0) << "not known stays not known";
    EXPECT_NEAR(vLoaded[1].measurements[0].fVelocityError1, 1000.0, 1e-6);
    DataSeries oCurve;
    std::vector<double> vSigma;
    oLoaded.GetRVCurve(oCurve, &vSigma);
    ASSERT_EQ(vSigma.size(), 2U);
    // -12.25 +- 0.1234 and -10 +- 2.5 weighted: the first all but alone.
    EXPECT_NEAR(oCurve.GetY(0), -12.2445, 1e-3);

    // Another writer's row (its reserved word not this program's) with bytes in the padding.
    std::string sBytes = ReadWholeFile(oDir.File("e.mtx"));
    sBytes.replace(93, 4, std::string(4, '\0'));
    oDir.Write("other.mtx", sBytes);
    ASSERT_TRUE(oLoaded.LoadFromFile(oDir.File("other.mtx")));
    EXPECT_EQ(oLoaded.Rows()[0].measurements[0].fVelocityError1, 0.0);
    oLoaded.GetRVCurve(oCurve, &vSigma);
    EXPECT_TRUE(vSigma.empty()) << "a row without errors: no row is weighted";
    EXPECT_EQ(oCurve.GetY(0), (-12.25 - 10.0) / 2);
}

// The rows' data sets follow the laboratory lines in a block of their own, only when a row names one;
// a damaged block is no project.
TEST(ProjectFile, DataSetsComeBackAndADamagedBlockIsRefused)
{
    TempDir oDir;
    RvTable oTable = MakeProject(oDir);
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("plain.mtx")));
    ASSERT_TRUE(oTable.SetRowDataSet(1, "  Observer B\t"));
    EXPECT_FALSE(oTable.SetRowDataSet(2, "none"));
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("sets.mtx")));
    const std::string sPlain = ReadWholeFile(oDir.File("plain.mtx"));
    const std::string sSets = ReadWholeFile(oDir.File("sets.mtx"));
    ASSERT_EQ(sSets.size(), sPlain.size() + 8 + 4 + 4 + (4 + 10));
    EXPECT_EQ(sSets.substr(0, sPlain.size()), sPlain) << "the rest of the file as before";
    RvTable oLoaded;
    ASSERT_TRUE(oLoaded.LoadFromFile(oDir.File("sets.mtx")));
    EXPECT_EQ(oLoaded.Rows()[0].sDataSet, "");
    EXPECT_EQ(oLoaded.Rows()[1].sDataSet, "Observer B");
    for (const std::string& sDamaged : {sSets.substr(0, sSets.size() - 1), sSets + "x",
                                        sSets.substr(0, sPlain.size()) + "QDATASEX" + sSets.substr(sPlain.size() + 8)}) {
        bool bFormatError = false;
        EXPECT_FALSE(oLoaded.LoadFromFile(oDir.Write("damaged.mtx", sDamaged), &bFormatError));
        EXPECT_TRUE(bFormatError);
        EXPECT_EQ(oLoaded.Rows()[1].sDataSet, "Observer B") << "the table stays";
    }
}
