#include "VerbImport.h"

#include "VerbSpectrumFile.h"

#include "core/NumberText.h"

#include <algorithm>
#include <ostream>

namespace quandrel::cli {

std::string ImportHelp()
{
    return std::string("usage: quandrel-cli import FILE [--stats] [import options]\n"
           "Reads a spectrum file (text as the import dialog does, or FITS) and prints\n"
           "wavelength<TAB>intensity per sample (%.17g); with --stats only samples=, first= and last=\n"
           "(the first and last wavelength) and min= and max= (of the intensities).\n") + ImportOptionsHelp();
}

int RunImport(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const ImportSettings oSettings = TakeImportOptions(oArguments);
    const bool bStats = oArguments.TakeFlag("--stats");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1) {
        throw UsageError("import needs exactly one spectrum file.");
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr)) {
        return kExitInput;
    }
    if (bStats) {
        const auto [itMin, itMax] = std::minmax_element(vIntensity.begin(), vIntensity.end());
        oOut << "samples=" << vWavelength.size() << "\n";
        if (!vWavelength.empty()) {
            oOut << "first=" << FormatGeneral(vWavelength.front(), 17) << "\nlast=" << FormatGeneral(vWavelength.back(), 17)
                 << "\nmin=" << FormatGeneral(*itMin, 17) << "\nmax=" << FormatGeneral(*itMax, 17) << "\n";
        }
        return kExitOk;
    }
    return WriteSpectrum("", vWavelength, vIntensity, SpectrumMetadata{}, oOut, oErr);
}

} // namespace quandrel::cli
