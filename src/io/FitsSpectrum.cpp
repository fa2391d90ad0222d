#include "FitsSpectrum.h"

#include "FitsStructure.h"

#include "FitsHandle.h"
#include "FitsHeader.h"
#include "astro/JulianDate.h"
#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "core/WavelengthUnits.h"

#include <fitsio.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <utility>

using quandrel::fits::FitsHandle;
using quandrel::fits::StatusText;

namespace {

constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;
constexpr int kMaxHdus = 64;
// More samples than any spectrum has: two arrays of doubles of this length take 512 MiB.
constexpr std::uintmax_t kMaxSamples = std::uintmax_t{1} << 25;

std::string Upper(std::string s)
{
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return std::string(s);
}

// A value as written in a card: a string loses its quotes, and '' inside it is one '.
std::string UnquotedValue(std::string_view s)
{
    if (s.size() < 2 || s.front() != '\'' || s.back() != '\'') {
        return std::string(s);
    }
    s = s.substr(1, s.size() - 2);
    std::string sText;
    for (std::size_t i = 0; i < s.size(); ++i) {
        sText += s[i];
        if (s[i] == '\'' && i + 1 < s.size() && s[i + 1] == '\'') {
            ++i;
        }
    }
    return sText;
}

// The keywords and cards of the current HDU, added to those already read (later ones win).
void ReadHeader(fitsfile* pFile, FitsKeywords& oKeywords, std::vector<std::string>& vCards)
{
    int lStatus = 0;
    int lCount = 0;
    int lMore = 0;
    if (fits_get_hdrspace(pFile, &lCount, &lMore, &lStatus) != 0) {
        fits_clear_errmsg();
        return;
    }
    for (int i = 1; i <= lCount; ++i) {
        std::array<char, FLEN_CARD> acCard{};
        lStatus = 0;
        if (fits_read_record(pFile, i, acCard.data(), &lStatus) != 0) {
            break;
        }
        vCards.emplace_back(acCard.data());
        std::array<char, FLEN_KEYWORD> acName{};
        int lLength = 0;
        std::array<char, FLEN_VALUE> acValue{};
        std::array<char, FLEN_COMMENT> acComment{};
        if (fits_get_keyname(acCard.data(), acName.data(), &lLength, &lStatus) != 0 ||
            fits_parse_value(acCard.data(), acValue.data(), acComment.data(), &lStatus) != 0) {
            fits_clear_errmsg();
            continue;
        }
        const std::string sName = Upper(acName.data());
        if (sName.empty() || sName == "COMMENT" || sName == "HISTORY") {
            continue;
        }
        oKeywords[sName] = FitsKeyword{Trimmed(UnquotedValue(acValue.data())), acValue[0] == '\''};
    }
}

const std::string* Keyword(const FitsKeywords& oKeywords, const std::string& sName)
{
    const auto it = oKeywords.find(sName);
    return it == oKeywords.end() || it->second.sText.empty() ? nullptr : &it->second.sText;
}

std::optional<double> KeywordNumber(const FitsKeywords& oKeywords, const std::string& sName)
{
    const std::string* p = Keyword(oKeywords, sName);
    double f = 0.0;
    if (p == nullptr) {
        return std::nullopt;
    }
    std::string s = *p;
    std::replace(s.begin(), s.end(), 'D', 'E');
    if (!quandrel::ParseWholeDouble(s, f) || !std::isfinite(f)) {
        return std::nullopt;
    }
    return f;
}

// Angstrom per unit of a wavelength unit's name; nothing for a unit that is no length.
std::optional<double> AngstromPerUnit(const std::string& sUnit)
{
    const std::string s = Upper(Trimmed(sUnit));
    if (s.empty() || s == "ANGSTROM" || s == "ANGSTROMS" || s == "A" || s == "AA" || s == "0.1 NM" ||
        s == "0.1NM") {
        return 1.0;
    }
    if (s == "NM" || s == "NANOMETER" || s == "NANOMETERS") {
        return 10.0;
    }
    if (s == "UM" || s == "MICRON" || s == "MICRONS" || s == "MICROMETER") {
        return 1e4;
    }
    if (s == "M" || s == "METER" || s == "METERS") {
        return 1e10;
    }
    return std::nullopt;
}

// The failure of a read: the message names the file.
struct Unreadable {
    std::string sWhy;
};

// The bytes of a gzip-compressed file, decompressed here so that no more than 1 GiB is ever taken
// (a small file can expand a thousandfold).
std::string Gunzip(const std::string& sPath)
{
    gzFile pFile = gzopen(sPath.c_str(), "rb");
    if (pFile == nullptr) {
        throw Unreadable{"it cannot be read"};
    }
    std::string sBytes;
    std::array<char, 1 << 16> acBuffer{};
    int lRead = 0;
    while ((lRead = gzread(pFile, acBuffer.data(), static_cast<unsigned>(acBuffer.size()))) > 0) {
        if (sBytes.size() + static_cast<std::size_t>(lRead) > kMaxFileBytes) {
            gzclose(pFile);
            throw Unreadable{"it expands to more than 1 GiB"};
        }
        sBytes.append(acBuffer.data(), static_cast<std::size_t>(lRead));
    }
    const bool bDamaged = lRead < 0;
    gzclose(pFile);
    if (bDamaged) {
        throw Unreadable{"its compressed data are damaged"};
    }
    return sBytes;
}

// The types of a first axis that is a wavelength axis.
bool IsWavelengthType(const std::string& sType)
{
    return sType == "WAVE" || sType == "AWAV" || sType == "LAMBDA" || sType == "WAVELENGTH" || sType == "LINEAR" ||
           sType == "WAVE-LOG" || sType == "AWAV-LOG";
}

std::string AxisType(const FitsKeywords& oKeywords)
{
    return Upper(Trimmed(Keyword(oKeywords, "CTYPE1") ? *Keyword(oKeywords, "CTYPE1") : ""));
}

// True when the header gives its image a wavelength axis.
bool HasWavelengthAxis(const FitsKeywords& oKeywords)
{
    return KeywordNumber(oKeywords, "CRVAL1").has_value() || IsWavelengthType(AxisType(oKeywords));
}

// The wavelengths of an image's pixels 1 .. n from the axis keywords (the WCS rules: CD1_1 rules over
// CDELT1, which PC1_1 scales).
std::vector<double> ImageWavelengths(const FitsKeywords& oKeywords, long long n, std::vector<std::string>& vWarnings)
{
    std::vector<double> vWavelength(static_cast<std::size_t>(n));
    const std::string sType = AxisType(oKeywords);
    if (!sType.empty() && sType != "PIXEL" && !IsWavelengthType(sType)) {
        if (sType.starts_with("MULTISPE")) {
            throw Unreadable{"its first axis is of type '" + sType +
                           "' (IRAF multispec): its wavelengths are in WAT cards, which the program does not read"};
        }
        throw Unreadable{"its first axis is of type '" + sType + "', not a wavelength"};
    }
    const auto oValue = KeywordNumber(oKeywords, "CRVAL1");
    if (!oValue) {
        // No axis: pixel numbers from 0, as a single-column text file gets them.
        for (long long i = 0; i < n; ++i) {
            vWavelength[static_cast<std::size_t>(i)] = static_cast<double>(i);
        }
        return vWavelength;
    }
    const double fPixel = KeywordNumber(oKeywords, "CRPIX1").value_or(1.0);
    std::optional<double> oStep = KeywordNumber(oKeywords, "CD1_1");
    if (!oStep) {
        if (const auto oDelta = KeywordNumber(oKeywords, "CDELT1")) {
            oStep = *oDelta * KeywordNumber(oKeywords, "PC1_1").value_or(1.0);
        }
    }
    if (!oStep || *oStep == 0.0) {
        throw Unreadable{"its wavelength axis has CRVAL1 but no step (CDELT1 or CD1_1)"};
    }
    const bool bLog = sType == "WAVE-LOG" || sType == "AWAV-LOG";
    const std::string* pUnit = Keyword(oKeywords, "CUNIT1");
    const auto oFactor = AngstromPerUnit(pUnit != nullptr ? *pUnit : "");
    if (!oFactor) {
        throw Unreadable{"its wavelength unit '" + *pUnit + "' is not one of Angstrom, nm, um, m"};
    }
    const bool bLog10 = KeywordNumber(oKeywords, "DC-FLAG").value_or(0.0) == 1.0;
    for (long long i = 0; i < n; ++i) {
        const double x = (static_cast<double>(i + 1) - fPixel) * *oStep;
        double fLambda = 0.0;
        if (bLog) {
            // The logarithmic axis of the WCS: lambda = CRVAL1 exp(w / CRVAL1).
            fLambda = *oValue * std::exp(x / *oValue);
        } else if (bLog10) {
            fLambda = std::pow(10.0, *oValue + x);
        } else {
            fLambda = *oValue + x;
        }
        vWavelength[static_cast<std::size_t>(i)] = fLambda * *oFactor;
    }
    // Without a unit, wavelengths in the range of nanometres are nanometres, as in text files.
    if (pUnit == nullptr && !vWavelength.empty() && WavelengthUnits::IsNanometer(vWavelength.front())) {
        WavelengthUnits::ConvertNmToAngstrom(vWavelength.data(), static_cast<int32_t>(vWavelength.size()));
        vWarnings.push_back("CUNIT1 is missing and the wavelengths start at " + quandrel::FormatGeneral(*oValue, 10) +
                            ": they are taken as nm, as in text files.");
    }
    return vWavelength;
}

void ReadImage(fitsfile* pFile, const FitsKeywords& oKeywords, int lAxes, const std::array<long long, 3>& alSize,
               int lBitpix, std::uintmax_t lBudget, FitsSpectrum& oSpectrum)
{
    for (int i = 1; i < lAxes; ++i) {
        if (alSize[static_cast<std::size_t>(i)] != 1) {
            throw Unreadable{"it holds a " + std::to_string(lAxes) + "-dimensional image (" +
                           std::to_string(alSize[0]) + " x " + std::to_string(alSize[1]) +
                           (lAxes == 3 ? " x " + std::to_string(alSize[2]) : std::string()) +
                           "), not a one-dimensional spectrum"};
        }
    }
    const long long n = alSize[0];
    int lStatus = 0;
    // A tile-compressed image holds fewer bytes than samples; its tiles were checked against the file.
    const bool bCompressed = fits_is_compressed_image(pFile, &lStatus) != 0;
    const auto lBytesPerPixel = static_cast<std::uintmax_t>(std::abs(lBitpix) / 8);
    if (n < 1 || (!bCompressed && static_cast<std::uintmax_t>(n) > lBudget / std::max<std::uintmax_t>(lBytesPerPixel, 1))) {
        throw Unreadable{"its image claims " + std::to_string(n) + " samples, more than the file holds"};
    }
    if (static_cast<std::uintmax_t>(n) > kMaxSamples) {
        throw Unreadable{"its image holds " + std::to_string(n) + " samples, more than the " +
                       std::to_string(kMaxSamples) + " the program takes"};
    }
    std::vector<double> vIntensity(static_cast<std::size_t>(n));
    // Floating-point images mark undefined samples as NaN themselves, so only integer images need the
    // check, which turns a BLANK sample into NaN.
    double fUndefined = lBitpix < 0 ? 0.0 : std::numeric_limits<double>::quiet_NaN();
    int lAnyUndefined = 0;
    if (fits_read_img(pFile, TDOUBLE, 1, n, &fUndefined, vIntensity.data(), &lAnyUndefined, &lStatus) != 0) {
        throw Unreadable{"its image cannot be read (" + StatusText(lStatus) + ")"};
    }
    std::vector<double> vWavelength = ImageWavelengths(oKeywords, n, oSpectrum.vWarnings);
    oSpectrum.vWavelength = std::move(vWavelength);
    oSpectrum.vIntensity = std::move(vIntensity);
}

// The number of the first column with one of these names (case-insensitive); 0 when none.
constexpr std::array<const char*, 4> kWavelengthColumns{"WAVE", "WAVELENGTH", "LAMBDA", "LAMBDA_AIR"};
constexpr std::array<const char*, 3> kFluxColumns{"FLUX", "FLUX_REDUCED", "INTENSITY"};

template <std::size_t N>
int FindColumn(fitsfile* pFile, const std::array<const char*, N>& lNames)
{
    for (const char* pcName : lNames) {
        int lColumn = 0;
        int lStatus = 0;
        std::string sName = pcName;
        if (fits_get_colnum(pFile, CASEINSEN, sName.data(), &lColumn, &lStatus) == 0) {
            return lColumn;
        }
        fits_clear_errmsg();
    }
    return 0;
}

void ReadTable(fitsfile* pFile, const FitsKeywords& oKeywords, std::uintmax_t lBudget, FitsSpectrum& oSpectrum)
{
    const int lWave = FindColumn(pFile, kWavelengthColumns);
    const int lFlux = FindColumn(pFile, kFluxColumns);
    if (lWave == 0 || lFlux == 0) {
        throw Unreadable{"its table has no wavelength column (WAVE, WAVELENGTH, LAMBDA, LAMBDA_AIR) or no flux column "
                       "(FLUX, FLUX_REDUCED, INTENSITY)"};
    }
    int lStatus = 0;
    long long lRows = 0;
    fits_get_num_rowsll(pFile, &lRows, &lStatus);
    std::array<long long, 2> alRepeat{};
    for (std::size_t k = 0; k < 2; ++k) {
        int lType = 0;
        long long lWidth = 0;
        fits_get_coltypell(pFile, k == 0 ? lWave : lFlux, &lType, &alRepeat[k], &lWidth, &lStatus);
        if (lStatus == 0 && lType < 0) {
            throw Unreadable{"its table holds variable-length arrays, which the program does not read"};
        }
    }
    if (lStatus != 0) {
        throw Unreadable{"its table cannot be read (" + StatusText(lStatus) + ")"};
    }
    long long n = 0;
    if (lRows == 1 && alRepeat[0] == alRepeat[1]) {
        n = alRepeat[0]; // one row of arrays
    } else if (alRepeat[0] == 1 && alRepeat[1] == 1) {
        n = lRows; // one row per sample
    } else {
        throw Unreadable{"its table holds " + std::to_string(lRows) + " rows of " + std::to_string(alRepeat[0]) +
                       " wavelengths: more than one spectrum"};
    }
    if (n < 1 || static_cast<std::uintmax_t>(n) > lBudget / 2) {
        throw Unreadable{"its table claims " + std::to_string(n) + " samples, more than the file holds"};
    }
    if (static_cast<std::uintmax_t>(n) > kMaxSamples) {
        throw Unreadable{"its table holds " + std::to_string(n) + " samples, more than the " +
                       std::to_string(kMaxSamples) + " the program takes"};
    }
    std::vector<double> vWavelength(static_cast<std::size_t>(n));
    std::vector<double> vIntensity(static_cast<std::size_t>(n));
    double fUndefined = std::numeric_limits<double>::quiet_NaN();
    int lAny = 0;
    fits_read_col(pFile, TDOUBLE, lWave, 1, 1, n, &fUndefined, vWavelength.data(), &lAny, &lStatus);
    fits_read_col(pFile, TDOUBLE, lFlux, 1, 1, n, &fUndefined, vIntensity.data(), &lAny, &lStatus);
    if (lStatus != 0) {
        throw Unreadable{"its table cannot be read (" + StatusText(lStatus) + ")"};
    }
    const std::string* pUnit = Keyword(oKeywords, "TUNIT" + std::to_string(lWave));
    const auto oFactor = AngstromPerUnit(pUnit != nullptr ? *pUnit : "");
    if (!oFactor) {
        throw Unreadable{"its wavelength unit '" + *pUnit + "' is not one of Angstrom, nm, um, m"};
    }
    for (double& f : vWavelength) {
        f *= *oFactor;
    }
    oSpectrum.vWavelength = std::move(vWavelength);
    oSpectrum.vIntensity = std::move(vIntensity);
}

// Leaves out undefined samples, turns a falling axis around, and refuses an axis that is not a
// finite, rising (or falling) run of wavelengths.
void Tidy(FitsSpectrum& o)
{
    std::size_t lKept = 0;
    for (std::size_t i = 0; i < o.vWavelength.size(); ++i) {
        if (std::isnan(o.vWavelength[i]) || !std::isfinite(o.vIntensity[i])) {
            continue;
        }
        if (!std::isfinite(o.vWavelength[i])) {
            throw Unreadable{"its wavelengths are not finite numbers"};
        }
        o.vWavelength[lKept] = o.vWavelength[i];
        o.vIntensity[lKept] = o.vIntensity[i];
        ++lKept;
    }
    o.vWavelength.resize(lKept);
    o.vIntensity.resize(lKept);
    if (lKept == 0) {
        throw Unreadable{"it holds no defined samples"};
    }
    if (lKept > 1 && o.vWavelength[1] < o.vWavelength[0]) {
        std::reverse(o.vWavelength.begin(), o.vWavelength.end());
        std::reverse(o.vIntensity.begin(), o.vIntensity.end());
    }
    for (std::size_t i = 1; i < lKept; ++i) {
        if (!(o.vWavelength[i] > o.vWavelength[i - 1])) {
            throw Unreadable{"its wavelengths do not rise from sample to sample"};
        }
    }
}

// The layout the headers declare, checked before CFITSIO sizes anything from them.
void CheckLayout(const quandrel::fits::ByteSource& fnRead, std::uint64_t lBytes)
{
    if (const std::string sWhy = quandrel::fits::CheckStructure(fnRead, lBytes, kMaxHdus); !sWhy.empty()) {
        throw Unreadable{"its " + sWhy};
    }
}

bool StartsWithGzip(const std::string& sPath)
{
    std::ifstream oFile(sPath, std::ios::binary);
    std::array<char, 2> ac{};
    return oFile.read(ac.data(), 2) && static_cast<unsigned char>(ac[0]) == 0x1F &&
           static_cast<unsigned char>(ac[1]) == 0x8B;
}

} // namespace

bool IsFitsFile(const std::string& sPath)
{
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sPath, oError)) {
        return false;
    }
    std::ifstream oFile(sPath, std::ios::binary);
    std::array<char, 9> ac{};
    if (!oFile.read(ac.data(), 2)) {
        return false;
    }
    if (static_cast<unsigned char>(ac[0]) == 0x1F && static_cast<unsigned char>(ac[1]) == 0x8B) {
        return true;
    }
    return oFile.read(ac.data() + 2, 7) && std::string_view(ac.data(), 9) == "SIMPLE  =";
}

quandrel::Result<FitsSpectrum> ReadFitsSpectrum(const std::string& sPath)
{
    const std::string sFile = "The file " + sPath + " ";
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sPath, oError)) {
        return quandrel::Failure(sFile + "is no regular file that can be read.");
    }
    const std::uintmax_t lBytes = std::filesystem::file_size(sPath, oError);
    if (oError || lBytes > kMaxFileBytes) {
        return quandrel::Failure(sFile + "cannot be read or is larger than 1 GiB.");
    }
    // The unpacked bytes, and the address and size CFITSIO keeps pointers to, outlive the file that
    // reads them.
    std::string sUnpacked;
    void* pBuffer = nullptr;
    std::size_t lSize = 0;
    FitsHandle oFile;
    std::uintmax_t lBudget = lBytes;
    int lStatus = 0;
    try {
        if (StartsWithGzip(sPath)) {
            sUnpacked = Gunzip(sPath);
            lBudget = sUnpacked.size();
            CheckLayout(
                [&sUnpacked](std::uint64_t lOffset, std::size_t lCount) {
                    return lOffset < sUnpacked.size() ? sUnpacked.substr(lOffset, lCount) : std::string();
                },
                sUnpacked.size());
            // CFITSIO reads a memory file in whole blocks of 2880 bytes: a file whose last block is
            // short (it ends with its data) is padded with zeros so that no read runs past the buffer.
            sUnpacked.resize((sUnpacked.size() + 2879) / 2880 * 2880, '\0');
            pBuffer = sUnpacked.data();
            lSize = sUnpacked.size();
            fits_open_memfile(oFile.Address(), "unpacked.fits", READONLY, &pBuffer, &lSize, 0, nullptr, &lStatus);
        } else {
            std::ifstream oRaw(sPath, std::ios::binary);
            CheckLayout(
                [&oRaw](std::uint64_t lOffset, std::size_t lCount) {
                    std::string sBytes(lCount, '\0');
                    oRaw.clear();
                    oRaw.seekg(static_cast<std::streamoff>(lOffset));
                    oRaw.read(sBytes.data(), static_cast<std::streamsize>(lCount));
                    sBytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(oRaw.gcount(), 0)));
                    return sBytes;
                },
                lBytes);
            // The disk-file opener takes the name as it is: no CFITSIO filters or "!" in it are obeyed.
            fits_open_diskfile(oFile.Address(), sPath.c_str(), READONLY, &lStatus);
        }
    } catch (const Unreadable& oFailure) {
        return quandrel::Failure(sFile + "cannot be opened as a spectrum: " + oFailure.sWhy + ".");
    }
    if (lStatus != 0) {
        oFile.Release();
        return quandrel::Failure(sFile + "is no FITS file the program can read (" + StatusText(lStatus) + ").");
    }
    try {
        FitsSpectrum oSpectrum;
        FitsKeywords oPrimary;
        int lHdus = 0;
        fits_get_num_hdus(oFile.Get(), &lHdus, &lStatus);
        // The first HDU that is a spectrum: an image with a wavelength axis or a table with wavelength
        // and flux columns. Failing those, the first one-dimensional image without an axis (pixels).
        std::vector<std::pair<std::string, std::string>> vSeen; // HDUs passed over, and why
        std::optional<int> oPixelImage;
        int lRead = 0;
        for (int lHdu = 1; lHdu <= std::min(lHdus, kMaxHdus) && lRead == 0; ++lHdu) {
            int lType = 0;
            if (fits_movabs_hdu(oFile.Get(), lHdu, &lType, &lStatus) != 0) {
                break;
            }
            FitsKeywords oKeywords = oPrimary;
            std::vector<std::string> vCards;
            ReadHeader(oFile.Get(), oKeywords, vCards);
            if (lHdu == 1) {
                oPrimary = oKeywords;
            }
            const std::string sName = Keyword(oKeywords, "EXTNAME") != nullptr && lHdu > 1
                                          ? " (" + *Keyword(oKeywords, "EXTNAME") + ")"
                                          : std::string();
            const std::string sHdu = "HDU " + std::to_string(lHdu) + sName;
            if (lType == IMAGE_HDU) {
                int lBitpix = 0;
                int lAxes = 0;
                std::array<long long, 3> alSize{1, 1, 1};
                if (fits_get_img_paramll(oFile.Get(), 3, &lBitpix, &lAxes, alSize.data(), &lStatus) != 0) {
                    break;
                }
                if (lAxes == 0) {
                    continue;
                }
                const bool bOneDimensional =
                    lAxes <= 3 && std::all_of(alSize.begin() + 1, alSize.begin() + std::min(lAxes, 3),
                                              [](long long l) { return l == 1; });
                if (bOneDimensional && HasWavelengthAxis(oKeywords)) {
                    lRead = lHdu;
                } else if (bOneDimensional) {
                    oPixelImage = oPixelImage.value_or(lHdu);
                    vSeen.push_back({sHdu, "it holds an image without a wavelength axis"});
                } else if (lAxes > 3) {
                    vSeen.push_back({sHdu, "it holds a " + std::to_string(lAxes) +
                                               "-dimensional image, not a one-dimensional spectrum"});
                } else {
                    vSeen.push_back({sHdu, "it holds a " + std::to_string(lAxes) + "-dimensional image (" +
                                               std::to_string(alSize[0]) + " x " + std::to_string(alSize[1]) +
                                               (lAxes == 3 ? " x " + std::to_string(alSize[2]) : std::string()) +
                                               "), not a one-dimensional spectrum"});
                }
            } else if (lType == BINARY_TBL) {
                if (FindColumn(oFile.Get(), kWavelengthColumns) != 0 && FindColumn(oFile.Get(), kFluxColumns) != 0) {
                    lRead = lHdu;
                } else {
                    vSeen.push_back({sHdu, "its table has no wavelength column (WAVE, WAVELENGTH, LAMBDA, LAMBDA_AIR) "
                                           "or no flux column (FLUX, FLUX_REDUCED, INTENSITY)"});
                }
            } else {
                vSeen.push_back({sHdu, "it holds an ASCII table, which the program does not read"});
            }
        }
        if (lStatus != 0) {
            throw Unreadable{"is damaged (" + StatusText(lStatus) + ")"};
        }
        if (lRead == 0 && oPixelImage) {
            lRead = *oPixelImage;
        }
        if (lRead == 0) {
            if (vSeen.size() == 1) {
                throw Unreadable{vSeen.front().second};
            }
            std::string sWhy = vSeen.empty() ? "holds no image and no table with a spectrum" : "holds no spectrum:";
            for (std::size_t i = 0; i < vSeen.size(); ++i) {
                sWhy += (i == 0 ? " " : "; ") + vSeen[i].first + ": " + vSeen[i].second;
            }
            throw Unreadable{sWhy};
        }
        // The chosen HDU with the keywords of the primary header beneath its own.
        int lType = 0;
        fits_movabs_hdu(oFile.Get(), lRead, &lType, &lStatus);
        FitsKeywords oKeywords;
        if (lRead > 1) {
            fits_movabs_hdu(oFile.Get(), 1, &lType, &lStatus);
            ReadHeader(oFile.Get(), oKeywords, oSpectrum.oMetadata.vHeaderCards);
            fits_movabs_hdu(oFile.Get(), lRead, &lType, &lStatus);
        }
        ReadHeader(oFile.Get(), oKeywords, oSpectrum.oMetadata.vHeaderCards);
        if (lStatus != 0) {
            throw Unreadable{"is damaged (" + StatusText(lStatus) + ")"};
        }
        if (lType == IMAGE_HDU) {
            int lBitpix = 0;
            int lAxes = 0;
            std::array<long long, 3> alSize{1, 1, 1};
            fits_get_img_paramll(oFile.Get(), 3, &lBitpix, &lAxes, alSize.data(), &lStatus);
            ReadImage(oFile.Get(), oKeywords, lAxes, alSize, lBitpix, lBudget, oSpectrum);
        } else {
            ReadTable(oFile.Get(), oKeywords, lBudget, oSpectrum);
        }
        if (!vSeen.empty() && lRead != oPixelImage) {
            std::string sPassed = "The spectrum is read from HDU " + std::to_string(lRead) + "; passed over:";
            for (const auto& [sHdu, sWhy] : vSeen) {
                sPassed += " " + sHdu + ", where " + sWhy + ".";
            }
            oSpectrum.vWarnings.push_back(sPassed);
        }
        std::vector<std::string> vCards = std::move(oSpectrum.oMetadata.vHeaderCards);
        oSpectrum.oMetadata = MetadataFromKeywords(oKeywords, oSpectrum.vWarnings);
        oSpectrum.oMetadata.vHeaderCards = std::move(vCards);
        Tidy(oSpectrum);
        return oSpectrum;
    } catch (const Unreadable& oFailure) {
        return quandrel::Failure(sFile + "cannot be opened as a spectrum: " + oFailure.sWhy + ".");
    } catch (const std::bad_alloc&) {
        return quandrel::Failure(sFile + "cannot be opened as a spectrum: it is too large for the memory.");
    }
}

