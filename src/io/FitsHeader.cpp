#include "FitsHeader.h"

#include "astro/JulianDateClass.h"
#include "core/NumberText.h"

#include <array>
#include <cmath>

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
        if (const auto it = oKeywords.find(pcName); it != oKeywords.end() && !it->second.empty()) {
            return &it->second;
        }
    }
    return nullptr;
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
    static constexpr std::array<int, 12> alDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return lYear >= 1 && lMonth >= 1 && lMonth <= 12 && lDay >= 1 && lDay <= alDays[static_cast<std::size_t>(lMonth - 1)];
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
    return CJulianDate::JulianDate(lYear, lMonth, lDay, fHours, 0.0);
}

SSpectrumMetadata MetadataFromKeywords(const FitsKeywords& oKeywords, std::vector<std::string>& vWarnings)
{
    SSpectrumMetadata o;
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

    // The observation time: a middle stated as such, else a start plus half the exposure.
    if (const auto o1 = NumberOf("JD-MID", "is no Julian date.")) {
        o.oJulianDateMid = *o1;
    } else if (const auto o2 = NumberOf("MJD-MID", "is no modified Julian date.")) {
        o.oJulianDateMid = *o2 + 2400000.5;
    } else {
        std::optional<double> oStart;
        for (const char* pcKey : {"DATE-OBS", "DATE-BEG"}) {
            if (const std::string* pDate = Find(oKeywords, {pcKey})) {
                const std::string* pTime = Find(oKeywords, {"TIME-OBS", "UT", "UTSTART", "UT-START"});
                oStart = JulianDateOfFitsDate(*pDate, pTime != nullptr ? *pTime : std::string());
                if (!oStart) {
                    Warn(pcKey, *pDate + (pTime != nullptr ? "' with the time '" + *pTime : ""),
                         "is no date the program reads; the observation time is left unset.");
                }
                break;
            }
        }
        if (!oStart) {
            if (const auto o3 = NumberOf("JD-OBS", "is no Julian date.")) {
                oStart = *o3;
            } else if (const auto o4 = NumberOf("MJD-OBS", "is no modified Julian date.")) {
                oStart = *o4 + 2400000.5;
            }
        }
        if (oStart) {
            double fExposure = 0.0;
            for (const char* pcKey : {"EXPTIME", "EXPOSURE"}) {
                if (Find(oKeywords, {pcKey}) != nullptr) {
                    const auto oExposure = NumberOf(pcKey, "is no exposure time in seconds.");
                    if (oExposure && *oExposure >= 0) {
                        fExposure = *oExposure;
                    }
                    break;
                }
            }
            o.oJulianDateMid = *oStart + fExposure / 2.0 / 86400.0;
        }
    }

    if (const std::string* p = Find(oKeywords, {"OBJECT", "OBJNAME"})) {
        o.sObject = *p;
    }

    // Right ascension: degrees as a number, hours as a sexagesimal text.
    const auto Angle = [&](std::initializer_list<const char*> lKeys, bool bHours, double fLimit) -> std::optional<double> {
        for (const char* pcKey : lKeys) {
            const std::string* p = Find(oKeywords, {pcKey});
            if (p == nullptr) {
                continue;
            }
            std::optional<double> oValue;
            if (const auto oNumber = Number(*p)) {
                oValue = bHours ? *oNumber / 15.0 : *oNumber;
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
    o.oRightAscensionHours = Angle({"RA", "OBJCTRA"}, true, 24.0);
    o.oDeclinationDegrees = Angle({"DEC", "OBJCTDEC"}, false, 90.0);
    if (o.oRightAscensionHours && *o.oRightAscensionHours == 24.0) {
        o.oRightAscensionHours = 0.0;
    }
    if (Find(oKeywords, {"EQUINOX"}) != nullptr) {
        o.oEquinox = NumberOf("EQUINOX", "is no equinox.");
    } else if (Find(oKeywords, {"EPOCH"}) != nullptr) {
        o.oEquinox = NumberOf("EPOCH", "is no equinox.");
    }

    // The site: FITS counts longitude east.
    for (const auto& [pcLong, pcLat] : {std::pair{"GEOLONG", "GEOLAT"}, {"SITELONG", "SITELAT"},
                                        {"LONG-OBS", "LAT-OBS"}, {"OBSGEO-L", "OBSGEO-B"}}) {
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
        }
        break;
    }
    o.oVelocityCorrection = NumberOf("VCORR", "is no velocity.");
    return o;
}
