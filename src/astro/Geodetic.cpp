#include "Geodetic.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

std::optional<GeodeticSite> GeodeticOfGeocentric(double fX, double fY, double fZ)
{
    if (!std::isfinite(fX) || !std::isfinite(fY) || !std::isfinite(fZ) || (fX == 0.0 && fY == 0.0 && fZ == 0.0)) {
        return std::nullopt;
    }
    double afXyz[3] = {fX, fY, fZ};
    double fLongitude = 0.0;
    double fLatitude = 0.0;
    double fHeight = 0.0;
    if (eraGc2gd(ERFA_WGS84, afXyz, &fLongitude, &fLatitude, &fHeight) != 0 || !std::isfinite(fHeight)) {
        return std::nullopt;
    }
    return GeodeticSite{fLongitude * ERFA_DR2D, fLatitude * ERFA_DR2D, fHeight};
}
