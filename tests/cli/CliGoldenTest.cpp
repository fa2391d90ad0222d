// A fixed set of quandrel-cli commands over the shipped data, the sample run and a project file written
// by an earlier version: their exit status, standard output, standard error and the files they write
// must stay byte for byte what tests/data/golden/expected holds. Run with QUANDREL_UPDATE_GOLDEN=1 to
// write the expected files anew after a change of output that is meant.
#include "CliRun.h"
#include "session/Session.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct GoldenCommand {
    const char* sName;
    std::vector<std::string> vArguments;
    // The file the command writes into the temporary folder, compared too; empty for none.
    const char* sWritten = "";
};

// "@data/", "@test/", "@run/", "@golden/" and "@out/" (the test's temporary folder) stand for the folders.
std::vector<std::pair<std::string, std::string>> Folders(const TempDir& oOut)
{
    return {{"@data/", std::string(QUANDREL_SAMPLE_DATA_DIR) + "/"},
            {"@test/", std::string(QUANDREL_TEST_DATA_DIR) + "/"},
            {"@run/", std::string(QUANDREL_SAMPLE_RUN_DIR) + "/"},
            {"@golden/", std::string(QUANDREL_TEST_DATA_DIR) + "/golden/"},
            {"@out/", oOut.File("")}};
}

std::string Replaced(std::string sText, const std::string& sFrom, const std::string& sTo)
{
    for (std::size_t k = sText.find(sFrom); k != std::string::npos; k = sText.find(sFrom, k + sTo.size())) {
        sText.replace(k, sFrom.size(), sTo);
    }
    return sText;
}

const std::string kElements = "@golden/kepler16_elements.txt";
const std::vector<std::string> kKeplerRanges = {"--p", "40", "42", "--t0", "2455200", "2455242", "--e", "0", "0.3",
                                                "--omega", "0", "360", "--a1sini", "1e5", "1e7", "--gamma", "-40",
                                                "-20", "--steps", "4"};

std::vector<std::string> Joined(std::vector<std::string> vHead, const std::vector<std::string>& vTail)
{
    vHead.insert(vHead.end(), vTail.begin(), vTail.end());
    return vHead;
}

const std::vector<GoldenCommand>& Commands()
{
    static const std::vector<GoldenCommand> vCommands = {
        {"help", {"--help"}},
        {"no_verb", {}},
        {"unknown_verb", {"frobnicate"}},
        {"import_stats", {"import", "@data/alphaDra_20220608_Halpha.txt", "--stats"}},
        {"import_single_column", {"import", "@run/lamp_pixels.txt", "--single-column", "--stats"}},
        {"import_missing", {"import", "@out/missing.txt"}},
        {"info_text", {"info", "@run/star_00.txt"}},
        {"info_fits", {"info", "@run/fits/star_03.fits"}},
        {"info_fits_mjd", {"info", "@test/fits/t_mjd_avg.fits"}},
        {"info_multispec", {"info", "@test/fits/a_multispec.fits"}},
        {"info_orders", {"info", "@test/fits/m_cheb.fits", "--order", "31", "--sources"}},
        {"lines_alpha_dra", {"lines", "@data/alphaDra_20220608_Halpha.txt", "--lab", "@data/LinesX.txt",
                             "--width-index", "5", "--sensitivity-index", "10"}},
        {"lines_identify", {"lines", "@run/star_00.txt", "--lab", "@data/LinesX.txt", "--width-index", "5",
                            "--sensitivity-index", "10", "--identify", "100"}},
        {"lines_lamp", {"lines", "@run/lamp_pixels.txt", "--single-column", "--emission", "--width-index", "3",
                        "--sensitivity-index", "5"}},
        {"lines_window", {"lines", "@test/alphaDra_20221021_Halpha_window.txt", "--min-sigma", "0"}},
        {"jd", {"jd", "2012", "3", "1", "20", "30"}},
        {"caldate", {"caldate", "2455988.35416667"}},
        {"correction", {"correction", "--jd", "2455988.354167", "--ra", "5", "55", "--dec", "7", "24", "--lon", "9",
                        "0", "--lat", "52", "0"}},
        {"correction_usage", {"correction", "--jd", "2455988.35"}},
        {"project_info", {"project", "info", "@golden/season.mtx"}},
        {"project_curve", {"project", "curve", "@golden/season.mtx"}},
        {"project_dump", {"project", "dump", "@golden/season.mtx", "@out/dump.txt"}, "dump.txt"},
        {"project_export", {"project", "export", "@golden/season.mtx", "@out/rv.txt", "--threshold", "0.5"}, "rv.txt"},
        {"calibrate", {"calibrate", "@run/lamp_pixels.txt", "--single-column", "--points", "@golden/lamp_points.txt",
                       "--polynomial", "3"}},
        {"calibrate_sampling", {"calibrate", "@run/lamp_pixels.txt", "--single-column", "--points",
                                "@golden/lamp_points.txt", "--sampling"}},
        {"cc", {"cc", "@run/star_03.txt", "@run/star_00.txt", "--from", "5850", "--to", "5920"}},
        {"cc_function", {"cc", "@run/star_01.txt", "@run/star_00.txt", "--from", "4840", "--to", "4880", "--template-velocity", "2.5", "--function"}},
        {"normalize", {"normalize", "@test/alphaDra_20221021_Halpha_window.txt", "--order", "3"}},
        {"convert_fits", {"convert", "@run/star_00.txt", "@out/star.fits"}, "star.fits"},
        {"convert_text", {"convert", "@test/fits/image_linear.fits", "@out/star.txt"}, "star.txt"},
        {"orbit", Joined({"orbit", "@test/kepler16_rv.txt"}, Joined(kKeplerRanges, {"--residuals"}))},
        {"orbit_no_lsq", Joined({"orbit", "@test/alphaDra_rv.txt", "--p", "50", "53", "--steps", "5"}, {"--no-lsq"})},
        {"pdm", {"pdm", "@test/alphaDra_rv.txt", "--from", "40", "--to", "60", "--bins", "20"}},
        {"ls", {"ls", "@test/alphaDra_rv.txt"}},
        {"ls_curve", {"ls", "@test/kepler16_rv.txt", "--from", "10", "--to", "100", "--samples", "40", "--curve"}},
        {"plot_spectrum", {"plot", "spectrum", "@data/alphaDra_20220608_Halpha.txt", "--out", "@out/s.svg"}, "s.svg"},
        {"plot_rv", {"plot", "rv", "@test/kepler16_rv.txt", "--elements", kElements, "--out", "@out/rv.svg", "--size",
                     "640x400"},
         "rv.svg"},
        {"plot_phase", {"plot", "phase", "@test/kepler16_rv.txt", "--elements", kElements, "--out", "@out/ph.svg"},
         "ph.svg"},
        {"plot_residuals", {"plot", "residuals", "@test/kepler16_rv.txt", "--elements", kElements, "--out",
                            "@out/res.svg"},
         "res.svg"},
        {"plot_periodogram", {"plot", "periodogram", "@test/alphaDra_rv.txt", "--out", "@out/pg.svg"}, "pg.svg"},
    };
    return vCommands;
}

void WriteFile(const std::string& sPath, const std::string& sBytes)
{
    std::ofstream oOut(sPath, std::ios::binary);
    oOut << sBytes;
}

class CliGolden : public ::testing::TestWithParam<GoldenCommand> {};

TEST_P(CliGolden, OutputUnchanged)
{
    const GoldenCommand& oCommand = GetParam();
    TempDir oDir;
    const auto vFolders = Folders(oDir);
    std::vector<std::string> vArguments;
    for (std::string sArgument : oCommand.vArguments) {
        for (const auto& [sMark, sFolder] : vFolders) {
            sArgument = Replaced(sArgument, sMark, sFolder);
        }
        vArguments.push_back(sArgument);
    }
    const CliRun oRun = RunCliCapture(vArguments);
    std::string sRecord = "exit " + std::to_string(oRun.lStatus) + "\n--- stdout\n" + oRun.sOut + "\n--- stderr\n" +
                          oRun.sErr;
    for (const auto& [sMark, sFolder] : vFolders) {
        sRecord = Replaced(sRecord, sFolder, sMark);
    }
    const std::string sExpected = std::string(QUANDREL_TEST_DATA_DIR) + "/golden/expected/" + oCommand.sName;
    const std::string sWritten = *oCommand.sWritten ? ReadWholeFile(oDir.File(oCommand.sWritten)) : std::string();
    if (std::getenv("QUANDREL_UPDATE_GOLDEN") != nullptr) {
        WriteFile(sExpected + ".txt", sRecord);
        if (*oCommand.sWritten) {
            WriteFile(sExpected + ".file", sWritten);
        }
        return;
    }
    EXPECT_EQ(sRecord, ReadWholeFile(sExpected + ".txt"));
    if (*oCommand.sWritten) {
        EXPECT_FALSE(sWritten.empty());
        EXPECT_TRUE(sWritten == ReadWholeFile(sExpected + ".file")) << oCommand.sWritten << " differs";
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CliGolden, ::testing::ValuesIn(Commands()),
                         [](const ::testing::TestParamInfo<GoldenCommand>& oInfo) { return oInfo.param.sName; });

} // namespace

// A project written by an earlier version opens and saves back to the same bytes.
TEST(ProjectFile, EarlierProjectWritesBackUnchanged)
{
    TempDir oDir;
    Session oSession(oDir.File("settings.ini"));
    const std::string sEarlier = std::string(QUANDREL_TEST_DATA_DIR) + "/golden/season.mtx";
    ASSERT_FALSE(oSession.Project().OpenProject(sEarlier));
    ASSERT_FALSE(oSession.Project().SaveProject(oDir.File("again.mtx")));
    EXPECT_TRUE(ReadWholeFile(oDir.File("again.mtx")) == ReadWholeFile(sEarlier));
}
