// A file descriptor of the seam, closed when it goes out of scope.
#pragma once

#include "platform/os.h"

#include <utility>

namespace qv {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) platform::os().close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Hands the descriptor over for good; it is no longer closed here.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// A mapping of the seam, released when it goes out of scope unless unmapped before.
class Mapping {
public:
    Mapping(void* address, size_t length) : address_(address), length_(length) {}
    ~Mapping()
    {
        if (valid()) platform::os().munmap(address_, length_);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    bool valid() const { return address_ != MAP_FAILED && address_ != nullptr; }
    const unsigned char* bytes() const { return static_cast<const unsigned char*>(address_); }
    size_t length() const { return length_; }
    // Releases the mapping now; the result of munmap.
    int unmap()
    {
        const int result = platform::os().munmap(address_, length_);
        address_ = MAP_FAILED;
        return result;
    }

private:
    void* address_;
    size_t length_;
};

}  // namespace qv
