// Writing the settings of one window page back into /etc/Quorvel.ini.
#pragma once

#include "profile/records.h"

namespace qv {

// Which page's settings go into the file.
enum class SaveMode { Items = 1, Alert = 2 };

enum class SaveOutcome {
    Saved,
    BackupUnreadable,  // the profile could not be read, or its backup not put in place
    CannotCreate,      // a new file could not be created, or the new profile not put in place
    CloseFailed,       // a write, flush or close failed (full disk)
};

// Writes the settings of one window page from profile into /etc/Quorvel.ini; the file
// before becomes /etc/Quorvel.ini.old. On any failure /etc/Quorvel.ini is left as it was
// and no temporary file remains.
SaveOutcome save_profile(SaveMode mode, const LoadedProfile& profile);

}  // namespace qv
