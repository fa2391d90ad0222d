// Writing a whole file so that it is either complete or not there: the bytes go to a new file of a
// name of its own beside the target, are flushed to the disk, and replace the target only then.
#pragma once

#include <string>

namespace quandrel {

// False when the file could not be written; the old file (if any) is then left as it was and no
// temporary file stays behind. A symbolic link is followed: the file it points to is replaced and
// the link stays. A file that exists keeps its permissions (and its owner, where the process may
// set it). A file-size limit makes the write fail instead of ending the process.
// A file the user may not write is not replaced. A pipe that nothing reads is refused. Where the file
// cannot be replaced but may be written (another user's file in a sticky folder), or where it has
// other names (hard links), it is written in place.
bool WriteFileAtomically(const std::string& sPath, const std::string& sBytes);

// Why the last WriteFileAtomically of this thread failed ("Permission denied", "No space left on
// device", "nothing reads from the pipe"); empty after a success.
const std::string& LastWriteFailure();

// The file a path names once its symbolic links are followed (the path itself when it is no link).
std::string FollowLinks(const std::string& sPath);

} // namespace quandrel
