// The verbs "jd", "caldate" and "correction": Julian dates and the velocity
// correction for the observer's motion.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunJd(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
int RunCaldate(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
int RunCorrection(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string JdHelp();
std::string CaldateHelp();
std::string CorrectionHelp();

} // namespace quandrel::cli
