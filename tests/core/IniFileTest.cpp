// The settings file: Windows ini format, typed values with defaults, and
// safe rewriting.
#include "core/IniFile.h"
#include "support/LocaleGuard.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>

TEST(IniFile, MissingFileSectionKeyOrBadValueGiveTheDefault)
{
    TempDir oDir;
    const IniFile oMissing(oDir.File("none.ini"));
    EXPECT_EQ(oMissing.ReadString("Paths", "SpectraPath", "."), ".");
    EXPECT_EQ(oMissing.ReadInteger("FormSettings", "Top", 99), 99);

    const IniFile oIni(oDir.Write("q.ini", "; comment\r\n[FormSettings]\r\nTop = 12 \r\nLeft=abc\r\n"
                                            "[GraphicsSettings]\nKeepYAxisFixed=0\nOther=7\n[Settings]\nTimeThreshold=0,25\n"));
    EXPECT_EQ(oIni.ReadInteger("formsettings", "TOP", 0), 12) << "names ignore case, blanks around values go";
    EXPECT_EQ(oIni.ReadInteger("FormSettings", "Left", 5), 5);
    EXPECT_EQ(oIni.ReadInteger("FormSettings", "Width", 5), 5);
    EXPECT_FALSE(oIni.ReadBool("GraphicsSettings", "KeepYAxisFixed", true));
    EXPECT_TRUE(oIni.ReadBool("GraphicsSettings", "Other", false)) << "any non-zero integer is true";
    EXPECT_EQ(oIni.ReadFloat("Settings", "TimeThreshold", 0.2), 0.25);
    EXPECT_EQ(oIni.ReadFloat("Settings", "Missing", 0.2), 0.2);
    EXPECT_EQ(oIni.ReadInteger("Nowhere", "Top", 3), 3);
}

TEST(IniFile, AByteOrderMarkKeepsTheFirstSection)
{
    TempDir oDir;
    const std::string sPath = oDir.Write("q.ini", "\xEF\xBB\xBF[Paths]\nSpectraPath=/data\n");
    const IniFile oIni(sPath);
    EXPECT_EQ(oIni.ReadString("Paths", "SpectraPath", "."), "/data");
    ASSERT_TRUE(oIni.WriteString("Paths", "SpectraPath", "/other"));
    EXPECT_EQ(ReadWholeFile(sPath), "[Paths]\nSpectraPath=/other\n");
}

TEST(IniFile, AFileThatCannotBeReadAsSettingsIsNeverReplaced)
{
    TempDir oDir;
    // Larger than any settings file: read as empty, but written over it would lose every section.
    const std::string sLarge = "[Mine]\nkey=1\n" + std::string(17 << 20, ';') + "\n";
    const std::string sPath = oDir.Write("large.ini", sLarge);
    const IniFile oLarge(sPath);
    EXPECT_EQ(oLarge.ReadInteger("Mine", "key", 7), 7);
    EXPECT_FALSE(oLarge.WriteInteger("FormSettings", "Top", 5));
    EXPECT_EQ(std::filesystem::file_size(sPath), sLarge.size());
    ASSERT_TRUE(oLarge.WhyNotWritable());
    EXPECT_NE(oLarge.WhyNotWritable()->find("large.ini cannot be read as settings"), std::string::npos);

    std::filesystem::create_directory(oDir.File("folder.ini"));
    const IniFile oFolder(oDir.File("folder.ini"));
    EXPECT_FALSE(oFolder.WriteInteger("FormSettings", "Top", 5));
    EXPECT_NE(oFolder.WhyNotWritable().value_or("").find("is a folder"), std::string::npos);

    EXPECT_FALSE(IniFile(oDir.File("fresh.ini")).WhyNotWritable()) << "a file yet to be made is fine";
}

TEST(IniFile, WritingReplacesAddsAndKeepsEverythingElse)
{
    TempDir oDir;
    const std::string sPath = oDir.Write("q.ini", "; keep me\n[A]\nx=1\n\n[B]\ny=2\n");
    const IniFile oIni(sPath);
    ASSERT_TRUE(oIni.WriteInteger("a", "X", 5));
    ASSERT_TRUE(oIni.WriteString("A", "z", "text with = sign"));
    ASSERT_TRUE(oIni.WriteBool("C", "flag", true));
    ASSERT_TRUE(oIni.WriteFloat("C", "f", 1.5));
    EXPECT_EQ(ReadWholeFile(sPath), "; keep me\n[A]\nx=5\nz=text with = sign\n\n[B]\ny=2\n\n[C]\nflag=1\nf=1.5\n");
    EXPECT_EQ(oIni.ReadString("A", "z", ""), "text with = sign");
    EXPECT_EQ(oIni.ReadInteger("A", "x", 0), 5);

    const IniFile oNew(oDir.File("new.ini"));
    ASSERT_TRUE(oNew.WriteString("Paths", "SpectraPath", "/data"));
    EXPECT_EQ(ReadWholeFile(oDir.File("new.ini")), "[Paths]\nSpectraPath=/data\n");
}

TEST(IniFile, FloatsFollowTheSystemSeparatorBothWays)
{
    TempDir oDir;
    const IniFile oIni(oDir.File("q.ini"));
    {
        LocaleGuard oGuard("de_DE.UTF-8");
        ASSERT_TRUE(oGuard.IsActive()) << "the locale de_DE.UTF-8 is missing; ./test.sh generates it";
        ASSERT_TRUE(oIni.WriteFloat("GeographicCoordinates", "LongDeg", 10.5));
        EXPECT_EQ(oIni.ReadString("GeographicCoordinates", "LongDeg", ""), "10,5");
        EXPECT_EQ(oIni.ReadFloat("GeographicCoordinates", "LongDeg", 0), 10.5);
    }
    LocaleGuard oDot("C");
    EXPECT_EQ(oIni.ReadFloat("GeographicCoordinates", "LongDeg", 0), 10.5) << "a file written under a comma locale";
    ASSERT_TRUE(oIni.WriteFloat("GeographicCoordinates", "LatDeg", 1.0 / 3.0));
    EXPECT_EQ(oIni.ReadString("GeographicCoordinates", "LatDeg", ""), "0.333333333333333");
}

TEST(IniFile, WritesKeepEveryByteOfOtherLinesAndRefuseWhatWouldNotReadBack)
{
    using namespace std::string_literals;
    TempDir oDir;
    const std::string sOld = "[A]\nx=a\0b\ny=2\n"s;
    const std::string sPath = oDir.Write("q.ini", sOld);
    const IniFile oIni(sPath);
    ASSERT_TRUE(oIni.WriteInteger("A", "z", 3));
    EXPECT_EQ(ReadWholeFile(sPath), "[A]\nx=a\0b\ny=2\nz=3\n"s) << "a NUL byte does not cut its line";
    // Each of these would read back as something else, or add keys of its own.
    for (const auto& [sSection, sKey, sValue] : {std::tuple{"A", "k", "1\n[B]\nx=2"}, {"A", "k\nj", "1"}, {"A", "k=j", "1"},
                                                 {"A]", "k", "1"}, {"A", "", "1"}, {" A", "k", "1"}, {"A", "[k", "1"}}) {
        EXPECT_FALSE(oIni.WriteString(sSection, sKey, sValue)) << sSection << "|" << sKey << "|" << sValue;
    }
    EXPECT_EQ(ReadWholeFile(sPath), "[A]\nx=a\0b\ny=2\nz=3\n"s);
}

TEST(IniFile, SettingsLiveBesideTheProgramOrInTheUserFolder)
{
    TempDir oDir;
    EXPECT_EQ(IniFile::SettingsPathFor(oDir.File("quandrel")), oDir.File("quandrel.ini"));

    TempDir oHome;
    const char* pcOld = std::getenv("XDG_CONFIG_HOME");
    const std::string sOld = pcOld ? pcOld : "";
    setenv("XDG_CONFIG_HOME", oHome.File("config").c_str(), 1);
    EXPECT_EQ(IniFile::SettingsPathFor("/nonexistent-folder/quandrel"), oHome.File("config") + "/quandrel/quandrel.ini");
    EXPECT_TRUE(std::filesystem::is_directory(oHome.File("config") + "/quandrel"));
    if (pcOld) {
        setenv("XDG_CONFIG_HOME", sOld.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}
