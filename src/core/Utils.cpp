#include "Utils.h"

#include "Assert.h"
#include "DataSeries.h"
#include "NumberText.h"

#include <locale>

std::string ExtractFileName(const std::string& sPath)
{
    const std::size_t lSlash = sPath.rfind('/');
    return lSlash == std::string::npos ? sPath : sPath.substr(lSlash + 1);
}

std::string ExtractDirectory(const std::string& sPath)
{
    const std::size_t lSlash = sPath.rfind('/');
    return lSlash == std::string::npos ? std::string() : sPath.substr(0, lSlash);
}

double LinearStep(double a, double b, int32_t Index, int32_t lValueCount)
{
    QASSERT(Index>=0 && lValueCount>0);
    return a + Index * (b - a) / lValueCount;
}

double LinearInterpolate(double x0, double y0, double x1, double y1, double x)
{
    if (x0 == x1) {
        return y0;
    }
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

char GetSystemDecimalSeparator()
{
    try {
        const std::locale oEnvironment("");
        return std::use_facet<std::numpunct<char>>(oEnvironment).decimal_point();
    } catch (const std::runtime_error&) {
        // An environment naming a locale the system does not have.
        return '.';
    }
}

std::string NormalizeDecimalSeparator(const std::string& sText)
{
    const char cSystem = GetSystemDecimalSeparator();
    const char cForeign = cSystem == '.' ? ',' : '.';
    std::string sNormal = sText;
    const std::size_t lPos = sNormal.find(cForeign);
    if (lPos != std::string::npos) {
        sNormal[lPos] = cSystem;
    }
    return sNormal;
}

quandrel::Result<double> TextToFloat(const std::string& sText)
{
    const char cSystem = GetSystemDecimalSeparator();
    std::string sNumber = NormalizeDecimalSeparator(sText);
    if (cSystem != '.') {
        // The number is now written with the system separator; the conversion takes '.'.
        if (sNumber.find('.') != std::string::npos) {
            return quandrel::Failure("'" + sText + "' is not a valid floating point value");
        }
        for (char& c : sNumber) {
            if (c == cSystem) {
                c = '.';
            }
        }
    }
    double fValue = 0.0;
    if (!quandrel::ParseWholeDouble(sNumber, fValue)) {
        return quandrel::Failure("'" + sText + "' is not a valid floating point value");
    }
    return fValue;
}

int TextToInt(const std::string& sText, int lDefault)
{
    int lValue = lDefault;
    return quandrel::ParseWholeInt(sText, lValue) ? lValue : lDefault;
}

int32_t FindNearestIndexIn(std::span<const double> vValues, double x)
{
    QASSERT(!vValues.empty());
    int32_t lLow = 0;
    int32_t lHigh = static_cast<int32_t>(vValues.size()) - 1;
    while (lLow + 1 < lHigh) {
        const int32_t lMid = (lLow + lHigh) / 2;
        if (x > vValues[static_cast<std::size_t>(lMid)]) {
            lLow = lMid;
        } else {
            lHigh = lMid;
        }
    }
    const double fMiddle = (vValues[static_cast<std::size_t>(lLow)] + vValues[static_cast<std::size_t>(lHigh)]) / 2;
    return x < fMiddle ? lLow : lHigh;
}

bool GetMinMaxY(const DataSeries& oData, double& fMinimum, double& fMaximum)
{
    const int32_t lCount = oData.GetArraySize();
    if (lCount <= 0) {
        return false;
    }
    fMinimum = fMaximum = oData.GetY(0);
    for (int32_t i = 1; i < lCount; ++i) {
        const double y = oData.GetY(i);
        fMinimum = std::min(fMinimum, y);
        fMaximum = std::max(fMaximum, y);
    }
    return true;
}

void ReallocDoubles(std::vector<double>& vArray, int32_t n)
{
    vArray.assign(n > 0 ? static_cast<std::size_t>(n) : 0U, 0.0);
}
