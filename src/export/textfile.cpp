#include "export/textfile.h"

#include "platform/os.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qv::exporter {

namespace {

struct Place {
    std::string folder;
    std::string base;
};

Place place_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A hidden name not ending in the target's suffix: collectors that read "*.prom" skip it.
std::string temporary_name(const Place& place, unsigned attempt)
{
    static unsigned long counter = 0;
    const unsigned long mix = static_cast<unsigned long>(platform::os().time(nullptr)) * 2654435761u + ++counter + attempt;
    return place.folder + "/." + place.base + ".tmp" + std::to_string(mix % 1000000007u);
}

std::string failure(const char* what, const std::string& path, int error)
{
    return std::string("cannot ") + what + " " + path + ": " + std::strerror(error);
}

}  // namespace

std::string replace_file(const std::string& path, std::string_view content)
{
    platform::Os& os = platform::os();
    const Place place = place_of(path);
    std::string name;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        name = temporary_name(place, attempt);
        fd = os.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return failure("create a file in", place.folder, errno);
    FILE* out = os.fdopen(fd, "w");
    if (out == nullptr) {
        const int error = errno;
        os.close(fd);
        os.unlink(name.c_str());
        return failure("write", path, error);
    }
    bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size();
    written = written && std::fflush(out) == 0 && os.fsync(fd) == 0;
    int error = errno;
    if (std::fclose(out) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        os.unlink(name.c_str());
        return failure("write", path, error);
    }
    if (os.rename(name.c_str(), path.c_str()) != 0) {
        error = errno;
        os.unlink(name.c_str());
        return failure("replace", path, error);
    }
    // The rename itself survives a power cut only once the folder is flushed too.
    if (const int folder = os.open(place.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        os.fsync(folder);
        os.close(folder);
    }
    return {};
}

}  // namespace qv::exporter
