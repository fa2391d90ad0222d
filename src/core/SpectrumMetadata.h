// What a spectrum file says about its observation besides the samples: the time, the object and
// its coordinates, the site, and a correction for the observer's motion written by this program.
// Every item is optional; the header cards are kept for showing them.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct SpectrumMetadata {
    std::optional<double> oJulianDateMid;         // UT, the middle of the exposure
    std::string sObject;                          // empty: none
    std::optional<double> oRightAscensionHours;   // 0 .. 24
    std::optional<double> oDeclinationDegrees;    // -90 .. 90
    std::optional<double> oEquinox;               // years, as the file states it
    std::optional<double> oLongitudeWestDegrees;  // the program counts longitude positive west
    std::optional<double> oLatitudeDegrees;
    std::optional<double> oHeightMetres;          // the site's height above sea level (or the ellipsoid)
    std::optional<double> oVelocityCorrection;    // km/s
    std::vector<std::string> vHeaderCards;        // the 80-character cards, as read

    bool HasCoordinates() const { return oRightAscensionHours && oDeclinationDegrees; }
    bool HasSite() const { return oLongitudeWestDegrees && oLatitudeDegrees; }
};
