// An open C file that closes itself.
#pragma once

#include <cstdio>
#include <memory>

namespace quandrel {

struct SFileCloser {
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};

using UniqueFile = std::unique_ptr<std::FILE, SFileCloser>;

} // namespace quandrel
