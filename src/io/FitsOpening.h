// A FITS file opened for reading spectra: a gzip-compressed one unpacked in memory (to at most 1 GiB),
// and every file's layout checked before CFITSIO sizes anything from it.
#pragma once

#include "FitsHandle.h"
#include "core/Result.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quandrel::fits {

// At most this many HDUs are looked at.
inline constexpr int kMaxHdus = 64;

class OpenedFits {
public:
    // The open file, or why it cannot be opened (a clause naming no file, no full stop).
    static quandrel::Result<std::unique_ptr<OpenedFits>> Open(const std::string& sPath);
    OpenedFits(const OpenedFits&) = delete;

    fitsfile* Get() const { return m_oFile.Get(); }
    // The bytes the file holds (unpacked): no image or table can claim more.
    std::uintmax_t Budget() const { return m_lBudget; }

private:
    OpenedFits() = default;

    // The unpacked bytes, and the address and size CFITSIO keeps pointers to, outlive the file that
    // reads them.
    std::string m_sUnpacked;
    void* m_pBuffer = nullptr;
    std::size_t m_lSize = 0;
    FitsHandle m_oFile;
    std::uintmax_t m_lBudget = 0;
};

} // namespace quandrel::fits
