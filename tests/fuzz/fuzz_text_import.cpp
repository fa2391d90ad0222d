// The text import in every mode: the first two bytes choose the settings, the rest is the file. The
// one-pass import must give the samples of the first reader, bit for bit.
#include "FuzzSupport.h"
#include "core/SpectrumFileImport.h"
#include "support/ReferenceImport.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    if (lSize < 2) {
        return 0;
    }
    static const char* const apcSeparators[] = {";\t", ",", " ", ";", "\t", ";, \t", "x", ""};
    ImportSettings oSettings;
    oSettings.bUseDelimiters = (pData[0] & 1) == 0;
    oSettings.bTreatConsecutiveAsOne = (pData[0] & 2) != 0;
    oSettings.bSingleColumn = (pData[0] & 4) != 0;
    oSettings.bAutomNmConversion = (pData[0] & 8) != 0;
    oSettings.sSeparators = apcSeparators[(pData[0] >> 4) & 7];
    oSettings.lLinesToSkip = pData[1] & 15;
    oSettings.lStartValue1 = (pData[1] >> 4) & 3;
    oSettings.lStartValue2 = oSettings.lStartValue1 + ((pData[1] >> 6) & 3) * 4;
    const std::string sPath = WriteInput("spectrum.txt", std::string_view(reinterpret_cast<const char*>(pData) + 2, lSize - 2));

    Require(LinesToSkipAtLeastHeaders(sPath, oSettings.lLinesToSkip) >= oSettings.lLinesToSkip,
            "the header lines are skipped in addition to none asked for");
    CsvFile oReader;
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    const int lResult = SpectrumFileImport(oReader, sPath, oSettings, vWavelength, vIntensity);
    Require(lResult == 0 || lResult == -1, "the import answers 0 or -1");
    Require(vWavelength.size() == vIntensity.size(), "one intensity per wavelength");
    if (lResult == -1) {
        Require(vWavelength.empty(), "a refused file leaves no samples");
    }
    Require(std::all_of(vWavelength.begin(), vWavelength.end(), IsFinite) &&
                std::all_of(vIntensity.begin(), vIntensity.end(), IsFinite),
            "every sample is a finite number");
    CsvFile oOracle;
    std::vector<double> vRefWavelength;
    std::vector<double> vRefIntensity;
    Require(ReferenceSpectrumImport(oOracle, sPath, oSettings, vRefWavelength, vRefIntensity) == lResult,
            "both imports take or refuse the file");
    const auto SameBits = [](const std::vector<double>& a, const std::vector<double>& b) {
        return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
    };
    Require(SameBits(vRefWavelength, vWavelength) && SameBits(vRefIntensity, vIntensity),
            "both imports give the same samples, bit for bit");
    if (oSettings.bSingleColumn) {
        for (std::size_t k = 0; k < vWavelength.size(); ++k) {
            Require(vWavelength[k] == static_cast<double>(k) || oSettings.bAutomNmConversion,
                    "a single column counts its lines from 0");
        }
    }
    return 0;
}
