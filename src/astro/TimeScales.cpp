#include "TimeScales.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace {

// The UTC Julian date of a TAI Julian date; nothing when ERFA cannot place it.
std::optional<double> UtcOfTai(double fTai)
{
    double fUtc1 = 0.0;
    double fUtc2 = 0.0;
    // The whole day and the fraction apart, so that the leap-second table is looked up at the right day.
    const double fDay = std::floor(fTai);
    if (eraTaiutc(fDay, fTai - fDay, &fUtc1, &fUtc2) < 0) {
        return std::nullopt;
    }
    return fUtc1 + fUtc2;
}

} // namespace

std::optional<double> UtcOfTimeScale(double fJulianDate, std::string_view sScale)
{
    std::string s(sScale);
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    if (s == "UTC" || s == "UT" || s == "GMT") {
        return fJulianDate;
    }
    if (s == "TAI") {
        return UtcOfTai(fJulianDate);
    }
    if (s == "TT" || s == "TDT" || s == "ET") {
        return UtcOfTai(fJulianDate - ERFA_TTMTAI / ERFA_DAYSEC);
    }
    if (s == "GPS") {
        // GPS time runs 19 s behind TAI.
        return UtcOfTai(fJulianDate + 19.0 / ERFA_DAYSEC);
    }
    return std::nullopt;
}
