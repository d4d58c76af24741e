// Window ticks on a board whose BMC serves the items: while the BMC is silent a tick
// waits one time-out at most and keeps the last values; once it answers, it reads again.
#include "ipmi/ipmi.h"
#include "sim/devices/bmc.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::test {
namespace {

class DyingBmcTick : public WindowTest {
protected:
    void TearDown() override
    {
        WindowTest::TearDown();
        reset_ipmi_state();
    }

    sim::Bmc& bmc() { return *sim::find_bmc(session().machine()); }

    struct Tick {
        uint64_t waited_us;
        std::size_t sent;
    };
    Tick tick()
    {
        const uint64_t before = session().clock().elapsed_us();
        const std::size_t sent_before = bmc().requests().size();
        EXPECT_TRUE(updateAll(nullptr));
        return {session().clock().elapsed_us() - before, bmc().requests().size() - sent_before};
    }
};

TEST_F(DyingBmcTick, WaitsOneTimeOutAtMostAndReadsAgainOnceTheBmcAnswers)
{
    const char* item = "[Item]\nITEM_NAME=Inlet Temperature\nITEM_CAT=TEMP\nBUSTYPE=01\nCHIPCODE=1E\nSLAVE=2D\n"
                       "OFFSET=42\nMONITOR=TRUE\n";
    const sim::json board = sim::json::parse(R"({"bmc": {"openipmi": "/dev/ipmi0", "kind": "ob_winbond",
        "buses": {"2": {"0x2D": {"bank_register": "0xFF", "banks": {"0": {"0x42": "0x1B"}}}}}}})");
    load(profile_text("0B", item), board);
    open();
    const int32_t healthy = displays_[0].reading;
    ASSERT_GT(healthy, 0);

    bmc().answer_again(0);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        displays_[0].reading = -7;
        const Tick t = tick();
        EXPECT_EQ(t.waited_us, uint64_t{kIpmiAnswerTimeoutMs} * 1000);
        EXPECT_EQ(t.sent, 1u);
        EXPECT_EQ(displays_[0].reading, -7);
    }
    // The profile has no limits; only the BMC's line matters here.
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string stopped = "Warn: The BMC stopped answering; its items are not read until the next poll.\n";
    ASSERT_NE(err.find(stopped), std::string::npos) << err;
    EXPECT_EQ(err.find(stopped, err.find(stopped) + 1), std::string::npos) << err;

    bmc().answer_again();
    const Tick t = tick();
    EXPECT_EQ(t.waited_us, 0u);
    EXPECT_GE(t.sent, 1u);
    EXPECT_EQ(displays_[0].reading, healthy);
}

}  // namespace
}  // namespace qv::test
