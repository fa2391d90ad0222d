#include "JulianDate.h"

#include <algorithm>
#include <cmath>

namespace {

// Beyond this a calendar year no longer fits its 32-bit field.
constexpr long double kMaxCalendarJulianDate = 7.0e11L;

} // namespace

long double JulianDate::FromCalendarExtended(int32_t year, int32_t month, double day, double hours, double minutes)
{
    const long double D = static_cast<long double>(day) + static_cast<long double>(hours) * (1.0L / 24.0L) +
                          static_cast<long double>(minutes) * (1.0L / 1440.0L);
    long double Y = year;
    long double M = month;
    if (month < 3) {
        Y -= 1;
        M += 12;
    }
    const long double A = std::trunc(Y / 100.0L);
    const long double B = 2.0L - A + std::floor(A * 0.25L);
    return std::floor(365.25L * (Y + 4716.0L)) + std::floor(30.6001L * (M + 1.0L)) + D + B - 1524.5L;
}

double JulianDate::FromCalendar(int32_t year, int32_t month, double day, double hours, double minutes)
{
    return static_cast<double>(FromCalendarExtended(year, month, day, hours, minutes));
}

CalendarDate JulianDate::ToCalendar(double jd)
{
    CalendarDate oDate;
    const long double J = jd;
    if (!std::isfinite(jd) || std::fabs(J) > kMaxCalendarJulianDate) {
        return oDate;
    }
    const long double Z = std::floor(J + 0.5L);
    long double K = 0.0L;
    if (Z < 2299161.0L) {
        K = Z + 1524.0L;
    } else {
        const long double alpha = std::floor((Z - 1867216.25L) * (1.0L / 36524.25L));
        K = Z + alpha - std::floor(alpha * 0.25L) + 1525.0L;
    }
    const long double C = std::floor((K - 122.1L) * (1.0L / 365.25L));
    const long double Dd = std::floor(C * 0.25L) + 365.0L * C;
    const long double E = std::floor((K - Dd) * (1.0L / 30.6001L));
    const long double day = std::floor(K - Dd + 0.5L) - std::floor(30.6001L * E);
    const long double month = E - 1.0L - 12.0L * std::floor(E * (1.0L / 14.0L));
    const auto lMonth = static_cast<int32_t>(month);
    const long double year = C - 4715.0L - static_cast<long double>((lMonth + 7) / 10);
    const long double h = (J + 0.5L - Z) * 24.0L;
    const long double hours = std::floor(h + 1e-9L);
    oDate.year = static_cast<int32_t>(year);
    oDate.month = lMonth;
    oDate.day = static_cast<double>(day);
    oDate.hours = static_cast<double>(hours);
    oDate.minutes = static_cast<double>(std::max(0.0L, (h - hours) * 60.0L));
    return oDate;
}

CalendarDate JulianDate::CalendarDateToTheMinute(double jd)
{
    if (!std::isfinite(jd) || std::fabs(static_cast<long double>(jd)) > kMaxCalendarJulianDate) {
        return CalendarDate();
    }
    // The nearest whole minute (minutes since the epoch are whole minutes of the civil day too, the
    // day starting 720 minutes after a Julian day), split half a second past it so that the split
    // cannot fall just below.
    const long double fMinute = std::round(static_cast<long double>(jd) * 1440.0L);
    CalendarDate oDate = ToCalendar(static_cast<double>((fMinute + 1.0L / 120.0L) / 1440.0L));
    oDate.minutes = std::floor(oDate.minutes);
    return oDate;
}

int32_t JulianDate::DaysInMonth(int32_t year, int32_t month)
{
    static constexpr int32_t alDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    const bool bLeap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return alDays[month - 1] + (month == 2 && bLeap ? 1 : 0);
}

long double JulianDate::JulianCenturies(int32_t year, int32_t month, double day, double hours, double minutes)
{
    return (FromCalendarExtended(year, month, day, hours, minutes) - 2451545.0L) / 36525.0L;
}

void JulianDate::LocalToUniversal(CalendarDate& oDate, int32_t lZone)
{
    const long double J = FromCalendarExtended(oDate.year, oDate.month, oDate.day, oDate.hours, oDate.minutes) -
                          static_cast<long double>(lZone) / 24.0L;
    oDate = ToCalendar(static_cast<double>(J));
}
