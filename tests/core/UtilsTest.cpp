// Shared utilities: path parts, steps and interpolation, numbers typed by the
// user under both decimal separators, and the character-mask operations.
#include "core/StringTools.h"
#include "core/WavelengthUnits.h"
#include "core/Utils.h"
#include "support/LocaleGuard.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Utils, PathParts)
{
    EXPECT_EQ(ExtractFileName("/home/obs/2024/alpha.txt"), "alpha.txt");
    EXPECT_EQ(ExtractDirectory("/home/obs/2024/alpha.txt"), "/home/obs/2024");
    EXPECT_EQ(ExtractFileName("alpha.txt"), "alpha.txt");
    EXPECT_EQ(ExtractDirectory("alpha.txt"), "");
    EXPECT_EQ(ExtractFileName("/alpha.txt"), "alpha.txt");
    EXPECT_EQ(ExtractDirectory("/alpha.txt"), "");
}

TEST(Utils, LinearStepAndInterpolation)
{
    EXPECT_EQ(LinearStep(6500.0, 6600.0, 0, 4), 6500.0);
    EXPECT_EQ(LinearStep(6500.0, 6600.0, 1, 4), 6525.0);
    EXPECT_EQ(LinearStep(6500.0, 6600.0, 4, 4), 6600.0);
    EXPECT_EQ(LinearInterpolate(1.0, 10.0, 3.0, 20.0, 2.0), 15.0);
    EXPECT_EQ(LinearInterpolate(1.0, 10.0, 3.0, 20.0, 5.0), 30.0);
    EXPECT_EQ(LinearInterpolate(2.0, 10.0, 2.0, 20.0, 5.0), 10.0) << "equal x gives y0";
}

TEST(Utils, TypedNumbersAcceptEitherSeparatorUnderADotLocale)
{
    LocaleGuard oGuard("C");
    ASSERT_EQ(GetSystemDecimalSeparator(), '.');
    EXPECT_EQ(NormalizeDecimalSeparator("1,5,6"), "1.5,6");
    EXPECT_EQ(*TextToFloat("1,5"), 1.5);
    EXPECT_EQ(*TextToFloat(" -2.25 "), -2.25);
    EXPECT_EQ(*TextToFloat("+3e2"), 300.0);
    for (const char* pcBad : {"", "abc", "1.5x", "1.2.3", "1e999", "nan", "inf", "1,5.3"}) {
        EXPECT_FALSE(TextToFloat(pcBad)) << pcBad;
    }
    EXPECT_EQ(TextToInt("42", 5), 42);
    EXPECT_EQ(TextToInt(" -7 ", 5), -7);
    for (const char* pcBad : {"", "4.2", "x", "99999999999", "--1"}) {
        EXPECT_EQ(TextToInt(pcBad, 5), 5) << pcBad;
    }
}

TEST(Utils, TypedNumbersAcceptEitherSeparatorUnderACommaLocale)
{
    LocaleGuard oGuard("de_DE.UTF-8");
    ASSERT_TRUE(oGuard.IsActive()) << "the locale de_DE.UTF-8 is missing; ./test.sh generates it";
    ASSERT_EQ(GetSystemDecimalSeparator(), ',');
    EXPECT_EQ(NormalizeDecimalSeparator("1.5.6"), "1,5.6");
    EXPECT_EQ(*TextToFloat("1,5"), 1.5);
    EXPECT_EQ(*TextToFloat("1.5"), 1.5);
    EXPECT_EQ(*TextToFloat("-0,125e1"), -1.25);
    EXPECT_FALSE(TextToFloat("1.5.3"));
    EXPECT_FALSE(TextToFloat("1,5,3"));
    EXPECT_EQ(TextToInt("12", 0), 12);
}

TEST(Utils, ReallocDoublesAndUnits)
{
    std::vector<double> vArray = {1, 2, 3};
    ReallocDoubles(vArray, 5);
    EXPECT_EQ(vArray, std::vector<double>(5, 0.0));
    ReallocDoubles(vArray, -1);
    EXPECT_TRUE(vArray.empty());

    EXPECT_TRUE(WavelengthUnits::IsNanometer(2499.999));
    EXPECT_FALSE(WavelengthUnits::IsNanometer(2500.0));
    std::vector<double> vNm = {656.28, 486.13};
    WavelengthUnits::ConvertNmToAngstrom(vNm.data(), 2);
    EXPECT_DOUBLE_EQ(vNm[0], 6562.8);
    EXPECT_DOUBLE_EQ(vNm[1], 4861.3);
}

TEST(StringTools, MaskRunsAndEdits)
{
    std::string s = "  6562.8 A\n";
    StringTools::KeepMaskRun(s, "0123456789+-Ee.");
    EXPECT_EQ(s, "6562.8");
    s = "no digits";
    StringTools::KeepMaskRun(s, "0123456789");
    EXPECT_EQ(s, "");
    EXPECT_TRUE(StringTools::IsInMask(';', ";,"));
    EXPECT_FALSE(StringTools::IsInMask('x', ";,"));

    s = "1,5,6";
    StringTools::ReplaceChar(s, ',', '.');
    EXPECT_EQ(s, "1.5.6");
    s = "abcdef";
    StringTools::SubString(s, 1, 3);
    EXPECT_EQ(s, "bcd");
    s = "abc";
    StringTools::SubString(s, 2, 10);
    EXPECT_EQ(s, "c");
    StringTools::SubString(s, 5, 6);
    EXPECT_EQ(s, "");
    s = "abcdef";
    StringTools::DeleteChars(s, 1, 2);
    EXPECT_EQ(s, "adef");
    StringTools::DeleteChars(s, 2, 100);
    EXPECT_EQ(s, "ad");
    StringTools::DeleteChars(s, 9, 1);
    EXPECT_EQ(s, "ad");
}
