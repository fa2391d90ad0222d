#include "LargeArray.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quandrel {

void MakeResident(void* pvData, std::size_t lBytes)
{
#if defined(__linux__)
    constexpr std::size_t kMinBytes = std::size_t{2} << 20;
    if (pvData == nullptr || lBytes < kMinBytes) {
        return;
    }
    const auto lPage = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto lBegin = (reinterpret_cast<std::uintptr_t>(pvData) + lPage - 1) / lPage * lPage;
    const auto lEnd = (reinterpret_cast<std::uintptr_t>(pvData) + lBytes) / lPage * lPage;
    if (lEnd <= lBegin) {
        return;
    }
    auto* pvBegin = reinterpret_cast<void*>(lBegin);
    // Both are requests: a kernel that does not know one refuses it, and the pages then come one
    // fault at a time as before.
#if defined(MADV_HUGEPAGE)
    ::madvise(pvBegin, lEnd - lBegin, MADV_HUGEPAGE);
#endif
#if !defined(MADV_POPULATE_WRITE)
    constexpr int MADV_POPULATE_WRITE = 23;
#endif
    ::madvise(pvBegin, lEnd - lBegin, MADV_POPULATE_WRITE);
#else
    (void)pvData;
    (void)lBytes;
#endif
}

} // namespace quandrel
