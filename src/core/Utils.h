// Small functions shared throughout the program: path parts, even spacing and
// linear interpolation, reading numbers typed by the user, y extremes.
#pragma once

#include <cstdint>
#include <span>
#include "Result.h"

#include <string>
#include <vector>

class DataSeries;

// The part of a path after the last '/' (the whole path when there is none).
std::string ExtractFileName(const std::string& sPath);

// The part of a path before the last '/', without it (empty when there is none).
std::string ExtractDirectory(const std::string& sPath);

// a + Index * (b - a) / lValueCount: point Index of lValueCount even steps from a to b.
double LinearStep(double a, double b, int32_t Index, int32_t lValueCount);

// The straight line through (x0, y0) and (x1, y1) at x; y0 when x0 equals x1.
double LinearInterpolate(double x0, double y0, double x1, double y1, double x);

// The decimal separator of the user's environment (LC_ALL, LC_NUMERIC, LANG).
char GetSystemDecimalSeparator();

// With '.' as system separator the first ',' becomes '.', otherwise the first '.' becomes ','.
std::string NormalizeDecimalSeparator(const std::string& sText);

// A number typed by the user, with either decimal separator; the reason when the text is not a
// (finite) number.
quandrel::Result<double> TextToFloat(const std::string& sText);

// A whole number typed by the user; lDefault when the text is none.
int TextToInt(const std::string& sText, int lDefault);

// Index of the value nearest to x in ascending values: bisection, the upper
// index on a tie. Values must not be empty.
int32_t FindNearestIndexIn(std::span<const double> vValues, double x);

// Minimum and maximum of the y values; false for an empty array.
bool GetMinMaxY(const DataSeries& oData, double& fMinimum, double& fMaximum);

// Discards the contents and makes room for n doubles (zero).
void ReallocDoubles(std::vector<double>& vArray, int32_t n);
