// Line counting of lines of any length, field extraction with
// separators and fixed columns, number parsing and column writing.
#include "core/CsvFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

int32_t Lines(const TempDir& oDir, const std::string& sBytes, int32_t lSkip = 0)
{
    CsvFile oReader;
    int32_t lCount = -7;
    EXPECT_EQ(oReader.CountLines(lSkip, oDir.Write("count.txt", sBytes), lCount), 0);
    return lCount;
}

std::string Field(const CsvFile& oReader, const std::string& sRow, int32_t lColumn, bool bTreatAsOne = false)
{
    std::string sValue = "untouched";
    oReader.ExtractField(sRow, lColumn, bTreatAsOne, sValue);
    return sValue;
}

} // namespace

TEST(CCSVFileCountLines, CountsLineFeedsAndALastUnendedLine)
{
    TempDir oDir;
    EXPECT_EQ(Lines(oDir, ""), 0);
    EXPECT_EQ(Lines(oDir, "a\nb\nc\n", 1), 2);
    EXPECT_EQ(Lines(oDir, "a\nb\nc", 1), 2);
    EXPECT_EQ(Lines(oDir, "a\n\n"), 2) << "a blank last line is a data line";
    EXPECT_EQ(Lines(oDir, "\n"), 1);
    EXPECT_EQ(Lines(oDir, "a\r\nb\r\n"), 2) << "CR LF is one line end";
    EXPECT_EQ(Lines(oDir, "a\nb\n", 5), 0) << "skipping past the end";
    EXPECT_EQ(Lines(oDir, "a\nb", 2), 0);

    CsvFile oReader;
    int32_t lCount = 5;
    EXPECT_EQ(oReader.CountLines(0, oDir.File("missing.txt"), lCount), -1);
    EXPECT_EQ(lCount, 5);
}

TEST(CCSVFileCountLines, ALongLineIsOneLine)
{
    TempDir oDir;
    EXPECT_EQ(Lines(oDir, std::string(1022, 'x') + "\n"), 1);
    EXPECT_EQ(Lines(oDir, std::string(200000, 'x') + "\nx"), 2);
}

TEST(CCSVFileFields, SeparatorModeCutsAtAnySeparator)
{
    CsvFile oReader;
    EXPECT_EQ(Field(oReader, "1;2", 0), "untouched") << "no separators set yet";
    oReader.SetSeparators(";,");
    EXPECT_EQ(oReader.GetMode(), 2);
    EXPECT_EQ(Field(oReader, "1,5;2", 0), "1");
    EXPECT_EQ(Field(oReader, "1,5;2", 1), "5");
    EXPECT_EQ(Field(oReader, "1,5;2\n", 2), "2\n") << "the last field runs to the end of the line";
    EXPECT_EQ(Field(oReader, "1,5;2", 3), "");
    EXPECT_EQ(Field(oReader, ";;x", 2), "x");
    EXPECT_EQ(Field(oReader, ";;x", 1), "");
}

TEST(CCSVFileFields, TreatAsOneCollapsesRunsOfTheSameSeparatorOnly)
{
    CsvFile oReader;
    oReader.SetSeparators(" \t");
    const std::string sRow = "  656.3  0.85\n";
    EXPECT_EQ(Field(oReader, sRow, 0, true), "");
    EXPECT_EQ(Field(oReader, sRow, 1, true), "656.3");
    EXPECT_EQ(Field(oReader, sRow, 2, true), "0.85\n");
    EXPECT_EQ(Field(oReader, sRow, 1, false), "");
    EXPECT_EQ(oReader.ParseValue(sRow, 1, false), 0.0);

    std::string sMixed = "a\t b";
    CsvFile::CollapseSeparators(true, sMixed, " \t");
    EXPECT_EQ(sMixed, "a\t b") << "a tab followed by a space stays two separators";
    std::string sRun = "a;;;b,,c";
    CsvFile::CollapseSeparators(false, sRun, ";,");
    EXPECT_EQ(sRun, "a;;;b,,c");
    CsvFile::CollapseSeparators(true, sRun, ";,");
    EXPECT_EQ(sRun, "a;b,c");
}

TEST(CCSVFileFields, FixedColumnsCutAtBordersAndUnusableBordersGiveEmpty)
{
    CsvFile oReader;
    oReader.SetSeparators(";");
    const std::array<int32_t, 3> alBorders = {0, 10, 30};
    oReader.SetColumnBorders(3, alBorders.data());
    EXPECT_EQ(oReader.GetMode(), 1);
    const std::string sRow = "6562.8000 0.9512345678901234567890123\n";
    EXPECT_EQ(Field(oReader, sRow, 0), "6562.8000 ");
    EXPECT_EQ(Field(oReader, sRow, 1), "0.951234567890123456") << "20 characters";
    EXPECT_EQ(Field(oReader, sRow, 2), "") << "no border after the last column";
    EXPECT_EQ(Field(oReader, "short", 1), "");
    EXPECT_EQ(Field(oReader, "0123456789abc", 1), "abc");

    const std::array<int32_t, 3> alBackwards = {10, 4, 24};
    oReader.SetColumnBorders(3, alBackwards.data());
    EXPECT_EQ(Field(oReader, sRow, 0), "");
    EXPECT_EQ(oReader.ParseValue(sRow, 0, false), 0.0);

    // Switching back to separators uses the kept separator string.
    oReader.SetSeparators(";");
    EXPECT_EQ(Field(oReader, "1;2", 1), "2");
}

TEST(CCSVFileFields, NumbersTakeTheFirstRunOfNumberCharacters)
{
    CsvFile oReader;
    oReader.SetSeparators(";\t");
    EXPECT_EQ(oReader.ParseValue("1.5;2,5\n", 0, false), 1.5);
    EXPECT_EQ(oReader.ParseValue("1.5;2,5\n", 1, false), 2.5);
    EXPECT_EQ(oReader.ParseValue("656.3 nm\t0.85\n", 0, false), 656.3);
    EXPECT_EQ(oReader.ParseValue("656.3 nm\t0.85\n", 1, false), 0.85);
    EXPECT_EQ(oReader.ParseValue("Ne 640.2", 0, false), 0.0) << "the e of Ne is the first run";
    EXPECT_EQ(oReader.ParseValue("H 656.3", 0, false), 656.3);
    EXPECT_EQ(oReader.ParseValue("-1.25e3", 0, false), -1250.0);
    EXPECT_EQ(oReader.ParseValue("+7", 0, false), 7.0);
    EXPECT_EQ(oReader.ParseValue("1.2.3", 0, false), 1.2);
    EXPECT_EQ(oReader.ParseValue("1e", 0, false), 1.0);
    EXPECT_EQ(oReader.ParseValue("--5", 0, false), 0.0);
    EXPECT_EQ(oReader.ParseValue("+-5", 0, false), 0.0);
    EXPECT_EQ(oReader.ParseValue("text", 0, false), 0.0);
    EXPECT_EQ(oReader.ParseValue("", 0, false), 0.0);
    EXPECT_EQ(oReader.ParseValue("1e999", 0, false), 0.0) << "no infinity ever enters a spectrum";
    EXPECT_EQ(oReader.ParseValue("-1e999", 0, false), 0.0);
    EXPECT_EQ(oReader.ParseValue("1e-999", 0, false), 0.0);
    EXPECT_EQ(oReader.ParseValue("0.1000000000000000055511151231257827", 0, false), 0.1);
}

TEST(CCSVFileFields, FindSeparatorCountsMaskCharacters)
{
    EXPECT_EQ(CsvFile::FindSeparator(0, "a;b;c", ";"), -1);
    EXPECT_EQ(CsvFile::FindSeparator(1, "a;b;c", ";"), 1);
    EXPECT_EQ(CsvFile::FindSeparator(2, "a;b;c", ";"), 3);
    EXPECT_EQ(CsvFile::FindSeparator(3, "a;b;c", ";"), 5);
}

TEST(CCSVFileRead, ReadColumnStopsAtTheCountAndReadFieldTakesOneLine)
{
    TempDir oDir;
    const std::string sFile = oDir.Write("t.txt", "header\nNe;640.2\nAr;696.5\nHe;587.6\n");
    CsvFile oReader;
    oReader.SetSeparators(";");
    std::vector<double> vValues(2, -1.0);
    EXPECT_EQ(oReader.ReadColumn(2, 1, 1, vValues, sFile, false), 0);
    EXPECT_EQ(vValues, (std::vector<double>{640.2, 696.5}));

    std::vector<double> vMore(5, -1.0);
    EXPECT_EQ(oReader.ReadColumn(5, 1, 3, vMore, sFile, false), 0);
    EXPECT_EQ(vMore[0], 587.6);
    EXPECT_EQ(vMore[1], -1.0) << "lines past the end leave entries alone";

    std::string sName;
    EXPECT_EQ(oReader.ReadField(sName, 0, 2, false, sFile), 0);
    EXPECT_EQ(sName, "Ar");
    EXPECT_EQ(oReader.ReadField(sName, 0, 10, false, sFile), 0);
    EXPECT_EQ(sName, "");
    EXPECT_EQ(oReader.ReadField(sName, 0, 0, false, oDir.File("none")), -1);
    EXPECT_EQ(oReader.ReadColumn(2, 1, 1, vValues, oDir.File("none"), false), -1);
}

TEST(CCSVFileWrite, WritesFixedSixDecimalsJoinedBySeparator)
{
    TempDir oDir;
    const std::vector<double> vA = {6562.8, -0.5, 1e-9};
    const std::vector<double> vB = {1.0, 2.25, 3.0};
    const std::string sFile = oDir.File("out.txt");
    ASSERT_EQ(CsvFile::WriteColumns(sFile, 3, ";", {vA, vB}), 0);
    EXPECT_EQ(ReadWholeFile(sFile), "6562.800000;1.000000\n-0.500000;2.250000\n0.000000;3.000000\n");
    EXPECT_EQ(CsvFile::WriteColumns(oDir.File("no/such/dir/out.txt"), 3, ";", {vA, vB}), -1);
    EXPECT_EQ(CsvFile::WriteColumns("/dev/full", 3, ";", {vA, vB}), -1) << "a full disk is reported";
}
