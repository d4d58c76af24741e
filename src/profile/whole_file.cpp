#include "profile/whole_file.h"

#include "platform/os.h"

#include <string>

namespace qv {

WholeFileError write_whole_file(const char* path, const char* backup, const std::function<void(FILE*)>& fill)
{
    platform::Os& os = platform::os();
    const std::string temporary = std::string(path) + ".new";
    FILE* out = os.fopen(temporary.c_str(), "wt");
    if (out == nullptr) return WholeFileError::Create;
    fill(out);
    const bool written = std::ferror(out) == 0;
    // fclose flushes the buffer: a full disk often shows only here.
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        os.unlink(temporary.c_str());
        return WholeFileError::Write;
    }
    if (backup != nullptr && os.rename(path, backup) != 0) {
        os.unlink(temporary.c_str());
        return WholeFileError::Backup;
    }
    if (os.rename(temporary.c_str(), path) != 0) {
        if (backup != nullptr) os.rename(backup, path);
        os.unlink(temporary.c_str());
        return WholeFileError::Install;
    }
    return WholeFileError::None;
}

}  // namespace qv
