// A site given by its geocentric position (the OBSGEO-X/Y/Z of FITS headers) as longitude, latitude and
// height on the WGS84 ellipsoid (ERFA's eraGc2gd).
#pragma once

#include <optional>

struct GeodeticSite {
    double fLongitudeEastDegrees = 0.0; // -180 .. 180
    double fLatitudeDegrees = 0.0;
    double fHeightMetres = 0.0;         // above the ellipsoid
};

// The site of the geocentric position (metres); none for a position ERFA cannot convert (the centre of
// the Earth, numbers that are not finite).
std::optional<GeodeticSite> GeodeticOfGeocentric(double fX, double fY, double fZ);
