// The verb "calibrate": a spectrum's wavelengths mapped through calibration points.
#pragma once

#include "CliCommon.h"

namespace quandrel::cli {

int RunCalibrate(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr);
std::string CalibrateHelp();

} // namespace quandrel::cli
