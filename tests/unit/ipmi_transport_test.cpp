// The two transports under trouble: unanswered requests, interrupted and failing
// calls, answers that are not ours, and the maker's driver buffers byte by byte.
#include "ipmi/maker_driver.h"
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

namespace qv::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using sim::FaultPoint;
using sim::json;

constexpr uint32_t kUntouched = 0xDEADBEEF;

json openipmi_board()
{
    return json::parse(R"({"openipmi": "/dev/ipmi0", "buses": {"2": {"0x2F": {"registers": {"0x4F": "0x5C"}}}}})");
}

const json kMakerBoard = json::parse(R"({"maker_driver": true, "buses": {"2": {"0x2C": {"registers": {"0x40": 60}}}}})");

TEST_F(BmcTest, OpenIpmiRetriesWhatIsPassingReportsTheRestAndLeavesTheNextExchangeWorking)
{
    const struct { const char* what; FaultPoint point; int error; int result; std::string err; } cases[] = {
        {"send interrupted", FaultPoint::Send, EINTR, 0, ""},
        {"send refused for the moment", FaultPoint::Send, EAGAIN, 0, ""},
        {"send failing", FaultPoint::Send, EIO, -1, "Error: ioctl(), errno=5\n"},
        {"wait interrupted", FaultPoint::Select, EINTR, 0, ""},
        {"wait failing", FaultPoint::Select, EBADF, -1, "Error: select(), errno=9\n"},
        {"receive interrupted", FaultPoint::Receive, EINTR, 0, ""},
        {"receive finding nothing yet", FaultPoint::Receive, EAGAIN, 0, ""},
        {"receive failing", FaultPoint::Receive, EIO, -1, "Error: ioctl(), errno=5\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        detect(openipmi_board());
        bmc().add_fault(c.point, c.error);
        uint32_t value = kUntouched;
        CaptureStderr();
        EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), c.result);
        EXPECT_EQ(GetCapturedStderr(), c.err);
        EXPECT_EQ(value, c.result == 0 ? 0x5Cu : kUntouched);
        value = kUntouched;
        EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), 0);
        EXPECT_EQ(value, 0x5Cu);
    }
}

TEST_F(BmcTest, AnswersToOtherMessageIdsAreSkipped)
{
    json board = openipmi_board();
    board["stray_answers"] = true;
    detect(board);
    uint32_t value = kUntouched;
    EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), 0);
    EXPECT_EQ(value, 0x5Cu);
}

TEST_F(BmcTest, AnAnswerLargerThanTheBufferFailsAndIsTakenOffTheQueue)
{
    json board = openipmi_board();
    board["responses"] = {{"0x30:0x95", std::vector<int>(81, 0)}};
    detect(board);
    uint32_t value = kUntouched;
    CaptureStderr();
    EXPECT_EQ(IpmiByteRead_oem_30_95(1, &value), -1);
    EXPECT_EQ(GetCapturedStderr(), "Error: ioctl(), errno=90\n");
    EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), 0);
    EXPECT_EQ(value, 0x5Cu);
}

TEST_F(BmcTest, OnlyTheKernelsAddressTypesAreSent)
{
    const std::pair<int, std::string> cases[] = {
        {0x01, ""}, {0x41, ""}, {0x02, "Error: wrong address type.\n"}, {0x0D, "Error: wrong address type.\n"}};
    for (const auto& [addr_type, err] : cases) {
        SCOPED_TRACE(addr_type);
        detect({{"openipmi", "/dev/ipmi0"}});
        const int result = err.empty() ? 0 : -1;
        uint8_t data[1] = {0};
        CaptureStderr();
        const int fd = ipmi_state().fd;
        EXPECT_EQ(ipmi_cmd_req2(fd, addr_type, 0, 0x40, 0, 7, 0x06, 0x01, 0, data), result);
        EXPECT_EQ(ipmi_cmd_recv2(fd, addr_type, 0, 0x40, 0, 7, 0x06, 0x01, 80, ipmi_state().recv_data), result);
        EXPECT_EQ(GetCapturedStderr(), err + err);
        ASSERT_EQ(requests().size(), result == 0 ? 1u : 0u);
        if (result == 0) {
            EXPECT_EQ(std::vector<long>({requests()[0].addr_type, requests()[0].slave, requests()[0].msgid}),
                      std::vector<long>({addr_type, 0x40, 7}));
        }
    }
}

// --- The maker's driver -----------------------------------------------------------------

// A dump of the input buffer as the driver takes it, zero-filled to its size: every
// build (32- and 64-bit) must send exactly these bytes.
std::vector<uint8_t> golden(std::string_view hex, std::size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; 2 * i < hex.size(); ++i)
        bytes[i] = static_cast<uint8_t>(std::stoul(std::string(hex.substr(2 * i, 2)), nullptr, 16));
    return bytes;
}

TEST_F(BmcTest, TheMakersDriverGetsTheSameInputBytesInEveryBuild)
{
    boot_bmc(kMakerBoard);
    ASSERT_EQ(IpmiInit(), 0);
    uint32_t value = 0;
    ASSERT_EQ(IpmiRead(0x2C, 0x40, &value), 0);
    ASSERT_EQ(IpmiWrite(0x2C, 0x41, 0x7F), 0);
    ASSERT_EQ(requests().size(), 3u);
    EXPECT_THAT(requests()[0].input, ElementsAreArray(golden("00000000" "801a0600" "2001060000", 64)));
    EXPECT_EQ(requests()[0].output_length, 64u);
    EXPECT_THAT(requests()[1].input, ElementsAreArray(golden("01000000" "40420f00" "2052060004" "05580140", 34)));
    EXPECT_EQ(requests()[1].output_length, 34u);
    EXPECT_THAT(requests()[2].input, ElementsAreArray(golden("01000000" "40420f00" "2052060005" "055800417f", 34)));
    EXPECT_EQ(value, 0x3Cu);
}

TEST_F(BmcTest, MakersDriverStoresTheByteOnlyWhenAWholeAnswerWithCompletionCodeZeroCame)
{
    // bmc is added to a board whose chip 0x2C holds 0x3C in register 0x40.
    const struct { const char* what; json bmc; std::optional<int> fault; int result; std::string err; } cases[] = {
        {"a whole answer", json::object(), std::nullopt, 0, ""},
        {"completion code 0xC0", {{"completion_codes", {{"0x06:0x52", "0xC0"}}}}, std::nullopt, -1, ""},
        {"a completion code without the byte", {{"responses", {{"0x06:0x52", {0}}}}}, std::nullopt, -1,
         "Error: the BMC answered NetFn 0x06 Cmd 0x52 with 1 of 2 bytes.\n"},
        {"an empty answer", {{"responses", {{"0x06:0x52", json::array()}}}}, std::nullopt, -1,
         "Error: the BMC answered NetFn 0x06 Cmd 0x52 with 0 of 1 bytes.\n"},
        {"no answer", {{"silent_after", 1}}, std::nullopt, -1,
         "Warn: The BMC stopped answering; its items are not read until the next poll.\n"},
        {"an interrupted call", json::object(), EINTR, 0, ""},
        {"a failing call", json::object(), EIO, -1, "Error: ioctl(), errno=5\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        json board = kMakerBoard;
        board.update(c.bmc);
        detect(board);
        if (c.fault) bmc().add_fault(FaultPoint::Driver, *c.fault);
        const uint64_t before = session().clock().elapsed_us();
        uint32_t value = kUntouched;
        CaptureStderr();
        EXPECT_EQ(IpmiRead(0x2C, 0x40, &value), c.result);
        EXPECT_EQ(GetCapturedStderr(), c.err);
        EXPECT_EQ(value, c.result == 0 ? 0x3Cu : kUntouched);
        const bool timed_out = c.err.find("stopped answering") != std::string::npos;
        EXPECT_EQ(session().clock().elapsed_us() - before, timed_out ? 1000000u : 0u);
    }
}

}  // namespace
}  // namespace qv::test
