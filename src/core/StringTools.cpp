#include "StringTools.h"

#include <algorithm>

bool StringTools::IsInMask(char cCharacter, const std::string& pcString)
{
    return pcString.find(cCharacter) != std::string::npos;
}

void StringTools::KeepMaskRun(std::string& pcString, const std::string& pcMask)
{
    const std::size_t lFirst = pcString.find_first_of(pcMask);
    if (lFirst == std::string::npos) {
        pcString.clear();
        return;
    }
    std::size_t lEnd = pcString.find_first_not_of(pcMask, lFirst);
    if (lEnd == std::string::npos) {
        lEnd = pcString.size();
    }
    pcString = pcString.substr(lFirst, lEnd - lFirst);
}

void StringTools::ReplaceChar(std::string& pcString, char cFrom, char cTo)
{
    std::replace(pcString.begin(), pcString.end(), cFrom, cTo);
}

void StringTools::SubString(std::string& pcString, int lFirst, int lLast)
{
    const int lLength = static_cast<int>(pcString.size());
    lFirst = std::max(lFirst, 0);
    lLast = std::min(lLast, lLength - 1);
    if (lFirst > lLast) {
        pcString.clear();
        return;
    }
    pcString = pcString.substr(static_cast<std::size_t>(lFirst), static_cast<std::size_t>(lLast - lFirst + 1));
}

void StringTools::DeleteChars(std::string& pcString, int lPosition, int lCount)
{
    const int lLength = static_cast<int>(pcString.size());
    if (lPosition < 0 || lPosition >= lLength || lCount <= 0) {
        return;
    }
    pcString.erase(static_cast<std::size_t>(lPosition), static_cast<std::size_t>(std::min(lCount, lLength - lPosition)));
}
