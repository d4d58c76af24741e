#include "profile/whole_file.h"

#include "platform/os.h"

#include <fcntl.h>

#include <string>
#include <string_view>

namespace qv {

WholeFileError write_whole_file(const char* path, const char* backup, const std::function<void(FILE*)>& fill)
{
    platform::Os& os = platform::os();
    const std::string temporary = std::string(path) + ".new";
    // As fopen's "w" would create it, but with the descriptor kept for fsync.
    const int fd = os.open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    FILE* out = fd >= 0 ? os.fdopen(fd, "w") : nullptr;
    if (out == nullptr) {
        if (fd >= 0) os.close(fd);
        return WholeFileError::Create;
    }
    fill(out);
    const bool written = std::ferror(out) == 0 && std::fflush(out) == 0 && os.fsync(fd) == 0;
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
    sync_folder_of(path);
    return WholeFileError::None;
}

void sync_folder_of(const char* path)
{
    const std::string_view text(path);
    const std::string folder(text.substr(0, text.rfind('/')));
    platform::Os& os = platform::os();
    const int fd = os.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    os.fsync(fd);
    os.close(fd);
}

}  // namespace qv
