// Writing a whole file so that it is either complete or not there: the bytes go to a new file beside
// the target, which replaces the target only once it is written and closed.
#pragma once

#include <string>

namespace quandrel {

// False when the file could not be written; the old file (if any) is then left as it was and no
// temporary file stays behind.
bool WriteFileAtomically(const std::string& sPath, const std::string& sBytes);

} // namespace quandrel
