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
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

sim::json controller(int bus, int device, int function, const char* vendor, const char* id, const char* base,
                     const char* base_register)
{
    return {{"bus", bus},      {"device", device}, {"function", function}, {"vendor", vendor},
            {"device_id", id}, {"base", base},     {"base_register", base_register}};
}

const sim::json kIch7 = controller(0, 31, 3, "0x8086", "0x27DA", "0x1100", "0x20");

SystemSection system_of(uint32_t bus_type) { return {.BusType = bus_type, .DataReg = 0x296, .IndexReg = 0x295}; }

class PortIo : public HwTest {
protected:
    // A monitor at 0x295/0x296 whose bank select sits at 0x85.
    void boot_banked()
    {
        boot_board({{"hw_monitors", sim::json::array({{{"index", "0x295"}, {"data", "0x296"}, {"bank_select", "0x85"},
                                                       {"banks", {{"2", {{"0x50", "0x3C"}}}}}}})}});
        ASSERT_EQ(request_iopl(3), 0);
    }
};

TEST_F(PortIo, IsaOnlyProfileNeverTouchesThePciBus)
{
    EXPECT_EQ(io_open(system_of(kBusIsa)), 0);
    EXPECT_EQ(hw_state().SMB_BASE_IO_ADDR, 0u);
    EXPECT_THAT(trace("port"), IsEmpty());
    EXPECT_EQ(session().machine().io_privilege_level, 3);
}

TEST_F(PortIo, ControllerSearchFindsTheFirstKnownControllerAndItsEvenBase)
{
    const struct {
        const char* what;
        std::vector<sim::json> controllers;
        uint32_t bus_type, base;
        uint8_t intel;
        int result;
    } cases[] = {
        {"BMC SMBus bit also searches", {controller(0, 31, 3, "0x8086", "0x1E22", "0xF000", "0x20")}, kBusBmcSmbus,
         0xF000, 1, 0},
        {"nVidia", {controller(0, 10, 1, "0x10DE", "0x0052", "0x1C00", "0x24")}, kBusSmbus, 0x1C00, 0, 0},
        {"ServerWorks", {controller(0, 15, 0, "0x1166", "0x0205", "0x0580", "0x90")}, 3, 0x0580, 0, 0},
        {"ATI", {controller(0, 20, 0, "0x1002", "0x4385", "0x0B00", "0x90")}, kBusSmbus, 0x0B00, 0, 0},
        {"AMD", {controller(1, 4, 2, "0x1022", "0x746A", "0x4000", "0x10")}, kBusSmbus, 0x4000, 0, 0},
        // Bit 0 is the I/O-space flag; every other bit of the register is kept.
        {"odd base", {controller(0, 31, 3, "0x8086", "0x27DA", "0x1103", "0x20")}, kBusSmbus, 0x1102, 1, 0},
        {"lowest location wins", {kIch7, controller(0, 2, 1, "0x10DE", "0x0368", "0x2000", "0x24")}, kBusSmbus,
         0x2000, 0, 0},
        {"unknown device", {controller(0, 31, 3, "0x8086", "0x27DB", "0x1100", "0x20")}, kBusSmbus, 0, 0, -1},
        {"bus 2 is not searched", {controller(2, 0, 0, "0x8086", "0x27DA", "0x1100", "0x20")}, kBusSmbus, 0, 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot_board({{"smbus_controllers", c.controllers}});
        EXPECT_EQ(io_open(system_of(c.bus_type)), c.result);
        EXPECT_EQ(hw_state().SMB_BASE_IO_ADDR, c.base);
        EXPECT_EQ(hw_state().IntelDevice, c.intel);
    }
}

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

TEST_F(PortIo, RefusedPrivilegeIsReportedAndFails)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {kBusIsa, "Error: Could not iopl()!\nError: Could not ioperm() Index Register!\n"
                  "Error: Could not ioperm() Data Register!\n"},
        // The controller search itself needs the configuration ports.
        {kBusSmbus, "Error: no I/O port privilege; port accesses are refused.\n"}};
    for (const auto& [bus_type, messages] : cases) {
        boot_board({{"io_privilege", false}, {"smbus_controllers", {kIch7}}});
        CaptureStderr();
        EXPECT_EQ(io_open(system_of(bus_type)), -1);
        EXPECT_EQ(GetCapturedStderr(), messages);
        EXPECT_THAT(trace("port"), IsEmpty());
    }
}

// The accesses between selecting bank 2 and putting the found bank select 0x85 back.
std::vector<std::string> in_bank_2(std::initializer_list<const char*> accesses)
{
    std::vector<std::string> lines{"outb 0x0295 <- 0x4E", "inb  0x0296 -> 0x85", "outb 0x0296 <- 0x82"};
    lines.insert(lines.end(), accesses.begin(), accesses.end());
    lines.insert(lines.end(), {"outb 0x0295 <- 0x4E", "outb 0x0296 <- 0x85"});
    return lines;
}

TEST_F(PortIo, BankedAccessSwitchesTheBankAndRestoresTheBankSelect)
{
    boot_banked();
    uint32_t value = 0;
    EXPECT_EQ(isa_byte_data_read(0x295, 0x296, 2, 0x50, &value), 0);
    EXPECT_EQ(value, 0x3Cu);
    EXPECT_EQ(trace("port"), in_bank_2({"outb 0x0295 <- 0x50", "inb  0x0296 -> 0x3C"}));
    clear_trace();
    EXPECT_EQ(isa_byte_data_write(0x295, 0x296, 2, 0x51, 0x77), 0);
    EXPECT_EQ(trace("port"), in_bank_2({"outb 0x0295 <- 0x51", "outb 0x0296 <- 0x77"}));
    clear_trace();
    isa_byte_data_read(0x295, 0x296, 0x12, 0x50, &value);
    EXPECT_EQ(trace("port").at(2), "outb 0x0296 <- 0x92") << "a bank above 15 is written as given";

    ASSERT_EQ(isa_byte_data_read(0x295, 0x296, 2, 0x51, &value), 0);
    EXPECT_EQ(value, 0x77u) << "the write landed in its bank";
    ASSERT_EQ(isa_byte_data_read(0x295, 0x296, 5, 0x4E, &value), 0);
    EXPECT_EQ(value, 0x85u) << "the bank-select register itself reads as restored";
}

TEST_F(PortIo, AfterCloseEveryPortAccessIsRefusedWithOneMessage)
{
    ASSERT_EQ(io_open(system_of(kBusIsa)), 0);
    EXPECT_EQ(io_close(system_of(kBusIsa)), 0);
    EXPECT_EQ(session().machine().io_privilege_level, 0);
    clear_trace();
    uint32_t value = 0xAB;
    CaptureStderr();
    EXPECT_EQ(isa_byte_data_read(0x295, 0x296, 0, 0x20, &value), -1);
    EXPECT_EQ(isa_byte_data_write(0x295, 0x296, 0, 0x20, 1), -1);
    EXPECT_EQ(pci_config_read(0, 0, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(GetCapturedStderr(), "Error: no I/O port privilege; port accesses are refused.\n");
    EXPECT_EQ(value, 0xABu);
    EXPECT_THAT(trace("port"), IsEmpty());
}

TEST_F(PortIo, PortsOpenedOneByOneAreEnoughForThatPairOnly)
{
    boot_board({{"hw_monitors",
                 sim::json::array({{{"index", "0x295"}, {"data", "0x296"}, {"banks", {{"0", {{"0x20", 9}}}}}}})}});
    ASSERT_EQ(request_ioperm(0x295, 1, 1), 0);
    ASSERT_EQ(request_ioperm(0x296, 1, 1), 0);
    uint32_t value = 0;
    EXPECT_EQ(isa_byte_data_read(0x295, 0x296, 0, 0x20, &value), 0);
    EXPECT_EQ(value, 9u);
    CaptureStderr();
    EXPECT_EQ(isa_byte_data_read(0x2E, 0x2F, 0, 0x20, &value), -1);
    GetCapturedStderr();
}

}  // namespace
}  // namespace qv::test
