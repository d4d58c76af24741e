// A machine whose files live in memory: what the fuzz targets hand the program, so
// that no input ever reaches the host's files. Everything else fails with ENOSYS.
#pragma once

#include "platform/os.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

namespace qv::fuzz {

class MemoryOs : public platform::Os {
public:
    std::map<std::string, std::string> files;

    MemoryOs() { platform::set_os(this); }
    ~MemoryOs() override { platform::set_os(nullptr); }

    int open(const char* path, int flags) override { return open(path, flags, 0); }
    int open(const char* path, int flags, mode_t) override
    {
        if (flags & (O_WRONLY | O_RDWR) || !files.contains(path)) return fail(ENOENT);
        descriptors_[next_fd_] = path;
        return next_fd_++;
    }
    int close(int fd) override { return descriptors_.erase(fd) ? 0 : fail(EBADF); }
    FILE* fdopen(int fd, const char* mode) override
    {
        auto it = descriptors_.find(fd);
        if (it == descriptors_.end()) return fail(EBADF), nullptr;
        FILE* stream = fopen(it->second.c_str(), mode);
        descriptors_.erase(it);
        return stream;
    }
    FILE* fopen(const char* path, const char* mode) override
    {
        if (std::strpbrk(mode, "wa+") == nullptr) {
            auto it = files.find(path);
            if (it == files.end()) return fail(ENOENT), nullptr;
            return fopencookie(new Reader{it->second}, "r", {take, nullptr, nullptr, drop});
        }
        std::string* file = &files[path];
        file->clear();
        return fopencookie(file, "w", {nullptr, append, nullptr, nullptr});
    }
    int stat(const char* path, struct stat* out) override
    {
        auto it = files.find(path);
        if (it == files.end()) return fail(ENOENT);
        *out = {};
        out->st_mode = S_IFREG | 0644;
        out->st_size = static_cast<off_t>(it->second.size());
        return 0;
    }
    int fstat(int fd, struct stat* out) override
    {
        auto it = descriptors_.find(fd);
        return it == descriptors_.end() ? fail(EBADF) : stat(it->second.c_str(), out);
    }
    int access(const char* path, int) override { return files.contains(path) ? 0 : fail(ENOENT); }
    int rename(const char* from, const char* to) override
    {
        auto it = files.find(from);
        if (it == files.end()) return fail(ENOENT);
        std::string content = std::move(it->second);
        files.erase(it);
        files[to] = std::move(content);
        return 0;
    }
    int unlink(const char* path) override { return files.erase(path) ? 0 : fail(ENOENT); }

    int iopl(int) override { return fail(EPERM); }
    int ioperm(unsigned long, unsigned long, int) override { return fail(EPERM); }
    uint8_t inb(uint16_t) override { return 0xFF; }
    void outb(uint8_t, uint16_t) override {}
    uint32_t inl(uint16_t) override { return 0xFFFFFFFF; }
    void outl(uint32_t, uint16_t) override {}
    ssize_t read(int, void*, size_t) override { return fail(ENOSYS); }
    ssize_t write(int, const void*, size_t) override { return fail(ENOSYS); }
    off_t lseek(int, off_t, int) override { return fail(ENOSYS); }
    int ioctl(int, unsigned long, void*) override { return fail(ENOSYS); }
    int select_read(int, timeval*) override { return fail(ENOSYS); }
    int fsync(int) override { return 0; }
    int flock(int, int) override { return fail(ENOSYS); }
    void* mmap(void*, size_t, int, int, int, off_t) override { return fail(ENOSYS), MAP_FAILED; }
    int munmap(void*, size_t) override { return fail(ENOSYS); }
    bool list_dir(const char*, std::vector<std::string>&) override { return false; }
    int chmod(const char*, mode_t) override { return 0; }
    int system(const char*) override { return fail(ENOSYS); }
    FILE* popen(const char*, const char*) override { return fail(ENOSYS), nullptr; }
    int pclose(FILE*) override { return fail(ENOSYS); }
    int run_and_wait(const std::vector<std::string>&) override { return fail(ENOSYS); }
    platform::SpawnResult spawn_and_wait(const std::vector<std::string>&, int, int*) override
    {
        return platform::SpawnResult::ForkFailed;
    }
    unsigned int sleep(unsigned int) override { return 0; }
    int usleep(useconds_t) override { return 0; }
    time_t time(time_t* out) override { return out ? *out = 0 : 0; }
    uid_t getuid() override { return 0; }

protected:
    static int fail(int error)
    {
        errno = error;
        return -1;
    }

private:
    // fmemopen refuses an empty file on some C libraries.
    struct Reader {
        std::string_view rest;
    };
    static ssize_t take(void* cookie, char* buf, size_t size)
    {
        auto* reader = static_cast<Reader*>(cookie);
        const size_t n = reader->rest.copy(buf, size);
        reader->rest.remove_prefix(n);
        return static_cast<ssize_t>(n);
    }
    static int drop(void* cookie)
    {
        delete static_cast<Reader*>(cookie);
        return 0;
    }
    static ssize_t append(void* cookie, const char* buf, size_t size)
    {
        static_cast<std::string*>(cookie)->append(buf, size);
        return static_cast<ssize_t>(size);
    }

    std::map<int, std::string> descriptors_;
    int next_fd_ = 3;
};

}  // namespace qv::fuzz
