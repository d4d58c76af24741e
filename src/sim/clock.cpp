#include "sim/clock.h"

#include <thread>

namespace qv::sim {

void VirtualClock::sleep_us(uint64_t microseconds)
{
    if (!fast_) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    slept_us_ += microseconds;
}

uint64_t VirtualClock::elapsed_us() const
{
    if (fast_) return slept_us_;
    const auto real = std::chrono::steady_clock::now() - started_;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(real).count());
}

}  // namespace qv::sim
