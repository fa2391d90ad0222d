#include "FitsOpening.h"

#include "FitsSpectrum.h"
#include "FitsStructure.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace quandrel::fits {

namespace {

constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

struct Unreadable {
    std::string sWhy;
};

// The bytes of a gzip-compressed file, decompressed here so that no more than 1 GiB is ever taken
// (a small file can expand a thousandfold).
std::string Gunzip(const std::string& sPath)
{
    gzFile pFile = gzopen(sPath.c_str(), "rb");
    if (pFile == nullptr) {
        throw Unreadable{"it cannot be read"};
    }
    std::string sBytes;
    std::array<char, 1 << 16> acBuffer{};
    int lRead = 0;
    while ((lRead = gzread(pFile, acBuffer.data(), static_cast<unsigned>(acBuffer.size()))) > 0) {
        if (sBytes.size() + static_cast<std::size_t>(lRead) > kMaxFileBytes) {
            gzclose(pFile);
            throw Unreadable{"it expands to more than 1 GiB"};
        }
        sBytes.append(acBuffer.data(), static_cast<std::size_t>(lRead));
    }
    const bool bDamaged = lRead < 0;
    gzclose(pFile);
    if (bDamaged) {
        throw Unreadable{"its compressed data are damaged"};
    }
    return sBytes;
}

// The layout the headers declare, checked before CFITSIO sizes anything from them.
void CheckLayout(const ByteSource& fnRead, std::uint64_t lBytes)
{
    if (const std::string sWhy = CheckStructure(fnRead, lBytes, kMaxHdus); !sWhy.empty()) {
        throw Unreadable{"its " + sWhy};
    }
}

bool StartsWithGzip(const std::string& sPath)
{
    std::ifstream oFile(sPath, std::ios::binary);
    std::array<char, 2> ac{};
    return oFile.read(ac.data(), 2) && static_cast<unsigned char>(ac[0]) == 0x1F &&
           static_cast<unsigned char>(ac[1]) == 0x8B;
}

} // namespace

quandrel::Result<std::unique_ptr<OpenedFits>> OpenedFits::Open(const std::string& sPath)
{
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sPath, oError)) {
        return quandrel::Failure(std::string("is no regular file that can be read"));
    }
    const std::uintmax_t lBytes = std::filesystem::file_size(sPath, oError);
    if (oError || lBytes > kMaxFileBytes) {
        return quandrel::Failure(std::string("cannot be read or is larger than 1 GiB"));
    }
    std::unique_ptr<OpenedFits> p(new OpenedFits);
    p->m_lBudget = lBytes;
    int lStatus = 0;
    try {
        if (StartsWithGzip(sPath)) {
            p->m_sUnpacked = Gunzip(sPath);
            std::string& sUnpacked = p->m_sUnpacked;
            p->m_lBudget = sUnpacked.size();
            CheckLayout(
                [&sUnpacked](std::uint64_t lOffset, std::size_t lCount) {
                    return lOffset < sUnpacked.size() ? sUnpacked.substr(lOffset, lCount) : std::string();
                },
                sUnpacked.size());
            // CFITSIO reads a memory file in whole blocks of 2880 bytes: a file whose last block is
            // short (it ends with its data) is padded with zeros so that no read runs past the buffer.
            sUnpacked.resize((sUnpacked.size() + 2879) / 2880 * 2880, '\0');
            p->m_pBuffer = sUnpacked.data();
            p->m_lSize = sUnpacked.size();
            fits_open_memfile(p->m_oFile.Address(), "unpacked.fits", READONLY, &p->m_pBuffer, &p->m_lSize, 0, nullptr,
                              &lStatus);
        } else {
            std::ifstream oRaw(sPath, std::ios::binary);
            CheckLayout(
                [&oRaw](std::uint64_t lOffset, std::size_t lCount) {
                    std::string sBytes(lCount, '\0');
                    oRaw.clear();
                    oRaw.seekg(static_cast<std::streamoff>(lOffset));
                    oRaw.read(sBytes.data(), static_cast<std::streamsize>(lCount));
                    sBytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(oRaw.gcount(), 0)));
                    return sBytes;
                },
                lBytes);
            // The disk-file opener takes the name as it is: no CFITSIO filters or "!" in it are obeyed.
            fits_open_diskfile(p->m_oFile.Address(), sPath.c_str(), READONLY, &lStatus);
        }
    } catch (const Unreadable& oFailure) {
        return quandrel::Failure("cannot be opened as a spectrum: " + oFailure.sWhy);
    }
    if (lStatus != 0) {
        p->m_oFile.Release();
        return quandrel::Failure("is no FITS file the program can read (" + StatusText(lStatus) + ")");
    }
    return p;
}

} // namespace quandrel::fits

bool IsFitsFile(const std::string& sPath)
{
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sPath, oError)) {
        return false;
    }
    std::ifstream oFile(sPath, std::ios::binary);
    std::array<char, 9> ac{};
    if (!oFile.read(ac.data(), 2)) {
        return false;
    }
    if (static_cast<unsigned char>(ac[0]) == 0x1F && static_cast<unsigned char>(ac[1]) == 0x8B) {
        return true;
    }
    return oFile.read(ac.data() + 2, 7) && std::string_view(ac.data(), 9) == "SIMPLE  =";
}
