#include "FitsHeader.h"

#include "astro/Geodetic.h"
#include "astro/JulianDate.h"
#include "astro/Precession.h"
#include "astro/TimeScales.h"
#include "core/NumberText.h"

#include <array>
#include <cmath>
#include <tuple>

namespace {

// A FITS number: also with a Fortran exponent ("1.5D+03").
std::optional<double> Number(std::string_view sText)
{
    std::string sCopy(sText);
    for (char& c : sCopy) {
        if (c == 'D' || c == 'd') {
            c = 'E';
        }
    }
    double f = 0.0;
    if (!quandrel::ParseWholeDouble(sCopy, f) || !std::isfinite(f)) {
        return std::nullopt;
    }
    return f;
}

const std::string* Find(const FitsKeywords& oKeywords, std::initializer_list<const char*> lNames)
{
    for (const char* pcName : lNames) {
        if (const auto it = oKeywords.find(pcName); it != oKeywords.end() && !it->second.sText.empty()) {
            return &it->second.sText;
        }
    }
    return nullptr;
}

bool IsQuoted(const FitsKeywords& oKeywords, const char* pcName)
{
    const auto it = oKeywords.find(pcName);
    return it != oKeywords.end() && it->second.bQuoted;
}

// True when an ISO date text holds a time of day ("2022-06-08T21:30:00").
bool HoldsTimeOfDay(std::string_view sDate)
{
    return sDate.find('T') != std::string_view::npos;
}

// A whole number of exactly lDigits digits at the front of sText, taken off it.
std::optional<int> Digits(std::string_view& sText, std::size_t lDigits)
{
    if (sText.size() < lDigits) {
        return std::nullopt;
    }
    int lValue = 0;
    for (std::size_t i = 0; i < lDigits; ++i) {
        if (sText[i] < '0' || sText[i] > '9') {
            return std::nullopt;
        }
        lValue = lValue * 10 + (sText[i] - '0');
    }
    sText.remove_prefix(lDigits);
    return lValue;
}

bool Take(std::string_view& sText, char c)
{
    if (sText.empty() || sText.front() != c) {
        return false;
    }
    sText.remove_prefix(1);
    return true;
}

// "hh:mm:ss.s" (seconds optional) as hours.
std::optional<double> TimeOfDay(std::string_view sText)
{
    const auto lHours = Digits(sText, 2);
    if (!lHours || !Take(sText, ':')) {
        return std::nullopt;
    }
    const auto lMinutes = Digits(sText, 2);
    if (!lMinutes) {
        return std::nullopt;
    }
    double fSeconds = 0.0;
    if (Take(sText, ':')) {
        const auto oSeconds = Number(sText);
        if (!oSeconds || *oSeconds < 0 || *oSeconds >= 61) {
            return std::nullopt;
        }
        fSeconds = *oSeconds;
    } else if (!sText.empty()) {
        return std::nullopt;
    }
    if (*lHours > 23 || *lMinutes > 59) {
        return std::nullopt;
    }
    return *lHours + *lMinutes / 60.0 + fSeconds / 3600.0;
}

bool IsValidDay(int lYear, int lMonth, int lDay)
{
    return lYear >= 1 && lDay >= 1 && lDay <= JulianDate::DaysInMonth(lYear, lMonth);
}

// Degrees west in (-180, 180] of a longitude counted east.
double WestOfEast(double fEast)
{
    double fWest = std::fmod(-fEast, 360.0);
    if (fWest <= -180.0) {
        fWest += 360.0;
    } else if (fWest > 180.0) {
        fWest -= 360.0;
    }
    return fWest;
}

} // namespace

std::optional<double> ParseSexagesimal(std::string_view sText)
{
    while (!sText.empty() && sText.front() == ' ') {
        sText.remove_prefix(1);
    }
    while (!sText.empty() && sText.back() == ' ') {
        sText.remove_suffix(1);
    }
    bool bNegative = false;
    if (!sText.empty() && (sText.front() == '-' || sText.front() == '+')) {
        bNegative = sText.front() == '-';
        sText.remove_prefix(1);
    }
    // Up to three fields separated by ':' or blanks (or the letters h, m, s, d).
    std::array<double, 3> afFields{};
    std::size_t lFields = 0;
    std::size_t lStart = 0;
    for (std::size_t i = 0; i <= sText.size(); ++i) {
        const bool bEnd = i == sText.size();
        const char c = bEnd ? ' ' : sText[i];
        if (c == ':' || c == ' ' || c == 'h' || c == 'm' || c == 's' || c == 'd') {
            if (i > lStart) {
                if (lFields == afFields.size()) {
                    return std::nullopt;
                }
                const auto oField = Number(sText.substr(lStart, i - lStart));
                if (!oField || *oField < 0 || (*oField >= 60 && lFields > 0)) {
                    return std::nullopt;
                }
                afFields[lFields++] = *oField;
            } else if (c == ':') {
                return std::nullopt;
            }
            lStart = i + 1;
        }
    }
    if (lFields == 0) {
        return std::nullopt;
    }
    const double fValue = afFields[0] + afFields[1] / 60.0 + afFields[2] / 3600.0;
    return bNegative ? -fValue : fValue;
}

std::optional<double> JulianDateOfFitsDate(std::string_view sDate, std::string_view sTime)
{
    int lYear = 0;
    int lMonth = 0;
    int lDay = 0;
    double fHours = 0.0;
    bool bTimeInDate = false;
    std::string_view s = sDate;
    if (s.size() >= 8 && s[2] == '/') {
        // The form before 2000: DD/MM/YY of the years 1900..1999.
        const auto d = Digits(s, 2);
        const bool bSlash1 = Take(s, '/');
        const auto m = Digits(s, 2);
        const bool bSlash2 = Take(s, '/');
        const auto y = Digits(s, 2);
        if (!d || !m || !y || !bSlash1 || !bSlash2 || !s.empty()) {
            return std::nullopt;
        }
        lYear = 1900 + *y;
        lMonth = *m;
        lDay = *d;
    } else {
        const auto y = Digits(s, 4);
        const bool bDash1 = Take(s, '-');
        const auto m = Digits(s, 2);
        const bool bDash2 = Take(s, '-');
        const auto d = Digits(s, 2);
        if (!y || !m || !d || !bDash1 || !bDash2) {
            return std::nullopt;
        }
        lYear = *y;
        lMonth = *m;
        lDay = *d;
        if (Take(s, 'T')) {
            const auto oHours = TimeOfDay(s);
            if (!oHours) {
                return std::nullopt;
            }
            fHours = *oHours;
            bTimeInDate = true;
        } else if (!s.empty()) {
            return std::nullopt;
        }
    }
    if (!IsValidDay(lYear, lMonth, lDay)) {
        return std::nullopt;
    }
    if (!bTimeInDate && !sTime.empty()) {
        const auto oHours = TimeOfDay(sTime);
        if (!oHours) {
            return std::nullopt;
        }
        fHours = *oHours;
    }
    return JulianDate::FromCalendar(lYear, lMonth, lDay, fHours, 0.0);
}

SpectrumMetadata MetadataFromKeywords(const FitsKeywords& oKeywords, std::vector<std::string>& vWarnings)
{
    SpectrumMetadata o;
    const auto Warn = [&vWarnings](const char* pcKey, const std::string& sValue, const char* pcWhat) {
        vWarnings.push_back(std::string(pcKey) + " = '" + sValue + "' " + pcWhat);
    };
    const auto NumberOf = [&](const char* pcKey, const char* pcWhat) -> std::optional<double> {
        const std::string* p = Find(oKeywords, {pcKey});
        if (p == nullptr) {
            return std::nullopt;
        }
        const auto oValue = Number(*p);
        if (!oValue) {
            Warn(pcKey, *p, pcWhat);
        }
        return oValue;
    };
    const auto Source = [&o](const char* pcItem, std::string sKeys) { o.mSources[pcItem] = std::move(sKeys); };
    // The first of the keys the header holds, or nullptr.
    const auto FirstKey = [&oKeywords](std::initializer_list<const char*> lKeys) -> const char* {
        for (const char* pcKey : lKeys) {
            if (Find(oKeywords, {pcKey}) != nullptr) {
                return pcKey;
            }
        }
        return nullptr;
    };

    // The observation time: a middle stated as such, else a start plus half the exposure. Of the
    // starts, one that holds a time of day: a date alone is midnight, and said to be.
    const auto DateOf = [&](const char* pcKey, bool bWithTimeKeys) -> std::optional<double> {
        const std::string* pDate = Find(oKeywords, {pcKey});
        if (pDate == nullptr) {
            return std::nullopt;
        }
        const std::string* pTime = bWithTimeKeys ? Find(oKeywords, {"TIME-OBS", "UT", "UTSTART", "UT-START"}) : nullptr;
        const auto oDate = JulianDateOfFitsDate(*pDate, pTime != nullptr ? *pTime : std::string());
        if (!oDate) {
            Warn(pcKey, *pDate + (pTime != nullptr ? "' with the time '" + *pTime : ""),
                 "is no date the program reads; the observation time is left unset.");
        }
        return oDate;
    };
    const auto NumericDate = [&](const char* pcJd, const char* pcMjd) -> std::optional<double> {
        if (const auto oJd = NumberOf(pcJd, "is no Julian date.")) {
            Source("jd_mid", pcJd);
            return *oJd;
        }
        if (const auto oMjd = NumberOf(pcMjd, "is no modified Julian date.")) {
            Source("jd_mid", pcMjd);
            return *oMjd + 2400000.5;
        }
        return std::nullopt;
    };
    std::optional<double> oMiddle = NumericDate("JD-MID", "MJD-MID");
    if (!oMiddle) {
        oMiddle = DateOf("DATE-AVG", false);
        if (oMiddle) {
            Source("jd_mid", "DATE-AVG");
        }
    }
    if (!oMiddle) {
        oMiddle = NumericDate("JD-AVG", "MJD-AVG");
    }
    if (oMiddle) {
        o.oJulianDateMid = oMiddle;
    } else {
        const char* pcDateKey = Find(oKeywords, {"DATE-OBS"}) != nullptr ? "DATE-OBS" : "DATE-BEG";
        const std::string* pDate = Find(oKeywords, {pcDateKey});
        const bool bDateHasTime = pDate != nullptr && (HoldsTimeOfDay(*pDate) ||
                                                       Find(oKeywords, {"TIME-OBS", "UT", "UTSTART", "UT-START"}) != nullptr);
        const std::optional<double> oDate = DateOf(pcDateKey, true);
        const std::optional<double> oNumeric = NumericDate("JD-OBS", "MJD-OBS");
        const char* pcNumericKey = Find(oKeywords, {"JD-OBS"}) != nullptr ? "JD-OBS" : "MJD-OBS";
        std::optional<double> oStart;
        std::string sStartKeys = pcDateKey;
        if (const char* pcTimeKey = FirstKey({"TIME-OBS", "UT", "UTSTART", "UT-START"});
            pcTimeKey != nullptr && pDate != nullptr && !HoldsTimeOfDay(*pDate)) {
            sStartKeys = sStartKeys + " " + pcTimeKey;
        }
        if (oDate && bDateHasTime) {
            oStart = oDate;
            if (oNumeric && std::fabs(*oNumeric - *oDate) * 86400.0 > 1.0) {
                Warn(pcNumericKey, *Find(oKeywords, {pcNumericKey}),
                     ("disagrees with " + std::string(pcDateKey) + " by " +
                      quandrel::FormatFixed(std::fabs(*oNumeric - *oDate) * 86400.0, 1) + " s; " + pcDateKey +
                      " is taken.").c_str());
            }
        } else if (oNumeric) {
            oStart = oNumeric;
            sStartKeys = pcNumericKey;
            if (oDate && (*oNumeric < *oDate - 1e-9 || *oNumeric >= *oDate + 1.0)) {
                Warn(pcNumericKey, *Find(oKeywords, {pcNumericKey}),
                     ("falls on another day than " + std::string(pcDateKey) + " = '" + *pDate + "'; " + pcNumericKey +
                      " is taken.").c_str());
            }
        } else if (oDate) {
            oStart = oDate;
            Warn(pcDateKey, *pDate, "holds a date without a time of day; the observation time is taken as midnight.");
        }
        // The end of the exposure with its start gives the middle (the amateur header's DATE-END).
        const std::optional<double> oEnd =
            oStart && Find(oKeywords, {"DATE-END"}) != nullptr ? DateOf("DATE-END", false) : std::nullopt;
        if (oStart && oEnd && *oEnd >= *oStart) {
            o.oJulianDateMid = (*oStart + *oEnd) / 2.0;
            o.oExposureSeconds = (*oEnd - *oStart) * 86400.0;
            Source("jd_mid", sStartKeys + " DATE-END");
        } else if (oStart) {
            double fExposure = 0.0;
            if (const char* pcKey = FirstKey({"EXPTIME", "EXPOSURE"})) {
                const auto oExposure = NumberOf(pcKey, "is no exposure time in seconds.");
                if (oExposure && *oExposure >= 0) {
                    fExposure = *oExposure;
                    o.oExposureSeconds = fExposure;
                    sStartKeys = sStartKeys + " " + pcKey;
                }
            }
            o.oJulianDateMid = *oStart + fExposure / 2.0 / 86400.0;
            Source("jd_mid", sStartKeys);
        }
    }
    // The exposure also beside a stated middle, so that a header written again keeps it.
    if (const char* pcKey = FirstKey({"EXPTIME", "EXPOSURE"}); pcKey != nullptr && !o.oExposureSeconds) {
        if (const auto oExposure = Number(*Find(oKeywords, {pcKey})); oExposure && *oExposure >= 0) {
            o.oExposureSeconds = *oExposure;
        }
    }
    // The heliocentric date as stated; the time itself when the header gives no other, which is said.
    o.oHeliocentricJulianDate = NumberOf("JD-HEL", "is no Julian date.");
    if (o.oHeliocentricJulianDate) {
        Source("jd_hel", "JD-HEL");
        if (!o.oJulianDateMid) {
            o.oJulianDateMid = o.oHeliocentricJulianDate;
            Source("jd_mid", "JD-HEL");
            Warn("JD-HEL", *Find(oKeywords, {"JD-HEL"}),
                 "is the only time the header gives: it is taken as the observation time, which may be up to "
                 "8.3 minutes off the time at the observer.");
        }
    }
    // The time scale: UTC unless the header says otherwise.
    if (const std::string* pScale = Find(oKeywords, {"TIMESYS"}); pScale != nullptr && o.oJulianDateMid) {
        if (const auto oUtc = UtcOfTimeScale(*o.oJulianDateMid, *pScale)) {
            o.oJulianDateMid = *oUtc;
        } else {
            Warn("TIMESYS", *pScale, "is a time scale the program does not convert; the time is taken as UTC.");
        }
    }

    if (const char* pcKey = FirstKey({"OBJECT", "OBJNAME"})) {
        o.sObject = *Find(oKeywords, {pcKey});
        Source("object", pcKey);
    }
    for (const auto& [pcItem, pcKey, psText] :
         {std::tuple{"observer", "OBSERVER", &o.sObserver}, {"instrument", "BSS_INST", &o.sInstrument},
          {"site", "BSS_SITE", &o.sSite}, {"telluric", "BSS_TELL", &o.sTelluric},
          {"normalised", "BSS_NORM", &o.sNormalised}, {"cosmics", "BSS_COSM", &o.sCosmics}}) {
        if (const std::string* p = Find(oKeywords, {pcKey})) {
            *psText = *p;
            Source(pcItem, pcKey);
        }
    }
    if (const char* pcKey = FirstKey({"SPE_RPOW", "BSS_ITRP", "BSS_ESRP"})) {
        o.oResolvingPower = NumberOf(pcKey, "is no resolving power.");
        Source("resolving_power", pcKey);
    }
    o.oCorrectionApplied = NumberOf("BSS_VHEL", "is no velocity.");
    o.oCorrectionToApply = NumberOf("BSS_RQVH", "is no velocity.");
    if (o.oCorrectionApplied) {
        Source("vhel_applied", "BSS_VHEL");
    }
    if (o.oCorrectionToApply) {
        Source("rqvh", "BSS_RQVH");
    }
    // The wavelengths' frame: BSS_VHEL, the correction already applied (0: none), else the WCS's SPECSYS.
    if (o.oCorrectionApplied) {
        if (*o.oCorrectionApplied != 0.0) {
            o.eFrame = WavelengthFrame::kHeliocentric;
        }
        Source("frame", "BSS_VHEL");
    } else if (const std::string* p = Find(oKeywords, {"SPECSYS"})) {
        if (*p == "HELIOCEN") {
            o.eFrame = WavelengthFrame::kHeliocentric;
        } else if (*p == "BARYCENT") {
            o.eFrame = WavelengthFrame::kBarycentric;
        } else if (*p != "TOPOCENT") {
            Warn("SPECSYS", *p, "is a frame the program does not know; the wavelengths are taken as observed.");
        }
        Source("frame", "SPECSYS");
    }

    // Right ascension: degrees as a number, hours as a sexagesimal text.
    const auto Angle = [&](std::initializer_list<const char*> lKeys, bool bHours, double fLimit) -> std::optional<double> {
        for (const char* pcKey : lKeys) {
            const std::string* p = Find(oKeywords, {pcKey});
            if (p == nullptr) {
                continue;
            }
            Source(bHours ? "ra_h" : "dec_deg", pcKey);
            std::optional<double> oValue;
            if (const auto oNumber = Number(*p)) {
                // A number is degrees; a right ascension written as a string ('14.06') is hours.
                oValue = bHours && !IsQuoted(oKeywords, pcKey) ? *oNumber / 15.0 : *oNumber;
            } else {
                oValue = ParseSexagesimal(*p);
            }
            if (!oValue || std::fabs(*oValue) > fLimit || (bHours && *oValue < 0)) {
                Warn(pcKey, *p, bHours ? "is no right ascension." : "is no declination.");
                return std::nullopt;
            }
            return oValue;
        }
        return std::nullopt;
    };
    // BSS_RA and BSS_DEC are the BeSS database's (degrees).
    o.oRightAscensionHours = Angle({"RA", "OBJCTRA", "BSS_RA"}, true, 24.0);
    o.oDeclinationDegrees = Angle({"DEC", "OBJCTDEC", "BSS_DEC"}, false, 90.0);
    if (o.oRightAscensionHours && *o.oRightAscensionHours == 24.0) {
        o.oRightAscensionHours = 0.0;
    }
    if (Find(oKeywords, {"EQUINOX"}) != nullptr) {
        o.oEquinox = NumberOf("EQUINOX", "is no equinox.");
    } else if (Find(oKeywords, {"EPOCH"}) != nullptr) {
        o.oEquinox = NumberOf("EPOCH", "is no equinox.");
    }
    // Coordinates of another equinox are brought to J2000: an equinox before 1984 is a Besselian epoch
    // (FK4) unless the frame says FK5 or ICRS.
    if (o.oEquinox && *o.oEquinox != 2000.0 && o.HasCoordinates()) {
        const std::string* pFrame = Find(oKeywords, {"RADESYS", "RADECSYS"});
        const bool bBesselian = pFrame != nullptr ? *pFrame == "FK4" || *pFrame == "FK4-NO-E" : *o.oEquinox < 1984.0;
        const EquatorialJ2000 oJ2000 = PrecessToJ2000(*o.oRightAscensionHours, *o.oDeclinationDegrees,
                                                       JulianDateOfEquinox(*o.oEquinox, bBesselian));
        o.oRightAscensionHours = oJ2000.fRightAscensionHours;
        o.oDeclinationDegrees = oJ2000.fDeclinationDegrees;
        o.oEquinox = 2000.0;
    }

    // The site: FITS counts longitude east. GEO_LONG/GEO_LAT/GEO_ELEV are the amateur header's (ISIS, the
    // eShel export), BSS_LONG/BSS_LAT/BSS_ELEV the BeSS database's; heights in metres.
    const std::array<std::array<const char*, 3>, 6> aaSiteKeys{{{"GEOLONG", "GEOLAT", "GEOELEV"},
                                                                {"GEO_LONG", "GEO_LAT", "GEO_ELEV"},
                                                                {"BSS_LONG", "BSS_LAT", "BSS_ELEV"},
                                                                {"SITELONG", "SITELAT", "SITEELEV"},
                                                                {"LONG-OBS", "LAT-OBS", "ALT-OBS"},
                                                                {"OBSGEO-L", "OBSGEO-B", "OBSGEO-H"}}};
    for (const auto& [pcLong, pcLat, pcHeight] : aaSiteKeys) {
        const std::string* pLong = Find(oKeywords, {pcLong});
        const std::string* pLat = Find(oKeywords, {pcLat});
        if (pLong == nullptr || pLat == nullptr) {
            continue;
        }
        auto oLong = Number(*pLong);
        if (!oLong) {
            oLong = ParseSexagesimal(*pLong);
        }
        auto oLat = Number(*pLat);
        if (!oLat) {
            oLat = ParseSexagesimal(*pLat);
        }
        if (!oLong || std::fabs(*oLong) > 360.0) {
            Warn(pcLong, *pLong, "is no longitude.");
        } else if (!oLat || std::fabs(*oLat) > 90.0) {
            Warn(pcLat, *pLat, "is no latitude.");
        } else {
            o.oLongitudeWestDegrees = WestOfEast(*oLong);
            o.oLatitudeDegrees = *oLat;
            Source("lon_west_deg", pcLong);
            Source("lat_deg", pcLat);
            if (Find(oKeywords, {pcHeight}) != nullptr) {
                o.oHeightMetres = NumberOf(pcHeight, "is no height.");
                Source("height_m", pcHeight);
            }
        }
        break;
    }
    // Pipelines of larger telescopes give the site as a geocentric position (metres).
    const auto oX = NumberOf("OBSGEO-X", "is no position.");
    const auto oY = NumberOf("OBSGEO-Y", "is no position.");
    const auto oZ = NumberOf("OBSGEO-Z", "is no position.");
    if (!o.HasSite() && oX && oY && oZ) {
        if (const auto oSite = GeodeticOfGeocentric(*oX, *oY, *oZ)) {
            o.oLongitudeWestDegrees = WestOfEast(oSite->fLongitudeEastDegrees);
            o.oLatitudeDegrees = oSite->fLatitudeDegrees;
            o.oHeightMetres = oSite->fHeightMetres;
            for (const char* pcItem : {"lon_west_deg", "lat_deg", "height_m"}) {
                Source(pcItem, "OBSGEO-X OBSGEO-Y OBSGEO-Z");
            }
        } else {
            Warn("OBSGEO-X", *Find(oKeywords, {"OBSGEO-X"}), "and OBSGEO-Y, OBSGEO-Z are no position on the Earth.");
        }
    }
    o.oVelocityCorrection = NumberOf("VCORR", "is no velocity.");
    return o;
}
