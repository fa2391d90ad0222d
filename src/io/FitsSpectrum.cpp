#include "FitsSpectrum.h"

#include "FitsHandle.h"
#include "FitsHeader.h"
#include "FitsMultispec.h"
#include "FitsOpening.h"
#include "core/NumberText.h"
#include "core/WavelengthUnits.h"

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

using quandrel::fits::FitsHandle;
using quandrel::fits::StatusText;

namespace {

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

// A spectrum of the file: an HDU that holds one, or a row of a multispec image.
struct Candidate {
    int lHdu = 0;
    int lRow = 0; // multispec: the image row; 0 for an HDU that is one spectrum
    std::string sName;
    std::optional<int> oOrder;
    bool bMerged = false;
};

// What the file's HDUs hold: its spectra, and those passed over with the reason.
struct Survey {
    std::vector<Candidate> vSpectra;
    std::vector<std::pair<std::string, std::string>> vSeen;
    std::optional<int> oPixelImage; // the first one-dimensional image without an axis
};

bool IsMultispec(const FitsKeywords& oKeywords)
{
    const std::string* pSystem = Keyword(oKeywords, "WAT0_001");
    return AxisType(oKeywords).starts_with("MULTISPE") ||
           (pSystem != nullptr && pSystem->find("system=multispec") != std::string::npos);
}

// The joined WAT texts of an HDU, and its physical pixel mapping (LTV1, LTM1_1).
struct Multispec {
    std::string sWat1;
    std::string sWat2;
    double fOffset = 0.0;
    double fScale = 1.0;
};

Multispec MultispecOf(const FitsKeywords& oKeywords, const std::vector<std::string>& vCards)
{
    Multispec o{quandrel::fits::JoinedWatCards(vCards, "WAT1_"), quandrel::fits::JoinedWatCards(vCards, "WAT2_"),
                KeywordNumber(oKeywords, "LTV1").value_or(0.0), KeywordNumber(oKeywords, "LTM1_1").value_or(1.0)};
    if (o.fScale == 0.0) {
        o.fScale = 1.0;
    }
    return o;
}

// The order number an HDU's name carries at its end ("P_1C_31": 31).
std::optional<int> OrderOfName(const std::string& sName)
{
    std::size_t i = sName.size();
    while (i > 0 && std::isdigit(static_cast<unsigned char>(sName[i - 1])) != 0) {
        --i;
    }
    if (i == sName.size() || i == 0 || sName[i - 1] != '_' || sName.size() - i > 6) {
        return std::nullopt;
    }
    return std::stoi(sName.substr(i));
}

// A 2-D image's reason for not being a spectrum.
std::string ImageShape(int lAxes, const std::array<long long, 3>& alSize)
{
    return "it holds a " + std::to_string(lAxes) + "-dimensional image (" + std::to_string(alSize[0]) + " x " +
           std::to_string(alSize[1]) + (lAxes == 3 ? " x " + std::to_string(alSize[2]) : std::string()) + ")";
}

void SurveyImage(fitsfile* pFile, const FitsKeywords& oKeywords, const std::vector<std::string>& vCards,
                 const Candidate& oHere, const std::string& sHdu, Survey& o)
{
    int lStatus = 0;
    int lBitpix = 0;
    int lAxes = 0;
    std::array<long long, 3> alSize{1, 1, 1};
    if (fits_get_img_paramll(pFile, 3, &lBitpix, &lAxes, alSize.data(), &lStatus) != 0 || lAxes == 0) {
        return;
    }
    const bool bOneDimensional = lAxes <= 3 && alSize[1] == 1 && alSize[2] == 1;
    if (IsMultispec(oKeywords) && lAxes <= 3) {
        // One spectrum per image row, each with its own dispersion.
        const Multispec oDispersion = MultispecOf(oKeywords, vCards);
        for (int lRow = 1; lRow <= std::min<long long>(alSize[1], 10000); ++lRow) {
            const auto oRow = quandrel::fits::MultispecRow(oDispersion.sWat1, oDispersion.sWat2, lRow, 1,
                                                           oDispersion.fOffset, oDispersion.fScale);
            if (!oRow) {
                o.vSeen.push_back({sHdu, oRow.Error()});
                continue;
            }
            o.vSpectra.push_back({oHere.lHdu, lRow, "order " + std::to_string(oRow->lAperture), oRow->lAperture, false});
        }
    } else if (bOneDimensional && HasWavelengthAxis(oKeywords)) {
        o.vSpectra.push_back(oHere);
    } else if (bOneDimensional) {
        o.oPixelImage = o.oPixelImage.value_or(oHere.lHdu);
        o.vSeen.push_back({sHdu, "it holds an image without a wavelength axis"});
    } else if (lAxes > 3) {
        o.vSeen.push_back({sHdu, "it holds a " + std::to_string(lAxes) + "-dimensional image, not a one-dimensional spectrum"});
    } else {
        o.vSeen.push_back({sHdu, ImageShape(lAxes, alSize) + " without a dispersion for each row, not a one-dimensional spectrum"});
    }
}

Survey SurveyHdus(fitsfile* pFile)
{
    Survey o;
    int lStatus = 0;
    int lHdus = 0;
    fits_get_num_hdus(pFile, &lHdus, &lStatus);
    FitsKeywords oPrimary;
    for (int lHdu = 1; lHdu <= std::min(lHdus, quandrel::fits::kMaxHdus); ++lHdu) {
        int lType = 0;
        if (fits_movabs_hdu(pFile, lHdu, &lType, &lStatus) != 0) {
            break;
        }
        FitsKeywords oKeywords = oPrimary;
        std::vector<std::string> vCards;
        ReadHeader(pFile, oKeywords, vCards);
        if (lHdu == 1) {
            oPrimary = oKeywords;
        }
        const std::string* pName = lHdu > 1 ? Keyword(oKeywords, "EXTNAME") : nullptr;
        const std::string sHdu = "HDU " + std::to_string(lHdu) + (pName != nullptr ? " (" + *pName + ")" : "");
        const std::string sUpper = pName != nullptr ? Upper(*pName) : std::string();
        const Candidate oHere{lHdu, 0, pName != nullptr ? *pName : "HDU " + std::to_string(lHdu),
                              pName != nullptr ? OrderOfName(*pName) : std::nullopt,
                              sUpper.find("FULL") != std::string::npos || sUpper.find("MERGED") != std::string::npos};
        if (lType == IMAGE_HDU) {
            SurveyImage(pFile, oKeywords, vCards, oHere, sHdu, o);
        } else if (lType == BINARY_TBL) {
            if (FindColumn(pFile, kWavelengthColumns) != 0 && FindColumn(pFile, kFluxColumns) != 0) {
                o.vSpectra.push_back(oHere);
            } else {
                o.vSeen.push_back({sHdu, "its table has no wavelength column (WAVE, WAVELENGTH, LAMBDA, LAMBDA_AIR) "
                                         "or no flux column (FLUX, FLUX_REDUCED, INTENSITY)"});
            }
        } else {
            o.vSeen.push_back({sHdu, "it holds an ASCII table, which the program does not read"});
        }
    }
    if (lStatus != 0) {
        throw Unreadable{"is damaged (" + StatusText(lStatus) + ")"};
    }
    if (o.vSpectra.empty() && o.oPixelImage) {
        o.vSpectra.push_back({*o.oPixelImage, 0, "HDU " + std::to_string(*o.oPixelImage), std::nullopt, false});
    }
    if (o.vSpectra.empty()) {
        if (o.vSeen.size() == 1) {
            throw Unreadable{o.vSeen.front().second};
        }
        std::string sWhy = o.vSeen.empty() ? "holds no image and no table with a spectrum" : "holds no spectrum:";
        for (std::size_t i = 0; i < o.vSeen.size(); ++i) {
            sWhy += (i == 0 ? " " : "; ") + o.vSeen[i].first + ": " + o.vSeen[i].second;
        }
        throw Unreadable{sWhy};
    }
    return o;
}

std::string ListOf(const std::vector<Candidate>& vSpectra)
{
    std::string s;
    for (const Candidate& o : vSpectra) {
        s += (s.empty() ? "" : ", ") + o.sName;
    }
    return s;
}

// The spectrum the choice names; without one the only spectrum, or the merged one.
const Candidate& Choose(const Survey& oSurvey, const SpectrumChoice& oChoice)
{
    const std::vector<Candidate>& v = oSurvey.vSpectra;
    const auto Named = [&](const Candidate& o) {
        if (oChoice.oOrder && o.oOrder != oChoice.oOrder) {
            return false;
        }
        return oChoice.sHdu.empty() || Upper(o.sName) == Upper(oChoice.sHdu) ||
               (o.lRow == 0 && oChoice.sHdu == std::to_string(o.lHdu));
    };
    if (oChoice.IsMade()) {
        const auto it = std::find_if(v.begin(), v.end(), Named);
        if (it == v.end()) {
            throw Unreadable{"it holds no spectrum " +
                             (oChoice.oOrder ? "of order " + std::to_string(*oChoice.oOrder) : "named " + oChoice.sHdu) +
                             "; it holds " + ListOf(v)};
        }
        return *it;
    }
    if (v.size() == 1) {
        return v.front();
    }
    const auto itMerged = std::find_if(v.begin(), v.end(), [](const Candidate& o) { return o.bMerged; });
    if (itMerged != v.end()) {
        return *itMerged;
    }
    throw Unreadable{"it holds " + std::to_string(v.size()) + " spectra and none of them merged (" + ListOf(v) +
                     "); choose one by its order number or its HDU's name"};
}

// Reads the candidate's samples, axis and observation.
FitsSpectrum ReadCandidate(fitsfile* pFile, const Survey& oSurvey, const Candidate& oChosen, std::uintmax_t lBudget)
{
    FitsSpectrum oSpectrum;
    int lStatus = 0;
    int lType = 0;
    // The chosen HDU with the keywords of the primary header beneath its own.
    FitsKeywords oKeywords;
    std::vector<std::string> vOwnCards;
    if (oChosen.lHdu > 1) {
        fits_movabs_hdu(pFile, 1, &lType, &lStatus);
        ReadHeader(pFile, oKeywords, oSpectrum.oMetadata.vHeaderCards);
    }
    fits_movabs_hdu(pFile, oChosen.lHdu, &lType, &lStatus);
    ReadHeader(pFile, oKeywords, vOwnCards);
    oSpectrum.oMetadata.vHeaderCards.insert(oSpectrum.oMetadata.vHeaderCards.end(), vOwnCards.begin(), vOwnCards.end());
    int lBitpix = 0;
    int lAxes = 0;
    std::array<long long, 3> alSize{1, 1, 1};
    if (lType == IMAGE_HDU) {
        fits_get_img_paramll(pFile, 3, &lBitpix, &lAxes, alSize.data(), &lStatus);
    }
    if (lStatus != 0) {
        throw Unreadable{"is damaged (" + StatusText(lStatus) + ")"};
    }
    if (oChosen.lRow > 0) {
        // One row of a multispec image (the first band of a three-dimensional one).
        const long long n = alSize[0];
        if (n < 1 || static_cast<std::uintmax_t>(n) > kMaxSamples) {
            throw Unreadable{"its rows claim " + std::to_string(n) + " samples"};
        }
        const Multispec oDispersion = MultispecOf(oKeywords, vOwnCards);
        auto oRow = quandrel::fits::MultispecRow(oDispersion.sWat1, oDispersion.sWat2, oChosen.lRow, n, oDispersion.fOffset,
                                                 oDispersion.fScale);
        if (!oRow) {
            throw Unreadable{oRow.Error()};
        }
        std::vector<double> vIntensity(static_cast<std::size_t>(n));
        std::array<long long, 3> alFirst{1, oChosen.lRow, 1};
        double fUndefined = lBitpix < 0 ? 0.0 : std::numeric_limits<double>::quiet_NaN();
        int lAnyUndefined = 0;
        if (fits_read_pixll(pFile, TDOUBLE, alFirst.data(), n, &fUndefined, vIntensity.data(), &lAnyUndefined, &lStatus) != 0) {
            throw Unreadable{"its image row " + std::to_string(oChosen.lRow) + " cannot be read (" + StatusText(lStatus) + ")"};
        }
        oSpectrum.vWavelength = std::move(oRow->vWavelength);
        oSpectrum.vIntensity = std::move(vIntensity);
    } else if (lType == IMAGE_HDU) {
        ReadImage(pFile, oKeywords, lAxes, alSize, lBitpix, lBudget, oSpectrum);
    } else {
        ReadTable(pFile, oKeywords, lBudget, oSpectrum);
    }
    if (!oSurvey.vSeen.empty() && oChosen.lHdu != oSurvey.oPixelImage && oChosen.lRow == 0) {
        std::string sPassed = "The spectrum is read from HDU " + std::to_string(oChosen.lHdu) + "; passed over:";
        for (const auto& [sHdu, sWhy] : oSurvey.vSeen) {
            sPassed += " " + sHdu + ", where " + sWhy + ".";
        }
        oSpectrum.vWarnings.push_back(sPassed);
    }
    std::vector<std::string> vCards = std::move(oSpectrum.oMetadata.vHeaderCards);
    oSpectrum.oMetadata = MetadataFromKeywords(oKeywords, oSpectrum.vWarnings);
    oSpectrum.oMetadata.vHeaderCards = std::move(vCards);
    Tidy(oSpectrum);
    return oSpectrum;
}

// Opens the file and gives fnRead the open file and its survey; the failure names the file.
template <typename T, typename Reader>
quandrel::Result<T> WithSurvey(const std::string& sPath, Reader fnRead)
{
    const std::string sFile = "The file " + sPath + " ";
    auto oOpened = quandrel::fits::OpenedFits::Open(sPath);
    if (!oOpened) {
        return quandrel::Failure(sFile + oOpened.Error() + ".");
    }
    try {
        const Survey oSurvey = SurveyHdus((*oOpened)->Get());
        return quandrel::Result<T>(fnRead((*oOpened)->Get(), oSurvey, (*oOpened)->Budget()));
    } catch (const Unreadable& oFailure) {
        return quandrel::Failure(sFile + "cannot be opened as a spectrum: " + oFailure.sWhy + ".");
    } catch (const std::bad_alloc&) {
        return quandrel::Failure(sFile + "cannot be opened as a spectrum: it is too large for the memory.");
    }
}

} // namespace

quandrel::Result<FitsSpectrum> ReadFitsSpectrum(const std::string& sPath, const SpectrumChoice& oChoice)
{
    return WithSurvey<FitsSpectrum>(sPath, [&](fitsfile* pFile, const Survey& oSurvey, std::uintmax_t lBudget) {
        return ReadCandidate(pFile, oSurvey, Choose(oSurvey, oChoice), lBudget);
    });
}

quandrel::Result<std::vector<FitsEntry>> ListFitsSpectra(const std::string& sPath)
{
    return WithSurvey<std::vector<FitsEntry>>(sPath, [&](fitsfile* pFile, const Survey& oSurvey, std::uintmax_t lBudget) {
        std::vector<FitsEntry> vEntries;
        for (const Candidate& o : oSurvey.vSpectra) {
            FitsEntry oEntry{o.sName, o.oOrder, o.bMerged, 0.0, 0.0, 0, {}};
            try {
                const FitsSpectrum oSpectrum = ReadCandidate(pFile, oSurvey, o, lBudget);
                oEntry.fFrom = oSpectrum.vWavelength.front();
                oEntry.fTo = oSpectrum.vWavelength.back();
                oEntry.lSamples = oSpectrum.vWavelength.size();
            } catch (const Unreadable& oFailure) {
                oEntry.sProblem = oFailure.sWhy;
            }
            vEntries.push_back(std::move(oEntry));
        }
        return vEntries;
    });
}
