#include "NumberText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace quandrel {

namespace {

// Large enough for "%f" of the largest double (309 digits) with any sane precision.
constexpr std::size_t kFormatBuffer = 512;

std::string Format(double fValue, std::chars_format eFormat, int lPrecision)
{
    std::array<char, kFormatBuffer> acBuffer{};
    const auto oResult = std::to_chars(acBuffer.data(), acBuffer.data() + acBuffer.size(), fValue, eFormat, lPrecision);
    if (oResult.ec != std::errc()) {
        return std::string();
    }
    return std::string(acBuffer.data(), oResult.ptr);
}

std::string_view TrimBlanks(std::string_view sText)
{
    const auto IsBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!sText.empty() && IsBlank(sText.front())) {
        sText.remove_prefix(1);
    }
    while (!sText.empty() && IsBlank(sText.back())) {
        sText.remove_suffix(1);
    }
    return sText;
}

// Parses a number at the start of sText; lUsed receives the characters taken.
bool ParseDoublePrefix(std::string_view sText, double& fValue, std::size_t& lUsed)
{
    std::size_t lSkip = 0;
    if (!sText.empty() && sText.front() == '+') {
        // std::from_chars takes '-' but not '+'; a second sign after '+' is no number.
        lSkip = 1;
        if (sText.size() > 1 && (sText[1] == '+' || sText[1] == '-')) {
            return false;
        }
    }
    const char* pcBegin = sText.data() + lSkip;
    const char* pcEnd = sText.data() + sText.size();
    double fParsed = 0.0;
    const auto oResult = std::from_chars(pcBegin, pcEnd, fParsed, std::chars_format::general);
    if (oResult.ec != std::errc() || !std::isfinite(fParsed)) {
        // Nothing parsed, or a magnitude outside the double range.
        return false;
    }
    fValue = fParsed;
    lUsed = static_cast<std::size_t>(oResult.ptr - sText.data());
    return true;
}

} // namespace

std::string FormatFixed(double fValue, int lPrecision)
{
    return Format(fValue, std::chars_format::fixed, lPrecision);
}

std::string FormatFixedWidth(double fValue, int lWidth, int lPrecision)
{
    return PadLeft(FormatFixed(fValue, lPrecision), lWidth, ' ');
}

std::string PadLeft(std::string sText, int lWidth, char cFill)
{
    if (static_cast<int>(sText.size()) < lWidth) {
        sText.insert(0, static_cast<std::size_t>(lWidth) - sText.size(), cFill);
    }
    return sText;
}

std::string FormatScientific(double fValue, int lPrecision)
{
    return Format(fValue, std::chars_format::scientific, lPrecision);
}

std::string FormatGeneral(double fValue, int lPrecision)
{
    return Format(fValue, std::chars_format::general, lPrecision);
}

bool ParseLeadingDouble(std::string_view sText, double& fValue)
{
    std::size_t lUsed = 0;
    return ParseDoublePrefix(sText, fValue, lUsed);
}

bool ParseWholeDouble(std::string_view sText, double& fValue)
{
    sText = TrimBlanks(sText);
    double fParsed = 0.0;
    std::size_t lUsed = 0;
    if (!ParseDoublePrefix(sText, fParsed, lUsed) || lUsed != sText.size()) {
        return false;
    }
    fValue = fParsed;
    return true;
}

bool ParseWholeInt(std::string_view sText, int& lValue)
{
    sText = TrimBlanks(sText);
    if (!sText.empty() && sText.front() == '+') {
        sText.remove_prefix(1);
        if (!sText.empty() && sText.front() == '-') {
            return false;
        }
    }
    int lParsed = 0;
    const auto oResult = std::from_chars(sText.data(), sText.data() + sText.size(), lParsed);
    if (oResult.ec != std::errc() || oResult.ptr != sText.data() + sText.size()) {
        return false;
    }
    lValue = lParsed;
    return true;
}

} // namespace quandrel
