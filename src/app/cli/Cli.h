// The command line's entry point, callable from tests with their own streams.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quandrel::cli {

// Runs one command line (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& vArguments, std::ostream& oOut, std::ostream& oErr);

} // namespace quandrel::cli
