#include "NumberFormats.h"

#include "NumberText.h"

#include <cmath>
#include <cstdlib>

namespace quandrel {

std::string FormatExponent(double fValue, int lPrecision, int lExponentDigits)
{
    if (!std::isfinite(fValue)) {
        return FormatGeneral(fValue, 6);
    }
    // "%.*e" gives d.ddde+xx; the exponent is rewritten with its own width.
    const std::string sText = FormatScientific(fValue, lPrecision > 0 ? lPrecision - 1 : 0);
    const std::size_t lE = sText.find('e');
    if (lE == std::string::npos) {
        return sText;
    }
    const int lExponent = std::atoi(sText.c_str() + lE + 1);
    std::string sDigits = std::to_string(std::abs(lExponent));
    while (static_cast<int>(sDigits.size()) < lExponentDigits) {
        sDigits.insert(0, 1, '0');
    }
    return sText.substr(0, lE) + "E" + (lExponent < 0 ? "-" : "+") + sDigits;
}

std::string FormatFixedPrecision(double fValue, int lPrecision, int lDecimals)
{
    if (std::isfinite(fValue) && std::fabs(fValue) >= 1.0 &&
        std::floor(std::log10(std::fabs(fValue))) + 1 > lPrecision) {
        return FormatExponent(fValue, lPrecision, 0);
    }
    return FormatFixed(fValue, lDecimals);
}

} // namespace quandrel
