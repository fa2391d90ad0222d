#include "Prompts.h"

#include <vector>

std::string ToQtFilter(const std::string& sWindowsFilter)
{
    std::vector<std::string> vParts;
    std::size_t lStart = 0;
    while (lStart <= sWindowsFilter.size()) {
        const std::size_t lBar = sWindowsFilter.find('|', lStart);
        const std::size_t lEnd = lBar == std::string::npos ? sWindowsFilter.size() : lBar;
        vParts.push_back(sWindowsFilter.substr(lStart, lEnd - lStart));
        lStart = lEnd + 1;
    }
    std::string sQt;
    for (std::size_t i = 0; i + 1 < vParts.size(); i += 2) {
        std::string sDescription = vParts[i];
        std::string sPatterns = vParts[i + 1];
        // Qt separates patterns by blanks; Windows by ';'. "*.*" would only match names with a dot.
        for (char& c : sPatterns) {
            if (c == ';') {
                c = ' ';
            }
        }
        if (sPatterns == "*.*") {
            sPatterns = "*";
        }
        const std::size_t lOpen = sDescription.rfind('(');
        if (lOpen != std::string::npos) {
            sDescription = sDescription.substr(0, lOpen);
            while (!sDescription.empty() && sDescription.back() == ' ') {
                sDescription.pop_back();
            }
        }
        if (!sQt.empty()) {
            sQt += ";;";
        }
        sQt += sDescription + " (" + sPatterns + ")";
    }
    return sQt;
}

std::string DefaultSuffix(const std::string& sDefaultExtension)
{
    std::string sSuffix = sDefaultExtension;
    const std::size_t lDot = sSuffix.rfind('.');
    if (lDot != std::string::npos) {
        sSuffix = sSuffix.substr(lDot + 1);
    }
    return sSuffix == "*" ? std::string() : sSuffix;
}
