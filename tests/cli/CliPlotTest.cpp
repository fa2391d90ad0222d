// quandrel-cli plot: the window's pages as SVG files.
#include "CliRun.h"
#include "core/FileHandle.h"
#include "core/NumberText.h"
#include "support/Generators.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

std::string Read(const std::string& sPath)
{
    std::string s;
    EXPECT_EQ(quandrel::ReadRegularFile(sPath, 1 << 26, s), quandrel::ReadFile::Read) << sPath;
    return s;
}

// The numbers of the texts of an SVG document.
std::vector<double> TextNumbers(const std::string& sSvg)
{
    std::vector<double> v;
    const std::regex oText(">(-?[0-9.]+)</text>");
    for (auto it = std::sregex_iterator(sSvg.begin(), sSvg.end(), oText); it != std::sregex_iterator(); ++it) {
        v.push_back(std::stod((*it)[1]));
    }
    return v;
}

class CliPlotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const OrbitElements oTruth = quandrel::testing::CadenceOrbit();
        const DataSeries oSeries = quandrel::testing::CadenceSeries(oTruth, 30);
        std::string sText;
        for (int k = 0; k < oSeries.GetArraySize(); ++k) {
            sText += quandrel::FormatFixed(oSeries.GetX(k), 6) + "\t" + quandrel::FormatFixed(oSeries.GetY(k), 6) + "\n";
        }
        m_sSeries = m_oDir.Write("rv.txt", sText);
        // As "Export elements" writes them (K1 instead of a1Sini is taken too).
        m_sElements = m_oDir.Write("elements.txt", "P=" + quandrel::FormatFixed(oTruth.fPeriod, 6) + "\r\nT0=" +
                                                       quandrel::FormatFixed(oTruth.fT0, 6) + "\r\ne=0.3\r\nomega=60\r\n"
                                                       "K1=" + quandrel::FormatFixed(oTruth.fK1, 9) +
                                                       "\r\ngamma=-12\r\nRMS=0\r\n");
        std::vector<double> vX;
        std::vector<double> vY;
        quandrel::testing::NoisyLineSpectrum(20000, 0.05, vX, vY);
        std::string sSpectrum;
        for (std::size_t i = 0; i < vX.size(); ++i) {
            sSpectrum += quandrel::FormatFixed(vX[i], 3) + "\t" + quandrel::FormatFixed(vY[i], 5) + "\n";
        }
        m_sSpectrum = m_oDir.Write("spectrum.txt", sSpectrum);
    }

    TempDir m_oDir;
    std::string m_sSeries;
    std::string m_sElements;
    std::string m_sSpectrum;
};

} // namespace

TEST_F(CliPlotTest, EveryPageIsAnSvgDrawnInsideItsImage)
{
    struct Page {
        std::vector<std::string> vArguments;
        const char* pcCaption; // a caption the page shows
    };
    const std::vector<Page> vPages = {
        {{"spectrum", m_sSpectrum}, "Wavelength [\u00C5]"},
        {{"rv", m_sSeries, "--elements", m_sElements}, "Radial velocity [km/s]"},
        {{"rv", m_sSeries}, "Julian date [d]"},
        {{"phase", m_sSeries, "--elements", m_sElements}, "Phase"},
        {{"residuals", m_sSeries, "--elements", m_sElements}, "Residual [km/s]"},
        {{"periodogram", m_sSeries}, "Frequency [1/d]"},
    };
    const std::regex oPoint("([ML])(-?[0-9]+)\\.5 (-?[0-9]+)\\.5");
    for (const Page& o : vPages) {
        std::vector<std::string> vArguments = {"plot"};
        vArguments.insert(vArguments.end(), o.vArguments.begin(), o.vArguments.end());
        const std::string sOut = m_oDir.File(o.vArguments[0] + ".svg");
        vArguments.insert(vArguments.end(), {"--out", sOut, "--size", "640x480"});
        const CliRun oRun = RunCliCapture(vArguments);
        ASSERT_EQ(oRun.lStatus, 0) << o.vArguments[0] << ": " << oRun.sErr;
        const std::string sSvg = Read(sOut);
        EXPECT_EQ(sSvg.rfind("<?xml", 0), 0U);
        EXPECT_NE(sSvg.find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"480\""), std::string::npos);
        EXPECT_EQ(sSvg.substr(sSvg.size() - 7), "</svg>\n");
        EXPECT_NE(sSvg.find(std::string(">") + o.pcCaption + "<"), std::string::npos) << o.vArguments[0];
        // Every line lies inside the image.
        int lPoints = 0;
        for (auto it = std::sregex_iterator(sSvg.begin(), sSvg.end(), oPoint); it != std::sregex_iterator(); ++it) {
            const int x = std::stoi((*it)[2]);
            const int y = std::stoi((*it)[3]);
            ASSERT_TRUE(x >= 0 && x < 640 && y >= 0 && y < 480) << o.vArguments[0] << " " << x << "," << y;
            ++lPoints;
        }
        EXPECT_GT(lPoints, 30) << o.vArguments[0];
        // The velocities' pages show the model curve (blue) with elements only.
        if (o.vArguments[0] == "rv" || o.vArguments[0] == "phase") {
            EXPECT_EQ(sSvg.find("stroke=\"#0000ff\"") != std::string::npos, o.vArguments.size() > 2);
        }
    }
    // The elements were taken as they are: the residuals of the exact velocities are next to nothing.
    for (const double fLabel : TextNumbers(Read(m_oDir.File("residuals.svg")))) {
        if (fLabel < 2450000) {
            EXPECT_LT(std::fabs(fLabel), 0.01);
        }
    }
}

TEST_F(CliPlotTest, RefusesMissingPartsAndUnusableInput)
{
    const std::string sOut = m_oDir.File("x.svg");
    for (const std::vector<std::string>& v : std::vector<std::vector<std::string>>{
             {"plot", "rv", m_sSeries},
             {"plot", "phase", m_sSeries, "--out", sOut},
             {"plot", "rv", m_sSeries, "--out", sOut, "--size", "640"},
             {"plot", "rv", m_sSeries, "--out", sOut, "--size", "20x20"},
             {"plot", "chart", m_sSeries, "--out", sOut},
             {"plot", "rv", "--out", sOut}}) {
        EXPECT_EQ(RunCliCapture(v).lStatus, 2) << v[1] << " " << v.size();
    }
    const std::string sNoPeriod = m_oDir.Write("noP.txt", "T0=1\ne=0.1\nomega=1\nK1=3\ngamma=0\n");
    const std::string sBadE = m_oDir.Write("badE.txt", "P=1\nT0=1\ne=1\nomega=1\nK1=3\ngamma=0\n");
    for (const auto& [sElements, pcSays] : {std::pair{sNoPeriod, "no value of P"},
                                             std::pair{sBadE, "eccentricity from 0 to below 1"},
                                             std::pair{m_oDir.File("absent.txt"), "cannot be read"}}) {
        const CliRun oRun = RunCliCapture({"plot", "phase", m_sSeries, "--elements", sElements, "--out", sOut});
        EXPECT_EQ(oRun.lStatus, 1);
        EXPECT_NE(oRun.sErr.find(pcSays), std::string::npos) << oRun.sErr;
    }
    EXPECT_EQ(RunCliCapture({"plot", "spectrum", m_oDir.File("absent.txt"), "--out", sOut}).lStatus, 1);
    EXPECT_EQ(RunCliCapture({"plot", "spectrum", m_sSpectrum, "--out", m_oDir.File("no/folder/x.svg")}).lStatus, 1);
    EXPECT_FALSE(std::filesystem::exists(sOut)) << "no file from a refusal";
}
