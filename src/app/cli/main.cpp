// quandrel-cli: the program's computations for scripts and batch work.
#include "Cli.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> vArguments(argv + 1, argv + argc);
    const int lStatus = quandrel::cli::RunCli(vArguments, std::cout, std::cerr);
    std::cout.flush();
    return lStatus;
}
