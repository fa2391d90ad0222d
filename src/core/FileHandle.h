// An open C file that closes itself.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace quandrel {

struct FileCloser {
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};

using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// How a whole file was read.
enum class ReadFile {
    Read,
    Missing, // not there, or no regular file (a folder, a device, a pipe): never opened, never waited on
    TooLarge,
    Failed,
};

// The whole content of a regular file of at most lMaxBytes.
ReadFile ReadRegularFile(const std::string& sPath, std::uintmax_t lMaxBytes, std::string& sBytes);

} // namespace quandrel
