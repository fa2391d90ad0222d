// The spectrum import as it was first written: three passes over the file through the line reader
// and the field cutter of the table reader. The tests and the fuzzer hold the one-pass import to
// it: both must give the same samples, bit for bit.
#pragma once

#include "core/SpectrumFileImport.h"

int ReferenceSpectrumImport(CsvFile& oReader, const std::string& sFilePathAndName, const ImportSettings& oSettings,
                            std::vector<double>& vWavelength, std::vector<double>& vIntensity);
