#include "sim/clock.h"

#include <chrono>
#include <thread>

namespace qv::sim {

void VirtualClock::sleep_us(uint64_t microseconds)
{
    if (!fast_) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    elapsed_us_ += microseconds;
}

}  // namespace qv::sim
