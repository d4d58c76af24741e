// A BMC that goes silent between polls: one time-out per poll on either transport,
// one message while it stays silent, and the BMC used again once it answers.
#include "ipmi/ipmi.h"
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using sim::json;

constexpr char kStopped[] = "Warn: The BMC stopped answering; its items are not read until the next poll.\n";
constexpr uint32_t kUntouched = 0xDEADBEEF;

struct Transport {
    const char* name;
    const char* device_key;
    json device;
    uint64_t detection_requests;
    uint64_t bound_us;
    int (*read)(uint8_t slave, uint8_t reg, uint32_t* value);
    friend void PrintTo(const Transport& t, std::ostream* os) { *os << t.name; }
};

class DyingBmc : public BmcTest, public ::testing::WithParamInterface<Transport> {
protected:
    // Detection is answered, then nothing.
    void detect_dying()
    {
        json board = json::parse(R"({"buses": {"2": {"0x2F": {"registers": {"0x4F": "0x5C"}}}}})");
        board[GetParam().device_key] = GetParam().device;
        board["silent_after"] = GetParam().detection_requests;
        detect(board);
    }

    struct Poll {
        int failed = 0;
        std::size_t sent = 0;
        uint64_t waited_us = 0;
        std::string err;
        uint32_t last = 0;
        bool operator==(const Poll&) const = default;
        friend void PrintTo(const Poll& p, std::ostream* os)
        {
            *os << p.failed << " failed, " << p.sent << " sent, " << p.waited_us << " us, " << p.last << ", " << p.err;
        }
    };

    Poll poll(int reads)
    {
        Poll p;
        const std::size_t sent_before = requests().size();
        const uint64_t before = session().clock().elapsed_us();
        ipmi_begin_poll();
        ::testing::internal::CaptureStderr();
        for (int i = 0; i < reads; ++i) {
            uint32_t value = kUntouched;
            if (GetParam().read(0x2F, 0x4F, &value) == 0) {
                p.last = value;
                continue;
            }
            ++p.failed;
            EXPECT_EQ(value, kUntouched);
        }
        p.err = ::testing::internal::GetCapturedStderr();
        p.sent = requests().size() - sent_before;
        p.waited_us = session().clock().elapsed_us() - before;
        return p;
    }
};

TEST_P(DyingBmc, WaitsOneBoundPerPollSaysSoOnceWhileSilentAndIsUsedAgainOnceItAnswers)
{
    detect_dying();
    const uint64_t bound = GetParam().bound_us;
    EXPECT_EQ(poll(6), (Poll{6, 1, bound, kStopped, 0}));
    EXPECT_EQ(poll(6), (Poll{6, 1, bound, "", 0}));
    bmc().answer_again();
    EXPECT_EQ(poll(3), (Poll{0, 3, 0, "", 0x5C}));
    // Answers the first request of the next poll only: a new silence, a new message.
    bmc().answer_again(1);
    EXPECT_EQ(poll(4), (Poll{3, 2, bound, kStopped, 0x5C}));
}

INSTANTIATE_TEST_SUITE_P(Transports, DyingBmc,
                         ::testing::Values(Transport{"OpenIpmi", "openipmi", "/dev/ipmi0", 2,
                                                     uint64_t{kIpmiAnswerTimeoutMs} * 1000, IpmiByteRead2_06_52_05},
                                           Transport{"MakersDriver", "maker_driver", true, 1, 1000000, IpmiRead}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv::test
