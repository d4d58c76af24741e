// The two transports under trouble: unanswered requests, interrupted and failing
// calls, answers that are not ours, and the maker's driver buffers byte by byte.
#include "ipmi/maker_driver.h"
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace qv::test {
namespace {

using ::testing::ElementsAreArray;
using sim::FaultPoint;
using sim::json;

constexpr uint32_t kUntouched = 0xDEADBEEF;

json openipmi_board()
{
    return json::parse(R"({"openipmi": "/dev/ipmi0", "buses": {"2": {"0x2F": {"registers": {"0x4F": "0x5C"}}}}})");
}

TEST_F(BmcTest, AnUnansweredRequestFailsAfterTheBoundWithOneMessage)
{
    json board = openipmi_board();
    board["silent_after"] = 2;  // answers the detection only
    detect(board);
    const uint64_t before = session().clock().elapsed_us();
    uint32_t value = kUntouched;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Warn: The BMC stopped answering; its items are not read until the next poll.\n");
    EXPECT_EQ(session().clock().elapsed_us() - before, uint64_t{kIpmiAnswerTimeoutMs} * 1000);
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(ipmi_state().seqNo, 3);
}

struct FaultCase {
    const char* what;
    FaultPoint point;
    int error;
    int result;
    std::string err;
    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.what; }
};

class OpenIpmiFaults : public BmcTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(OpenIpmiFaults, RetryWhatIsPassingReportTheRestAndLeaveTheNextExchangeWorking)
{
    detect(openipmi_board());
    bmc().add_fault(GetParam().point, GetParam().error);
    uint32_t value = kUntouched;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), GetParam().result);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), GetParam().err);
    EXPECT_EQ(value, GetParam().result == 0 ? 0x5Cu : kUntouched);
    value = kUntouched;
    EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), 0);
    EXPECT_EQ(value, 0x5Cu);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, OpenIpmiFaults,
    ::testing::Values(FaultCase{"send interrupted", FaultPoint::Send, EINTR, 0, ""},
                      FaultCase{"send refused for the moment", FaultPoint::Send, EAGAIN, 0, ""},
                      FaultCase{"send failing", FaultPoint::Send, EIO, -1, "Error: ioctl(), errno=5\n"},
                      FaultCase{"wait interrupted", FaultPoint::Select, EINTR, 0, ""},
                      FaultCase{"wait failing", FaultPoint::Select, EBADF, -1, "Error: select(), errno=9\n"},
                      FaultCase{"receive interrupted", FaultPoint::Receive, EINTR, 0, ""},
                      FaultCase{"receive finding nothing yet", FaultPoint::Receive, EAGAIN, 0, ""},
                      FaultCase{"receive failing", FaultPoint::Receive, EIO, -1, "Error: ioctl(), errno=5\n"}));

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
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(IpmiByteRead_oem_30_95(1, &value), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: ioctl(), errno=90\n");
    EXPECT_EQ(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), 0);
    EXPECT_EQ(value, 0x5Cu);
}

struct AddressCase {
    int addr_type;
    int result;
    std::string err;
    friend void PrintTo(const AddressCase& c, std::ostream* os) { *os << "address type " << c.addr_type; }
};

class AddressTypes : public BmcTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressTypes, OnlyTheKernelsAddressTypesAreSent)
{
    detect({{"openipmi", "/dev/ipmi0"}});
    uint8_t data[1] = {0};
    ::testing::internal::CaptureStderr();
    const int fd = ipmi_state().fd;
    EXPECT_EQ(ipmi_cmd_req2(fd, GetParam().addr_type, 0, 0x40, 0, 7, 0x06, 0x01, 0, data), GetParam().result);
    EXPECT_EQ(ipmi_cmd_recv2(fd, GetParam().addr_type, 0, 0x40, 0, 7, 0x06, 0x01, 80, ipmi_state().recv_data),
              GetParam().result);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), GetParam().err + GetParam().err);
    ASSERT_EQ(requests().size(), GetParam().result == 0 ? 1u : 0u);
    if (GetParam().result == 0) {
        EXPECT_EQ(requests()[0].addr_type, GetParam().addr_type);
        EXPECT_EQ(requests()[0].slave, 0x40);
        EXPECT_EQ(requests()[0].msgid, 7);
    }
}

INSTANTIATE_TEST_SUITE_P(Types, AddressTypes,
                         ::testing::Values(AddressCase{0x01, 0, ""}, AddressCase{0x41, 0, ""},
                                           AddressCase{0x02, -1, "Error: wrong address type.\n"},
                                           AddressCase{0x0D, -1, "Error: wrong address type.\n"}));

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
    boot_bmc({{"maker_driver", true}, {"buses", {{"2", {{"0x2C", {{"registers", {{"0x40", 0x3C}}}}}}}}}});
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

struct MakerCase {
    const char* what;
    json bmc;  // added to a board whose chip 0x2C holds 0x3C in register 0x40
    std::optional<int> fault;
    int result;
    std::string err;
    friend void PrintTo(const MakerCase& c, std::ostream* os) { *os << c.what; }
};

class MakerRead : public BmcTest, public ::testing::WithParamInterface<MakerCase> {};

TEST_P(MakerRead, StoresTheByteOnlyWhenAWholeAnswerWithCompletionCodeZeroCame)
{
    json board = {{"maker_driver", true}, {"buses", {{"2", {{"0x2C", {{"registers", {{"0x40", 0x3C}}}}}}}}}};
    board.update(GetParam().bmc);
    detect(board);
    if (GetParam().fault) bmc().add_fault(FaultPoint::Driver, *GetParam().fault);
    const uint64_t before = session().clock().elapsed_us();
    uint32_t value = kUntouched;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(IpmiRead(0x2C, 0x40, &value), GetParam().result);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), GetParam().err);
    EXPECT_EQ(value, GetParam().result == 0 ? 0x3Cu : kUntouched);
    const bool timed_out = GetParam().err.find("stopped answering") != std::string::npos;
    EXPECT_EQ(session().clock().elapsed_us() - before, timed_out ? 1000000u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MakerRead,
    ::testing::Values(
        MakerCase{"a whole answer", json::object(), std::nullopt, 0, ""},
        MakerCase{"completion code 0xC0", {{"completion_codes", {{"0x06:0x52", "0xC0"}}}}, std::nullopt, -1, ""},
        MakerCase{"a completion code without the byte", {{"responses", {{"0x06:0x52", {0}}}}}, std::nullopt, -1,
                  "Error: the BMC answered NetFn 0x06 Cmd 0x52 with 1 of 2 bytes.\n"},
        MakerCase{"an empty answer", {{"responses", {{"0x06:0x52", json::array()}}}}, std::nullopt, -1,
                  "Error: the BMC answered NetFn 0x06 Cmd 0x52 with 0 of 1 bytes.\n"},
        MakerCase{"no answer", {{"silent_after", 1}}, std::nullopt, -1,
                  "Warn: The BMC stopped answering; its items are not read until the next poll.\n"},
        MakerCase{"an interrupted call", json::object(), EINTR, 0, ""},
        MakerCase{"a failing call", json::object(), EIO, -1, "Error: ioctl(), errno=5\n"}));

TEST_F(BmcTest, MasterWriteReadNeedsTheMakersDriver)
{
    detect({{"openipmi", "/dev/ipmi0"}});
    uint32_t value = kUntouched;
    EXPECT_EQ(IpmiRead(0x2C, 0x40, &value), -1);
    EXPECT_EQ(IpmiWrite(0x2C, 0x40, 1), -1);
    EXPECT_TRUE(requests().empty());
    EXPECT_EQ(value, kUntouched);
}

}  // namespace
}  // namespace qv::test
