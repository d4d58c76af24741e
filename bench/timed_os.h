// An Os that forwards to the simulated machine and adds up the time spent inside it,
// so that the machine's own work can be taken out of the program's CPU time.
#pragma once

#include "platform/os.h"

#include <chrono>
#include <cstdint>

namespace qv::bench {

class TimedOs final : public platform::Os {
public:
    explicit TimedOs(platform::Os& inner) : inner_(inner) {}

    uint64_t inside_ns() const { return inside_ns_; }
    uint64_t calls() const { return calls_; }
    void reset()
    {
        inside_ns_ = 0;
        calls_ = 0;
    }

    int iopl(int level) override { return timed([&] { return inner_.iopl(level); }); }
    int ioperm(unsigned long from, unsigned long num, int on) override { return timed([&] { return inner_.ioperm(from, num, on); }); }
    uint8_t inb(uint16_t port) override { return timed([&] { return inner_.inb(port); }); }
    void outb(uint8_t value, uint16_t port) override { timed([&] { inner_.outb(value, port); return 0; }); }
    uint32_t inl(uint16_t port) override { return timed([&] { return inner_.inl(port); }); }
    void outl(uint32_t value, uint16_t port) override { timed([&] { inner_.outl(value, port); return 0; }); }
    int open(const char* path, int flags) override { return timed([&] { return inner_.open(path, flags); }); }
    ssize_t read(int fd, void* buf, size_t n) override { return timed([&] { return inner_.read(fd, buf, n); }); }
    ssize_t write(int fd, const void* buf, size_t n) override { return timed([&] { return inner_.write(fd, buf, n); }); }
    off_t lseek(int fd, off_t offset, int whence) override { return timed([&] { return inner_.lseek(fd, offset, whence); }); }
    int ioctl(int fd, unsigned long request, void* arg) override { return timed([&] { return inner_.ioctl(fd, request, arg); }); }
    int select_read(int fd, timeval* timeout) override { return timed([&] { return inner_.select_read(fd, timeout); }); }
    int close(int fd) override { return timed([&] { return inner_.close(fd); }); }
    void* mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset) override
    {
        return timed([&] { return inner_.mmap(addr, length, prot, flags, fd, offset); });
    }
    int munmap(void* addr, size_t length) override { return timed([&] { return inner_.munmap(addr, length); }); }
    FILE* fopen(const char* path, const char* mode) override { return timed([&] { return inner_.fopen(path, mode); }); }
    int access(const char* path, int mode) override { return timed([&] { return inner_.access(path, mode); }); }
    bool list_dir(const char* path, std::vector<std::string>& names) override
    {
        return timed([&] { return inner_.list_dir(path, names); });
    }
    int rename(const char* from, const char* to) override { return timed([&] { return inner_.rename(from, to); }); }
    int chmod(const char* path, mode_t mode) override { return timed([&] { return inner_.chmod(path, mode); }); }
    int unlink(const char* path) override { return timed([&] { return inner_.unlink(path); }); }
    int system(const char* command) override { return timed([&] { return inner_.system(command); }); }
    FILE* popen(const char* command, const char* mode) override { return timed([&] { return inner_.popen(command, mode); }); }
    int pclose(FILE* stream) override { return timed([&] { return inner_.pclose(stream); }); }
    int run_and_wait(const std::vector<std::string>& argv) override { return timed([&] { return inner_.run_and_wait(argv); }); }
    unsigned int sleep(unsigned int seconds) override { return timed([&] { return inner_.sleep(seconds); }); }
    int usleep(useconds_t us) override { return timed([&] { return inner_.usleep(us); }); }
    time_t time(time_t* out) override { return timed([&] { return inner_.time(out); }); }
    uid_t getuid() override { return timed([&] { return inner_.getuid(); }); }

private:
    template <typename Call>
    auto timed(Call call) -> decltype(call())
    {
        const auto start = std::chrono::steady_clock::now();
        auto result = call();
        inside_ns_ += static_cast<uint64_t>((std::chrono::steady_clock::now() - start).count());
        ++calls_;
        return result;
    }

    platform::Os& inner_;
    uint64_t inside_ns_ = 0;
    uint64_t calls_ = 0;
};

}  // namespace qv::bench
