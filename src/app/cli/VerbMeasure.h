// The verb "measure": a season of spectra measured in one command, as "Measure all open spectra" does
// in the window.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunMeasure(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string MeasureHelp();

} // namespace quandrel::cli
