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

class Gpio : public HwTest {
protected:
    void boot_granted(const sim::json& board)
    {
        boot_board(board);
        ASSERT_EQ(request_iopl(3), 0);
    }
};

sim::json bridge(const char* id, int bus, const sim::json& gpio = sim::json::object())
{
    return {{"lpc_bridges", sim::json::array({{{"bus", bus}, {"device", 31}, {"vendor", "0x8086"}, {"device_id", id},
                                               {"gpio_base", "0x0480"}, {"gpio", gpio}}})}};
}

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
    uint32_t first = 0, second = 0;
    ReadSuperGPIO(5, 8, 5, &first);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x002E <- 0x07", "outb 0x002F <- 0x08", "outb 0x002E <- 0x60",
                                           "inb  0x002F -> 0x0A", "outb 0x002E <- 0x61", "inb  0x002F -> 0x00",
                                           "inb  0x0A05 -> 0x5A"));
    clear_trace();
    ReadSuperGPIO(5, 8, 5, &second);
    EXPECT_THAT(trace("port"), ElementsAre("inb  0x0A05 -> 0x5A"));
    EXPECT_EQ(std::pair(first, second), std::pair(0x5Au, 0x5Au));
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

TEST_F(Gpio, HubPinsAreHighOnlyOnTheirOwnBridgeAndBit)
{
    const struct { const char* what; sim::json board; int gpio28, gpio38, gpio39; } cases[] = {
        {"ICH4 input and high", bridge("0x24C0", 0, {{"0x04", "0x10000000"}, {"0x0C", "0x10000000"}}), 1, 0, 0},
        {"ICH4 high but output", bridge("0x24C0", 0, {{"0x04", "0x00000000"}, {"0x0C", "0x10000000"}}), 0, 0, 0},
        {"ICH3 on bus 23", bridge("0x2480", 23, {{"0x04", "0xFFFFFFFF"}, {"0x0C", "0xFFFFFFFF"}}), 1, 0, 0},
        {"ICH7 GPIO 39", bridge("0x27B8", 3, {{"0x38", "0x80"}}), 0, 0, 1},
        {"bus 24 is not searched", bridge("0x27B8", 24, {{"0x38", "0xC0"}}), 0, 0, 0},
        {"no bridge", sim::json::object(), 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot_board(c.board);
        EXPECT_EQ(CheckGPIO28Hi(), c.gpio28);
        EXPECT_EQ(CheckGPIO38Hi(), c.gpio38);
        EXPECT_EQ(CheckGPIO39Hi(), c.gpio39);
    }
}

TEST_F(Gpio, GpioBaseComesFromEitherHub)
{
    boot_granted(bridge("0x3B14", 1));
    EXPECT_EQ(findGpioBaseAddress(), 0x0480u);
    boot_granted(bridge("0x24C0", 0));
    EXPECT_EQ(findGpioBaseAddress(), 0u);
}

TEST_F(Gpio, BiosPostPinUsesTheLevelRegisterOfItsGroup)
{
    const struct {
        unsigned gpio;
        const char* level_port;  // nullptr: outside the three groups
        uint32_t bit;
    } cases[] = {{5, "0x048C", 5}, {38, "0x04B8", 6}, {70, "0x04C8", 6}, {96, nullptr, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gpio);
        boot_granted(bridge("0x27B8", 0));
        EXPECT_EQ(getIpmiBiosPostCmplGpioState(0x480, c.gpio), 0u);
        EXPECT_EQ(setIpmiBiosPostCmplGpioState(0x480, c.gpio, 7), c.level_port ? 1u << c.bit : 0u);
        EXPECT_EQ(getIpmiBiosPostCmplGpioState(0x480, c.gpio), c.level_port ? 1u : 0u);
        EXPECT_EQ(setIpmiBiosPostCmplGpioState(0x480, c.gpio, 0), 0u);
        const auto lines = trace("port");
        EXPECT_EQ(lines.empty(), c.level_port == nullptr);
        for (const std::string& line : lines) EXPECT_THAT(line, ::testing::HasSubstr(c.level_port));
    }
}

TEST_F(Gpio, MemoryByteFailureEndsTheProcessWithStatus1)
{
    const std::pair<sim::json, const char*> cases[] = {
        {{{"dev_mem", "read_only"}}, "^Error at line [0-9]+, file gpio \\(13\\) \\[Permission denied\\]\n$"},
        {{{"mappable", false}}, "^Error at line [0-9]+, file gpio \\(1\\) \\[Operation not permitted\\]\n$"}};
    for (const auto& [memory, pattern] : cases) {
        boot_board({{"memory", memory}});
        EXPECT_EXIT(getMemByte(0xFFA40), ::testing::ExitedWithCode(1), pattern);
    }
}

}  // namespace
}  // namespace qv::test
