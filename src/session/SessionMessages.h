// The messages the session's operations give for files they cannot write.
#pragma once

#include "Session.h"

#include <string>

namespace quandrel::session {

inline SMessage WriteFailure(const std::string& sPath)
{
    return {"Error!", "Unable to write the file " + sPath + "!"};
}

inline Outcome Written(bool bWritten, const std::string& sPath)
{
    return bWritten ? Outcome() : Outcome(WriteFailure(sPath));
}

} // namespace quandrel::session
