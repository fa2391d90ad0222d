#include "CliCommon.h"

#include "io/FitsSpectrum.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <tuple>

namespace quandrel::cli {

bool Arguments::TakeFlag(const std::string& sName)
{
    for (auto it = m_vArguments.begin(); it != m_vArguments.end(); ++it) {
        if (*it == sName) {
            m_vArguments.erase(it);
            return true;
        }
    }
    return false;
}

std::optional<std::string> Arguments::TakeValue(const std::string& sName)
{
    for (auto it = m_vArguments.begin(); it != m_vArguments.end(); ++it) {
        if (*it == sName) {
            if (it + 1 == m_vArguments.end()) {
                throw UsageError("Option " + sName + " needs a value.");
            }
            std::string sValue = *(it + 1);
            m_vArguments.erase(it, it + 2);
            return sValue;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> Arguments::TakeValues(const std::string& sName, std::size_t lCount)
{
    for (auto it = m_vArguments.begin(); it != m_vArguments.end(); ++it) {
        if (*it == sName) {
            if (static_cast<std::size_t>(m_vArguments.end() - it) <= lCount) {
                throw UsageError("Option " + sName + " needs " + std::to_string(lCount) + " values.");
            }
            std::vector<std::string> vValues(it + 1, it + 1 + static_cast<std::ptrdiff_t>(lCount));
            m_vArguments.erase(it, it + 1 + static_cast<std::ptrdiff_t>(lCount));
            return vValues;
        }
    }
    return std::nullopt;
}

std::optional<int> Arguments::TakeInt(const std::string& sName)
{
    const auto sValue = TakeValue(sName);
    if (!sValue) {
        return std::nullopt;
    }
    int lValue = 0;
    if (!ParseWholeInt(*sValue, lValue)) {
        throw UsageError("Option " + sName + " needs a whole number, not '" + *sValue + "'.");
    }
    return lValue;
}

std::optional<double> Arguments::TakeDouble(const std::string& sName)
{
    const auto sValue = TakeValue(sName);
    if (!sValue) {
        return std::nullopt;
    }
    double fValue = 0.0;
    if (!ParseWholeDouble(*sValue, fValue)) {
        throw UsageError("Option " + sName + " needs a number, not '" + *sValue + "'.");
    }
    return fValue;
}

std::vector<std::string> Arguments::Positionals() const
{
    for (const auto& sArgument : m_vArguments) {
        if (sArgument.size() > 2 && sArgument.rfind("--", 0) == 0) {
            throw UsageError("Unknown option " + sArgument + ".");
        }
    }
    return m_vArguments;
}

namespace {

// "\t" written as backslash and t stands for the tabulator.
std::string UnescapeSeparators(const std::string& sText)
{
    std::string sSeparators;
    for (std::size_t i = 0; i < sText.size(); ++i) {
        if (sText[i] == '\\' && i + 1 < sText.size() && sText[i + 1] == 't') {
            sSeparators += '\t';
            ++i;
        } else {
            sSeparators += sText[i];
        }
    }
    return sSeparators;
}

} // namespace

ImportSettings TakeImportOptions(Arguments& oArguments, const std::string& sOrderOption)
{
    ImportSettings oSettings;
    if (const auto sOrder = oArguments.TakeValue(sOrderOption)) {
        int lOrder = 0;
        if (!ParseWholeInt(*sOrder, lOrder)) {
            throw UsageError("Option " + sOrderOption + " needs the number of an order.");
        }
        oSettings.oChoice.oOrder = lOrder;
    }
    oSettings.oChoice.sHdu = oArguments.TakeValue("--hdu").value_or("");
    if (const auto lSkip = oArguments.TakeInt("--skip")) {
        if (*lSkip < 0) {
            throw UsageError("Option --skip needs a number of lines of 0 or more.");
        }
        oSettings.lLinesToSkip = *lSkip;
    }
    if (const auto sSeparators = oArguments.TakeValue("--separators")) {
        oSettings.sSeparators = UnescapeSeparators(*sSeparators);
    }
    oSettings.bTreatConsecutiveAsOne = oArguments.TakeFlag("--collapse");
    if (const auto sFixed = oArguments.TakeValue("--fixed")) {
        const std::size_t lComma = sFixed->find(',');
        int lStart1 = 0;
        int lStart2 = 0;
        if (lComma == std::string::npos || !ParseWholeInt(sFixed->substr(0, lComma), lStart1) ||
            !ParseWholeInt(sFixed->substr(lComma + 1), lStart2) || lStart1 < 0 || lStart2 < 0) {
            throw UsageError("Option --fixed needs two start columns of 0 or more, as START1,START2.");
        }
        oSettings.bUseDelimiters = false;
        oSettings.lStartValue1 = lStart1;
        oSettings.lStartValue2 = lStart2;
    }
    oSettings.bSingleColumn = oArguments.TakeFlag("--single-column");
    oSettings.bAutomNmConversion = !oArguments.TakeFlag("--no-nm-conversion");
    return oSettings;
}

bool ReadSpectrumFile(const std::string& sFile, const ImportSettings& oSettings, std::vector<double>& vWavelength,
                      std::vector<double>& vIntensity, std::ostream& oErr, SpectrumMetadata* pMetadata)
{
    // Header and comment lines at the head of a text file (the residuals of calibrate among them) are
    // skipped as the import dialog proposes.
    auto oFile = SpectraSession::ReadSpectrumFile(sFile, oSettings);
    if (!oFile) {
        oErr << oFile.Error().sText << "\n";
        return false;
    }
    for (const std::string& sWarning : oFile->vWarnings) {
        oErr << "Warning: " << sFile << ": " << sWarning << "\n";
    }
    vWavelength = std::move(oFile->vWavelength);
    vIntensity = std::move(oFile->vIntensity);
    if (pMetadata != nullptr) {
        *pMetadata = std::move(oFile->oMetadata);
    }
    return true;
}

const char* ImportOptionsHelp()
{
    return "Import options (FITS files of several spectra: --order N, the echelle order N, or --hdu NAME,\n"
           "the HDU of that EXTNAME or number; without either the merged spectrum):\n"
           "  --skip N               lines to skip at the start of the file (0; at least the\n"
           "                         leading lines that hold no number or start with #)\n"
           "  --separators S         separator characters, \\t for TAB (TAB and ';')\n"
           "  --collapse             treat consecutive separators as one\n"
           "  --fixed START1,START2  fixed columns starting at these characters (value 2 spans 20)\n"
           "  --single-column        intensities only; the wavelength is the line number from 0\n"
           "  --no-nm-conversion     keep wavelengths below 2500 as they are (no nm to angstrom)\n";
}

std::string FormatResult(double fValue, int lPrecision)
{
    return FormatGeneral(fValue, lPrecision);
}

double NumberArgument(const std::string& sText, const std::string& sWhat)
{
    double fValue = 0.0;
    if (!ParseWholeDouble(sText, fValue)) {
        throw UsageError(sWhat + " must be a number, not '" + sText + "'.");
    }
    return fValue;
}

namespace {

std::pair<double, double> TakeTwoNumbers(Arguments& oArguments, const std::string& sName, const std::string& sVerb)
{
    const auto vValues = oArguments.TakeValues(sName, 2);
    if (!vValues) {
        throw UsageError(sVerb + " needs " + sName + " with two numbers.");
    }
    return {NumberArgument((*vValues)[0], sName), NumberArgument((*vValues)[1], sName)};
}

} // namespace

std::optional<Observation> TakeObservation(Arguments& oArguments, const std::string& sVerb, bool bRequired)
{
    const auto sJd = oArguments.TakeValue("--jd");
    if (!sJd) {
        if (bRequired) {
            throw UsageError(sVerb + " needs --jd.");
        }
        return std::nullopt;
    }
    Observation o;
    o.fJulianDate = NumberArgument(*sJd, "--jd");
    std::tie(o.oObject.fRightAscensionHours, o.oObject.fRightAscensionMinutes) = TakeTwoNumbers(oArguments, "--ra", sVerb);
    std::tie(o.oObject.fDeclinationDegrees, o.oObject.fDeclinationMinutes) = TakeTwoNumbers(oArguments, "--dec", sVerb);
    std::tie(o.oSite.fLongitudeDegrees, o.oSite.fLongitudeMinutes) = TakeTwoNumbers(oArguments, "--lon", sVerb);
    std::tie(o.oSite.fLatitudeDegrees, o.oSite.fLatitudeMinutes) = TakeTwoNumbers(oArguments, "--lat", sVerb);
    return o;
}

std::optional<ObjectAndSite> TakeObjectAndSite(Arguments& oArguments, const std::string& sVerb)
{
    const auto fHeight = oArguments.TakeDouble("--height");
    Observation o;
    bool bAny = false;
    bool bAll = true;
    for (const auto& [pcName, pfFirst, pfSecond] :
         {std::tuple{"--ra", &o.oObject.fRightAscensionHours, &o.oObject.fRightAscensionMinutes},
          {"--dec", &o.oObject.fDeclinationDegrees, &o.oObject.fDeclinationMinutes},
          {"--lon", &o.oSite.fLongitudeDegrees, &o.oSite.fLongitudeMinutes},
          {"--lat", &o.oSite.fLatitudeDegrees, &o.oSite.fLatitudeMinutes}}) {
        if (const auto vValues = oArguments.TakeValues(pcName, 2)) {
            *pfFirst = NumberArgument((*vValues)[0], pcName);
            *pfSecond = NumberArgument((*vValues)[1], pcName);
            bAny = true;
        } else {
            bAll = false;
        }
    }
    if (!bAny && !fHeight) {
        return std::nullopt;
    }
    if (!bAll) {
        throw UsageError(sVerb + " needs all of --ra, --dec, --lon and --lat (two numbers each).");
    }
    CheckObservation(o, sVerb);
    return ObjectAndSite{o.oObject, o.oSite, fHeight.value_or(0.0)};
}

void CheckObservation(const Observation& o, const std::string& sVerb)
{
    const auto Within = [](double fWhole, double fMinutes, double fLimit) {
        return std::fabs(fWhole + fMinutes / 60.0) <= fLimit && std::fabs(fMinutes) < 60.0;
    };
    const double fRa = o.oObject.fRightAscensionHours + o.oObject.fRightAscensionMinutes / 60.0;
    if (!(fRa >= 0.0) || !(fRa <= 24.0) || std::fabs(o.oObject.fRightAscensionMinutes) >= 60.0 ||
        !Within(o.oObject.fDeclinationDegrees, o.oObject.fDeclinationMinutes, 90.0) ||
        !Within(o.oSite.fLongitudeDegrees, o.oSite.fLongitudeMinutes, 360.0) ||
        !Within(o.oSite.fLatitudeDegrees, o.oSite.fLatitudeMinutes, 90.0)) {
        throw UsageError(sVerb + " needs a right ascension of 0 to 24 hours, a declination and a latitude of -90 to "
                                 "90 degrees, a longitude of -360 to 360 degrees, and minutes below 60.");
    }
}

} // namespace quandrel::cli
