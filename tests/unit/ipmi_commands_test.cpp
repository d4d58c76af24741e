// The BMC command family: the bytes each member sends and what it takes from the answer.
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>

#include <functional>
#include <optional>

namespace qv::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using sim::json;

struct CommandCase {
    const char* name;
    std::function<int(uint32_t*)> call;
    uint8_t netfn;
    uint8_t cmd;
    std::vector<uint8_t> data;
    std::optional<uint32_t> value;  // none for writes
    std::size_t needs;              // response bytes the member reads, completion code included
};

// The member's name and a call of it; v is where a read puts its value.
#define CALL(f, ...) #f, [](uint32_t* v) { return (void)v, f(__VA_ARGS__); }

const CommandCase kCommands[] = {
    {CALL(IpmiByteRead2_06_52_05, 0x2F, 0x4F, v), 0x06, 0x52, {0x05, 0x5E, 0x01, 0x4F}, 0x5C, 2},
    {CALL(IpmiByteWrite2_06_52_05, 0x2F, 0x4F, 0x11), 0x06, 0x52, {0x05, 0x5E, 0x00, 0x4F, 0x11}, std::nullopt, 1},
    {CALL(IpmiByteRead_OBWinbond_id3_06_52_07, 0x3A, 0x20, v), 0x06, 0x52, {0x07, 0x74, 0x01, 0x20}, 0x77, 2},
    {CALL(IpmiByteWrite_OBWinbond_id3_06_52_07, 0x3A, 0x20, 0x33), 0x06, 0x52, {0x07, 0x74, 0x00, 0x20, 0x33},
     std::nullopt, 1},
    {CALL(IpmiByteRead_Peppercon_oem_30_22_05, 0x2F, 0x4F, v), 0x30, 0x22, {0x05, 0x5E, 0x01, 0x4F}, 0x5C, 2},
    {CALL(IpmiByteWrite_Peppercon_oem_30_22_05, 0x2F, 0x4F, 0x11), 0x30, 0x22, {0x05, 0x5E, 0x00, 0x4F, 0x11},
     std::nullopt, 1},
    {CALL(IpmiWordRead_oem_30_23, 0x2F, 0x60, v), 0x30, 0x23, {0x05, 0x5E, 0x01, 0x60}, 300, 3},
    {CALL(IpmiByteRead2_oem_30_0F, 0x2F, 0x4F, v), 0x30, 0x0F, {}, 7, 2},
    {CALL(IpmiByteRead2_oem_30_70, 0x4C, 0x00, v), 0x30, 0x70, {0x05, 0x00}, 55, 2},
    {CALL(IpmiByteRead_ISA_30_2C, 1, 0x46, v), 0x30, 0x2C, {0x01, 0x01, 0x46}, 0x3C, 2},
    {CALL(IpmiWordRead_ISA_30_2C, 0, 0x28, v), 0x30, 0x2C, {0x02, 0x00, 0x28}, 0x12E5, 3},
    {CALL(IpmiByteWrite_ISA_30_2C, 0, 0x46, 0x80), 0x30, 0x2C, {0x00, 0x00, 0x46, 0x80}, std::nullopt, 1},
    {CALL(IpmiByteRead_oem_30_92, 0x3A, 2, v), 0x30, 0x92, {0x03, 0x0A}, 7, 4},
    {CALL(IpmiByteRead_oem_30_92_PWSFailure, 0x3A, 2, v), 0x30, 0x92, {}, 1, 2},
    {CALL(IpmiByteRead_oem_30_90, 0x2D, 2, 0x10, v), 0x30, 0x90, {0x5A, 0x02, 0x10, 0x01}, 0x12, 2},
    {CALL(IpmiWordRead_oem_30_90, 0x2D, 2, 0x10, v), 0x30, 0x90, {0x5A, 0x02, 0x10, 0x02}, 0x1234, 3},
    {CALL(IpmiByteWrite_oem_30_91, 0x2D, 1, 0x10, 0x44), 0x30, 0x91, {0x5A, 0x01, 0x10, 0x44}, std::nullopt, 1},
    {CALL(IpmiByteRead_oem_30_93, 3, v), 0x30, 0x93, {0x03}, 42, 2},
    {CALL(IpmiByteRead_oem_30_95, 1, v), 0x30, 0x95, {}, 40, 2},
};

#undef CALL

// Chips behind the BMC that give every member a value of its own.
const json kBoard = json::parse(R"({
  "openipmi": "/dev/ipmi0",
  "buses": {
    "2": {"0x2F": {"registers": {"0x4F": "0x5C", "0x60": 1, "0x61": "0x2C"}},
          "0x2D": {"bank_register": "0x4E", "banks": {"1": {"0x10": "0x21"}, "2": {"0x10": "0x12", "0x11": "0x34"}}}},
    "3": {"0x3A": {"registers": {"0x20": "0x77"}}}
  },
  "isa": {"0": {"0x28": "0x12", "0x29": "0xE5"}, "1": {"0x46": "0x3C"}},
  "oem": {"0x0F": 7, "0x70": {"0x00": 55}, "0x92": {"0x3A": [9, 8, 7, 6], "none": [1]}, "0x93": {"3": 42}, "0x95": 40}
})");

constexpr uint32_t kUntouched = 0xDEADBEEF;

TEST_F(BmcTest, EveryMemberSendsItsBytesAndTakesOnlyAWholeAnswerWithCompletionCodeZero)
{
    for (const CommandCase& c : kCommands) {
        SCOPED_TRACE(c.name);
        char key[16];
        std::snprintf(key, sizeof key, "0x%02X:0x%02X", c.netfn, c.cmd);

        // To the BMC itself, with the next message id.
        detect(kBoard);
        uint32_t value = kUntouched;
        EXPECT_EQ(c.call(&value), 0);
        ASSERT_EQ(requests().size(), 1u);
        const sim::BmcRequest& r = requests().front();
        EXPECT_EQ(std::vector<int>({r.netfn, r.cmd, r.addr_type, r.channel, r.lun}),
                  std::vector<int>({c.netfn, c.cmd, 0x0C, 0x0F, 0}));
        EXPECT_THAT(r.data, ElementsAreArray(c.data));
        EXPECT_EQ(r.msgid, 2);
        EXPECT_EQ(value, c.value.value_or(kUntouched));

        // A non-zero completion code: 255, and the value stays.
        json board = kBoard;
        board["completion_codes"] = {{key, "0x83"}};
        detect(board);
        value = kUntouched;
        EXPECT_EQ(c.call(&value), 255);
        EXPECT_EQ(value, kUntouched);
        EXPECT_EQ(requests().size(), 1u);

        // An answer one byte short of what the member reads.
        std::vector<int> answer{0x00, 9, 8};
        answer.resize(c.needs - 1);
        board = kBoard;
        board["responses"] = {{key, answer}};
        detect(board);
        CaptureStderr();
        EXPECT_EQ(c.call(&value), -1);
        char message[96];
        std::snprintf(message, sizeof message, "Error: the BMC answered NetFn 0x%02X Cmd 0x%02X with %zu of %zu bytes.\n",
                      c.netfn, c.cmd, c.needs - 1, c.needs);
        EXPECT_EQ(GetCapturedStderr(), message);
        EXPECT_EQ(value, kUntouched);
    }
}

TEST_F(BmcTest, ABlockIndexPastTheAnswerFailsInsteadOfReadingOn)
{
    detect({{"openipmi", "/dev/ipmi0"}, {"oem", {{"0x92", {{"0x3A", std::vector<int>(79, 1)}}}}}});
    uint32_t value = kUntouched;
    CaptureStderr();
    EXPECT_EQ(IpmiByteRead_oem_30_92(0x3A, 78, &value), 0);
    EXPECT_EQ(IpmiByteRead_oem_30_92(0x3A, 79, &value), -1);
    EXPECT_EQ(IpmiByteRead_oem_30_92(0x3A, 255, &value), -1);
    EXPECT_NE(GetCapturedStderr(), "");
    EXPECT_EQ(value, 1u);
}

TEST_F(BmcTest, EachFamilySendsNothingThroughTheOtherDriver)
{
    uint32_t value = kUntouched;
    detect({{"maker_driver", true}});
    ASSERT_EQ(ipmi_state().ipmi_driver_option, 1);
    EXPECT_NE(IpmiByteRead2_06_52_05(0x2F, 0x4F, &value), 0);
    EXPECT_NE(IpmiByteWrite_oem_30_91(0x2D, 1, 0x10, 0x44), 0);
    EXPECT_TRUE(requests().empty());
    detect({{"openipmi", "/dev/ipmi0"}});
    EXPECT_EQ(IpmiRead(0x2C, 0x40, &value), -1);
    EXPECT_EQ(IpmiWrite(0x2C, 0x40, 1), -1);
    EXPECT_TRUE(requests().empty());
    EXPECT_EQ(value, kUntouched);
}

}  // namespace
}  // namespace qv::test
