// Host-path SMBus access: adapter choice, one bind and one transfer per byte, the status
// clear, the slow register's wait, and chips that do not answer.
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/smbus.h"
#include "hw/state.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const sim::json kChips = {
    {{"address", "0x2D"}, {"registers", {{"0x20", "0x5A"}, {"0x44", "0x11"}, {"0x30", "0x01"}, {"0x31", "0x2C"}}}},
    {{"address", "0x2E"}, {"busy", true}, {"registers", {{"0x20", "0x66"}}}},
    {{"address", "0x2F"}, {"answers", false}},
    {{"address", "0x2C"}, {"chip", "winbond"}, {"banks", {{"0", {{"0x10", 1}}}, {"1", {{"0x10", 2}}}}}},
    {{"address", "0x2B"}, {"chip", "nct7904d"}, {"banks", {{"0", {{"0x10", 3}}}, {"2", {{"0x10", 4}}}}}},
};

// The ICH7 controller and an adapter with kChips on each bus given.
sim::json smbus_board(std::initializer_list<int> buses)
{
    sim::json adapters = sim::json::array();
    for (const int bus : buses)
        adapters.push_back({{"bus", bus}, {"name", "SMBus I801 adapter at 1100"}, {"slaves", kChips}});
    return {{"smbus_controllers", {{{"bus", 0}, {"device", 31}, {"function", 3}, {"vendor", "0x8086"},
                                    {"device_id", "0x27DA"}, {"base", "0x1100"}}}},
            {"i2c", {{"adapters", adapters}}}};
}

class Smbus : public HwTest {
protected:
    void SetUp() override { use_board(smbus_board({0})); }

    void use_board(const sim::json& board, int intel = 1)
    {
        boot_board(board);
        hw_state().i2c_bus_list = {{"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}};
        hw_state().IntelDevice = static_cast<uint8_t>(intel);
        ASSERT_EQ(request_iopl(3), 0);
    }
};

TEST_F(Smbus, ByteReadIsOneBindOneTransferAndTheStatusClear)
{
    uint32_t value = 0;
    EXPECT_EQ(smbus_byte_data_read(16, kBusSmbus, 0x1100, 0x2D, 0x20, &value), 0);
    EXPECT_EQ(value, 0x5Au);
    EXPECT_THAT(trace("bind"), ElementsAre("i2c-0 I2C_SLAVE 0x2D"));
    EXPECT_THAT(trace("smbus"), ElementsAre("i2c-0 0x2D read  0x20 -> 0x5A"));
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x1100 <- 0x42"));
    EXPECT_EQ(hw_state().i2c_adapter_file.path, "/dev/i2c-0");

    const int fd = hw_state().i2c_adapter_file.fd;
    hw_state().i2c_bus_list.clear();
    EXPECT_EQ(openI2CDevice(0x9999), fd) << "the adapter is opened once; later calls' port is not looked at";
}

TEST_F(Smbus, OtherControllersKeepTheirStatusRegister)
{
    use_board(smbus_board({0}), 0);
    uint32_t value = 0;
    EXPECT_EQ(smbus_byte_data_read(16, kBusSmbus, 0x1100, 0x2D, 0x20, &value), 0);
    EXPECT_EQ(smbus_byte_data_write(kBusSmbus, 0x1100, 0x2D, 0x21, 1), 0);
    EXPECT_THAT(trace("port"), IsEmpty());
}

TEST_F(Smbus, OnlyBusType8Register0x44WaitsBeforeTheRead)
{
    const struct { uint32_t bus_type; uint8_t reg; bool waits; } cases[] = {
        {8, 0x44, true}, {8, 0x20, false}, {1, 0x44, false}, {9, 0x44, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bus_type << " " << +c.reg);
        clear_trace();
        const uint64_t before = session().clock().elapsed_us();
        uint32_t value = 0;
        EXPECT_EQ(smbus_byte_data_read(16, c.bus_type, 0x1100, 0x2D, c.reg, &value), 0);
        EXPECT_EQ(session().clock().elapsed_us() - before, c.waits ? 550000u : 0u);
        EXPECT_EQ(trace("sleep").size(), c.waits ? 1u : 0u);
    }
}

TEST_F(Smbus, PseudoChipsAnswerWithoutAnyAdapter)
{
    use_board(sim::json::object());
    hw_state().i2c_bus_list.clear();
    uint32_t value = 7;
    EXPECT_EQ(smbus_byte_data_read(29, kBusSmbus, 0x1100, 0x2D, 0x20, &value), 0);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(smbus_byte_data_read(31, kBusSmbus, 0x1100, 0x2D, 0x20, &value), 0);
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(hw_state().i2c_adapter_file.open);
    EXPECT_THAT(session().trace().lines(), IsEmpty());
}

TEST_F(Smbus, SilentChipFailsTheReadButTheStatusIsStillCleared)
{
    uint32_t value = 0xAA;
    EXPECT_EQ(smbus_byte_data_read(16, kBusSmbus, 0x1100, 0x2F, 0x20, &value), -1);
    EXPECT_EQ(value, 0xAAu);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x1100 <- 0x42"));
    EXPECT_EQ(smbus_byte_data_write(kBusSmbus, 0x1100, 0x2F, 0x20, 1), -1) << "a failed write transfer is a failure";
}

TEST_F(Smbus, RefusedBindIsReportedAndNothingIsTransferred)
{
    uint32_t value = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(smbus_byte_data_read(16, kBusSmbus, 0x1100, 0x2E, 0x20, &value), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: ioctl(), slave=0x2e\n");
    EXPECT_THAT(trace("smbus"), IsEmpty());
    EXPECT_THAT(trace("port"), IsEmpty());
    // Writes and word reads bind by force, past the kernel driver that holds the chip.
    EXPECT_EQ(smbus_byte_data_write(kBusSmbus, 0x1100, 0x2E, 0x21, 0x09), 0);
    EXPECT_EQ(smbus_word_data_read_HL(kBusSmbus, 0x1100, 0x2E, 0x20, &value), 0);
    EXPECT_EQ(value, 0x6609u);
}

TEST_F(Smbus, WordReadIsHighThenLowUnderOneBind)
{
    uint32_t value = 0;
    EXPECT_EQ(smbus_word_data_read_HL(kBusSmbus, 0x1100, 0x2D, 0x30, &value), 0);
    EXPECT_EQ(value, 300u);
    EXPECT_THAT(trace("bind"), ElementsAre("i2c-0 I2C_SLAVE_FORCE 0x2D"));
    EXPECT_THAT(trace("smbus"), ElementsAre("i2c-0 0x2D read  0x30 -> 0x01", "i2c-0 0x2D read  0x31 -> 0x2C"));
    EXPECT_EQ(trace("port").size(), 2u);
    value = 5;
    EXPECT_EQ(smbus_word_data_read_HL(kBusSmbus, 0x1100, 0x2F, 0x30, &value), -1);
    EXPECT_EQ(value, 5u);
}

TEST_F(Smbus, ChipBankRegistersSelectTheBankOfEveryOtherRegister)
{
    const struct { uint8_t slave, bank_register, bank; uint32_t expected; } cases[] = {
        {0x2C, 0x00, 0, 1}, {0x2C, 0x00, 0x81, 2}, {0x2B, 0xFF, 2, 4}, {0x2B, 0xFF, 0, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << +c.slave << " bank " << +c.bank);
        uint32_t value = 0;
        ASSERT_EQ(smbus_byte_data_write(kBusSmbus, 0x1100, c.slave, c.bank_register, c.bank), 0);
        EXPECT_EQ(smbus_byte_data_read(16, kBusSmbus, 0x1100, c.slave, 0x10, &value), 0);
        EXPECT_EQ(value, c.expected);
        EXPECT_EQ(smbus_byte_data_read(16, kBusSmbus, 0x1100, c.slave, c.bank_register, &value), 0);
        EXPECT_EQ(value, c.bank) << "the bank register is in every bank";
    }
}

TEST_F(Smbus, AdapterChoiceTakesTheFirstSmbusOrUnknownAdapterAtThePort)
{
    // opened is nullptr where the process ends.
    const struct { const char* what; std::vector<I2cBus> buses; const char* opened; } cases[] = {
        {"procfs entry", {{"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}}, "/dev/i2c-0"},
        {"sysfs entry", {{"13", "unknown", "SMBus I801 adapter at 1100", "Algorithm unavailable"}}, "/dev/i2c-13"},
        {"other types are passed over",
         {{"0", "i2c", "SMBus I801 adapter at 1100", ""}, {"3", "unknown", "SMBus I801 adapter at 1100", ""}},
         "/dev/i2c-3"},
        {"names without a port are passed over",
         {{"0", "smbus", "SMBus I801 adapter", ""}, {"13", "smbus", "NVIDIA i2c adapter at 0", ""},
          {"3", "smbus", "SMBus I801 adapter at 1100", ""}},
         "/dev/i2c-3"},
        {"other port", {{"0", "smbus", "SMBus I801 adapter at 1180", ""}}, nullptr},
        {"node missing", {{"7", "smbus", "SMBus I801 adapter at 1100", ""}}, nullptr},
        {"empty list", {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        use_board(smbus_board({0, 3, 13}));
        hw_state().i2c_bus_list = c.buses;
        if (c.opened == nullptr) {
            EXPECT_EXIT(openI2CDevice(0x1100), ::testing::ExitedWithCode(255),
                        "^Error: Cannot find a proper I2C/SMBus device!\n$");
            continue;
        }
        EXPECT_GE(openI2CDevice(0x1100), 0);
        EXPECT_EQ(hw_state().i2c_adapter_file.path, c.opened);
    }
}

TEST(AdapterPort, IsTheHexNumberAfterAt)
{
    const std::pair<const char*, uint32_t> cases[] = {
        {"SMBus I801 adapter at 1100", 0x1100}, {"SMBus PIIX4 adapter at 0b00 port 2", 0x0B00},
        {"SMBus I801 adapter at", 0},           {"SMBus I801 adapter at zz", 0},
        {"i915 gmbus dpc", 0},                  {"adapter at 123456789", 0xFFFFFFFF}};
    for (const auto& [name, port] : cases) EXPECT_EQ(adapter_port(name), port) << name;
}

}  // namespace
}  // namespace qv::test
