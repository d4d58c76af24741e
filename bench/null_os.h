// An Os that does nothing: what calling the seam costs by itself, for calibrating the
// timing of the simulated machine's calls.
#pragma once

#include "platform/os.h"

namespace qv::bench {

class NullOs final : public platform::Os {
public:
    int iopl(int) override { return 0; }
    int ioperm(unsigned long, unsigned long, int) override { return 0; }
    uint8_t inb(uint16_t) override { return 0; }
    void outb(uint8_t, uint16_t) override {}
    uint32_t inl(uint16_t) override { return 0; }
    void outl(uint32_t, uint16_t) override {}
    int open(const char*, int) override { return -1; }
    ssize_t read(int, void*, size_t) override { return -1; }
    ssize_t write(int, const void*, size_t) override { return -1; }
    off_t lseek(int, off_t, int) override { return -1; }
    int ioctl(int, unsigned long, void*) override { return -1; }
    int select_read(int, timeval*) override { return 0; }
    int close(int) override { return 0; }
    void* mmap(void*, size_t, int, int, int, off_t) override { return MAP_FAILED; }
    int munmap(void*, size_t) override { return 0; }
    FILE* fopen(const char*, const char*) override { return nullptr; }
    int access(const char*, int) override { return -1; }
    bool list_dir(const char*, std::vector<std::string>&) override { return false; }
    int rename(const char*, const char*) override { return -1; }
    int chmod(const char*, mode_t) override { return -1; }
    int unlink(const char*) override { return -1; }
    int system(const char*) override { return -1; }
    FILE* popen(const char*, const char*) override { return nullptr; }
    int pclose(FILE*) override { return -1; }
    int run_and_wait(const std::vector<std::string>&) override { return -1; }
    unsigned int sleep(unsigned int) override { return 0; }
    int usleep(useconds_t) override { return 0; }
    time_t time(time_t*) override { return 0; }
    uid_t getuid() override { return 0; }
};

}  // namespace qv::bench
