// The verbs "jd", "caldate" and "correction": Julian dates and the velocity
// correction for the observer's motion.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunJd(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
int RunCaldate(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
int RunCorrection(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
int RunBarycorr(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string BarycorrHelp();
std::string JdHelp();
std::string CaldateHelp();
std::string CorrectionHelp();

} // namespace quandrel::cli
