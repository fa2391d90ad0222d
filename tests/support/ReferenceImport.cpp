#include "ReferenceImport.h"

#include "core/WavelengthUnits.h"

#include <algorithm>
#include <array>

int ReferenceSpectrumImport(CsvFile& oReader, const std::string& sFilePathAndName, const ImportSettings& oSettings,
                            std::vector<double>& vWavelength, std::vector<double>& vIntensity)
{
    vWavelength.clear();
    vIntensity.clear();
    int32_t lCount = 0;
    if (oReader.CountLines(oSettings.lLinesToSkip, sFilePathAndName, lCount) != 0) {
        return -1;
    }
    SetFieldCutting(oReader, oSettings);
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
        WavelengthUnits::IsNanometer(vWavelength.front())) {
        WavelengthUnits::ConvertNmToAngstrom(vWavelength.data(), lCount);
    }
    return 0;
}
