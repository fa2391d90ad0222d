// The verb "project": a project file's summary, its measurement dump, its
// result export and its velocity curve.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunProject(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string ProjectHelp();

} // namespace quandrel::cli
