// How far a long computation has come, and the user's wish to stop it: written by the computation
// on a worker thread, read and cancelled from the window's thread.
#pragma once

#include <atomic>

class Progress {
public:
    // The share done, 0 .. 1.
    void Set(double fDone) { m_fDone.store(fDone, std::memory_order_relaxed); }
    double Get() const { return m_fDone.load(std::memory_order_relaxed); }
    void Cancel() { m_bCancel.store(true, std::memory_order_relaxed); }
    bool IsCancelled() const { return m_bCancel.load(std::memory_order_relaxed); }

private:
    std::atomic<double> m_fDone{0.0};
    std::atomic<bool> m_bCancel{false};
};

// True when a computation given this (possibly absent) progress should stop.
inline bool Cancelled(const Progress* pProgress)
{
    return pProgress != nullptr && pProgress->IsCancelled();
}
