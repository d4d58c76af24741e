#include "platform/linux_os.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/io.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace qv::platform {

int LinuxOs::iopl(int level) { return ::iopl(level); }
int LinuxOs::ioperm(unsigned long from, unsigned long num, int turn_on) { return ::ioperm(from, num, turn_on); }
uint8_t LinuxOs::inb(uint16_t port) { return ::inb(port); }
void LinuxOs::outb(uint8_t value, uint16_t port) { ::outb(value, port); }
uint32_t LinuxOs::inl(uint16_t port) { return ::inl(port); }
void LinuxOs::outl(uint32_t value, uint16_t port) { ::outl(value, port); }

int LinuxOs::open(const char* path, int flags) { return ::open(path, flags); }
int LinuxOs::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t LinuxOs::read(int fd, void* buf, size_t count) { return ::read(fd, buf, count); }
ssize_t LinuxOs::write(int fd, const void* buf, size_t count) { return ::write(fd, buf, count); }
off_t LinuxOs::lseek(int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); }
int LinuxOs::ioctl(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }

int LinuxOs::select_read(int fd, timeval* timeout)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    return ::select(fd + 1, &readable, nullptr, nullptr, timeout);
}

int LinuxOs::close(int fd) { return ::close(fd); }
int LinuxOs::fsync(int fd) { return ::fsync(fd); }
int LinuxOs::flock(int fd, int operation) { return ::flock(fd, operation); }

void* LinuxOs::mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset)
{
    return ::mmap(addr, length, prot, flags, fd, offset);
}

int LinuxOs::munmap(void* addr, size_t length) { return ::munmap(addr, length); }

FILE* LinuxOs::fopen(const char* path, const char* mode) { return std::fopen(path, mode); }
FILE* LinuxOs::fdopen(int fd, const char* mode) { return ::fdopen(fd, mode); }
int LinuxOs::stat(const char* path, struct stat* out) { return ::stat(path, out); }
int LinuxOs::fstat(int fd, struct stat* out) { return ::fstat(fd, out); }
int LinuxOs::access(const char* path, int mode) { return ::access(path, mode); }

bool LinuxOs::list_dir(const char* path, std::vector<std::string>& names)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path), ::closedir);
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
    return true;
}

int LinuxOs::rename(const char* from, const char* to) { return std::rename(from, to); }
int LinuxOs::chmod(const char* path, mode_t mode) { return ::chmod(path, mode); }
int LinuxOs::unlink(const char* path) { return ::unlink(path); }

int LinuxOs::system(const char* command) { return std::system(command); }
FILE* LinuxOs::popen(const char* command, const char* mode) { return ::popen(command, mode); }
int LinuxOs::pclose(FILE* stream) { return ::pclose(stream); }

int LinuxOs::run_and_wait(const std::vector<std::string>& argv)
{
    int status = 0;
    if (spawn_and_wait(argv, 127, &status) != SpawnResult::Waited) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SpawnResult LinuxOs::spawn_and_wait(const std::vector<std::string>& argv, int exec_failure_status, int* status)
{
    if (argv.empty()) return SpawnResult::ForkFailed;
    // Built before the fork: the child of a threaded program may only exec or exit.
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0) return SpawnResult::ForkFailed;
    if (child == 0) {
        ::execvp(args[0], args.data());
        ::_exit(exec_failure_status);
    }
    int ignored = 0;
    int* result = status != nullptr ? status : &ignored;
    // A signal that interrupts the wait has not ended the child.
    pid_t waited;
    do waited = ::waitpid(child, result, 0);
    while (waited < 0 && errno == EINTR);
    return waited < 0 ? SpawnResult::WaitFailed : SpawnResult::Waited;
}

unsigned int LinuxOs::sleep(unsigned int seconds) { return ::sleep(seconds); }
int LinuxOs::usleep(useconds_t microseconds) { return ::usleep(microseconds); }
time_t LinuxOs::time(time_t* out) { return std::time(out); }
uid_t LinuxOs::getuid() { return ::getuid(); }

}  // namespace qv::platform
