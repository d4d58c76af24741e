// The real machine: a thin pass-through to the Linux kernel.
#pragma once

#include "platform/os.h"

namespace qv::platform {

class LinuxOs final : public Os {
public:
    int iopl(int level) override;
    int ioperm(unsigned long from, unsigned long num, int turn_on) override;
    uint8_t inb(uint16_t port) override;
    void outb(uint8_t value, uint16_t port) override;
    uint32_t inl(uint16_t port) override;
    void outl(uint32_t value, uint16_t port) override;

    int open(const char* path, int flags) override;
    int open(const char* path, int flags, mode_t mode) override;
    ssize_t read(int fd, void* buf, size_t count) override;
    ssize_t write(int fd, const void* buf, size_t count) override;
    off_t lseek(int fd, off_t offset, int whence) override;
    int ioctl(int fd, unsigned long request, void* arg) override;
    int select_read(int fd, timeval* timeout) override;
    int close(int fd) override;
    int fsync(int fd) override;
    int flock(int fd, int operation) override;
    void* mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset) override;
    int munmap(void* addr, size_t length) override;

    FILE* fopen(const char* path, const char* mode) override;
    FILE* fdopen(int fd, const char* mode) override;
    int stat(const char* path, struct stat* out) override;
    int fstat(int fd, struct stat* out) override;
    int access(const char* path, int mode) override;
    bool list_dir(const char* path, std::vector<std::string>& names) override;
    int rename(const char* from, const char* to) override;
    int chmod(const char* path, mode_t mode) override;
    int unlink(const char* path) override;

    int system(const char* command) override;
    FILE* popen(const char* command, const char* mode) override;
    int pclose(FILE* stream) override;
    int run_and_wait(const std::vector<std::string>& argv) override;
    SpawnResult spawn_and_wait(const std::vector<std::string>& argv, int exec_failure_status, int* status) override;

    unsigned int sleep(unsigned int seconds) override;
    int usleep(useconds_t microseconds) override;
    time_t time(time_t* out) override;
    uid_t getuid() override;
};

}  // namespace qv::platform
