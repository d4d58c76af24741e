// Time of the simulated machine. Fast: only the program's sleeps advance it, so a run
// is repeatable and needs no waiting. Otherwise it follows real time, so a board that
// changes at second 30 changes while a window sits idle in its main loop too.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>

namespace qv::sim {

class VirtualClock {
public:
    explicit VirtualClock(bool fast, time_t start = ::time(nullptr))
        : fast_(fast), start_(start), started_(std::chrono::steady_clock::now())
    {
    }

    void sleep_us(uint64_t microseconds);
    uint64_t elapsed_us() const;
    double elapsed_s() const { return static_cast<double>(elapsed_us()) / 1e6; }
    time_t now() const { return start_ + static_cast<time_t>(elapsed_us() / 1000000); }
    bool fast() const { return fast_; }

private:
    bool fast_;
    time_t start_;
    std::chrono::steady_clock::time_point started_;
    uint64_t slept_us_ = 0;
};

}  // namespace qv::sim
