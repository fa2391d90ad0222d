#include "TempDir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

TempDir::TempDir()
{
    std::random_device oRandom;
    const auto oBase = std::filesystem::temp_directory_path();
    for (int lTry = 0; lTry < 100; ++lTry) {
        auto oCandidate = oBase / ("quandrel-test-" + std::to_string(oRandom()));
        if (std::filesystem::create_directory(oCandidate)) {
            m_oPath = oCandidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code oError;
    std::filesystem::remove_all(m_oPath, oError);
}

std::string TempDir::File(const std::string& sName) const
{
    return (m_oPath / sName).string();
}

std::string TempDir::Write(const std::string& sName, const std::string& sBytes) const
{
    const std::string sPath = File(sName);
    std::ofstream oFile(sPath, std::ios::binary);
    oFile.write(sBytes.data(), static_cast<std::streamsize>(sBytes.size()));
    return sPath;
}

std::string ReadWholeFile(const std::string& sPath)
{
    std::ifstream oFile(sPath, std::ios::binary);
    std::ostringstream oContent;
    oContent << oFile.rdbuf();
    return oContent.str();
}
