#include "FitsSpectrum.h"

#include "FitsHandle.h"
#include "astro/JulianDate.h"
#include "core/AtomicFile.h"
#include "core/NumberText.h"

#include <fitsio.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

using quandrel::fits::FitsHandle;
using quandrel::fits::StatusText;

double EvenStep(const std::vector<double>& vWavelength)
{
    const std::size_t n = vWavelength.size();
    if (n < 2) {
        return 0.0;
    }
    const double fStep = (vWavelength.back() - vWavelength.front()) / static_cast<double>(n - 1);
    if (!(fStep > 0) || !std::isfinite(fStep)) {
        return 0.0;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (std::fabs(vWavelength[i] - (vWavelength.front() + static_cast<double>(i) * fStep)) > 1e-6 * fStep) {
            return 0.0;
        }
    }
    return fStep;
}

namespace {

// "YYYY-MM-DDThh:mm:ss.sss" of a Julian date (UT) rounded to the millisecond; nothing outside the
// years 1 .. 9999.
std::optional<std::string> IsoDateTimeOfJulianDate(double fJulianDate)
{
    // Whole milliseconds since the civil day of JD 0 began, so that rounding carries into the date.
    const long double fMilliseconds = std::round((static_cast<long double>(fJulianDate) + 0.5L) * 86400000.0L);
    const long double fDay = std::floor(fMilliseconds / 86400000.0L);
    const auto lOfDay = static_cast<long long>(fMilliseconds - fDay * 86400000.0L);
    const CalendarDate oDate = JulianDate::ToCalendar(static_cast<double>(fDay) - 0.5 + 0.25);
    if (oDate.year < 1 || oDate.year > 9999) {
        return std::nullopt;
    }
    std::array<char, 40> acDate{};
    std::snprintf(acDate.data(), acDate.size(), "%04d-%02d-%02dT%02lld:%02lld:%02lld.%03lld", oDate.year, oDate.month,
                  static_cast<int>(oDate.day), lOfDay / 3600000, lOfDay / 60000 % 60, lOfDay / 1000 % 60, lOfDay % 1000);
    return std::string(acDate.data());
}

void WriteMetadata(fitsfile* pFile, const SpectrumMetadata& o, int& lStatus)
{
    const auto Text = [&](const char* pcKey, const std::string& sValue, const char* pcComment) {
        std::string sKey = pcKey;
        std::string sCopy = sValue.substr(0, 68);
        std::string sComment = pcComment;
        fits_update_key(pFile, TSTRING, sKey.data(), sCopy.data(), sComment.data(), &lStatus);
    };
    const auto Real = [&](const char* pcKey, double fValue, const char* pcComment) {
        std::string sKey = pcKey;
        std::string sComment = pcComment;
        fits_update_key_dbl(pFile, sKey.data(), fValue, -17, sComment.data(), &lStatus);
    };
    // The keywords the amateur databases ask for (BeSS, STAROS, BAA): OBJNAME beside OBJECT, DATE-OBS
    // the start of the exposure, the site as GEO_*, the corrections as BSS_VHEL and BSS_RQVH.
    if (!o.sObject.empty()) {
        Text("OBJNAME", o.sObject, "object name");
        Text("OBJECT", o.sObject, "object name");
    }
    if (o.oJulianDateMid) {
        const double fHalfDays = o.oExposureSeconds.value_or(0.0) / 2.0 / 86400.0;
        const auto sStart = IsoDateTimeOfJulianDate(*o.oJulianDateMid - fHalfDays);
        const auto sEnd = IsoDateTimeOfJulianDate(*o.oJulianDateMid + fHalfDays);
        if (sStart && sEnd && o.oExposureSeconds) {
            Text("DATE-OBS", *sStart, "UT, start of the exposure");
            Text("DATE-END", *sEnd, "UT, end of the exposure");
            Real("EXPTIME", *o.oExposureSeconds, "exposure, seconds");
        } else if (sStart) {
            Text("DATE-OBS", *sStart, "UT, middle of the exposure (its length is unknown)");
        }
        Real("JD-MID", *o.oJulianDateMid, "Julian date (UT) of the middle of the exposure");
    }
    if (o.oHeliocentricJulianDate) {
        Real("JD-HEL", *o.oHeliocentricJulianDate, "heliocentric Julian date, as read");
    }
    if (o.oRightAscensionHours) {
        Real("RA", *o.oRightAscensionHours * 15.0, "right ascension, degrees");
    }
    if (o.oDeclinationDegrees) {
        Real("DEC", *o.oDeclinationDegrees, "declination, degrees");
    }
    if (o.oEquinox) {
        Real("EQUINOX", *o.oEquinox, "equinox of the coordinates");
    }
    if (o.HasSite()) {
        Real("GEO_LONG", -*o.oLongitudeWestDegrees, "observatory longitude, degrees east");
        Real("GEO_LAT", *o.oLatitudeDegrees, "observatory latitude, degrees");
        if (o.oHeightMetres) {
            Real("GEO_ELEV", *o.oHeightMetres, "observatory height, metres");
        }
    }
    for (const auto& [pcKey, psText, pcComment] :
         {std::tuple{"OBSERVER", &o.sObserver, "observer"}, {"BSS_INST", &o.sInstrument, "instrument"},
          {"BSS_SITE", &o.sSite, "observation site"}, {"BSS_TELL", &o.sTelluric, "telluric lines removed"},
          {"BSS_NORM", &o.sNormalised, "normalised"}, {"BSS_COSM", &o.sCosmics, "cosmic-ray hits removed"}}) {
        if (!psText->empty()) {
            Text(pcKey, *psText, pcComment);
        }
    }
    if (o.oResolvingPower) {
        Real("SPE_RPOW", *o.oResolvingPower, "resolving power");
    }
    // The frame: a correction already in the wavelengths is kept as the file stated it.
    const char* pcFrame = o.eFrame == WavelengthFrame::kTopocentric    ? "TOPOCENT"
                          : o.eFrame == WavelengthFrame::kHeliocentric ? "HELIOCEN"
                                                                       : "BARYCENT";
    Text("SPECSYS", pcFrame, "frame of the wavelengths");
    if (!o.IsCorrected()) {
        Real("BSS_VHEL", 0.0, "km/s, correction applied to the wavelengths: none");
    } else if (o.oCorrectionApplied) {
        Real("BSS_VHEL", *o.oCorrectionApplied, "km/s, correction applied to the wavelengths");
    }
    if (o.oCorrectionToApply) {
        Real("BSS_RQVH", *o.oCorrectionToApply, "km/s, correction to apply, lambda (1 - RQVH/c)");
    }
    if (o.oVelocityCorrection) {
        Real("VCORR", *o.oVelocityCorrection, "correction for the observer's motion, km/s");
    }
}

} // namespace

bool WriteFitsSpectrum(const std::string& sPath, const std::vector<double>& vWavelength,
                       const std::vector<double>& vIntensity, const SpectrumMetadata& oMetadata, std::string& sError)
{
    const std::size_t n = std::min(vWavelength.size(), vIntensity.size());
    if (n == 0) {
        sError = "The spectrum holds no samples to write.";
        return false;
    }
    // Nothing that the reader would refuse: finite wavelengths that rise (or fall) from sample to sample.
    const bool bFalling = n > 1 && vWavelength[1] < vWavelength[0];
    for (std::size_t i = 0; i < n; ++i) {
        const bool bInOrder = i == 0 || (bFalling ? vWavelength[i] < vWavelength[i - 1] : vWavelength[i] > vWavelength[i - 1]);
        if (!std::isfinite(vWavelength[i]) || !bInOrder) {
            sError = "The spectrum cannot be written as FITS: its wavelength " + quandrel::FormatGeneral(vWavelength[i], 17) +
                     " (sample " + std::to_string(i + 1) + ") " +
                     (std::isfinite(vWavelength[i]) ? "does not " + std::string(bFalling ? "fall" : "rise") + " from the one before"
                                                    : "is no finite number") +
                     ", and a FITS spectrum needs wavelengths that do.";
            return false;
        }
    }
    std::size_t lSize = 2880;
    void* pBuffer = std::malloc(lSize);
    if (pBuffer == nullptr) {
        sError = "Not enough memory to write " + sPath + ".";
        return false;
    }
    FitsHandle oFile;
    int lStatus = 0;
    fits_create_memfile(oFile.Address(), &pBuffer, &lSize, 2880 * 16, std::realloc, &lStatus);
    const double fStep = EvenStep(vWavelength);
    const auto n64 = static_cast<long long>(n);
    if (fStep > 0) {
        std::array<long, 1> alAxes{static_cast<long>(n)};
        fits_create_img(oFile.Get(), DOUBLE_IMG, 1, alAxes.data(), &lStatus);
        std::string sType = "Wavelength";
        std::string sUnit = "Angstrom";
        fits_update_key(oFile.Get(), TSTRING, "CTYPE1", sType.data(), "wavelength in air or vacuum as measured", &lStatus);
        fits_update_key(oFile.Get(), TSTRING, "CUNIT1", sUnit.data(), "", &lStatus);
        fits_update_key_dbl(oFile.Get(), "CRPIX1", 1.0, -15, "reference pixel", &lStatus);
        fits_update_key_dbl(oFile.Get(), "CRVAL1", vWavelength.front(), -17, "wavelength at the reference pixel", &lStatus);
        fits_update_key_dbl(oFile.Get(), "CDELT1", fStep, -17, "wavelength step", &lStatus);
        WriteMetadata(oFile.Get(), oMetadata, lStatus);
        fits_write_img(oFile.Get(), TDOUBLE, 1, n64, const_cast<double*>(vIntensity.data()), &lStatus);
    } else {
        std::array<char*, 2> apcNames{const_cast<char*>("WAVE"), const_cast<char*>("FLUX")};
        std::array<char*, 2> apcForms{const_cast<char*>("1D"), const_cast<char*>("1D")};
        std::array<char*, 2> apcUnits{const_cast<char*>("Angstrom"), const_cast<char*>("")};
        std::array<long, 1> alNone{0};
        fits_create_img(oFile.Get(), DOUBLE_IMG, 0, alNone.data(), &lStatus);
        WriteMetadata(oFile.Get(), oMetadata, lStatus);
        fits_create_tbl(oFile.Get(), BINARY_TBL, n64, 2, apcNames.data(), apcForms.data(), apcUnits.data(), "SPECTRUM",
                        &lStatus);
        fits_write_col(oFile.Get(), TDOUBLE, 1, 1, 1, n64, const_cast<double*>(vWavelength.data()), &lStatus);
        fits_write_col(oFile.Get(), TDOUBLE, 2, 1, 1, n64, const_cast<double*>(vIntensity.data()), &lStatus);
    }
    fitsfile* pFile = oFile.Release();
    if (pFile != nullptr) {
        int lCloseStatus = 0;
        fits_close_file(pFile, &lCloseStatus);
        if (lStatus == 0) {
            lStatus = lCloseStatus;
        }
    }
    bool bWritten = false;
    if (lStatus != 0) {
        sError = "The spectrum cannot be written as FITS (" + StatusText(lStatus) + ").";
    } else if (!quandrel::WriteFileAtomically(sPath, std::string(static_cast<const char*>(pBuffer), lSize))) {
        sError = "The file " + sPath + " cannot be written (" + quandrel::LastWriteFailure() + ").";
    } else {
        bWritten = true;
    }
    std::free(pBuffer);
    return bWritten;
}
