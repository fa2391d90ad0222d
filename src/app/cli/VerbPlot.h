// The verb "plot": the pages of the window's plots as SVG files.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunPlot(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string PlotHelp();

} // namespace quandrel::cli
