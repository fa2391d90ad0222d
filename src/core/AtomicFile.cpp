#include "AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quandrel {

namespace {

// Going past a file-size limit raises SIGXFSZ, which ends the process by default; ignored, the write
// fails with EFBIG and is reported like any other failed write.
void IgnoreFileSizeSignal()
{
    static std::once_flag oOnce;
    std::call_once(oOnce, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

// The permissions a new file gets: 0666 less the process's mask, read without changing it.
mode_t NewFileMode()
{
    std::ifstream oStatus("/proc/self/status");
    for (std::string sLine; std::getline(oStatus, sLine);) {
        if (sLine.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(0666 & ~std::strtoul(sLine.c_str() + 6, nullptr, 8));
        }
    }
    return 0644;
}

bool WriteAll(int lFile, const std::string& sBytes)
{
    std::size_t lDone = 0;
    while (lDone < sBytes.size()) {
        const ssize_t lWritten = ::write(lFile, sBytes.data() + lDone, sBytes.size() - lDone);
        if (lWritten < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        lDone += static_cast<std::size_t>(lWritten);
    }
    return true;
}

// The rename is on the disk once the folder is flushed too.
void FlushFolder(const std::filesystem::path& oFolder)
{
    const int lFolder = ::open(oFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lFolder >= 0) {
        ::fsync(lFolder);
        ::close(lFolder);
    }
}

// A device or a pipe named as the target (/dev/null, /dev/stdout) is written to as it is: there is
// no file to replace, and replacing the name would put a plain file where the device was.
bool WriteToDevice(const std::filesystem::path& oTarget, const std::string& sBytes)
{
    const int lFile = ::open(oTarget.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (lFile < 0) {
        return false;
    }
    const bool bWritten = WriteAll(lFile, sBytes);
    return ::close(lFile) == 0 && bWritten;
}

} // namespace

std::string FollowLinks(const std::string& sPath)
{
    std::filesystem::path oPath(sPath);
    // As many links as the system itself follows before it gives up on a loop.
    for (int lLinks = 0; lLinks < 40; ++lLinks) {
        std::error_code oError;
        if (!std::filesystem::is_symlink(oPath, oError)) {
            break;
        }
        const std::filesystem::path oTarget = std::filesystem::read_symlink(oPath, oError);
        if (oError) {
            break;
        }
        oPath = oTarget.is_absolute() ? oTarget : oPath.parent_path() / oTarget;
    }
    return oPath.string();
}

bool WriteFileAtomically(const std::string& sPath, const std::string& sBytes)
{
    IgnoreFileSizeSignal();
    const std::filesystem::path oTarget(FollowLinks(sPath));
    struct stat oOld {};
    const bool bExists = ::stat(oTarget.c_str(), &oOld) == 0;
    if (bExists && (S_ISCHR(oOld.st_mode) || S_ISFIFO(oOld.st_mode))) {
        return WriteToDevice(oTarget, sBytes);
    }
    if (bExists && !S_ISREG(oOld.st_mode)) {
        return false; // a folder, a socket: nothing to put a file in place of
    }
    const std::filesystem::path oFolder = oTarget.has_parent_path() ? oTarget.parent_path() : ".";
    std::string sTemplate = (oFolder / ("." + oTarget.filename().string() + ".XXXXXX")).string();
    std::vector<char> vName(sTemplate.begin(), sTemplate.end());
    vName.push_back('\0');
    const int lFile = ::mkostemp(vName.data(), O_CLOEXEC);
    if (lFile < 0) {
        return false;
    }
    const std::string sTemporary(vName.data());
    if (bExists) {
        ::fchmod(lFile, oOld.st_mode & 07777);
        if (oOld.st_uid != ::geteuid() || oOld.st_gid != ::getegid()) {
            // Only where the process may; a file of another owner otherwise becomes the writer's.
            [[maybe_unused]] const int lIgnored = ::fchown(lFile, oOld.st_uid, oOld.st_gid);
        }
    } else {
        ::fchmod(lFile, NewFileMode());
    }
    const bool bWritten = WriteAll(lFile, sBytes) && ::fsync(lFile) == 0;
    const bool bClosed = ::close(lFile) == 0;
    if (!bWritten || !bClosed || std::rename(sTemporary.c_str(), oTarget.c_str()) != 0) {
        const int lError = errno;
        ::unlink(sTemporary.c_str());
        errno = lError;
        return false;
    }
    FlushFolder(oFolder);
    return true;
}

} // namespace quandrel
