// Numbers shown in the grids the way the user knows them: fixed notation
// with a number of decimals, or scientific notation.
#pragma once

#include <string>

namespace quandrel {

// Fixed notation with lDecimals decimals; scientific when the integer part
// has more than lPrecision digits.
std::string FormatFixedPrecision(double fValue, int lPrecision, int lDecimals);

// Scientific notation with lPrecision significant digits and at least
// lExponentDigits exponent digits: 1.00E+03.
std::string FormatExponent(double fValue, int lPrecision, int lExponentDigits);

} // namespace quandrel
