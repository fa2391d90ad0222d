// The verbs "orbit" and "pdm": orbital elements and the period of a series
// of Julian date / velocity pairs.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunOrbit(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
int RunPdm(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string OrbitHelp();
std::string PdmHelp();
int RunLs(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string LsHelp();

} // namespace quandrel::cli
