#include "StringTools.h"

#include <algorithm>

bool StringTools::IsInMask(char cCharacter, const std::string& text)
{
    return text.find(cCharacter) != std::string::npos;
}

void StringTools::KeepMaskRun(std::string& text, const std::string& mask)
{
    const std::size_t lFirst = text.find_first_of(mask);
    if (lFirst == std::string::npos) {
        text.clear();
        return;
    }
    std::size_t lEnd = text.find_first_not_of(mask, lFirst);
    if (lEnd == std::string::npos) {
        lEnd = text.size();
    }
    text = text.substr(lFirst, lEnd - lFirst);
}

void StringTools::ReplaceChar(std::string& text, char cFrom, char cTo)
{
    std::replace(text.begin(), text.end(), cFrom, cTo);
}

void StringTools::SubString(std::string& text, int lFirst, int lLast)
{
    const int lLength = static_cast<int>(text.size());
    lFirst = std::max(lFirst, 0);
    lLast = std::min(lLast, lLength - 1);
    if (lFirst > lLast) {
        text.clear();
        return;
    }
    text = text.substr(static_cast<std::size_t>(lFirst), static_cast<std::size_t>(lLast - lFirst + 1));
}

void StringTools::DeleteChars(std::string& text, int lPosition, int lCount)
{
    const int lLength = static_cast<int>(text.size());
    if (lPosition < 0 || lPosition >= lLength || lCount <= 0) {
        return;
    }
    text.erase(static_cast<std::size_t>(lPosition), static_cast<std::size_t>(std::min(lCount, lLength - lPosition)));
}
