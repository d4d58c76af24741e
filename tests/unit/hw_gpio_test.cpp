// GPIO reads of the Super I/O, the south bridge and the I/O controller hubs, and the
// physical-memory byte.
#include "hw/gpio.h"
#include "hw/port_access.h"
#include "hw/state.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

class Gpio : public HwTest {
protected:
    void boot_granted(const sim::json& board)
    {
        boot_board(board);
        ASSERT_EQ(request_iopl(3), 0);
    }
};

TEST_F(Gpio, ConfiguredSuperIoIsEnteredSelectedReadAndLeft)
{
    boot_granted({{"super_io", {{"logical_devices", {{"7", {{"0xF1", "0x40"}}}}}}}});
    uint32_t value = 0;
    ReadSuperGPIO(4, 7, 0xF1, &value);
    EXPECT_EQ(value, 0x40u);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x002E <- 0x87", "outb 0x002E <- 0x87", "outb 0x002E <- 0x07",
                                           "outb 0x002F <- 0x07", "outb 0x002E <- 0xF1", "inb  0x002F -> 0x40",
                                           "outb 0x002E <- 0xAA"));
    clear_trace();
    EXPECT_EQ(platform::os().inb(0x2F), 0xFF) << "the chip has left configuration mode";
}

TEST_F(Gpio, ChipCode5ReadsTheBlockBaseOnceEvenWhenTheChipChanges)
{
    boot_granted({{"super_io",
                   {{"entry_key", sim::json::array()},
                    {"logical_devices", {{"8", {{"0x60", {{"reads", {"0x0A", "0x0B"}}}}}}}},
                    {"gpio_block", {{"logical_device", 8}, {"base", "0x0A00"}, {"registers", {{"0x05", "0x5A"}}}}}}}});
    uint32_t first = 0;
    uint32_t second = 0;
    ReadSuperGPIO(5, 8, 5, &first);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x002E <- 0x07", "outb 0x002F <- 0x08", "outb 0x002E <- 0x60",
                                           "inb  0x002F -> 0x0A", "outb 0x002E <- 0x61", "inb  0x002F -> 0x00",
                                           "inb  0x0A05 -> 0x5A"));
    clear_trace();
    ReadSuperGPIO(5, 8, 5, &second);
    EXPECT_THAT(trace("port"), ElementsAre("inb  0x0A05 -> 0x5A"));
    EXPECT_EQ(first, 0x5Au);
    EXPECT_EQ(second, 0x5Au);
    EXPECT_EQ(hw_state().ChipCode5BaseAddr[0], 0x0Au);
}

TEST_F(Gpio, SouthBridgeGpioIsOneIndexWriteAndOneDataRead)
{
    boot_granted({{"sb_pm", {{"registers", {{"0x7E", "0x03"}}}}}});
    uint32_t value = 0;
    ReadSBGPIO(11, 99, 0x7E, &value);
    EXPECT_EQ(value, 3u);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x0CD6 <- 0x7E", "inb  0x0CD7 -> 0x03"));
}

TEST_F(Gpio, UnknownChipCodesAreReportedAndLeaveTheValue)
{
    boot_granted(sim::json::object());
    uint32_t value = 0x1234;
    testing::internal::CaptureStderr();
    ReadSuperGPIO(6, 7, 0xF1, &value);
    ReadSBGPIO(27, 0, 0x10, &value);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: unknown ChipCode=6(0x6)\nError: unknown ChipCode=27(0x1B)\n");
    EXPECT_EQ(value, 0x1234u);
    EXPECT_THAT(trace("port"), IsEmpty());
}

sim::json bridge(const char* id, int bus, sim::json gpio)
{
    return {{"lpc_bridges",
             {{{"bus", bus}, {"device", 31}, {"vendor", "0x8086"}, {"device_id", id}, {"gpio_base", "0x0480"},
               {"gpio", std::move(gpio)}}}}};
}

struct PinCase {
    const char* what;
    sim::json board;
    int gpio28;
    int gpio38;
    int gpio39;
    friend void PrintTo(const PinCase& c, std::ostream* os) { *os << c.what; }
};

class HubPins : public Gpio, public ::testing::WithParamInterface<PinCase> {};

TEST_P(HubPins, AreHighOnlyOnTheirOwnBridgeAndBit)
{
    boot_board(GetParam().board);
    EXPECT_EQ(CheckGPIO28Hi(), GetParam().gpio28);
    EXPECT_EQ(CheckGPIO38Hi(), GetParam().gpio38);
    EXPECT_EQ(CheckGPIO39Hi(), GetParam().gpio39);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, HubPins,
    ::testing::Values(
        PinCase{"ich4_input_and_high", bridge("0x24C0", 0, {{"0x04", "0x10000000"}, {"0x0C", "0x10000000"}}), 1, 0, 0},
        PinCase{"ich4_high_but_output", bridge("0x24C0", 0, {{"0x04", "0x00000000"}, {"0x0C", "0x10000000"}}), 0, 0,
                0},
        PinCase{"ich3_on_bus_23", bridge("0x2480", 23, {{"0x04", "0xFFFFFFFF"}, {"0x0C", "0xFFFFFFFF"}}), 1, 0, 0},
        PinCase{"ich7_gpio38", bridge("0x27B8", 0, {{"0x38", "0x40"}, {"0x0C", "0xFFFFFFFF"}}), 0, 1, 0},
        PinCase{"ich7_gpio39", bridge("0x27B8", 3, {{"0x38", "0x80"}}), 0, 0, 1},
        PinCase{"bus_24_is_not_searched", bridge("0x27B8", 24, {{"0x38", "0xC0"}}), 0, 0, 0},
        PinCase{"no_bridge", sim::json::object(), 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Gpio, GpioBaseComesFromEitherHub)
{
    boot_granted(bridge("0x3B14", 1, sim::json::object()));
    EXPECT_EQ(findGpioBaseAddress(), 0x0480u);
    boot_granted(bridge("0x24C0", 0, sim::json::object()));
    EXPECT_EQ(findGpioBaseAddress(), 0u);
}

struct PostPinCase {
    unsigned gpio;
    const char* level_port;
    uint32_t bit;
};

TEST_F(Gpio, BiosPostPinUsesTheLevelRegisterOfItsGroup)
{
    for (const PostPinCase& c : {PostPinCase{5, "0x048C", 5}, PostPinCase{38, "0x04B8", 6}, PostPinCase{70, "0x04C8", 6}}) {
        boot_granted(bridge("0x27B8", 0, sim::json::object()));
        EXPECT_EQ(getIpmiBiosPostCmplGpioState(0x480, c.gpio), 0u) << c.gpio;
        const uint32_t set = setIpmiBiosPostCmplGpioState(0x480, c.gpio, 7);
        EXPECT_EQ(set, 1u << c.bit) << c.gpio;
        EXPECT_EQ(getIpmiBiosPostCmplGpioState(0x480, c.gpio), 1u) << c.gpio;
        EXPECT_EQ(setIpmiBiosPostCmplGpioState(0x480, c.gpio, 0), 0u) << c.gpio;
        for (const std::string& line : trace("port"))
            EXPECT_THAT(line, MatchesRegex(std::string(".*") + c.level_port + ".*")) << c.gpio;
    }
}

TEST_F(Gpio, BiosPostPinOutsideTheThreeGroupsTouchesNothing)
{
    boot_granted(bridge("0x27B8", 0, sim::json::object()));
    EXPECT_EQ(setIpmiBiosPostCmplGpioState(0x480, 96, 1), 0u);
    EXPECT_EQ(getIpmiBiosPostCmplGpioState(0x480, 96), 0u);
    EXPECT_THAT(trace("port"), IsEmpty());
}

TEST_F(Gpio, MemoryByteIsReadThroughItsMappedPage)
{
    boot_board({{"memory", {{"bytes", {{"0xFFA40", {"0x31", "0x42"}}}}}}});
    EXPECT_EQ(getMemByte(0xFFA40), 0x31);
    EXPECT_EQ(getMemByte(0xFFA41), 0x42);
    EXPECT_THAT(trace("memory"), ElementsAre("mmap 0x000FF000, 4096 bytes", "mmap 0x000FF000, 4096 bytes"));
}

struct MemoryFailure {
    const char* what;
    sim::json memory;
    const char* pattern;
    friend void PrintTo(const MemoryFailure& c, std::ostream* os) { *os << c.what; }
};

class MemoryByteFailure : public Gpio, public ::testing::WithParamInterface<MemoryFailure> {};

TEST_P(MemoryByteFailure, EndsTheProcessWithStatus1)
{
    boot_board({{"memory", GetParam().memory}});
    EXPECT_EXIT(getMemByte(0xFFA40), ::testing::ExitedWithCode(1), GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, MemoryByteFailure,
    ::testing::Values(MemoryFailure{"read_only", {{"dev_mem", "read_only"}},
                                    "^Error at line [0-9]+, file gpio \\(13\\) \\[Permission denied\\]\n$"},
                      MemoryFailure{"unmappable", {{"mappable", false}},
                                    "^Error at line [0-9]+, file gpio \\(1\\) \\[Operation not permitted\\]\n$"}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace qv::test
