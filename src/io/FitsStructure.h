// The layout a FITS file declares, checked before CFITSIO reads it: every header ends within a
// bounded number of blocks, its structural keywords are numbers in their ranges, and the data every
// header declares fits in the file. CFITSIO sizes its own tables from these keywords, so a damaged
// header (a count of 10^16 columns) is refused here instead of reaching its allocations.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quandrel::fits {

// Reads lCount bytes at lOffset (fewer at the end of the file).
using ByteSource = std::function<std::string(std::uint64_t lOffset, std::size_t lCount)>;

// Empty when the layout is sound, else why not (one clause, no full stop).
std::string CheckStructure(const ByteSource& fnRead, std::uint64_t lFileBytes, int lMaxHdus);

} // namespace quandrel::fits
