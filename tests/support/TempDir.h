// A fresh folder for the files of one test, removed with everything in it
// when the test ends.
#pragma once

#include <filesystem>
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Path of a file in the folder.
    std::string File(const std::string& sName) const;
    // Writes the bytes to a file in the folder and returns its path.
    std::string Write(const std::string& sName, const std::string& sBytes) const;

private:
    std::filesystem::path m_oPath;
};

// The whole content of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& sPath);
