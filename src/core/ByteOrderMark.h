// Text files written by some editors start with a UTF-8 byte-order mark. It is
// no character of the file's first line and is skipped wherever a file is read
// as text.
#pragma once

#include <cstddef>
#include <string_view>

namespace quandrel {

// 3 when sText starts with the UTF-8 byte-order mark, else 0.
inline std::size_t ByteOrderMarkLength(std::string_view sText)
{
    return sText.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

} // namespace quandrel
