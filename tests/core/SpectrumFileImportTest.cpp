// The spectrum import with the dialog's settings, hostile files, and files
// read under a locale whose decimal separator is a comma.
#include "core/CsvFile.h"
#include "core/SpectrumFileImport.h"
#include "support/LocaleGuard.h"
#include "support/ReferenceImport.h"
#include "support/TempDir.h"
#include "support/WorkScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

namespace {

struct Imported {
    int lResult = 0;
    std::vector<double> vW;
    std::vector<double> vI;
};

Imported Import(const std::string& sFile, const ImportSettings& oSettings = ImportSettings())
{
    Imported oOut;
    CsvFile oReader;
    oOut.lResult = SpectrumFileImport(oReader, sFile, oSettings, oOut.vW, oOut.vI);
    return oOut;
}

} // namespace

TEST(SpectrumFileImport, TwoColumnsWithNanometreConversion)
{
    TempDir oDir;
    const auto oData = Import(oDir.Write("s.txt", "656.3 nm\t0.85\n2600\t1\n"));
    ASSERT_EQ(oData.lResult, 0);
    EXPECT_EQ(oData.vW, (std::vector<double>{6563.0, 26000.0})) << "all values follow the first";
    EXPECT_EQ(oData.vI, (std::vector<double>{0.85, 1.0}));

    ImportSettings oKeep;
    oKeep.bAutomNmConversion = false;
    EXPECT_EQ(Import(oDir.Write("s.txt", "656.3\t0.85\n"), oKeep).vW[0], 656.3);

    EXPECT_EQ(Import(oDir.Write("s.txt", "2500.0;1\n2000;1\n")).vW[0], 2500.0) << "2500 is angstrom";
    EXPECT_EQ(Import(oDir.Write("s.txt", "2499.9;1\n")).vW[0], 24999.0);
}

TEST(SpectrumFileImport, SkipsLinesAndReadsCommasAsDecimalPoints)
{
    TempDir oDir;
    ImportSettings oSettings;
    oSettings.lLinesToSkip = 2;
    const auto oData = Import(oDir.Write("s.txt", "# object\n# lambda;I\n6562,8;0,5\n6563,0;0,75\n"), oSettings);
    EXPECT_EQ(oData.vW, (std::vector<double>{6562.8, 6563.0}));
    EXPECT_EQ(oData.vI, (std::vector<double>{0.5, 0.75}));
}

TEST(SpectrumFileImport, LongLinesAndAByteOrderMarkLeaveTheSamplesAsWritten)
{
    // A comment longer than any buffer above angstrom data, a byte-order mark, both; with the lines to
    // skip as the dialog proposes them. The wavelengths stay angstrom, the first sample stays.
    TempDir oDir;
    const std::string sData = "6562.8;0.5\n6563.0;0.75\n";
    const std::string sComment = "# " + std::string(5000, 'c') + " 1 2\n";
    for (const std::string& sText : {sComment + sData, "\xEF\xBB\xBF" + sData, "\xEF\xBB\xBF" + sComment + sData,
                                     "# " + std::string(1020, 'c') + "\r\n" + sData}) {
        const std::string sFile = oDir.Write("s.txt", sText);
        ImportSettings oSettings;
        oSettings.lLinesToSkip = LinesToSkipAtLeastHeaders(sFile, 0);
        const auto oData = Import(sFile, oSettings);
        EXPECT_EQ(oData.vW, (std::vector<double>{6562.8, 6563.0})) << sText.substr(0, 8);
        EXPECT_EQ(oData.vI, (std::vector<double>{0.5, 0.75}));
    }
}

TEST(SpectrumFileImport, SingleColumnNumbersTheLinesAndNeverConverts)
{
    TempDir oDir;
    ImportSettings oSettings;
    oSettings.bSingleColumn = true;
    const auto oData = Import(oDir.Write("s.txt", "10\n20\n30"), oSettings);
    EXPECT_EQ(oData.vW, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(oData.vI, (std::vector<double>{10, 20, 30}));
}

TEST(SpectrumFileImport, FixedColumnsValueTwoSpansTwentyCharacters)
{
    TempDir oDir;
    ImportSettings oSettings;
    oSettings.bUseDelimiters = false;
    oSettings.lStartValue1 = 0;
    oSettings.lStartValue2 = 10;
    const auto oData = Import(oDir.Write("s.txt", "6562.8    0.951234567890123456789999\n"), oSettings);
    ASSERT_EQ(oData.vW.size(), 1U);
    EXPECT_EQ(oData.vW[0], 6562.8);
    EXPECT_EQ(oData.vI[0], 0.951234567890123456);
}

TEST(SpectrumFileImport, UnreadableFileGivesNoValues)
{
    TempDir oDir;
    const auto oData = Import(oDir.File("missing.txt"));
    EXPECT_EQ(oData.lResult, -1);
    EXPECT_TRUE(oData.vW.empty());
    EXPECT_TRUE(oData.vI.empty());
    EXPECT_EQ(Import(oDir.Write("e.txt", "")).vW.size(), 0U);
}

TEST(SpectrumFileImport, HostileFilesImportWithoutHarm)
{
    TempDir oDir;
    // Binary bytes and NUL bytes: every line is a sample, values are finite.
    std::string sBinary;
    std::mt19937 oRandom(7);
    for (int i = 0; i < 200000; ++i) {
        sBinary.push_back(static_cast<char>(oRandom() & 0xFF));
    }
    const auto oBinary = Import(oDir.Write("bin.dat", sBinary));
    EXPECT_EQ(oBinary.lResult, 0);
    EXPECT_EQ(oBinary.vW.size(), oBinary.vI.size());
    for (std::size_t i = 0; i < oBinary.vW.size(); ++i) {
        ASSERT_TRUE(std::isfinite(oBinary.vW[i]) && std::isfinite(oBinary.vI[i])) << "sample " << i;
    }

    const auto oNul = Import(oDir.Write("nul.txt", std::string("1;2\n\0;5\n3\0;4\n", 13)));
    EXPECT_EQ(oNul.vW.size(), 3U);
    EXPECT_EQ(oNul.vI, (std::vector<double>{2, 0, 0})) << "a NUL ends the usable text of a line";

    // A 10 MB line without line end is one sample.
    const auto oLong = Import(oDir.Write("long.txt", std::string(10 * 1024 * 1024, '7')));
    EXPECT_EQ(oLong.vW.size(), 1U);

    // A million blank lines are a million samples of zero.
    const auto oBlank = Import(oDir.Write("blank.txt", std::string(1000000, '\n')));
    ASSERT_EQ(oBlank.vW.size(), 1000000U);
    EXPECT_EQ(oBlank.vW.back(), 0.0);

    const auto oHuge = Import(oDir.Write("huge.txt", "1e999;-1e999\n1e308;5\n"));
    EXPECT_EQ(oHuge.vW, (std::vector<double>{0.0, 0.0})) << "1e308 nm is no number of angstrom either";
    EXPECT_EQ(oHuge.vI, (std::vector<double>{0.0, 5.0}));
}

TEST(SpectrumFileImport, FilesReadTheSameUnderACommaLocale)
{
    TempDir oDir;
    const std::string sFile = oDir.Write("s.txt", "6562.25;0.5\n6562,5;1.25e-1\n");
    LocaleGuard oGuard("de_DE.UTF-8");
    ASSERT_TRUE(oGuard.IsActive()) << "the locale de_DE.UTF-8 is missing; ./test.sh generates it";
    const auto oData = Import(sFile);
    EXPECT_EQ(oData.vW, (std::vector<double>{6562.25, 6562.5}));
    EXPECT_EQ(oData.vI, (std::vector<double>{0.5, 0.125}));

    const std::vector<double> vValues = {1.5, -2.25};
    ASSERT_EQ(CsvFile::WriteColumns(oDir.File("w.txt"), 2, ";", {vValues}), 0);
    EXPECT_EQ(ReadWholeFile(oDir.File("w.txt")), "1.500000\n-2.250000\n");
}

namespace {

// The settings a fuzz seed's first two bytes choose (as tests/fuzz/fuzz_text_import.cpp reads them).
ImportSettings SettingsOfBytes(unsigned char c0, unsigned char c1)
{
    static const char* const apcSeparators[] = {";\t", ",", " ", ";", "\t", ";, \t", "x", ""};
    ImportSettings o;
    o.bUseDelimiters = (c0 & 1) == 0;
    o.bTreatConsecutiveAsOne = (c0 & 2) != 0;
    o.bSingleColumn = (c0 & 4) != 0;
    o.bAutomNmConversion = (c0 & 8) != 0;
    o.sSeparators = apcSeparators[(c0 >> 4) & 7];
    o.lLinesToSkip = c1 & 15;
    o.lStartValue1 = (c1 >> 4) & 3;
    o.lStartValue2 = o.lStartValue1 + ((c1 >> 6) & 3) * 4;
    return o;
}

// Both imports of one file under one setting: the same result and the same samples, bit for bit.
void ExpectSameAsTheReference(const std::string& sFile, const ImportSettings& oSettings, const std::string& sWhat)
{
    CsvFile oFast;
    CsvFile oSlow;
    std::vector<double> vW, vI, vRefW, vRefI;
    const int lFast = SpectrumFileImport(oFast, sFile, oSettings, vW, vI);
    const int lSlow = ReferenceSpectrumImport(oSlow, sFile, oSettings, vRefW, vRefI);
    ASSERT_EQ(lFast, lSlow) << sWhat;
    ASSERT_EQ(vW.size(), vRefW.size()) << sWhat;
    ASSERT_EQ(vI.size(), vRefI.size()) << sWhat;
    for (std::size_t k = 0; k < vW.size(); ++k) {
        ASSERT_EQ(std::memcmp(&vW[k], &vRefW[k], sizeof(double)), 0) << sWhat << " wavelength " << k;
        ASSERT_EQ(std::memcmp(&vI[k], &vRefI[k], sizeof(double)), 0) << sWhat << " intensity " << k;
    }
}

} // namespace

TEST(SpectrumFileImport, OnePassGivesTheSamplesOfTheFirstReaderBitForBit)
{
    TempDir oDir;
    // The fuzz seeds (their first two bytes choose the settings) and every setting on them.
    const std::filesystem::path oSeeds = std::filesystem::path(QUANDREL_TEST_DATA_DIR) / "../fuzz/corpus/text_import";
    int lSeeds = 0;
    for (const auto& oEntry : std::filesystem::directory_iterator(oSeeds)) {
        const std::string sBytes = ReadWholeFile(oEntry.path().string());
        ASSERT_GE(sBytes.size(), 2U);
        const std::string sFile = oDir.Write("seed.txt", sBytes.substr(2));
        for (int c0 = 0; c0 < 128; ++c0) { // bit 7 chooses nothing
            for (const int c1 : {0, 0x50, 0x9f}) {
                ExpectSameAsTheReference(sFile, SettingsOfBytes(static_cast<unsigned char>(c0), static_cast<unsigned char>(c1)),
                                         oEntry.path().filename().string() + " " + std::to_string(c0) + "/" + std::to_string(c1));
            }
        }
        ++lSeeds;
    }
    EXPECT_GE(lSeeds, 5);
    // The real spectrum of the test data.
    ExpectSameAsTheReference(std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_20221021_Halpha_window.txt", ImportSettings(),
                             "real");
    // A file larger than the reader's blocks, of lines of every kind: CR LF split across blocks, lone
    // CRs, NUL bytes, lines longer than 1022 characters, runs of separators; with and without a line
    // feed at the end, and ending in a piece that holds only a NUL.
    std::mt19937 oRandom(7);
    std::string sText;
    const char* const apcLines[] = {"6562.5;0.91\r\n", "656,25\t\t0,5\n", "x\0y;1\n", "1e5;2\r", "\r\n", ";;;3\n",
                                    "+-1;++2\n", "12.5  7.25\n", "#comment 1\n", "1e400;-1e-400\n"};
    // Plain decimals of 1 to 17 digits around the exactly convertible ones, as the common line has them.
    const auto PlainDecimal = [&oRandom] {
        std::string sNumber = oRandom() % 4 == 0 ? "-" : "";
        const std::size_t lDigits = 1 + oRandom() % 17;
        const std::size_t lPoint = oRandom() % (lDigits + 2);
        for (std::size_t k = 0; k < lDigits; ++k) {
            sNumber += k == lPoint ? "." : "";
            sNumber += static_cast<char>('0' + oRandom() % 10);
        }
        return sNumber;
    };
    while (sText.size() < quandrel::testing::ScaledForSanitizers(9'500'000)) {
        const std::size_t lKind = oRandom() % 14;
        if (lKind >= 12) {
            sText += PlainDecimal() + (lKind == 12 ? ";" : "\t") + PlainDecimal() + (oRandom() % 8 == 0 ? "e3" : "") + "\n";
        } else if (lKind < 10) {
            const char* pc = apcLines[lKind];
            sText.append(pc, lKind == 2 ? 6 : std::strlen(pc));
        } else {
            sText.append(900 + oRandom() % 400, lKind == 10 ? '5' : ';');
            sText += '\n';
        }
    }
    for (const std::string& sEnd : {std::string(), std::string("7;8"), std::string("\0z", 2)}) {
        const std::string sFile = oDir.Write("big.txt", sText + sEnd);
        for (const int c0 : {0x00, 0x0d, 0x52, 0x16}) {
            ExpectSameAsTheReference(sFile, SettingsOfBytes(static_cast<unsigned char>(c0), 0x51), "big " + std::to_string(c0));
        }
    }
}
