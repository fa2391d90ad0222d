// The verb "import": a spectrum file as wavelength and intensity pairs.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunImport(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string ImportHelp();

} // namespace quandrel::cli
