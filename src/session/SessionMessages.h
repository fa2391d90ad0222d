// The messages the session's operations give for files they cannot write.
#pragma once

#include "Session.h"
#include "core/AtomicFile.h"

#include <string>

namespace quandrel::session {

// The failure names its cause when the writer knows it (permission, a full disk).
inline Message WriteFailure(const std::string& sPath)
{
    const std::string& sCause = quandrel::LastWriteFailure();
    return {"Error!", "Unable to write the file " + sPath + "!" + (sCause.empty() ? std::string() : " (" + sCause + ")")};
}

inline Outcome Written(bool bWritten, const std::string& sPath)
{
    return bWritten ? Outcome() : Outcome(WriteFailure(sPath));
}

} // namespace quandrel::session
