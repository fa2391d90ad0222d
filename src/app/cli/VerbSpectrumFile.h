// The verbs "info" (what a spectrum file holds), "convert" (text and FITS into each other) and
// "normalize" (a spectrum divided by its continuum).
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunInfo(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string InfoHelp();
int RunConvert(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string ConvertHelp();
int RunNormalize(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string NormalizeHelp();

} // namespace quandrel::cli
