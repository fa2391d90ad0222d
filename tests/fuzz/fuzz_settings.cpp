// The settings file: "section\x01key\x01value\x01" and then the file. After a write the key reads
// back as written (without the blanks around it) and every other key of the file reads as before.
#include "FuzzSupport.h"
#include "core/IniFile.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace {

std::string Trim(const std::string& s)
{
    const auto lFirst = s.find_first_not_of(" \t\r\n");
    return lFirst == std::string::npos ? std::string() : s.substr(lFirst, s.find_last_not_of(" \t\r\n") - lFirst + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Section and key of the file's "key=value" lines, at most 32 of them.
std::vector<std::pair<std::string, std::string>> Keys(const std::string& sFile)
{
    std::vector<std::pair<std::string, std::string>> vKeys;
    std::string sSection;
    std::size_t lStart = 0;
    while (lStart < sFile.size() && vKeys.size() < 32) {
        const std::size_t lEnd = std::min(sFile.find('\n', lStart), sFile.size());
        const std::string sLine = Trim(sFile.substr(lStart, lEnd - lStart));
        if (!sLine.empty() && sLine.front() == '[' && sLine.find(']') != std::string::npos) {
            sSection = Trim(sLine.substr(1, sLine.find(']') - 1));
        } else if (sLine.find('=') != std::string::npos) {
            vKeys.emplace_back(sSection, Trim(sLine.substr(0, sLine.find('='))));
        }
        lStart = lEnd + 1;
    }
    return vKeys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    std::string sInput(reinterpret_cast<const char*>(pData), lSize);
    std::string asField[3] = {"Paths", "SpectraPath", "/data"};
    for (std::string& sField : asField) {
        const auto lEnd = sInput.find('\x01');
        if (lEnd == std::string::npos) {
            break;
        }
        sField = sInput.substr(0, lEnd);
        sInput.erase(0, lEnd + 1);
    }
    const auto& [sSection, sKey, sValue] = asField;
    const IniFile oIni(WriteInput("q.ini", sInput));
    const auto vKeys = Keys(sInput);
    std::vector<std::string> vBefore;
    for (const auto& [s, k] : vKeys) {
        vBefore.push_back(oIni.ReadString(s, k, "\x02"));
    }
    if (!oIni.WriteString(sSection, sKey, sValue)) {
        Require(ReadBack(Folder() + "/q.ini") == sInput, "a refused write leaves the file");
        return 0;
    }
    Require(oIni.ReadString(sSection, sKey, "\x02") == Trim(sValue), "the key reads back as written");
    for (std::size_t k = 0; k < vKeys.size(); ++k) {
        if (!(SameName(vKeys[k].first, sSection) && SameName(vKeys[k].second, sKey))) {
            Require(oIni.ReadString(vKeys[k].first, vKeys[k].second, "\x02") == vBefore[k], "other keys are unchanged");
        }
    }
    return 0;
}
