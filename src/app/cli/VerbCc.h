// The verb "cc": the velocity of a spectrum against a template by cross-correlation.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunCc(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string CcHelp();

} // namespace quandrel::cli
