// Laboratory line tables: the lines file, look-ups and the project-file block.
#include "core/BinaryStream.h"
#include "lines/LaboratoryLines.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Loaded {
    bool bOk;
    LaboratoryLines oTable;
};

std::string NameOf(const LaboratoryLines& oTable, int32_t i)
{
    std::string sName;
    double fWavelength = 0;
    oTable.GetLine(i, fWavelength, &sName);
    return sName;
}

double WavelengthOf(const LaboratoryLines& oTable, int32_t i)
{
    std::string sName;
    double fWavelength = 0;
    oTable.GetLine(i, fWavelength, &sName);
    return fWavelength;
}

} // namespace

TEST(LaboratoryLines, LoadsNamesAndConvertsNanometres)
{
    TempDir oDir;
    LaboratoryLines oTable;
    ASSERT_TRUE(oTable.Load(oDir.Write("nm.txt", "Halpha;656.28\nHbeta;486.13\n")));
    ASSERT_EQ(oTable.GetLineCount(), 2);
    EXPECT_EQ(NameOf(oTable, 0), "Halpha");
    EXPECT_DOUBLE_EQ(WavelengthOf(oTable, 0), 6562.8);
    EXPECT_DOUBLE_EQ(WavelengthOf(oTable, 1), 4861.3);

    ASSERT_TRUE(oTable.Load(oDir.Write("a.txt", "Halpha;6562.8\nOdd;2000\n")));
    EXPECT_EQ(WavelengthOf(oTable, 1), 2000.0) << "only the first value decides the unit";

    ASSERT_TRUE(oTable.Load(oDir.Write("tab.txt", "Na D1\t5895,92\r\nNa D2;5889.95;comment\n")));
    EXPECT_EQ(NameOf(oTable, 0), "Na D1");
    EXPECT_EQ(WavelengthOf(oTable, 0), 5895.92);
    EXPECT_EQ(NameOf(oTable, 1), "Na D2");
}

TEST(LaboratoryLines, BadFilesLoadWithoutHarm)
{
    TempDir oDir;
    LaboratoryLines oTable;
    EXPECT_FALSE(oTable.Load(oDir.File("missing.txt")));
    EXPECT_EQ(oTable.GetLineCount(), 0);
    EXPECT_FALSE(oTable.Load(oDir.Write("empty.txt", "")));

    // A line without a wavelength that is a number is no line; a line without name has an empty name.
    // The unit follows from the first line that holds a wavelength.
    struct Case {
        const char* pcText;
        std::vector<std::pair<std::string, double>> vLines;
    };
    const Case aoCases[] = {
        {"Lonely\n;6000\nHe I;5875.6\n", {{"", 6000.0}, {"He I", 5875.6}}},
        {"Line;Lambda\nH-alpha;6562.8\nH-beta;4861.33\n", {{"H-alpha", 6562.8}, {"H-beta", 4861.33}}},
        {"# laboratory lines, nm\nH-alpha;656.28\n", {{"H-alpha", 6562.8}}},
        {"Zero;0\nNegative;-5\nNa D1;5895.92\n", {{"Na D1", 5895.92}}},
    };
    for (const Case& c : aoCases) {
        ASSERT_TRUE(oTable.Load(oDir.Write("fields.txt", c.pcText))) << c.pcText;
        ASSERT_EQ(oTable.GetLineCount(), static_cast<int32_t>(c.vLines.size())) << c.pcText;
        for (int32_t i = 0; i < oTable.GetLineCount(); ++i) {
            EXPECT_EQ(NameOf(oTable, i), c.vLines[static_cast<std::size_t>(i)].first) << c.pcText;
            EXPECT_DOUBLE_EQ(WavelengthOf(oTable, i), c.vLines[static_cast<std::size_t>(i)].second) << c.pcText;
        }
    }
    EXPECT_FALSE(oTable.Load(oDir.Write("zeros.txt", "A;0\nB;0\n"))) << "wavelengths of 0 are no table";
}

TEST(LaboratoryLines, LongNamesAndBinaryBytesAreCut)
{
    TempDir oDir;
    LaboratoryLines oTable;
    ASSERT_TRUE(oTable.Load(oDir.Write("long.txt", std::string(80, 'N') + ";6562.8\n")));
    EXPECT_EQ(NameOf(oTable, 0), std::string(31, 'N'));

    std::string sBinary;
    std::mt19937 oRandom(3);
    for (int i = 0; i < 50000; ++i) {
        sBinary.push_back(static_cast<char>(oRandom() & 0xFF));
    }
    oTable.Load(oDir.Write("bin.dat", sBinary));
    for (int32_t i = 0; i < oTable.GetLineCount(); ++i) {
        ASSERT_LE(NameOf(oTable, i).size(), 31U);
    }
}

TEST(LaboratoryLines, NearestLineKeepsTheEarlierOnATie)
{
    TempDir oDir;
    LaboratoryLines oTable;
    std::string sName;
    int32_t lIndex = -1;
    double fWavelength = 0;
    EXPECT_FALSE(oTable.FindNearestLine(6562.0, lIndex, fWavelength, &sName));
    ASSERT_TRUE(oTable.Load(oDir.Write("l.txt", "A;6000\nB;6010\nC;6020\n")));
    ASSERT_TRUE(oTable.FindNearestLine(6005.0, lIndex, fWavelength, &sName));
    EXPECT_EQ(lIndex, 0);
    EXPECT_EQ(sName, "A");
    ASSERT_TRUE(oTable.FindNearestLine(6016.0, lIndex, fWavelength, &sName));
    EXPECT_EQ(lIndex, 2);
    EXPECT_EQ(fWavelength, 6020.0);
}

TEST(LaboratoryLines, ProjectBlockRoundTripsAndRefusesDamage)
{
    TempDir oDir;
    LaboratoryLines oTable;
    ASSERT_TRUE(oTable.Load(oDir.Write("l.txt", "Halpha;656.28\nHbeta;486.13\n")));
    oTable.SetFileName("LinesX.txt");
    BinaryWriter oWriter;
    oTable.WriteBlock(oWriter);
    const std::string& sBlock = oWriter.Bytes();
    // 4 + 10 + 4 + (4 + 7 + 8) + (4 + 6 + 8)
    ASSERT_EQ(sBlock.size(), 55U);
    EXPECT_EQ(sBlock.substr(0, 4), std::string("\x0a\0\0\0", 4));
    EXPECT_EQ(sBlock.substr(4, 10), "LinesX.txt");
    EXPECT_EQ(sBlock.substr(18, 4), std::string("\x07\0\0\0", 4));
    EXPECT_EQ(sBlock.substr(22, 7), std::string("Halpha\0", 7));

    LaboratoryLines oCopy;
    BinaryReader oReader(sBlock);
    ASSERT_TRUE(oCopy.ReadBlock(oReader));
    EXPECT_EQ(oReader.Remaining(), 0U);
    EXPECT_EQ(oCopy.GetFileName(), "LinesX.txt");
    ASSERT_EQ(oCopy.GetLineCount(), 2);
    EXPECT_EQ(NameOf(oCopy, 1), "Hbeta");
    EXPECT_EQ(WavelengthOf(oCopy, 1), WavelengthOf(oTable, 1));

    // Every truncation and some hostile counts are refused and leave the table alone.
    for (std::size_t lLength = 0; lLength < sBlock.size(); ++lLength) {
        LaboratoryLines oDamaged;
        oDamaged.SetFileName("kept");
        BinaryReader oShort(std::string_view(sBlock).substr(0, lLength));
        EXPECT_FALSE(oDamaged.ReadBlock(oShort)) << lLength;
        EXPECT_EQ(oDamaged.GetFileName(), "kept");
    }
    for (std::size_t lAt : {0U, 14U, 18U}) {
        std::string sHostile = sBlock;
        sHostile[lAt + 3] = '\x7f';
        LaboratoryLines oDamaged;
        BinaryReader oHostile(sHostile);
        EXPECT_FALSE(oDamaged.ReadBlock(oHostile)) << lAt;
        EXPECT_EQ(oDamaged.GetLineCount(), 0);
    }
}
