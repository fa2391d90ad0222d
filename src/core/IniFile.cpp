#include "IniFile.h"

#include "AtomicFile.h"
#include "ByteOrderMark.h"
#include "FileHandle.h"
#include "NumberText.h"
#include "Utils.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

// More than this many bytes is no settings file of ours; such a file is read as empty.
constexpr std::uintmax_t kMaxIniBytes = 16U * 1024U * 1024U;

std::string Trim(const std::string& sText)
{
    const auto lFirst = sText.find_first_not_of(" \t\r\n");
    if (lFirst == std::string::npos) {
        return std::string();
    }
    const auto lLast = sText.find_last_not_of(" \t\r\n");
    return sText.substr(lFirst, lLast - lFirst + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The lines of the settings file: none for a missing file, nothing for a file that cannot be read
// as one (too large, no regular file, no permission to read), which must then not be replaced.
std::optional<std::vector<std::string>> ReadLines(const std::string& sPath)
{
    std::vector<std::string> vLines;
    std::error_code oError;
    if (!std::filesystem::exists(sPath, oError) && !oError) {
        return vLines;
    }
    if (!std::filesystem::is_regular_file(sPath, oError)) {
        return std::nullopt;
    }
    const auto lSize = std::filesystem::file_size(sPath, oError);
    if (oError || lSize > kMaxIniBytes) {
        return std::nullopt;
    }
    quandrel::UniqueFile pFile(std::fopen(sPath.c_str(), "rb"));
    if (!pFile) {
        return std::nullopt;
    }
    std::string sContent(static_cast<std::size_t>(lSize), '\0');
    sContent.resize(std::fread(sContent.data(), 1, sContent.size(), pFile.get()));
    if (std::ferror(pFile.get()) != 0) {
        return std::nullopt;
    }
    std::size_t lStart = quandrel::ByteOrderMarkLength(sContent);
    while (lStart < sContent.size()) {
        std::size_t lEnd = sContent.find('\n', lStart);
        if (lEnd == std::string::npos) {
            lEnd = sContent.size();
        }
        std::string sLine = sContent.substr(lStart, lEnd - lStart);
        if (!sLine.empty() && sLine.back() == '\r') {
            sLine.pop_back();
        }
        vLines.push_back(std::move(sLine));
        lStart = lEnd + 1;
    }
    return vLines;
}

// The section name of a "[name]" line.
std::optional<std::string> SectionOf(const std::string& sLine)
{
    const std::string sTrimmed = Trim(sLine);
    if (sTrimmed.size() >= 2 && sTrimmed.front() == '[') {
        const auto lClose = sTrimmed.find(']');
        if (lClose != std::string::npos) {
            return Trim(sTrimmed.substr(1, lClose - 1));
        }
    }
    return std::nullopt;
}

// The key of a "key=value" line.
std::optional<std::string> KeyOf(const std::string& sLine)
{
    const auto lEquals = sLine.find('=');
    if (lEquals == std::string::npos) {
        return std::nullopt;
    }
    return Trim(sLine.substr(0, lEquals));
}

bool WriteLines(const std::string& sPath, const std::vector<std::string>& vLines)
{
    std::string sContent;
    for (const auto& sLine : vLines) {
        sContent += sLine;
        sContent += '\n';
    }
    return quandrel::WriteFileAtomically(sPath, sContent);
}

// Writers of one settings file, in this process or another, take turns: each reads the file, changes
// one line and writes it back under an exclusive lock on a file beside it, so that no write replaces
// a file another has just changed with a copy from before the change.
class WriteLock {
public:
    explicit WriteLock(const std::string& sPath)
        : m_lFile(::open((quandrel::FollowLinks(sPath) + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {
        // Without a lock file (a folder that cannot be written) the write itself fails too.
        while (m_lFile >= 0 && ::flock(m_lFile, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~WriteLock()
    {
        if (m_lFile >= 0) {
            ::close(m_lFile);
        }
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    int m_lFile;
};

// Names and values that would not read back as written: a line break would start a new line (a new
// key, even a new section), a '=' in a key would end it early, a ']' would end a section's name, and
// names are compared without the blanks around them.
bool Writable(const std::string& sSection, const std::string& sKey, const std::string& sValue)
{
    const auto bHasBreak = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
    const auto bPlainName = [](const std::string& s) { return !s.empty() && Trim(s) == s; };
    return bPlainName(sSection) && bPlainName(sKey) && !bHasBreak(sSection) && !bHasBreak(sKey) &&
           !bHasBreak(sValue) && sSection.find(']') == std::string::npos && sKey.front() != '[' &&
           sKey.find('=') == std::string::npos;
}

} // namespace

std::string IniFile::ReadString(const std::string& sSection, const std::string& sKey,
                                 const std::string& sDefault) const
{
    bool bInSection = false;
    for (const auto& sLine : ReadLines(m_sFilePathAndName).value_or(std::vector<std::string>())) {
        if (const auto sName = SectionOf(sLine)) {
            bInSection = SameName(*sName, sSection);
            continue;
        }
        if (!bInSection) {
            continue;
        }
        const auto sLineKey = KeyOf(sLine);
        if (sLineKey && SameName(*sLineKey, sKey)) {
            return Trim(sLine.substr(sLine.find('=') + 1));
        }
    }
    return sDefault;
}

int IniFile::ReadInteger(const std::string& sSection, const std::string& sKey, int lDefault) const
{
    return TextToInt(ReadString(sSection, sKey, std::string()), lDefault);
}

bool IniFile::ReadBool(const std::string& sSection, const std::string& sKey, bool bDefault) const
{
    return ReadInteger(sSection, sKey, bDefault ? 1 : 0) != 0;
}

double IniFile::ReadFloat(const std::string& sSection, const std::string& sKey, double fDefault) const
{
    const std::string sValue = ReadString(sSection, sKey, std::string());
    const quandrel::Result<double> oValue = TextToFloat(sValue);
    return oValue ? *oValue : fDefault;
}

bool IniFile::WriteString(const std::string& sSection, const std::string& sKey, const std::string& sValue) const
{
    if (!Writable(sSection, sKey, sValue)) {
        return false;
    }
    const WriteLock oLock(m_sFilePathAndName);
    // A file that cannot be read is kept as it is: written anew it would lose all it holds.
    std::optional<std::vector<std::string>> ovLines = ReadLines(m_sFilePathAndName);
    if (!ovLines) {
        return false;
    }
    std::vector<std::string>& vLines = *ovLines;
    const std::string sNewLine = sKey + "=" + sValue;
    bool bInSection = false;
    std::optional<std::size_t> lSectionEnd; // where a new key of the section goes
    for (std::size_t i = 0; i < vLines.size(); ++i) {
        if (const auto sName = SectionOf(vLines[i])) {
            if (bInSection) {
                break;
            }
            bInSection = SameName(*sName, sSection);
            if (bInSection) {
                lSectionEnd = i + 1;
            }
            continue;
        }
        if (!bInSection) {
            continue;
        }
        const auto sLineKey = KeyOf(vLines[i]);
        if (sLineKey && SameName(*sLineKey, sKey)) {
            vLines[i] = *sLineKey + "=" + sValue;
            return WriteLines(m_sFilePathAndName, vLines);
        }
        if (!Trim(vLines[i]).empty()) {
            lSectionEnd = i + 1;
        }
    }
    if (lSectionEnd) {
        vLines.insert(vLines.begin() + static_cast<std::ptrdiff_t>(*lSectionEnd), sNewLine);
    } else {
        if (!vLines.empty() && !Trim(vLines.back()).empty()) {
            vLines.emplace_back();
        }
        vLines.push_back("[" + sSection + "]");
        vLines.push_back(sNewLine);
    }
    return WriteLines(m_sFilePathAndName, vLines);
}

bool IniFile::WriteInteger(const std::string& sSection, const std::string& sKey, int lValue) const
{
    return WriteString(sSection, sKey, std::to_string(lValue));
}

bool IniFile::WriteBool(const std::string& sSection, const std::string& sKey, bool bValue) const
{
    return WriteString(sSection, sKey, bValue ? "1" : "0");
}

bool IniFile::WriteFloat(const std::string& sSection, const std::string& sKey, double fValue) const
{
    return WriteString(sSection, sKey, FloatToText(fValue));
}

std::string FloatToText(double fValue)
{
    std::string sText = quandrel::FormatGeneral(fValue, 15);
    const char cSystem = GetSystemDecimalSeparator();
    if (cSystem != '.') {
        std::replace(sText.begin(), sText.end(), '.', cSystem);
    }
    return sText;
}

std::optional<std::string> IniFile::WhyNotWritable() const
{
    const std::string sName = "The settings file " + m_sFilePathAndName;
    std::error_code oError;
    if (std::filesystem::is_directory(m_sFilePathAndName, oError)) {
        return sName + " is a folder";
    }
    if (!ReadLines(m_sFilePathAndName)) {
        return sName + " cannot be read as settings (more than " + std::to_string(kMaxIniBytes >> 20) +
               " MB, no regular file, or not readable)";
    }
    if (std::filesystem::exists(m_sFilePathAndName, oError)) {
        if (::access(m_sFilePathAndName.c_str(), W_OK) != 0) {
            return sName + " cannot be written: " + std::strerror(errno);
        }
    }
    const std::filesystem::path oFolder = std::filesystem::path(m_sFilePathAndName).parent_path();
    const std::string sFolder = oFolder.empty() ? std::string(".") : oFolder.string();
    if (::access(sFolder.c_str(), W_OK) != 0) {
        return sName + " cannot be written: its folder " + sFolder + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

std::string IniFile::SettingsPathFor(const std::string& sExecutablePath)
{
    const std::filesystem::path oExecutable(sExecutablePath);
    std::filesystem::path oBeside = oExecutable;
    oBeside.replace_extension(".ini");
    const std::filesystem::path oFolder = oExecutable.has_parent_path() ? oExecutable.parent_path() : ".";
    std::error_code oError;
    const bool bFileWritable = !std::filesystem::exists(oBeside, oError) || ::access(oBeside.c_str(), W_OK) == 0;
    if (::access(oFolder.c_str(), W_OK) == 0 && bFileWritable) {
        return oBeside.string();
    }
    std::filesystem::path oConfig;
    if (const char* pcXdg = std::getenv("XDG_CONFIG_HOME"); pcXdg != nullptr && *pcXdg == '/') {
        oConfig = pcXdg;
    } else if (const char* pcHome = std::getenv("HOME"); pcHome != nullptr && *pcHome != '\0') {
        oConfig = std::filesystem::path(pcHome) / ".config";
    } else {
        oConfig = std::filesystem::temp_directory_path();
    }
    oConfig /= "quandrel";
    std::filesystem::create_directories(oConfig, oError);
    return (oConfig / oBeside.filename()).string();
}
