// Times stated in another time scale than UTC (a FITS file's TIMESYS) brought to UTC, with the leap
// seconds ERFA knows.
#pragma once

#include <optional>
#include <string_view>

// The UTC Julian date of fJulianDate in the scale sScale ("UTC", "UT", "GMT", "TT", "TDT", "ET", "TAI",
// "GPS"; case is ignored); nothing for a scale that is not converted here or a date ERFA cannot place.
std::optional<double> UtcOfTimeScale(double fJulianDate, std::string_view sScale);
