#include "SpectrumFileImport.h"

#include "UnitsClass.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

std::string BuildSeparatorString(bool bSemicolon, bool bComma, bool bSpace, bool bOthers, const std::string& sOthers,
                                 bool bTabulator)
{
    std::string sSeparators;
    if (bSemicolon) {
        sSeparators += ';';
    }
    if (bComma) {
        sSeparators += ',';
    }
    if (bSpace) {
        sSeparators += ' ';
    }
    if (bOthers) {
        sSeparators += sOthers;
    }
    if (bTabulator) {
        sSeparators += '\t';
    }
    return sSeparators;
}

int32_t CountLeadingTextLines(const std::string& sFilePathAndName, int32_t lMaxLines)
{
    constexpr std::size_t kMaxBytes = std::size_t{1} << 20;
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sFilePathAndName, oError)) {
        // A pipe would block the opening, a device read without end.
        return 0;
    }
    std::ifstream oFile(sFilePathAndName, std::ios::binary);
    int32_t lCount = 0;
    bool bLineStart = true;
    bool bComment = false;
    bool bDigit = false;
    std::size_t lBytes = 0;
    for (char c = 0; lCount < lMaxLines && lBytes < kMaxBytes && oFile.get(c); ++lBytes) {
        if (bLineStart) {
            bComment = c == '#';
            bDigit = false;
            bLineStart = false;
        }
        if (c == '\n') {
            if (bDigit && !bComment) {
                return lCount;
            }
            ++lCount;
            bLineStart = true;
        } else if (c >= '0' && c <= '9') {
            bDigit = true;
        }
    }
    return lCount;
}

int32_t LinesToSkipAtLeastHeaders(const std::string& sFilePathAndName, int32_t lLinesToSkip)
{
    return std::max(lLinesToSkip, CountLeadingTextLines(sFilePathAndName));
}

int SpectrumFileImport(CCSVFile& oReader, const std::string& sFilePathAndName, const SImportSettings& oSettings,
                       std::vector<double>& vWavelength, std::vector<double>& vIntensity)
{
    vWavelength.clear();
    vIntensity.clear();
    int32_t lCount = 0;
    if (oReader.CountLines(oSettings.lLinesToSkip, sFilePathAndName, lCount) != 0) {
        return -1;
    }
    if (oSettings.bUseDelimiters) {
        oReader.SetSeparators(oSettings.sSeparators);
    } else {
        const int64_t lEnd2 = static_cast<int64_t>(oSettings.lStartValue2) + kValue2Chars;
        const std::array<int32_t, 3> alBorders = {oSettings.lStartValue1, oSettings.lStartValue2,
                                                  static_cast<int32_t>(std::min<int64_t>(lEnd2, INT32_MAX))};
        oReader.SetColumnBorders(static_cast<int32_t>(alBorders.size()), alBorders.data());
    }
    vWavelength.assign(static_cast<std::size_t>(lCount), 0.0);
    vIntensity.assign(static_cast<std::size_t>(lCount), 0.0);
    const int32_t lSkip = oSettings.lLinesToSkip;
    const bool bOne = oSettings.bTreatConsecutiveAsOne;
    int lResult = 0;
    if (oSettings.bSingleColumn) {
        for (int32_t i = 0; i < lCount; ++i) {
            vWavelength[static_cast<std::size_t>(i)] = i;
        }
        lResult = oReader.ReadColumn(lCount, 0, lSkip, vIntensity, sFilePathAndName, bOne);
    } else {
        lResult = oReader.ReadColumn(lCount, 0, lSkip, vWavelength, sFilePathAndName, bOne);
        if (lResult == 0) {
            lResult = oReader.ReadColumn(lCount, 1, lSkip, vIntensity, sFilePathAndName, bOne);
        }
    }
    if (lResult != 0) {
        // The file went away between counting and reading.
        vWavelength.clear();
        vIntensity.clear();
        return -1;
    }
    if (oSettings.bAutomNmConversion && !oSettings.bSingleColumn && lCount > 0 &&
        CUnits::IsNanometer(vWavelength.front())) {
        CUnits::ConvertNmToAngstrom(vWavelength.data(), lCount);
    }
    return 0;
}
