#include "VerbImport.h"

#include "core/NumberText.h"

#include <ostream>

namespace quandrel::cli {

std::string ImportHelp()
{
    return std::string("usage: quandrel-cli import FILE [import options]\n"
           "Reads a spectrum text file as the import dialog does and prints\n"
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
    std::string sLine;
    for (std::size_t i = 0; i < vWavelength.size(); ++i) {
        sLine = FormatGeneral(vWavelength[i], 17);
        sLine += '\t';
        sLine += FormatGeneral(vIntensity[i], 17);
        sLine += '\n';
        oOut << sLine;
    }
    return kExitOk;
}

} // namespace quandrel::cli
