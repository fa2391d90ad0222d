// The verbs "info" (what a spectrum file holds) and "convert" (text and FITS into each other).
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunInfo(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string InfoHelp();
int RunConvert(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string ConvertHelp();

} // namespace quandrel::cli
