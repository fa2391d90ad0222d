// What the reading and the writing of FITS spectra share: an open CFITSIO file closed with its owner,
// and CFITSIO's text for a status.
#pragma once

#include <fitsio.h>

#include <array>
#include <string>
#include <utility>

namespace quandrel::fits {

// An open FITS file, closed with its owner.
class FitsHandle {
public:
    FitsHandle() = default;
    FitsHandle(const FitsHandle&) = delete;
    FitsHandle& operator=(const FitsHandle&) = delete;
    ~FitsHandle()
    {
        if (m_pFile != nullptr) {
            int lStatus = 0;
            fits_close_file(m_pFile, &lStatus);
        }
    }
    fitsfile** Address() { return &m_pFile; }
    fitsfile* Get() const { return m_pFile; }
    fitsfile* Release() { return std::exchange(m_pFile, nullptr); }

private:
    fitsfile* m_pFile = nullptr;
};

inline std::string StatusText(int lStatus)
{
    std::array<char, FLEN_STATUS> acText{};
    fits_get_errstatus(lStatus, acText.data());
    fits_clear_errmsg();
    return acText.data();
}

} // namespace quandrel::fits
