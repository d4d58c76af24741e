// The record of every hardware access: counted by kind with its modelled bus time,
// and, when a trace file is open, written one line each.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qv::sim {

enum class Access : unsigned {
    Port,     // one I/O-port cycle
    Bind,     // an i2c-dev ioctl that only sets up the kernel side (slave address)
    Smbus,    // one SMBus transfer on the wire
    Ipmi,     // one request/response exchange with the BMC
    Memory,   // a physical-memory read or mapping
    Command,  // a shell command
    Sleep,    // a wait of the program
    Count_
};

inline constexpr std::size_t kAccessKinds = static_cast<std::size_t>(Access::Count_);

const char* access_name(Access kind);

class Trace {
public:
    Trace();
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool open(const std::string& path);
    bool writing() const { return out_ != nullptr; }
    // Keeps every line from now on in memory as well, for tests to read.
    void keep_lines() { keep_ = true; }
    const std::vector<std::string>& lines() const { return lines_; }
    void clear_lines() { lines_.clear(); }

    // Counts one access of the kind and, when writing, adds its line.
    void record(Access kind, const char* format, ...) __attribute__((format(printf, 3, 4)));

    uint64_t count(Access kind) const { return counts_[static_cast<std::size_t>(kind)]; }
    void set_cost_us(Access kind, double microseconds) { costs_[static_cast<std::size_t>(kind)] = microseconds; }
    double cost_us(Access kind) const { return costs_[static_cast<std::size_t>(kind)]; }
    // Modelled time the buses need for everything counted so far (sleeps excluded).
    double bus_time_us() const;
    void reset_counts() { counts_.fill(0); }

private:
    FILE* out_ = nullptr;
    bool keep_ = false;
    std::vector<std::string> lines_;
    std::array<uint64_t, kAccessKinds> counts_{};
    std::array<double, kAccessKinds> costs_{};
};

}  // namespace qv::sim
