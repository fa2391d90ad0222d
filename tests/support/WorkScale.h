// Inputs of the heaviest tests are smaller in a build with AddressSanitizer, which runs them about
// ten times slower: every test stays far inside its time limit on a busy machine.
#pragma once

#include <cstddef>

namespace quandrel::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// lBytes in the normal build, an eighth of it under the sanitizers.
constexpr std::size_t ScaledForSanitizers(std::size_t lBytes)
{
    return kSanitized ? lBytes / 8 : lBytes;
}

} // namespace quandrel::testing
