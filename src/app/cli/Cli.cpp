#include "Cli.h"

#include "CliCommon.h"
#include "VerbCalibrate.h"
#include "VerbCc.h"
#include "VerbImport.h"
#include "VerbLines.h"
#include "VerbMeasure.h"
#include "VerbOrbit.h"
#include "VerbPlot.h"
#include "VerbProject.h"
#include "VerbSpectrumFile.h"
#include "VerbTime.h"

#include <ostream>

namespace quandrel::cli {

namespace {

struct Verb {
    const char* pcName;
    const char* pcSummary;
    int (*pRun)(Arguments&, std::ostream&, std::ostream&);
    std::string (*pHelp)();
};

constexpr Verb kVerbs[] = {
    {"import", "read a spectrum file and print its wavelengths and intensities", RunImport, ImportHelp},
    {"info", "what a spectrum file holds: samples, range, step and its FITS header's observation", RunInfo, InfoHelp},
    {"convert", "a spectrum written as FITS (with its metadata) or as text", RunConvert, ConvertHelp},
    {"normalize", "a spectrum divided by its continuum (iterative polynomial fit)", RunNormalize, NormalizeHelp},
    {"lines", "find and fit the spectral lines of a spectrum", RunLines, LinesHelp},
    {"measure", "a season of spectra measured at once: their lines' corrected velocities", RunMeasure, MeasureHelp},
    {"jd", "the Julian date of a calendar date and time", RunJd, JdHelp},
    {"caldate", "the calendar date of a Julian date", RunCaldate, CaldateHelp},
    {"correction", "the velocity correction for the observer's motion", RunCorrection, CorrectionHelp},
    {"barycorr", "the precise barycentric correction, BJD_TDB and HJD of an observation", RunBarycorr, BarycorrHelp},
    {"project", "summary, dump, export and curve of a project file", RunProject, ProjectHelp},
    {"calibrate", "a spectrum's wavelengths mapped through calibration points", RunCalibrate, CalibrateHelp},
    {"cc", "the velocity of a spectrum against a template by cross-correlation", RunCc, CcHelp},
    {"orbit", "orbital elements of a single-lined binary from JD / velocity pairs", RunOrbit, OrbitHelp},
    {"pdm", "the period of JD / velocity pairs by phase dispersion minimisation", RunPdm, PdmHelp},
    {"ls", "the Lomb-Scargle periodogram of JD / velocity pairs and its strongest period", RunLs, LsHelp},
    {"plot", "a page of the window's plots (spectrum, rv, phase, residuals, periodogram) as an SVG file", RunPlot,
     PlotHelp},
};

void PrintHelp(std::ostream& oOut)
{
    oOut << "usage: quandrel-cli VERB [ARGUMENTS] [OPTIONS]\n"
            "       quandrel-cli VERB --help\n\nVerbs:\n";
    for (const auto& oVerb : kVerbs) {
        oOut << "  " << oVerb.pcName << "\t" << oVerb.pcSummary << "\n";
    }
    oOut << "\nResults go to standard output, one record per line, fields separated by TAB;\n"
            "exit status 0 on success, 1 for unreadable or unusable input, 2 for a usage error.\n";
}

} // namespace

int RunCli(const std::vector<std::string>& vArguments, std::ostream& oOut, std::ostream& oErr)
{
    if (vArguments.empty()) {
        PrintHelp(oErr);
        return kExitUsage;
    }
    if (vArguments[0] == "--help" || vArguments[0] == "-h" || vArguments[0] == "help") {
        PrintHelp(oOut);
        return kExitOk;
    }
    for (const auto& oVerb : kVerbs) {
        if (vArguments[0] != oVerb.pcName) {
            continue;
        }
        Arguments oArguments({vArguments.begin() + 1, vArguments.end()});
        if (oArguments.TakeFlag("--help") || oArguments.TakeFlag("-h")) {
            oOut << oVerb.pHelp();
            return kExitOk;
        }
        try {
            const int lStatus = oVerb.pRun(oArguments, oOut, oErr);
            // Output that did not reach its file (a full disk, a closed pipe) is a failure, not a result.
            oOut.flush();
            if (!oOut) {
                oErr << "The output could not be written.\n";
                return kExitInput;
            }
            return lStatus;
        } catch (const UsageError& oError) {
            oErr << oError.what() << "\n";
            return kExitUsage;
        }
    }
    oErr << "Unknown verb '" << vArguments[0] << "'; quandrel-cli --help lists the verbs.\n";
    return kExitUsage;
}

} // namespace quandrel::cli
