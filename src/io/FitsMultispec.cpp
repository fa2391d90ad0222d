#include "FitsMultispec.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>

namespace quandrel::fits {

namespace {

// The text of a card's string value, '' read as ', nothing when the card holds no string.
std::optional<std::string> StringValue(const std::string& sCard)
{
    const std::size_t lOpen = sCard.find('\'', 8);
    if (lOpen == std::string::npos) {
        return std::nullopt;
    }
    std::string sValue;
    for (std::size_t i = lOpen + 1; i < sCard.size(); ++i) {
        if (sCard[i] == '\'') {
            if (i + 1 < sCard.size() && sCard[i + 1] == '\'') {
                sValue += '\'';
                ++i;
                continue;
            }
            return sValue;
        }
        sValue += sCard[i];
    }
    return std::nullopt;
}

std::optional<double> Number(const std::string& s)
{
    double f = 0.0;
    if (!quandrel::ParseWholeDouble(s, f) || !std::isfinite(f)) {
        return std::nullopt;
    }
    return f;
}

// The sum of c_i P_i(x) of Chebyshev (ftype 1) or Legendre (ftype 2) polynomials.
double Polynomial(int lType, const std::vector<double>& vCoefficients, double x)
{
    double fPrevious = 1.0;
    double fCurrent = x;
    double fSum = vCoefficients[0];
    for (std::size_t k = 1; k < vCoefficients.size(); ++k) {
        fSum += vCoefficients[k] * fCurrent;
        const auto i = static_cast<double>(k);
        const double fNext = lType == 1 ? 2.0 * x * fCurrent - fPrevious : ((2.0 * i + 1.0) * x * fCurrent - i * fPrevious) / (i + 1.0);
        fPrevious = fCurrent;
        fCurrent = fNext;
    }
    return fSum;
}

const char* FunctionName(int lType)
{
    switch (lType) {
    case 3:
        return " (cubic spline)";
    case 4:
        return " (linear spline)";
    case 5:
        return " (pixel coordinate array)";
    case 6:
        return " (sampled coordinate array)";
    default:
        return "";
    }
}

} // namespace

std::string JoinedWatCards(const std::vector<std::string>& vCards, const std::string& sPrefix)
{
    std::string sJoined;
    for (int i = 1; i <= 999; ++i) {
        std::string sName = std::to_string(i);
        sName = sPrefix + std::string(3 - sName.size(), '0') + sName;
        bool bFound = false;
        for (const std::string& sCard : vCards) {
            if (sCard.compare(0, sName.size(), sName) == 0 && (sCard.size() == sName.size() || sCard[sName.size()] == ' ' ||
                                                                 sCard[sName.size()] == '=')) {
                if (auto oValue = StringValue(sCard)) {
                    oValue->resize(std::max<std::size_t>(oValue->size(), 68), ' ');
                    sJoined += *oValue;
                    bFound = true;
                }
                break;
            }
        }
        if (!bFound) {
            break;
        }
    }
    return sJoined;
}

quandrel::Result<MultispecOrder> MultispecRow(const std::string& sWat1, const std::string& sWat2, int lRow, long long n,
                                              double fPhysicalOffset, double fPhysicalScale)
{
    // "specN = "...": the attribute of row N.
    const std::string sKey = "spec" + std::to_string(lRow);
    std::size_t lAt = 0;
    std::size_t lOpen = std::string::npos;
    while ((lAt = sWat2.find(sKey, lAt)) != std::string::npos) {
        const bool bWordStart = lAt == 0 || sWat2[lAt - 1] == ' ';
        std::size_t k = lAt + sKey.size();
        while (k < sWat2.size() && sWat2[k] == ' ') {
            ++k;
        }
        if (bWordStart && k < sWat2.size() && sWat2[k] == '=') {
            lOpen = sWat2.find('"', k);
            break;
        }
        lAt += sKey.size();
    }
    const std::size_t lClose = lOpen == std::string::npos ? std::string::npos : sWat2.find('"', lOpen + 1);
    if (lClose == std::string::npos) {
        return quandrel::Failure("its WAT2 cards give no dispersion for image row " + std::to_string(lRow));
    }
    std::istringstream oFields(sWat2.substr(lOpen + 1, lClose - lOpen - 1));
    std::vector<double> vField;
    for (std::string sField; oFields >> sField;) {
        const auto oValue = Number(sField);
        if (!oValue) {
            return quandrel::Failure("the dispersion of image row " + std::to_string(lRow) + " holds '" + sField +
                                     "', which is no number");
        }
        vField.push_back(*oValue);
    }
    if (vField.size() < 9) {
        return quandrel::Failure("the dispersion of image row " + std::to_string(lRow) + " has " +
                                 std::to_string(vField.size()) + " fields, fewer than the 9 of multispec");
    }
    MultispecOrder oOrder;
    oOrder.lAperture = static_cast<int>(vField[0]);
    const int lType = static_cast<int>(vField[2]);
    const double w1 = vField[3];
    const double dw = vField[4];
    const double z = vField[6];
    // The units of the world coordinates (WAT1 "units=", angstroms unless said).
    double fAngstrom = 1.0;
    if (sWat1.find("units=nanometers") != std::string::npos) {
        fAngstrom = 10.0;
    } else if (sWat1.find("units=micrometers") != std::string::npos) {
        fAngstrom = 1e4;
    }
    // The non-linear functions: wt w0 ftype, then for a polynomial its order, pmin, pmax and coefficients.
    struct Function {
        double fWeight, fZero, fMin, fMax;
        int lType;
        std::vector<double> vCoefficients;
    };
    std::vector<Function> vFunctions;
    if (lType == 2) {
        std::size_t i = 9;
        while (i < vField.size()) {
            if (i + 3 > vField.size()) {
                return quandrel::Failure("the dispersion of image row " + std::to_string(lRow) + " ends within a function");
            }
            Function o{vField[i], vField[i + 1], 0.0, 0.0, static_cast<int>(vField[i + 2]), {}};
            if (o.lType != 1 && o.lType != 2) {
                return quandrel::Failure("the dispersion of image row " + std::to_string(lRow) + " is of function type " +
                                         std::to_string(o.lType) + FunctionName(o.lType) +
                                         ", which the program does not read (it reads Chebyshev 1 and Legendre 2)");
            }
            const auto lCount = i + 6 <= vField.size() ? static_cast<long long>(vField[i + 3]) : -1;
            if (lCount < 1 || i + 6 + static_cast<std::size_t>(lCount) > vField.size() || vField[i + 5] == vField[i + 4]) {
                return quandrel::Failure("the polynomial of image row " + std::to_string(lRow) + " is incomplete");
            }
            o.fMin = vField[i + 4];
            o.fMax = vField[i + 5];
            o.vCoefficients.assign(vField.begin() + static_cast<std::ptrdiff_t>(i + 6),
                                   vField.begin() + static_cast<std::ptrdiff_t>(i + 6 + static_cast<std::size_t>(lCount)));
            i += 6 + static_cast<std::size_t>(lCount);
            vFunctions.push_back(std::move(o));
        }
        if (vFunctions.empty()) {
            return quandrel::Failure("the dispersion of image row " + std::to_string(lRow) + " names no function");
        }
    } else if (lType != 0 && lType != 1) {
        return quandrel::Failure("image row " + std::to_string(lRow) + " has " +
                                 (lType == -1 ? std::string("no dispersion (dtype -1)")
                                              : "a dispersion of type " + std::to_string(lType) + ", which multispec does not define"));
    }
    oOrder.vWavelength.resize(static_cast<std::size_t>(n));
    for (long long k = 0; k < n; ++k) {
        const double p = (static_cast<double>(k + 1) - fPhysicalOffset) / fPhysicalScale;
        double w = 0.0;
        if (lType == 0) {
            w = w1 + dw * (p - 1.0);
        } else if (lType == 1) {
            w = std::pow(10.0, w1 + dw * (p - 1.0));
        } else {
            for (const Function& o : vFunctions) {
                const double x = (2.0 * p - (o.fMax + o.fMin)) / (o.fMax - o.fMin);
                w += o.fWeight * (o.fZero + Polynomial(o.lType, o.vCoefficients, x));
            }
        }
        oOrder.vWavelength[static_cast<std::size_t>(k)] = w / (1.0 + z) * fAngstrom;
    }
    return oOrder;
}

} // namespace quandrel::fits
