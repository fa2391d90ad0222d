// The verb "lines": the line search and fits of a spectrum, optionally with
// the nearest laboratory line of each.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunLines(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string LinesHelp();

} // namespace quandrel::cli
