// What a spectrum file says about its observation besides the samples: the time, the object and
// its coordinates, the site, and a correction for the observer's motion written by this program.
// Every item is optional; the header cards are kept for showing them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The frame of a spectrum's wavelengths: as observed, or already corrected for the observer's motion.
enum class WavelengthFrame { kTopocentric, kHeliocentric, kBarycentric };

struct SpectrumMetadata {
    std::optional<double> oJulianDateMid;         // UT, the middle of the exposure
    std::optional<double> oExposureSeconds;       // EXPTIME, or DATE-END - DATE-OBS
    std::string sObject;                          // empty: none
    std::optional<double> oRightAscensionHours;   // 0 .. 24
    std::optional<double> oDeclinationDegrees;    // -90 .. 90
    std::optional<double> oEquinox;               // years, as the file states it
    std::optional<double> oLongitudeWestDegrees;  // the program counts longitude positive west
    std::optional<double> oLatitudeDegrees;
    std::optional<double> oHeightMetres;          // the site's height above sea level (or the ellipsoid)
    std::optional<double> oVelocityCorrection;    // km/s
    // Who, with what and where (OBSERVER, BSS_INST, BSS_SITE), and the resolving power (SPE_RPOW,
    // BSS_ITRP or BSS_ESRP); empty or none when the file does not say.
    std::string sObserver;
    std::string sInstrument;
    std::string sSite;
    std::optional<double> oResolvingPower;
    // The BeSS corrections for the observer's motion (km/s): BSS_VHEL, already applied to the
    // wavelengths (0: they are topocentric), and BSS_RQVH, the one still to apply.
    std::optional<double> oCorrectionApplied;
    std::optional<double> oCorrectionToApply;
    WavelengthFrame eFrame = WavelengthFrame::kTopocentric; // from BSS_VHEL or SPECSYS
    std::optional<double> oHeliocentricJulianDate;          // JD-HEL, as the file states it
    // The BeSS processing flags as written: telluric lines removed (BSS_TELL), normalised (BSS_NORM),
    // cosmic-ray hits removed (BSS_COSM); empty when the file does not say.
    std::string sTelluric;
    std::string sNormalised;
    std::string sCosmics;
    // For each item the keyword(s) it was read from, by the item's name in `info`'s output.
    std::map<std::string, std::string> mSources;
    std::vector<std::string> vHeaderCards;        // the 80-character cards, as read

    bool HasCoordinates() const { return oRightAscensionHours && oDeclinationDegrees; }
    bool HasSite() const { return oLongitudeWestDegrees && oLatitudeDegrees; }
    // True when the wavelengths already carry the correction for the observer's motion: the velocities
    // of its lines are not corrected again.
    bool IsCorrected() const { return eFrame != WavelengthFrame::kTopocentric; }
};
