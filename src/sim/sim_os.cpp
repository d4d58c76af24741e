#include "sim/sim_os.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace qv::sim {

namespace {

bool writes(const char* mode) { return std::strpbrk(mode, "wa+") != nullptr; }
bool writes(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }

// A stream that fails with ENOSPC once the machine's free bytes are used up.
struct LimitedStream {
    FILE* file;
    int64_t* free_bytes;
};

ssize_t limited_write(void* cookie, const char* buf, size_t size)
{
    auto* stream = static_cast<LimitedStream*>(cookie);
    if (*stream->free_bytes < static_cast<int64_t>(size)) {
        errno = ENOSPC;
        return -1;
    }
    const size_t written = std::fwrite(buf, 1, size, stream->file);
    *stream->free_bytes -= static_cast<int64_t>(written);
    return static_cast<ssize_t>(written);
}

ssize_t limited_read(void* cookie, char* buf, size_t size)
{
    return static_cast<ssize_t>(std::fread(buf, 1, size, static_cast<LimitedStream*>(cookie)->file));
}

int limited_close(void* cookie)
{
    auto* stream = static_cast<LimitedStream*>(cookie);
    const int result = std::fclose(stream->file);
    delete stream;
    return result;
}

ssize_t empty_read(void*, char*, size_t) { return 0; }

}  // namespace

SimOs::~SimOs()
{
    for (auto& [stream, text] : pipes_) std::fclose(stream);
}

int SimOs::iopl(int level)
{
    if (!m_.io_privilege_granted) {
        errno = EPERM;
        return -1;
    }
    m_.io_privilege_level = level;
    return 0;
}

int SimOs::ioperm(unsigned long from, unsigned long num, int turn_on)
{
    if (!m_.io_privilege_granted) {
        errno = EPERM;
        return -1;
    }
    if (from + num > m_.permitted_ports.size() || from + num < from) {
        errno = EINVAL;
        return -1;
    }
    for (unsigned long port = from; port < from + num; ++port) m_.permitted_ports.set(port, turn_on != 0);
    return 0;
}

uint8_t SimOs::inb(uint16_t port) { return static_cast<uint8_t>(m_.port_in(port, 1)); }
void SimOs::outb(uint8_t value, uint16_t port) { m_.port_out(port, value, 1); }
uint32_t SimOs::inl(uint16_t port) { return m_.port_in(port, 4); }
void SimOs::outl(uint32_t value, uint16_t port) { m_.port_out(port, value, 4); }

OpenFile* SimOs::device_file(int fd)
{
    const auto it = files_.find(fd);
    return it == files_.end() ? nullptr : it->second.get();
}

int SimOs::open(const char* path, int flags) { return open(path, flags, 0644); }

int SimOs::open(const char* path, int flags, mode_t mode)
{
    if (DeviceNode* node = m_.node(path)) {
        auto file = node->open(flags);
        if (!file) return -1;
        files_[next_fd_] = std::move(file);
        return next_fd_++;
    }
    if (writes(flags) && m_.read_only(path)) {
        errno = EROFS;
        return -1;
    }
    return ::open(m_.sandbox.map(path).c_str(), flags, mode);
}

ssize_t SimOs::read(int fd, void* buf, size_t count)
{
    if (OpenFile* file = device_file(fd)) return file->read(buf, count);
    return ::read(fd, buf, count);
}

ssize_t SimOs::write(int fd, const void* buf, size_t count)
{
    if (OpenFile* file = device_file(fd)) return file->write(buf, count);
    return ::write(fd, buf, count);
}

off_t SimOs::lseek(int fd, off_t offset, int whence)
{
    if (OpenFile* file = device_file(fd)) return file->lseek(offset, whence);
    return ::lseek(fd, offset, whence);
}

int SimOs::ioctl(int fd, unsigned long request, void* arg)
{
    if (OpenFile* file = device_file(fd)) return file->ioctl(request, arg);
    errno = ENOTTY;
    return -1;
}

int SimOs::select_read(int fd, timeval* timeout)
{
    if (OpenFile* file = device_file(fd)) return file->select_read(timeout);
    return 1;
}

int SimOs::close(int fd)
{
    if (files_.erase(fd) > 0) return 0;
    if (fd >= kFirstDeviceFd) {
        errno = EBADF;
        return -1;
    }
    return ::close(fd);
}

// The sandbox's files are real files: their flush is real too.
int SimOs::fsync(int fd)
{
    if (device_file(fd) != nullptr) return 0;
    return ::fsync(fd);
}

// Processes sharing one sandbox share its lock files, as on one real machine.
int SimOs::flock(int fd, int operation)
{
    if (device_file(fd) != nullptr) {
        errno = EINVAL;
        return -1;
    }
    return ::flock(fd, operation);
}

void* SimOs::mmap(void*, size_t length, int, int, int fd, off_t offset)
{
    OpenFile* file = device_file(fd);
    std::vector<uint8_t> bytes;
    if (file == nullptr) {
        errno = ENODEV;
        return MAP_FAILED;
    }
    if (!file->map(offset, length, bytes)) return MAP_FAILED;
    auto storage = std::make_unique<uint8_t[]>(length);
    std::memcpy(storage.get(), bytes.data(), std::min(length, bytes.size()));
    void* address = storage.get();
    mappings_[address] = std::move(storage);
    return address;
}

int SimOs::munmap(void* addr, size_t)
{
    if (mappings_.erase(addr) > 0) return 0;
    errno = EINVAL;
    return -1;
}

FILE* SimOs::open_for_writing(const std::string& host_path, const char* mode)
{
    return limited(std::fopen(host_path.c_str(), mode), mode);
}

FILE* SimOs::limited(FILE* file, const char* mode)
{
    if (file == nullptr || m_.free_bytes < 0 || !writes(mode)) return file;
    // The outer stream buffers; a flush of it must reach the file, as with a plain stream.
    std::setvbuf(file, nullptr, _IONBF, 0);
    auto* stream = new LimitedStream{file, &m_.free_bytes};
    FILE* limited = ::fopencookie(stream, mode, {limited_read, limited_write, nullptr, limited_close});
    if (limited == nullptr) {
        std::fclose(file);
        delete stream;
    }
    return limited;
}

FILE* SimOs::fopen(const char* path, const char* mode)
{
    const std::string host_path = m_.sandbox.map(path);
    if (!writes(mode)) return std::fopen(host_path.c_str(), mode);
    if (m_.read_only(path)) {
        errno = EROFS;
        return nullptr;
    }
    return open_for_writing(host_path, mode);
}

FILE* SimOs::fdopen(int fd, const char* mode)
{
    if (device_file(fd) != nullptr) {
        errno = EBADF;
        return nullptr;
    }
    return limited(::fdopen(fd, mode), mode);
}

int SimOs::stat(const char* path, struct stat* out) { return ::stat(m_.sandbox.map(path).c_str(), out); }

int SimOs::fstat(int fd, struct stat* out)
{
    if (device_file(fd) != nullptr) {
        *out = {};
        out->st_mode = S_IFCHR | 0600;
        return 0;
    }
    return ::fstat(fd, out);
}

int SimOs::access(const char* path, int mode) { return ::access(m_.sandbox.map(path).c_str(), mode); }

bool SimOs::list_dir(const char* path, std::vector<std::string>& names)
{
    std::error_code error;
    fs::directory_iterator it(m_.sandbox.map(path), error);
    if (error) return false;
    names.emplace_back(".");
    names.emplace_back("..");
    for (const auto& entry : it) names.push_back(entry.path().filename().string());
    return true;
}

int SimOs::rename(const char* from, const char* to)
{
    if (m_.read_only(from) || m_.read_only(to)) {
        errno = EROFS;
        return -1;
    }
    return std::rename(m_.sandbox.map(from).c_str(), m_.sandbox.map(to).c_str());
}

int SimOs::chmod(const char* path, mode_t mode)
{
    if (m_.read_only(path)) {
        errno = EROFS;
        return -1;
    }
    return ::chmod(m_.sandbox.map(path).c_str(), mode);
}

int SimOs::unlink(const char* path)
{
    if (m_.read_only(path)) {
        errno = EROFS;
        return -1;
    }
    return ::unlink(m_.sandbox.map(path).c_str());
}

int SimOs::system(const char* command)
{
    std::string output;
    const int status = m_.run_command(command, output);
    std::fwrite(output.data(), 1, output.size(), stdout);
    return status << 8;
}

FILE* SimOs::popen(const char* command, const char* mode)
{
    if (std::strcmp(mode, "r") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    auto output = std::make_unique<std::string>();
    m_.run_command(command, *output);
    // fmemopen refuses an empty buffer; an empty output reads as end of file at once.
    FILE* stream = output->empty() ? ::fopencookie(nullptr, "r", {empty_read, nullptr, nullptr, nullptr})
                                   : ::fmemopen(output->data(), output->size(), "r");
    if (stream != nullptr) pipes_[stream] = std::move(output);
    return stream;
}

int SimOs::pclose(FILE* stream)
{
    pipes_.erase(stream);
    return std::fclose(stream);
}

int SimOs::run_and_wait(const std::vector<std::string>& argv)
{
    std::string command;
    for (const std::string& arg : argv) command += (command.empty() ? "" : " ") + arg;
    std::string output;
    const int status = m_.run_command(command, output);
    std::fwrite(output.data(), 1, output.size(), stdout);
    return status;
}

platform::SpawnResult SimOs::spawn_and_wait(const std::vector<std::string>& argv, int exec_failure_status, int* status)
{
    if (m_.fork_fails) {
        m_.trace.record(Access::Command, "fork: EAGAIN");
        errno = EAGAIN;
        return platform::SpawnResult::ForkFailed;
    }
    const int exit_status = run_and_wait(argv);
    if (m_.wait_fails) {
        m_.trace.record(Access::Command, "waitpid: ECHILD");
        errno = ECHILD;
        return platform::SpawnResult::WaitFailed;
    }
    // 126 and 127 are what the machine answers for a program it cannot execute.
    const bool not_started = exit_status == 126 || exit_status == 127;
    if (status != nullptr) *status = (not_started ? exec_failure_status : exit_status) << 8;
    return platform::SpawnResult::Waited;
}

unsigned int SimOs::sleep(unsigned int seconds)
{
    m_.trace.record(Access::Sleep, "sleep %u s", seconds);
    m_.clock.sleep_us(static_cast<uint64_t>(seconds) * 1000000u);
    return 0;
}

int SimOs::usleep(useconds_t microseconds)
{
    m_.trace.record(Access::Sleep, "usleep %u us", static_cast<unsigned>(microseconds));
    m_.clock.sleep_us(microseconds);
    return 0;
}

time_t SimOs::time(time_t* out)
{
    const time_t now = m_.clock.now();
    if (out != nullptr) *out = now;
    return now;
}

uid_t SimOs::getuid() { return m_.uid; }

std::string SimOs::host_path(const char* path) { return m_.sandbox.map(path); }

}  // namespace qv::sim
