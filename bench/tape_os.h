// A tape of one report's calls into the machine: recorded once against the simulated
// machine, then played back so that the report loop can be timed on the program alone.
// Playback answers each call from the tape (values, results and what the kernel would
// have written into the caller's structures) and notices any call that differs from
// the recording.
#pragma once

#include "platform/os.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace qv::bench {

enum class Method : uint8_t { Iopl, Ioperm, Inb, Outb, Inl, Outl, Ioctl, SelectRead, Time, Other };

struct Call {
    Method method;
    uint64_t a = 0;  // the call's arguments, as far as they identify it
    uint64_t b = 0;
    int64_t result = 0;
    std::vector<uint8_t> written;  // what the call wrote for its caller
};

class RecordingOs final : public platform::Os {
public:
    explicit RecordingOs(platform::Os& inner) : inner_(inner) {}
    std::vector<Call> tape;
    bool complete = true;  // false when a call was made that playback cannot answer

    int iopl(int level) override;
    int ioperm(unsigned long from, unsigned long num, int on) override;
    uint8_t inb(uint16_t port) override;
    void outb(uint8_t value, uint16_t port) override;
    uint32_t inl(uint16_t port) override;
    void outl(uint32_t value, uint16_t port) override;
    int ioctl(int fd, unsigned long request, void* arg) override;
    int select_read(int fd, timeval* timeout) override;
    time_t time(time_t* out) override;

    int open(const char* path, int flags) override { return other(), inner_.open(path, flags); }
    int open(const char* path, int flags, mode_t mode) override { return other(), inner_.open(path, flags, mode); }
    ssize_t read(int fd, void* buf, size_t n) override { return other(), inner_.read(fd, buf, n); }
    ssize_t write(int fd, const void* buf, size_t n) override { return other(), inner_.write(fd, buf, n); }
    off_t lseek(int fd, off_t offset, int whence) override { return other(), inner_.lseek(fd, offset, whence); }
    int close(int fd) override { return other(), inner_.close(fd); }
    int fsync(int fd) override { return other(), inner_.fsync(fd); }
    int flock(int fd, int operation) override { return other(), inner_.flock(fd, operation); }
    void* mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset) override
    {
        return other(), inner_.mmap(addr, length, prot, flags, fd, offset);
    }
    int munmap(void* addr, size_t length) override { return other(), inner_.munmap(addr, length); }
    FILE* fopen(const char* path, const char* mode) override { return other(), inner_.fopen(path, mode); }
    FILE* fdopen(int fd, const char* mode) override { return other(), inner_.fdopen(fd, mode); }
    int stat(const char* path, struct stat* out) override { return other(), inner_.stat(path, out); }
    int fstat(int fd, struct stat* out) override { return other(), inner_.fstat(fd, out); }
    int access(const char* path, int mode) override { return other(), inner_.access(path, mode); }
    bool list_dir(const char* path, std::vector<std::string>& names) override { return other(), inner_.list_dir(path, names); }
    int rename(const char* from, const char* to) override { return other(), inner_.rename(from, to); }
    int chmod(const char* path, mode_t mode) override { return other(), inner_.chmod(path, mode); }
    int unlink(const char* path) override { return other(), inner_.unlink(path); }
    int system(const char* command) override { return other(), inner_.system(command); }
    FILE* popen(const char* command, const char* mode) override { return other(), inner_.popen(command, mode); }
    int pclose(FILE* stream) override { return other(), inner_.pclose(stream); }
    int run_and_wait(const std::vector<std::string>& argv) override { return other(), inner_.run_and_wait(argv); }
    platform::SpawnResult spawn_and_wait(const std::vector<std::string>& argv, int exec_failure_status, int* status) override
    {
        return other(), inner_.spawn_and_wait(argv, exec_failure_status, status);
    }
    unsigned int sleep(unsigned int seconds) override { return other(), inner_.sleep(seconds); }
    int usleep(useconds_t us) override { return other(), inner_.usleep(us); }
    uid_t getuid() override { return other(), inner_.getuid(); }

private:
    void other() { complete = false; }
    platform::Os& inner_;
};

// Makes every call of the tape on os, in order, with arguments rebuilt from the tape:
// what playback costs without the program.
void replay_calls(const std::vector<Call>& tape, platform::Os& os);

// The program's own CPU time for one run of poll against a playback of the tape, in
// microseconds: the best of several batches of runs, less the playback's own part,
// measured the same way (a shared machine's interruptions land in some batches, not in
// all). own_us is negative, and note says why, when the runs could not be timed.
inline constexpr int kTimingBatches = 10;
struct PlaybackTiming {
    double own_us = -1;
    double playback_us = 0;
    const char* note = "";
};
PlaybackTiming time_against_playback(const std::vector<Call>& tape, int runs, const std::function<void()>& poll);

class PlaybackOs final : public platform::Os {
public:
    explicit PlaybackOs(const std::vector<Call>& tape) : tape_(tape) {}
    void rewind() { next_ = 0; }
    bool diverged() const { return diverged_; }

    int iopl(int level) override { return static_cast<int>(answer(Method::Iopl, level, 0).result); }
    int ioperm(unsigned long from, unsigned long num, int) override
    {
        return static_cast<int>(answer(Method::Ioperm, from, num).result);
    }
    uint8_t inb(uint16_t port) override { return static_cast<uint8_t>(answer(Method::Inb, port, 0).result); }
    void outb(uint8_t value, uint16_t port) override { answer(Method::Outb, port, value); }
    uint32_t inl(uint16_t port) override { return static_cast<uint32_t>(answer(Method::Inl, port, 0).result); }
    void outl(uint32_t value, uint16_t port) override { answer(Method::Outl, port, value); }
    int ioctl(int fd, unsigned long request, void* arg) override;
    int select_read(int fd, timeval*) override { return static_cast<int>(answer(Method::SelectRead, fd, 0).result); }
    time_t time(time_t* out) override;

    int open(const char*, int) override { return refuse(); }
    int open(const char*, int, mode_t) override { return refuse(); }
    ssize_t read(int, void*, size_t) override { return refuse(); }
    ssize_t write(int, const void*, size_t) override { return refuse(); }
    off_t lseek(int, off_t, int) override { return refuse(); }
    int close(int) override { return refuse(); }
    int fsync(int) override { return refuse(); }
    int flock(int, int) override { return refuse(); }
    void* mmap(void*, size_t, int, int, int, off_t) override { return refuse(), MAP_FAILED; }
    int munmap(void*, size_t) override { return refuse(); }
    FILE* fopen(const char*, const char*) override { return refuse(), nullptr; }
    FILE* fdopen(int, const char*) override { return refuse(), nullptr; }
    int stat(const char*, struct stat*) override { return refuse(); }
    int fstat(int, struct stat*) override { return refuse(); }
    int access(const char*, int) override { return refuse(); }
    bool list_dir(const char*, std::vector<std::string>&) override { return refuse(), false; }
    int rename(const char*, const char*) override { return refuse(); }
    int chmod(const char*, mode_t) override { return refuse(); }
    int unlink(const char*) override { return refuse(); }
    int system(const char*) override { return refuse(); }
    FILE* popen(const char*, const char*) override { return refuse(), nullptr; }
    int pclose(FILE*) override { return refuse(); }
    int run_and_wait(const std::vector<std::string>&) override { return refuse(); }
    platform::SpawnResult spawn_and_wait(const std::vector<std::string>&, int, int*) override
    {
        return refuse(), platform::SpawnResult::ForkFailed;
    }
    unsigned int sleep(unsigned int) override { return static_cast<unsigned>(refuse()); }
    int usleep(useconds_t) override { return refuse(); }
    uid_t getuid() override { return static_cast<uid_t>(refuse()); }

private:
    const Call& answer(Method method, uint64_t a, uint64_t b);
    int refuse()
    {
        diverged_ = true;
        return -1;
    }

    const std::vector<Call>& tape_;
    std::size_t next_ = 0;
    bool diverged_ = false;
    long sent_msgid_ = 0;
    Call missing_{Method::Other, 0, 0, -1, {}};
};

}  // namespace qv::bench
