#include "sim/trace.h"

#include <cstdarg>

namespace qv::sim {

const char* access_name(Access kind)
{
    static constexpr const char* names[] = {"port", "bind", "smbus", "ipmi", "memory", "command", "sleep"};
    return names[static_cast<std::size_t>(kind)];
}

Trace::Trace()
{
    // An LPC I/O cycle, a kernel-only ioctl, a byte-data transfer at 100 kHz, a KCS
    // request/response pair, a page of /dev/mem, a short-lived process.
    set_cost_us(Access::Port, 1.0);
    set_cost_us(Access::Bind, 1.0);
    set_cost_us(Access::Smbus, 370.0);
    set_cost_us(Access::Ipmi, 2000.0);
    set_cost_us(Access::Memory, 1.0);
    set_cost_us(Access::Command, 10000.0);
    set_cost_us(Access::Sleep, 0.0);
}

Trace::~Trace()
{
    if (out_ != nullptr) std::fclose(out_);
}

bool Trace::open(const std::string& path)
{
    out_ = std::fopen(path.c_str(), "w");
    return out_ != nullptr;
}

void Trace::record(Access kind, const char* format, ...)
{
    ++counts_[static_cast<std::size_t>(kind)];
    if (out_ == nullptr && !keep_) return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (out_ != nullptr) std::fprintf(out_, "%-7s %s\n", access_name(kind), text);
    if (keep_) lines_.push_back(std::string(access_name(kind)) + " " + text);
}

double Trace::bus_time_us() const
{
    double total = 0;
    for (std::size_t i = 0; i < kAccessKinds; ++i) total += static_cast<double>(counts_[i]) * costs_[i];
    return total;
}

}  // namespace qv::sim
