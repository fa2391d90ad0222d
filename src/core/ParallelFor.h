// Work on independent items spread over the processor's cores: each thread takes the next item
// not yet taken, so that items of different cost balance out.
#pragma once

#include "Progress.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace quandrel {

// Calls fnItem(i) once for every i in 0 .. n-1 on lThreads threads (0: one per core), and returns
// when all are done. A cancelled progress stops the items not yet begun; the share of items done
// goes into it. fnItem must not touch what other items touch.
template <typename ItemFunction>
void ParallelFor(std::size_t n, unsigned lThreads, Progress* pProgress, ItemFunction fnItem)
{
    const unsigned lCores = lThreads != 0 ? lThreads : std::max(1U, std::thread::hardware_concurrency());
    const auto lUsed = static_cast<unsigned>(std::min<std::size_t>(lCores, std::max<std::size_t>(n, 1)));
    std::atomic<std::size_t> lNext{0};
    std::atomic<std::size_t> lDone{0};
    const auto Work = [&] {
        for (std::size_t i = lNext++; i < n && !Cancelled(pProgress); i = lNext++) {
            fnItem(i);
            const std::size_t lFinished = ++lDone;
            if (pProgress != nullptr) {
                pProgress->Set(static_cast<double>(lFinished) / static_cast<double>(n));
            }
        }
    };
    std::vector<std::thread> vThreads;
    for (unsigned t = 1; t < lUsed; ++t) {
        vThreads.emplace_back(Work);
    }
    Work();
    for (std::thread& oThread : vThreads) {
        oThread.join();
    }
}

} // namespace quandrel
