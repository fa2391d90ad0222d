// The verbs "info" (what a spectrum file holds), "convert" (text and FITS into each other) and
// "normalize" (a spectrum divided by its continuum).
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

// The spectrum to a file (FITS when its name ends in .fits, .fit or .fts, else text) or, with no file
// name, to oOut as wavelength<TAB>intensity lines (%.17g).
int WriteSpectrum(const std::string& sOut, const std::vector<double>& vWavelength, const std::vector<double>& vIntensity,
                  const SpectrumMetadata& oMetadata, std::ostream& oOut, std::ostream& oErr);

int RunInfo(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string InfoHelp();
int RunConvert(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string ConvertHelp();
int RunNormalize(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string NormalizeHelp();

} // namespace quandrel::cli
