// The one seam between the program and the machine. Everything that touches the
// kernel or the hardware goes through Os, so that a simulated machine can stand in.
#pragma once

// The constants of the calls below (O_RDWR, PROT_READ, MAP_SHARED, ...) come with them,
// so that no code above the seam includes these system headers itself.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace qv::platform {

// How the run of a child program ended, as far as its parent can tell.
enum class SpawnResult { Waited, ForkFailed, WaitFailed };

class Os {
public:
    virtual ~Os() = default;

    // I/O privilege and port access.
    virtual int iopl(int level) = 0;
    virtual int ioperm(unsigned long from, unsigned long num, int turn_on) = 0;
    virtual uint8_t inb(uint16_t port) = 0;
    virtual void outb(uint8_t value, uint16_t port) = 0;
    virtual uint32_t inl(uint16_t port) = 0;
    virtual void outl(uint32_t value, uint16_t port) = 0;

    // Files and device files, at the level of the system calls.
    virtual int open(const char* path, int flags) = 0;
    // mode: the permissions a file created by this open gets from its first byte on.
    virtual int open(const char* path, int flags, mode_t mode) = 0;
    virtual ssize_t read(int fd, void* buf, size_t count) = 0;
    virtual ssize_t write(int fd, const void* buf, size_t count) = 0;
    virtual off_t lseek(int fd, off_t offset, int whence) = 0;
    virtual int ioctl(int fd, unsigned long request, void* arg) = 0;
    // select() on one descriptor for reading; same result convention as select().
    virtual int select_read(int fd, timeval* timeout) = 0;
    virtual int close(int fd) = 0;
    virtual int fsync(int fd) = 0;
    // flock(2): an advisory lock between processes, LOCK_EX / LOCK_NB / LOCK_UN.
    virtual int flock(int fd, int operation) = 0;
    virtual void* mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset) = 0;
    virtual int munmap(void* addr, size_t length) = 0;

    // Files of the system as C streams.
    virtual FILE* fopen(const char* path, const char* mode) = 0;
    // A stream over an open descriptor; closing the stream closes the descriptor.
    virtual FILE* fdopen(int fd, const char* mode) = 0;
    virtual int stat(const char* path, struct stat* out) = 0;
    virtual int fstat(int fd, struct stat* out) = 0;
    virtual int access(const char* path, int mode) = 0;
    // Entry names of a directory as readdir() gives them; false when it cannot be opened.
    virtual bool list_dir(const char* path, std::vector<std::string>& names) = 0;
    virtual int rename(const char* from, const char* to) = 0;
    virtual int chmod(const char* path, mode_t mode) = 0;
    virtual int unlink(const char* path) = 0;
    // Where a path of this machine lies on the host, for libraries that open files
    // themselves (the toolkit's image loader). The host's own path on a real machine.
    virtual std::string host_path(const char* path) { return path; }

    // Commands and processes.
    virtual int system(const char* command) = 0;
    virtual FILE* popen(const char* command, const char* mode) = 0;
    virtual int pclose(FILE* stream) = 0;
    // Runs a program found on PATH with the given arguments and waits for it; its exit status.
    virtual int run_and_wait(const std::vector<std::string>& argv) = 0;
    // As run_and_wait, telling a failed fork from a failed wait; a child that cannot
    // execute argv[0] exits with exec_failure_status. *status is the wait status.
    virtual SpawnResult spawn_and_wait(const std::vector<std::string>& argv, int exec_failure_status, int* status) = 0;

    // Time and identity.
    virtual unsigned int sleep(unsigned int seconds) = 0;
    virtual int usleep(useconds_t microseconds) = 0;
    virtual time_t time(time_t* out) = 0;
    virtual uid_t getuid() = 0;
};

// The process-wide machine. Installed once by the entry point before anything else runs.
Os& os();
void set_os(Os* machine);

}  // namespace qv::platform
