// The Doppler velocity and its correction for the observer's motion.
#include "astro/ObservationCoordinates.h"
#include "astro/HeliocentricCorrection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The lines of a reference file of tests/data, without blank lines and '#' comments.
std::vector<std::string> DataLines(const std::string& sName)
{
    std::ifstream oFile(std::string(QUANDREL_TEST_DATA_DIR) + "/" + sName);
    std::vector<std::string> vLines;
    for (std::string sLine; std::getline(oFile, sLine);) {
        if (!sLine.empty() && sLine[0] != '#') {
            vLines.push_back(sLine);
        }
    }
    return vLines;
}

// Degrees as whole degrees and signed minutes.
void Split(double fValue, double& fWhole, double& fMinutes)
{
    fWhole = std::trunc(fValue);
    fMinutes = (fValue - fWhole) * 60.0;
}

ObservationCoordinates At(double fRaHours, double fDecDegrees, double fLongitudeWest, double fLatitude)
{
    ObservationCoordinates o;
    double a, b, c, d, e, f, g, h;
    Split(fRaHours, a, b);
    Split(fDecDegrees, c, d);
    Split(fLongitudeWest, e, f);
    Split(fLatitude, g, h);
    o.SetObjectCoordinates(a, b, c, d);
    o.SetObserverCoordinates(e, f, g, h);
    return o;
}

} // namespace

TEST(ObservationCoordinates, DopplerAndTheReferenceCorrection)
{
    ObservationCoordinates o;
    EXPECT_NEAR(o.RadialVelocity(6562.8, 6563.0, 2451545.0) - o.CorrectVelocity(0.0, 2451545.0),
                0.2 / 6562.8 * 299792.458, 1e-9);
    o.SetObjectCoordinates(5, 55, 7, 24);
    o.SetObserverCoordinates(9, 0, 52, 0);
    EXPECT_NEAR(o.CorrectVelocity(0.0, 2455988.354167), -27.51, 0.005);
    EXPECT_TRUE(o.AreObjectCoordinatesSet());
    o.Clear();
    EXPECT_FALSE(o.AreObjectCoordinatesSet());
    EXPECT_FALSE(o.AreObserverCoordinatesSet());
}

TEST(ObservationCoordinates, AgreesWithAstropyForAlphaDraAtAmateurSites)
{
    // Source: tests/data/baryvel_alphaDra.txt (astropy barycentric values; ours is heliocentric:
    // the Sun's own motion about the barycentre stays below 0.013 km/s).
    const std::vector<std::string> vLines = DataLines("baryvel_alphaDra.txt");
    ASSERT_FALSE(vLines.empty());
    int lRows = 0;
    for (const std::string& sLine : vLines) {
        std::istringstream oLine(sLine);
        std::string sDate;
        double fJd, fLongitudeEast, fLatitude, fElevation, fReference;
        oLine >> sDate >> fJd >> fLongitudeEast >> fLatitude >> fElevation >> fReference;
        if (fLongitudeEast > 180) {
            fLongitudeEast -= 360;
        }
        const ObservationCoordinates o =
            At(14 + 4 / 60.0 + 23.3498 / 3600, 64 + 22 / 60.0 + 33.062 / 3600, -fLongitudeEast, fLatitude);
        EXPECT_NEAR(o.CorrectVelocity(0.0, fJd), fReference, 0.02) << sDate;
        ++lRows;
    }
    EXPECT_EQ(lRows, 12);
}

TEST(ObservationCoordinates, AgreesWithIrafRvcorrectAtParanal)
{
    // Source: tests/data/rvcorrect_paranal.txt; IRAF's own model is good to about 0.15 km/s.
    const std::vector<std::string> vLines = DataLines("rvcorrect_paranal.txt");
    ASSERT_FALSE(vLines.empty());
    int lRows = 0;
    for (const std::string& sLine : vLines) {
        std::istringstream oLine(sLine);
        double fRa, fDec, fReference;
        oLine >> fRa >> fDec >> fReference;
        ObservationCoordinates o = At(fRa / 15.0, fDec, 0, 0);
        o.SetObserverCoordinates(70, 24.2, -24, -37.5);
        EXPECT_NEAR(o.CorrectVelocity(0.0, 2457244.5), fReference, 0.15) << fRa << " " << fDec;
        ++lRows;
    }
    EXPECT_EQ(lRows, 24);
}

TEST(HeliocentricCorrection, PhysicsOfTheCorrection)
{
    // Within the Earth's orbital plus rotational speed, all year, all sky.
    double fMax = 0.0;
    for (double fJd = 2459000.5; fJd < 2459366.5; fJd += 7.3) {
        for (double fRa = 0.0; fRa < 24.0; fRa += 3.0) {
            for (double fDec : {-80.0, -30.0, 0.0, 30.0, 80.0}) {
                fMax = std::max(fMax, std::fabs(At(fRa, fDec, -10, 45).CorrectVelocity(0.0, fJd)));
            }
        }
    }
    EXPECT_LT(fMax, 31.0);
    EXPECT_GT(fMax, 29.0);

    // An object on the ecliptic (RA 6 h, Dec +23.44 deg) between opposite seasons: the sign changes.
    const ObservationCoordinates oEcliptic = At(6.0, 23.44, 0, 0);
    const double fMarch = oEcliptic.CorrectVelocity(0.0, JulianDate::FromCalendar(2021, 3, 21, 0, 0));
    const double fSeptember = oEcliptic.CorrectVelocity(0.0, JulianDate::FromCalendar(2021, 9, 23, 0, 0));
    EXPECT_LT(fMarch * fSeptember, 0.0);
    EXPECT_GT(std::fabs(fMarch), 25.0);

    // At declination +90 the rotation adds nothing: at any instant every site gives the same value.
    for (double fDay : {0.0, 0.3, 0.6}) {
        const double fPole = At(0, 90, 0, 0).CorrectVelocity(0.0, 2459000.5 + fDay);
        for (double fLongitude : {-120.0, 45.0}) {
            for (double fLatitude : {-30.0, 60.0}) {
                EXPECT_NEAR(At(0, 90, fLongitude, fLatitude).CorrectVelocity(0.0, 2459000.5 + fDay), fPole, 1e-12);
            }
        }
    }
    // Elsewhere the rotation does show: up to 0.46 km/s at the equator.
    const double fMorning = At(0, 0, 0, 0).CorrectVelocity(0.0, 2459000.5);
    const double fEvening = At(0, 0, 0, 0).CorrectVelocity(0.0, 2459000.5 + 0.5);
    EXPECT_GT(std::fabs(fMorning - fEvening), 0.5);
}

TEST(HeliocentricCorrection, TrueAnomalyAndSiderealTime)
{
    EXPECT_NEAR(static_cast<double>(HeliocentricCorrection::TrueAnomaly(0.0L, 0.0167L)), 0.0, 1e-6);
    EXPECT_NEAR(static_cast<double>(HeliocentricCorrection::TrueAnomaly(180.0L, 0.0167L)), 180.0, 1e-6);
    EXPECT_NEAR(static_cast<double>(HeliocentricCorrection::TrueAnomaly(90.0L, 0.0L)), 90.0, 1e-9);
    // e = 0.0167: nu - M reaches 2 e sin M (in radians) at first order.
    EXPECT_NEAR(static_cast<double>(HeliocentricCorrection::TrueAnomaly(90.0L, 0.0167L)),
                90.0 + 2 * 0.0167 * 180.0 / M_PI, 0.02);
    // Meeus, example 12.a: 1987 April 10, 0h UT: GMST 13h10m46.3668s.
    const CalendarDate oDate{1987, 4, 10, 0, 0};
    const double fTheta = static_cast<double>(HeliocentricCorrection::LocalSiderealAngle(oDate, 0.0L));
    EXPECT_NEAR(fTheta * 12.0 / M_PI, 13.0 + 10.0 / 60 + 46.3668 / 3600, 1e-6);
    EXPECT_NEAR(static_cast<double>(HeliocentricCorrection::Obliquity(0.0L)), 23.439291, 1e-12);
}
