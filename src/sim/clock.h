// Virtual time of the simulated machine: sleeps advance it, so a run is repeatable
// and, with fast set, needs no waiting.
#pragma once

#include <cstdint>
#include <ctime>

namespace qv::sim {

class VirtualClock {
public:
    explicit VirtualClock(bool fast, time_t start = ::time(nullptr)) : fast_(fast), start_(start) {}

    void sleep_us(uint64_t microseconds);
    uint64_t elapsed_us() const { return elapsed_us_; }
    double elapsed_s() const { return static_cast<double>(elapsed_us_) / 1e6; }
    time_t now() const { return start_ + static_cast<time_t>(elapsed_us_ / 1000000); }
    bool fast() const { return fast_; }

private:
    bool fast_;
    time_t start_;
    uint64_t elapsed_us_ = 0;
};

}  // namespace qv::sim
