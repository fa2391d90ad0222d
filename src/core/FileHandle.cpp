#include "FileHandle.h"

#include <filesystem>

namespace quandrel {

ReadFile ReadRegularFile(const std::string& sPath, std::uintmax_t lMaxBytes, std::string& sBytes)
{
    sBytes.clear();
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sPath, oError)) {
        return ReadFile::Missing;
    }
    const std::uintmax_t lSize = std::filesystem::file_size(sPath, oError);
    if (oError) {
        return ReadFile::Failed;
    }
    if (lSize > lMaxBytes) {
        return ReadFile::TooLarge;
    }
    UniqueFile pFile(std::fopen(sPath.c_str(), "rb"));
    if (!pFile) {
        return ReadFile::Failed;
    }
    sBytes.resize(static_cast<std::size_t>(lSize));
    sBytes.resize(std::fread(sBytes.data(), 1, sBytes.size(), pFile.get()));
    // A file that grew while it was read is read up to its size then; one that shrank is short.
    return sBytes.size() == lSize ? ReadFile::Read : ReadFile::Failed;
}

} // namespace quandrel
