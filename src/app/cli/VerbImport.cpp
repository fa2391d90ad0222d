#include "VerbImport.h"

#include "VerbSpectrumFile.h"

#include <ostream>

namespace quandrel::cli {

std::string ImportHelp()
{
    return std::string("usage: quandrel-cli import FILE [import options]\n"
           "Reads a spectrum file (text as the import dialog does, or FITS) and prints\n"
           "wavelength<TAB>intensity per sample (%.17g).\n") + ImportOptionsHelp();
}

int RunImport(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const SImportSettings oSettings = TakeImportOptions(oArguments);
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1) {
        throw CUsageError("import needs exactly one spectrum file.");
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr)) {
        return kExitInput;
    }
    return WriteSpectrum("", vWavelength, vIntensity, SSpectrumMetadata{}, oOut, oErr);
}

} // namespace quandrel::cli
