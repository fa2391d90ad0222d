// What every workflow of the session shares with its callers: the listener told of changes, the
// message of a refusal and the object's position.
#pragma once

#include "core/Result.h"

#include <cstdint>
#include <optional>
#include <string>

class SessionListener {
public:
    virtual ~SessionListener() = default;
    // lChanges is the union of the change bits of the workflows (change::k...).
    virtual void SessionChanged(uint32_t lChanges) = 0;
};

// A refusal or failure: the title and text of the message the caller shows.
struct Message {
    std::string sTitle;
    std::string sText;
    // True when the parameters given are at fault rather than the data.
    bool bParameters = false;
};
// Empty when the operation went through.
using Outcome = std::optional<Message>;
// What an operation gave, or the message of why it gave nothing.
template <typename T>
using SessionResult = quandrel::Result<T, Message>;

// The object's coordinates: right ascension in hours and minutes, declination in degrees and minutes.
struct EquatorialPosition {
    double fRightAscensionHours = 0.0;
    double fRightAscensionMinutes = 0.0;
    double fDeclinationDegrees = 0.0;
    double fDeclinationMinutes = 0.0;
};
