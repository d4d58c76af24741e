// The simulated machine's time: repeatable when fast, real otherwise, so that a window
// idling in its main loop still sees a board change at its second.
#include "sim/clock.h"

#include <gtest/gtest.h>

#include <thread>

namespace qv::sim {
namespace {

TEST(VirtualClock, FastOnlySleepsMoveIt)
{
    VirtualClock clock(true, 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(clock.elapsed_us(), 0u);
    clock.sleep_us(30'000'000);
    EXPECT_EQ(clock.elapsed_s(), 30.0);
    EXPECT_EQ(clock.now(), 1030);
}

TEST(VirtualClock, OtherwiseItFollowsRealTimeWithoutSleeping)
{
    VirtualClock clock(false, 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(clock.elapsed_us(), 20'000u);
    const uint64_t before = clock.elapsed_us();
    clock.sleep_us(10'000);
    EXPECT_GE(clock.elapsed_us(), before + 10'000);
}

}  // namespace
}  // namespace qv::sim
