// Calendar date and time to Julian date and back (Universal Time).
//
// Julian date: the algorithm of J. Meeus, Astronomical Algorithms, ch. 7,
// with the Gregorian term applied to every date; calendar date: the inverse
// of the same chapter (Julian calendar below JD 2299161). Computed in
// extended precision.
#pragma once

#include <cstdint>

// A calendar instant; CalendarDate gives whole days and hours and keeps the
// fraction in the minutes.
struct CalendarDate {
    int32_t year = 0;
    int32_t month = 0;
    double day = 0.0;
    double hours = 0.0;
    double minutes = 0.0;
};

class JulianDate {
public:
    // The calendar date at the nearest whole minute: hours and minutes are whole numbers, and a time
    // of 21:59:40 shows as 22:00, never as 21:60.
    static CalendarDate CalendarDateToTheMinute(double jd);
    // Julian date of a date and time (days, hours and minutes may carry fractions).
    static double FromCalendar(int32_t year, int32_t month, double day, double hours, double minutes);
    static long double FromCalendarExtended(int32_t year, int32_t month, double day, double hours, double minutes);

    // The calendar date of a Julian date; all fields 0 for a Julian date
    // whose year would not fit (or that is no number).
    static CalendarDate ToCalendar(double jd);

    // The days of a month (1 .. 12) of the Gregorian calendar the Julian dates count in (February has
    // 29 in leap years); 0 for no month.
    static int32_t DaysInMonth(int32_t year, int32_t month);

    // Julian centuries since J2000.0 (JD 2451545.0).
    static long double JulianCenturies(int32_t year, int32_t month, double day, double hours, double minutes);

    // Shifts a civil date of a time zone (hours east of Greenwich) to UT.
    static void LocalToUniversal(CalendarDate& oDate, int32_t lZone);
};
