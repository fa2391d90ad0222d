#include "VerbPlot.h"

#include "core/AtomicFile.h"
#include "core/FileHandle.h"
#include "core/NumberText.h"
#include "orbit/PeriodogramPlot.h"
#include "orbit/RvCurvePlot.h"
#include "plot/SvgCanvas.h"
#include "session/Session.h"
#include "spectrum/SpectrumPlot.h"

#include <algorithm>
#include <ostream>

namespace quandrel::cli {

namespace {

// "WxH", each from 200 to 10000 pixels.
std::pair<int, int> ImageSize(const std::optional<std::string>& sSize)
{
    if (!sSize) {
        return {1000, 600};
    }
    const std::size_t lCross = sSize->find('x');
    int lWidth = 0;
    int lHeight = 0;
    if (lCross == std::string::npos || !ParseWholeInt(sSize->substr(0, lCross), lWidth) ||
        !ParseWholeInt(sSize->substr(lCross + 1), lHeight) || std::min(lWidth, lHeight) < 200 ||
        std::max(lWidth, lHeight) > 10000) {
        throw UsageError("--size takes WIDTHxHEIGHT, each from 200 to 10000 pixels.");
    }
    return {lWidth, lHeight};
}

// The series of RVFILE, with the elements of --elements adopted as its fit when given.
bool ReadOrbit(const std::string& sSeries, const std::optional<std::string>& sElements, Session& oSession,
               std::ostream& oErr)
{
    if (const Outcome oRefused = oSession.Orbit().ImportMeasurements(sSeries)) {
        oErr << oRefused->sText << " (" << sSeries << ")\n";
        return false;
    }
    if (!sElements) {
        return true;
    }
    std::string sText;
    if (ReadRegularFile(*sElements, 1 << 20, sText) != ReadFile::Read) {
        oErr << "The elements file cannot be read (" << *sElements << ").\n";
        return false;
    }
    const SessionResult<OrbitElements> oElements = OrbitSession::ParseElementsText(sText);
    const Outcome oRefused = oElements ? oSession.Orbit().AdoptElements(*oElements) : Outcome(oElements.Error());
    if (oRefused) {
        oErr << oRefused->sText << " (" << *sElements << ")\n";
        return false;
    }
    return true;
}

} // namespace

std::string PlotHelp()
{
    return std::string("usage: quandrel-cli plot spectrum FILE --out FILE.svg [--size WxH] [import options]\n"
                       "       quandrel-cli plot rv RVFILE [--elements FILE] --out FILE.svg [--size WxH]\n"
                       "       quandrel-cli plot phase RVFILE --elements FILE --out FILE.svg [--size WxH]\n"
                       "       quandrel-cli plot residuals RVFILE --elements FILE --out FILE.svg [--size WxH]\n"
                       "       quandrel-cli plot periodogram RVFILE --out FILE.svg [--size WxH]\n"
                       "Draws a page of the window's plots into an SVG file (1000x600 pixels unless --size says\n"
                       "otherwise), with the window's drawing code: a spectrum; the velocities of RVFILE over time,\n"
                       "with the model curve of the elements FILE (the name=value lines of \"Export elements\" or\n"
                       "of quandrel-cli orbit); the velocities over the phase of those elements; their residuals;\n"
                       "the Lomb-Scargle periodogram of the velocities.\n") +
           ImportOptionsHelp();
}

int RunPlot(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const auto sOut = oArguments.TakeValue("--out");
    const auto [lWidth, lHeight] = ImageSize(oArguments.TakeValue("--size"));
    const auto sElements = oArguments.TakeValue("--elements");
    const ImportSettings oImport = TakeImportOptions(oArguments);
    const auto vPositionals = oArguments.Positionals();
    if (vPositionals.size() != 2) {
        throw UsageError("plot needs a page (spectrum, rv, phase, residuals or periodogram) and one file.");
    }
    if (!sOut) {
        throw UsageError("plot needs --out FILE.svg.");
    }
    const std::string& sPage = vPositionals[0];
    const std::string& sFile = vPositionals[1];
    if ((sPage == "phase" || sPage == "residuals") && !sElements) {
        throw UsageError("plot " + sPage + " needs --elements FILE.");
    }
    SvgCanvas oCanvas(lWidth, lHeight);
    oCanvas.Clear(Rgb{255, 255, 255});
    if (sPage == "spectrum") {
        std::vector<double> vWavelength;
        std::vector<double> vIntensity;
        if (!ReadSpectrumFile(sFile, oImport, vWavelength, vIntensity, oErr)) {
            return kExitInput;
        }
        Spectrum oSpectrum;
        oSpectrum.TakeValues(std::move(vWavelength), std::move(vIntensity));
        SpectrumPlot oPlot(&oCanvas, oSpectrum);
        oPlot.PlotAllValues();
        oPlot.Draw(lHeight, lWidth);
    } else if (sPage == "rv" || sPage == "phase" || sPage == "residuals" || sPage == "periodogram") {
        Session oSession("");
        if (!ReadOrbit(sFile, sElements, oSession, oErr)) {
            return kExitInput;
        }
        if (sPage == "periodogram") {
            const SessionResult<PeriodogramResult> oPeriodogram = oSession.Periods().ComputePeriodogram(0.0, 0.0, 0);
            if (!oPeriodogram) {
                oErr << oPeriodogram.Error().sText << "\n";
                return kExitInput;
            }
            PeriodogramPlot oPlot(&oCanvas);
            oPlot.SetPeriodogram(*oPeriodogram);
            oPlot.Draw(lHeight, lWidth);
        } else if (sPage == "residuals") {
            std::vector<double> vJulianDate;
            std::vector<double> vResidual;
            oSession.Orbit().AlignedResiduals(vJulianDate, vResidual);
            Graph oGraph(&oCanvas);
            oGraph.SetImageSize(lWidth, lHeight);
            oGraph.SetData(static_cast<int32_t>(vJulianDate.size()), vJulianDate.data(), vResidual.data());
            oGraph.SetDrawStyle(1);
            oGraph.DrawAxes("Julian date [d]", "Residual [km/s]", oGraph.GetYMax(), oGraph.GetYMin(), oGraph.GetXMax(),
                            oGraph.GetXMin());
            oGraph.DrawData();
        } else {
            RvCurvePlot oCurve(&oCanvas, &oSession.Orbit().GridSearch(), oSession.Orbit().AlignedSeries(), sPage == "phase");
            oCurve.Draw(lHeight, lWidth);
        }
    } else {
        throw UsageError("plot draws the pages spectrum, rv, phase, residuals and periodogram, not \"" + sPage + "\".");
    }
    if (!WriteFileAtomically(*sOut, oCanvas.Document())) {
        oErr << "The SVG file cannot be written (" << *sOut << ").\n";
        return kExitInput;
    }
    oOut << "out=" << *sOut << "\n";
    return kExitOk;
}

} // namespace quandrel::cli
