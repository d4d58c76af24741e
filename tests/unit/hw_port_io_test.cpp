// Port privilege, the SMBus controller search and banked register access, checked
// through the simulated machine's access trace.
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/state.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

sim::json controller(int bus, int device, int function, const char* vendor, const char* id, const char* base,
                     const char* base_register)
{
    return {{"bus", bus},      {"device", device}, {"function", function}, {"vendor", vendor},
            {"device_id", id}, {"base", base},     {"base_register", base_register}};
}

SystemSection system_of(uint32_t bus_type)
{
    SystemSection s;
    s.BusType = bus_type;
    s.IndexReg = 0x295;
    s.DataReg = 0x296;
    return s;
}

class PortIo : public HwTest {};

TEST_F(PortIo, IsaOnlyProfileNeverTouchesThePciBus)
{
    EXPECT_EQ(io_open(system_of(kBusIsa)), 0);
    EXPECT_EQ(hw_state().SMB_BASE_IO_ADDR, 0u);
    EXPECT_THAT(trace("port"), IsEmpty());
    EXPECT_EQ(session().machine().io_privilege_level, 3);
}

struct ControllerCase {
    const char* what;
    sim::json controllers;
    uint32_t bus_type;
    uint32_t base;
    uint8_t intel;
    int result;
    friend void PrintTo(const ControllerCase& c, std::ostream* os) { *os << c.what; }
};

class ControllerSearch : public PortIo, public ::testing::WithParamInterface<ControllerCase> {};

TEST_P(ControllerSearch, FindsTheFirstKnownControllerAndItsEvenBase)
{
    boot_board({{"smbus_controllers", GetParam().controllers}});
    EXPECT_EQ(io_open(system_of(GetParam().bus_type)), GetParam().result);
    EXPECT_EQ(hw_state().SMB_BASE_IO_ADDR, GetParam().base);
    EXPECT_EQ(hw_state().IntelDevice, GetParam().intel);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, ControllerSearch,
    ::testing::Values(
        ControllerCase{"ich7", {controller(0, 31, 3, "0x8086", "0x27DA", "0x1100", "0x20")}, kBusSmbus, 0x1100, 1, 0},
        ControllerCase{"bmc_smbus_bit_also_searches",
                       {controller(0, 31, 3, "0x8086", "0x1E22", "0xF000", "0x20")}, kBusBmcSmbus, 0xF000, 1, 0},
        ControllerCase{"nvidia", {controller(0, 10, 1, "0x10DE", "0x0052", "0x1C00", "0x24")}, kBusSmbus, 0x1C00, 0, 0},
        ControllerCase{"serverworks", {controller(0, 15, 0, "0x1166", "0x0205", "0x0580", "0x90")}, 3, 0x0580, 0, 0},
        ControllerCase{"ati", {controller(0, 20, 0, "0x1002", "0x4385", "0x0B00", "0x90")}, kBusSmbus, 0x0B00, 0, 0},
        ControllerCase{"amd", {controller(1, 4, 2, "0x1022", "0x746A", "0x4000", "0x10")}, kBusSmbus, 0x4000, 0, 0},
        // Bit 0 is the I/O-space flag; every other bit of the register is kept.
        ControllerCase{"odd_base", {controller(0, 31, 3, "0x8086", "0x27DA", "0x1103", "0x20")}, kBusSmbus, 0x1102, 1, 0},
        ControllerCase{"lowest_location_wins",
                       {controller(0, 31, 3, "0x8086", "0x27DA", "0x1100", "0x20"),
                        controller(0, 2, 1, "0x10DE", "0x0368", "0x2000", "0x24")},
                       kBusSmbus, 0x2000, 0, 0},
        ControllerCase{"unknown_device", {controller(0, 31, 3, "0x8086", "0x27DB", "0x1100", "0x20")}, kBusSmbus, 0, 0,
                       -1},
        ControllerCase{"bus_two_is_not_searched", {controller(2, 0, 0, "0x8086", "0x27DA", "0x1100", "0x20")},
                       kBusSmbus, 0, 0, -1}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PortIo, PciWalkGoesFunctionByFunctionAndStopsAtTheController)
{
    boot_board({{"smbus_controllers", {controller(0, 0, 2, "0x8086", "0x27DA", "0x1100", "0x20")}}});
    uint32_t base = 0;
    EXPECT_EQ(scan_device(&base), 1);
    EXPECT_THAT(trace("port"), ElementsAre("outl 0x0CF8 <- 0x80000000", "inl  0x0CFC -> 0xFFFFFFFF",
                                           "outl 0x0CF8 <- 0x80000100", "inl  0x0CFC -> 0xFFFFFFFF",
                                           "outl 0x0CF8 <- 0x80000200", "inl  0x0CFC -> 0x27DA8086",
                                           "outl 0x0CF8 <- 0x80000220", "inl  0x0CFC -> 0x00001101"));
    EXPECT_EQ(base, 0x1100u);
}

TEST_F(PortIo, ControllerNotFoundLeavesTheCallersValue)
{
    uint32_t base = 0x1234;
    EXPECT_EQ(scan_device(&base), 0);
    EXPECT_EQ(base, 0x1234u);
    EXPECT_EQ(trace("port").size(), 2u * 2 * 32 * 8) << "both buses, every device and function";
}

struct PrivilegeCase {
    const char* what;
    uint32_t bus_type;
    const char* messages;
    friend void PrintTo(const PrivilegeCase& c, std::ostream* os) { *os << c.what; }
};

class PrivilegeRefused : public PortIo, public ::testing::WithParamInterface<PrivilegeCase> {};

TEST_P(PrivilegeRefused, ReportsEachRefusalAndFails)
{
    boot_board({{"io_privilege", false},
                {"smbus_controllers", {controller(0, 31, 3, "0x8086", "0x27DA", "0x1100", "0x20")}}});
    testing::internal::CaptureStderr();
    EXPECT_EQ(io_open(system_of(GetParam().bus_type)), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), GetParam().messages);
    EXPECT_THAT(trace("port"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, PrivilegeRefused,
    ::testing::Values(PrivilegeCase{"isa", kBusIsa,
                                    "Error: Could not iopl()!\nError: Could not ioperm() Index Register!\n"
                                    "Error: Could not ioperm() Data Register!\n"},
                      // The controller search itself needs the configuration ports.
                      PrivilegeCase{"smbus", kBusSmbus, "Error: no I/O port privilege; port accesses are refused.\n"}),
    [](const auto& info) { return std::string(info.param.what); });

class BankedAccess : public PortIo {
protected:
    void SetUp() override
    {
        boot_board({{"hw_monitors",
                     {{{"index", "0x295"},
                       {"data", "0x296"},
                       {"bank_select", "0x85"},
                       {"banks", {{"2", {{"0x50", "0x3C"}, {"0x58", "0x12"}, {"0x59", "0xE5"}}}}}}}}});
        ASSERT_EQ(request_iopl(3), 0);
    }
};

TEST_F(BankedAccess, ReadSwitchesTheBankAndRestoresTheBankSelect)
{
    uint32_t value = 0;
    EXPECT_EQ(isa_byte_data_read(0x295, 0x296, 2, 0x50, &value), 0);
    EXPECT_EQ(value, 0x3Cu);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x0295 <- 0x4E", "inb  0x0296 -> 0x85", "outb 0x0296 <- 0x82",
                                           "outb 0x0295 <- 0x50", "inb  0x0296 -> 0x3C", "outb 0x0295 <- 0x4E",
                                           "outb 0x0296 <- 0x85"));
    clear_trace();
    isa_byte_data_read(0x295, 0x296, 0x12, 0x50, &value);
    EXPECT_EQ(trace("port").at(2), "outb 0x0296 <- 0x92") << "a bank above 15 is written as given";
}

TEST_F(BankedAccess, WriteLandsInTheBankAndLeavesTheChipAsFound)
{
    EXPECT_EQ(isa_byte_data_write(0x295, 0x296, 2, 0x51, 0x77), 0);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x0295 <- 0x4E", "inb  0x0296 -> 0x85", "outb 0x0296 <- 0x82",
                                           "outb 0x0295 <- 0x51", "outb 0x0296 <- 0x77", "outb 0x0295 <- 0x4E",
                                           "outb 0x0296 <- 0x85"));
    uint32_t value = 0;
    ASSERT_EQ(isa_byte_data_read(0x295, 0x296, 2, 0x51, &value), 0);
    EXPECT_EQ(value, 0x77u);
    ASSERT_EQ(isa_byte_data_read(0x295, 0x296, 5, 0x4E, &value), 0);
    EXPECT_EQ(value, 0x85u) << "the bank-select register itself reads as restored";
}

TEST_F(BankedAccess, FanWordIsHighTimes32PlusLowFiveBits)
{
    uint32_t value = 0;
    EXPECT_EQ(isa_word_data_read_NCT6776F_fan(0x295, 0x296, 2, 0x58, &value), 0);
    EXPECT_EQ(value, 581u);
    EXPECT_THAT(trace("port"), ElementsAre("outb 0x0295 <- 0x4E", "inb  0x0296 -> 0x85", "outb 0x0296 <- 0x82",
                                           "outb 0x0295 <- 0x58", "inb  0x0296 -> 0x12", "outb 0x0295 <- 0x59",
                                           "inb  0x0296 -> 0xE5", "outb 0x0295 <- 0x4E", "outb 0x0296 <- 0x85"));
}

TEST_F(PortIo, WithoutPrivilegeEveryPortAccessIsRefusedWithOneMessage)
{
    uint32_t value = 0xAB;
    testing::internal::CaptureStderr();
    EXPECT_EQ(isa_byte_data_read(0x295, 0x296, 0, 0x20, &value), -1);
    EXPECT_EQ(isa_byte_data_write(0x295, 0x296, 0, 0x20, 1), -1);
    EXPECT_EQ(pci_config_read(0, 0, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: no I/O port privilege; port accesses are refused.\n");
    EXPECT_EQ(value, 0xABu);
    EXPECT_THAT(trace("port"), IsEmpty());
}

TEST_F(PortIo, PortsOpenedOneByOneAreEnoughForThatPairOnly)
{
    SystemSection system = system_of(kBusIsa);
    boot_board({{"hw_monitors", {{{"index", "0x295"}, {"data", "0x296"}, {"banks", {{"0", {{"0x20", 9}}}}}}}}});
    ASSERT_EQ(request_ioperm(system.IndexReg, 1, 1), 0);
    ASSERT_EQ(request_ioperm(system.DataReg, 1, 1), 0);
    uint32_t value = 0;
    EXPECT_EQ(isa_byte_data_read(0x295, 0x296, 0, 0x20, &value), 0);
    EXPECT_EQ(value, 9u);
    testing::internal::CaptureStderr();
    EXPECT_EQ(isa_byte_data_read(0x2E, 0x2F, 0, 0x20, &value), -1);
    testing::internal::GetCapturedStderr();
}

TEST_F(PortIo, CloseReleasesWhatOpenGranted)
{
    ASSERT_EQ(io_open(system_of(kBusIsa)), 0);
    EXPECT_EQ(io_close(system_of(kBusIsa)), 0);
    EXPECT_EQ(session().machine().io_privilege_level, 0);
    uint32_t value = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(isa_byte_data_read(0x295, 0x296, 0, 0x20, &value), -1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), ::testing::HasSubstr("refused"));
}

}  // namespace
}  // namespace qv::test
