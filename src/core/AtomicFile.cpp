#include "AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quandrel {

namespace {

thread_local std::string t_sLastFailure;

// Records why a write failed (from errno, or the reason given) and reports the failure.
bool Failed(const std::string& sWhy = std::string())
{
    t_sLastFailure = sWhy.empty() ? std::string(std::strerror(errno)) : sWhy;
    return false;
}

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
// no file to replace, and replacing the name would put a plain file where the device was. A pipe that
// nothing reads is refused instead of waiting for a reader without end.
bool WriteToDevice(const std::filesystem::path& oTarget, const std::string& sBytes)
{
    const int lFile = ::open(oTarget.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (lFile < 0) {
        return Failed(errno == ENXIO ? "nothing reads from the pipe" : std::string());
    }
    // Written as usual once open: a reader that is slow is waited for.
    ::fcntl(lFile, F_SETFL, ::fcntl(lFile, F_GETFL) & ~O_NONBLOCK);
    const bool bWritten = WriteAll(lFile, sBytes);
    const int lError = errno;
    if (::close(lFile) != 0 || !bWritten) {
        errno = bWritten ? errno : lError;
        return Failed();
    }
    return true;
}

// Writes over the file itself: where the folder does not allow a new file beside it (another user's
// file in a sticky folder), or where the file has other names (hard links) that a replacement would
// leave pointing at the old bytes.
bool WriteInPlace(const std::filesystem::path& oTarget, const std::string& sBytes)
{
    const int lFile = ::open(oTarget.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (lFile < 0) {
        return Failed();
    }
    const bool bWritten = WriteAll(lFile, sBytes) && ::ftruncate(lFile, static_cast<off_t>(sBytes.size())) == 0 &&
                          ::fsync(lFile) == 0;
    const int lError = errno;
    if (::close(lFile) != 0 || !bWritten) {
        errno = bWritten ? errno : lError;
        return Failed();
    }
    return true;
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

const std::string& LastWriteFailure()
{
    return t_sLastFailure;
}

bool WriteFileAtomically(const std::string& sPath, const std::string& sBytes)
{
    IgnoreFileSizeSignal();
    t_sLastFailure.clear();
    const std::filesystem::path oTarget(FollowLinks(sPath));
    struct stat oOld {};
    const bool bExists = ::stat(oTarget.c_str(), &oOld) == 0;
    if (bExists && (S_ISCHR(oOld.st_mode) || S_ISFIFO(oOld.st_mode))) {
        return WriteToDevice(oTarget, sBytes);
    }
    if (bExists && !S_ISREG(oOld.st_mode)) {
        return Failed(S_ISDIR(oOld.st_mode) ? "it is a folder" : "it is no regular file"); // nothing to put a file in place of
    }
    // As cp does: a file the user may not write is not replaced (renaming over it would succeed in a
    // folder the user may write, and take the file over).
    if (bExists && ::access(oTarget.c_str(), W_OK) != 0) {
        return Failed();
    }
    const std::filesystem::path oFolder = oTarget.has_parent_path() ? oTarget.parent_path() : ".";
    if (bExists && oOld.st_nlink > 1) {
        return WriteInPlace(oTarget, sBytes);
    }
    std::string sTemplate = (oFolder / ("." + oTarget.filename().string() + ".XXXXXX")).string();
    std::vector<char> vName(sTemplate.begin(), sTemplate.end());
    vName.push_back('\0');
    const int lFile = ::mkostemp(vName.data(), O_CLOEXEC);
    if (lFile < 0) {
        // No new file beside it: a file the user may write is written where it is.
        return bExists && (errno == EACCES || errno == EPERM) ? WriteInPlace(oTarget, sBytes) : Failed();
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
    int lError = errno;
    const bool bClosed = ::close(lFile) == 0;
    lError = bWritten && !bClosed ? errno : lError;
    bool bRenamed = false;
    if (bWritten && bClosed) {
        bRenamed = std::rename(sTemporary.c_str(), oTarget.c_str()) == 0;
        lError = errno;
    }
    if (!bRenamed) {
        ::unlink(sTemporary.c_str());
        if (bWritten && bClosed && bExists && (lError == EACCES || lError == EPERM)) {
            // A sticky folder keeps another user's file from being replaced, not from being written.
            return WriteInPlace(oTarget, sBytes);
        }
        errno = lError;
        return Failed();
    }
    FlushFolder(oFolder);
    return true;
}

} // namespace quandrel
