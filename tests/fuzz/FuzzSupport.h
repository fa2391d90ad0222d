// What the fuzz targets share: the input as a file (the parsers read files), and the checks that
// must hold besides not crashing. A failed check aborts, which libFuzzer reports with the input.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace quandrel::fuzz {

// A folder of this process's own for its files, removed at exit.
class TempFolder {
public:
    TempFolder()
    {
        std::string sTemplate = (std::filesystem::temp_directory_path() / "quandrel-fuzz-XXXXXX").string();
        if (::mkdtemp(sTemplate.data()) == nullptr) {
            std::abort();
        }
        m_sPath = sTemplate;
    }
    ~TempFolder()
    {
        std::error_code oError;
        std::filesystem::remove_all(m_sPath, oError);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_sPath; }

private:
    std::string m_sPath;
};

inline const std::string& Folder()
{
    static const TempFolder oFolder;
    return oFolder.Path();
}

// Writes the bytes to the named file of the folder and returns its path.
inline std::string WriteInput(const std::string& sName, std::string_view sBytes)
{
    const std::string sPath = Folder() + "/" + sName;
    std::FILE* pFile = std::fopen(sPath.c_str(), "wb");
    if (pFile == nullptr) {
        std::abort();
    }
    std::fwrite(sBytes.data(), 1, sBytes.size(), pFile);
    std::fclose(pFile);
    return sPath;
}

inline std::string ReadBack(const std::string& sPath)
{
    std::string sBytes;
    if (std::FILE* pFile = std::fopen(sPath.c_str(), "rb")) {
        char acBuffer[65536];
        for (std::size_t n; (n = std::fread(acBuffer, 1, sizeof acBuffer, pFile)) > 0;) {
            sBytes.append(acBuffer, n);
        }
        std::fclose(pFile);
    }
    return sBytes;
}

// A check that must hold: on failure the message goes to stderr and the run ends as a finding.
inline void Require(bool bHolds, const char* pcWhat)
{
    if (!bHolds) {
        std::fprintf(stderr, "property violated: %s\n", pcWhat);
        std::abort();
    }
}

inline bool IsFinite(double f)
{
    return std::isfinite(f);
}

} // namespace quandrel::fuzz
