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
    if (!o.sObject.empty()) {
        Text("OBJECT", o.sObject, "object name");
    }
    if (o.oJulianDateMid) {
        if (const auto sDate = IsoDateTimeOfJulianDate(*o.oJulianDateMid)) {
            Text("DATE-OBS", *sDate, "UT, middle of the exposure");
        }
        Real("JD-MID", *o.oJulianDateMid, "Julian date (UT) of the middle of the exposure");
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
        Real("GEOLONG", -*o.oLongitudeWestDegrees, "observatory longitude, degrees east");
        Real("GEOLAT", *o.oLatitudeDegrees, "observatory latitude, degrees");
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
        std::string sType = "WAVE";
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
