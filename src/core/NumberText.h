// Conversions between numbers and text that never depend on the process's
// locale: files and plot labels always use '.' as decimal point.
#pragma once

#include <string>
#include <string_view>

namespace quandrel {

// Like printf("%.*f", lPrecision, fValue) in the "C" locale.
std::string FormatFixed(double fValue, int lPrecision);

// Like printf("%*.*f", lWidth, lPrecision, fValue) in the "C" locale.
std::string FormatFixedWidth(double fValue, int lWidth, int lPrecision);

// sText with cFill before it up to lWidth characters (like printf's "%0*d" with '0').
std::string PadLeft(std::string sText, int lWidth, char cFill);

// Like printf("%.*e", lPrecision, fValue) in the "C" locale.
std::string FormatScientific(double fValue, int lPrecision);

// Like printf("%.*g", lPrecision, fValue) in the "C" locale.
std::string FormatGeneral(double fValue, int lPrecision);

// Reads the longest leading part of sText that forms a decimal number
// (optional sign, digits, optional point, optional exponent) and stores it in
// fValue. Returns false, leaving fValue untouched, when no number starts the
// text or when the number does not fit a finite double.
bool ParseLeadingDouble(std::string_view sText, double& fValue);

// Like ParseLeadingDouble, but the whole text must be the number (leading and
// trailing blanks allowed).
bool ParseWholeDouble(std::string_view sText, double& fValue);

// Reads a whole text (blanks around it allowed) as a 32-bit integer with an
// optional sign. Returns false, leaving lValue untouched, otherwise.
bool ParseWholeInt(std::string_view sText, int& lValue);

} // namespace quandrel
