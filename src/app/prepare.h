// The start-up both programs share: the profile loaded, or first generated, and the
// hardware it names made ready.
#pragma once

#include "profile/records.h"

namespace qv {

// How a start that cannot go on ends. message: what the user is told; null when the
// failing step has told them already. Must not return.
using StartFailure = void (*)(const char* message);

struct PreparedProfile {
    const LoadedProfile* profile = nullptr;
    bool generated = false;  // written from the board databases by this start
};

// 0 when the file can be opened for reading.
int existFile(const char* path);

// first_start: the profile is missing and is written from the board databases first.
PreparedProfile prepare_profile(bool first_start, StartFailure fail);

}  // namespace qv
