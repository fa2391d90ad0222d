// Julian date and calendar date (J. Meeus, Astronomical Algorithms, ch. 7).
#include "astro/JulianDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(JulianDate, ReferenceDates)
{
    EXPECT_EQ(JulianDate::FromCalendar(2000, 1, 1.5, 0, 0), 2451545.0);
    EXPECT_EQ(JulianDate::FromCalendar(2000, 1, 1, 12, 0), 2451545.0);
    // Meeus, example 7.a: 1957 October 4.81 = JD 2436116.31.
    EXPECT_NEAR(JulianDate::FromCalendar(1957, 10, 4.81, 0, 0), 2436116.31, 1e-9);
    // 1 March 2012 21:30 MET = 20:30 UT.
    EXPECT_NEAR(JulianDate::FromCalendar(2012, 3, 1, 21, 30) - 1.0 / 24, 2455988.3541666667, 1e-9);

    const CalendarDate o = JulianDate::ToCalendar(2451545.0);
    EXPECT_EQ(o.year, 2000);
    EXPECT_EQ(o.month, 1);
    EXPECT_EQ(o.day, 1.0);
    EXPECT_EQ(o.hours, 12.0);
    EXPECT_NEAR(o.minutes, 0.0, 1e-9);
    const CalendarDate o2 = JulianDate::ToCalendar(2451545.25);
    EXPECT_EQ(o2.hours, 18.0);
    EXPECT_NEAR(o2.minutes, 0.0, 1e-9);
}

TEST(JulianDate, GregorianReform)
{
    // The Gregorian term is applied to every date; below Z = 2299161 the way back uses the Julian calendar.
    EXPECT_EQ(JulianDate::FromCalendar(1582, 10, 4, 0, 0), 2299149.5);
    const CalendarDate oJulian = JulianDate::ToCalendar(2299159.5);
    EXPECT_EQ(oJulian.year, 1582);
    EXPECT_EQ(oJulian.month, 10);
    EXPECT_EQ(oJulian.day, 4.0);
    EXPECT_EQ(JulianDate::FromCalendar(1582, 10, 15, 0, 0), 2299160.5);
    const CalendarDate oReform = JulianDate::ToCalendar(2299160.5);
    EXPECT_EQ(oReform.year, 1582);
    EXPECT_EQ(oReform.month, 10);
    EXPECT_EQ(oReform.day, 15.0);
}

TEST(JulianDate, RoundTripsEveryMinuteAfterTheReform)
{
    std::mt19937 oRandom(77);
    std::uniform_real_distribution<double> oJd(2299160.5, 2816787.5); // 15 Oct 1582 .. year 3000
    for (int i = 0; i < 20000; ++i) {
        const double fJd = std::round(oJd(oRandom) * 1440.0) / 1440.0;
        const CalendarDate o = JulianDate::ToCalendar(fJd);
        ASSERT_GE(o.month, 1);
        ASSERT_LE(o.month, 12);
        ASSERT_GE(o.day, 1.0);
        ASSERT_LE(o.day, 31.0);
        ASSERT_GE(o.hours, 0.0);
        ASSERT_LT(o.hours, 24.0);
        ASSERT_GE(o.minutes, 0.0);
        ASSERT_LT(o.minutes, 60.0 + 1e-6);
        const double fBack = JulianDate::FromCalendar(o.year, o.month, o.day, o.hours, o.minutes);
        ASSERT_NEAR(fBack, fJd, 1e-8) << fJd;
    }
}

TEST(JulianDate, CenturiesZonesAndUnusableDates)
{
    EXPECT_EQ(static_cast<double>(JulianDate::JulianCenturies(2000, 1, 1, 12, 0)), 0.0);
    EXPECT_NEAR(static_cast<double>(JulianDate::JulianCenturies(2100, 1, 1, 12, 0)), 1.0, 1e-12);

    CalendarDate o{2012, 3, 1, 0, 30};
    JulianDate::LocalToUniversal(o, 2);
    EXPECT_EQ(o.year, 2012);
    EXPECT_EQ(o.month, 2);
    EXPECT_EQ(o.day, 29.0) << "leap year";
    EXPECT_EQ(o.hours, 22.0);
    EXPECT_NEAR(o.minutes, 30.0, 1e-6);

    for (double fJd : {1e21, -1e21, 1e15, static_cast<double>(NAN), static_cast<double>(INFINITY)}) {
        const CalendarDate oZero = JulianDate::ToCalendar(fJd);
        EXPECT_EQ(oZero.year, 0) << fJd;
        EXPECT_EQ(oZero.month, 0);
        EXPECT_EQ(oZero.day, 0.0);
    }
}

TEST(JulianDate, ToTheMinuteRoundsBeforeSplitting)
{
    struct Case {
        int lSecondsOfDay; // after 0h UT of 2012 March 1
        int lDay;
        int lHours;
        int lMinutes;
    };
    const Case aoCases[] = {
        {21 * 3600 + 59 * 60 + 40, 1, 22, 0}, // 21:59:40 is 22:00, not 21:60
        {21 * 3600 + 59 * 60 + 20, 1, 21, 59},
        {23 * 3600 + 59 * 60 + 45, 2, 0, 0}, // into the next day
        {12 * 3600, 1, 12, 0},
        {31, 1, 0, 1},
    };
    const double fMidnight = JulianDate::FromCalendar(2012, 3, 1, 0, 0);
    for (const Case& c : aoCases) {
        const CalendarDate o = JulianDate::CalendarDateToTheMinute(fMidnight + c.lSecondsOfDay / 86400.0);
        EXPECT_EQ(o.day, c.lDay) << c.lSecondsOfDay;
        EXPECT_EQ(o.hours, c.lHours) << c.lSecondsOfDay;
        EXPECT_EQ(o.minutes, c.lMinutes) << c.lSecondsOfDay;
    }
    // Every minute of a month comes back as itself.
    for (int lMinute = 0; lMinute < 31 * 1440; lMinute += 7) {
        const CalendarDate o = JulianDate::CalendarDateToTheMinute(fMidnight + lMinute / 1440.0);
        ASSERT_EQ(o.hours * 60 + o.minutes, lMinute % 1440) << lMinute;
    }
}
