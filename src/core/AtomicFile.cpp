#include "AtomicFile.h"

#include "FileHandle.h"

#include <cstdio>

namespace quandrel {

bool WriteFileAtomically(const std::string& sPath, const std::string& sBytes)
{
    const std::string sTemporary = sPath + ".new";
    UniqueFile pFile(std::fopen(sTemporary.c_str(), "wb"));
    if (!pFile) {
        return false;
    }
    const bool bWritten = std::fwrite(sBytes.data(), 1, sBytes.size(), pFile.get()) == sBytes.size();
    const bool bClosed = std::fclose(pFile.release()) == 0;
    if (!bWritten || !bClosed || std::rename(sTemporary.c_str(), sPath.c_str()) != 0) {
        std::remove(sTemporary.c_str());
        return false;
    }
    return true;
}

} // namespace quandrel
