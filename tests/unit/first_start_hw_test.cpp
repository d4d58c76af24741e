// First start on simulated hardware: the revision inputs come from the chipset's GPIO
// and the BIOS ROM and are read only for the boards whose rules need them; the KV3M
// core temperatures are named after what the monitor chip reports.
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/state.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace qv::test {
namespace {

using ::testing::IsEmpty;
using ::testing::Not;

// ICH5 (GPIO 28 low), ICH7-style GPIO 38/39 are not on this bridge; BIOS byte 0xFFA41.
const sim::json kIch5Board = {
    {"lpc_bridges",
     {{{"bus", 0}, {"device", 31}, {"function", 0}, {"vendor", "0x8086"}, {"device_id", "0x24D0"},
       {"gpio_base", "0x0500"}, {"gpio", {{"0x04", "0x10000000"}, {"0x0C", "0x00000000"}}}}}},
    {"memory", {{"bytes", {{"0xFFA41", "0x05"}}}}}};

class RevisionHardware : public HwTest {
protected:
    void SetUp() override
    {
        boot_board(kIch5Board);
        for (const auto& [file, polling] : {std::pair{"AllQuorvel.ini", 1}, {"OldRevMB.ini", 2},
                                            {"OldRevMB_2.ini", 3}, {"OldRevMB_3.ini", 4}}) {
            std::string database;
            for (const char* board : {"MV3QE", "KV3MRB", "SK5MM"})
                database += "[_" + std::string(board) + "_]\n[SYSTEM]\nPOLLING=" + std::to_string(polling) + "\n";
            write("/etc/" + std::string(file), database);
        }
    }
    // The POLLING of the profile written: which database the block came from.
    std::string produce(const char* product, const char* version)
    {
        clear_trace();
        EXPECT_EQ(produce_quorvel_ini(product, version), 0);
        return read("/etc/Quorvel.ini");
    }
};

TEST_F(RevisionHardware, Gpio28LowSendsMv3qeToTheFirstOldDatabase)
{
    EXPECT_EQ(produce("MV3QE", "2.0"), "[SYSTEM]\nPOLLING=2\n");
    EXPECT_THAT(trace("port"), Not(IsEmpty()));
    EXPECT_THAT(trace("memory"), IsEmpty());
}

TEST_F(RevisionHardware, BiosByteIsReadOncePerRuleTried)
{
    EXPECT_EQ(produce("KV3MRB", ""), "[SYSTEM]\nPOLLING=3\n") << "0x05: bits 1-2 not both set, bits 0-1 = 01";
    std::vector<std::string> reads;
    for (const std::string& line : trace("memory"))
        if (line.starts_with("mmap")) reads.push_back(line);
    EXPECT_EQ(reads.size(), 2u) << "rules 16 and 31";
    EXPECT_THAT(trace("port"), IsEmpty());
}

TEST_F(RevisionHardware, BoardsOfVersionRulesTouchNoHardware)
{
    EXPECT_EQ(produce("SK5MM", "1.3"), "[SYSTEM]\nPOLLING=2\n");
    EXPECT_THAT(trace("port"), IsEmpty());
    EXPECT_THAT(trace("memory"), IsEmpty());
}

struct RenameCase {
    const char* what;
    sim::json chip;                   // the slave at 0x2E
    std::vector<std::string> before;  // item names; the first item is the W83793G's
    std::vector<std::string> after;
};

class Kv3mRename : public HwTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(Kv3mRename, NamesTheCoreTemperaturesAfterRegister5E)
{
    boot_board({{"i2c", {{"adapters", {{{"bus", 0}, {"name", "SMBus I801 adapter at 1100"},
                                         {"slaves", {GetParam().chip}}}}}}}});
    hw_state().i2c_bus_list = {{"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}};
    hw_state().SMB_BASE_IO_ADDR = 0x1100;
    ASSERT_EQ(request_iopl(3), 0);
    SystemSection system;
    system.BusType = 0x03;
    std::vector<ItemSection> items(GetParam().before.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        set_text(items[i].Name, GetParam().before[i]);
        items[i].ChipCode = i == 0 ? 0x11 : 0x10;
        items[i].Slave = i == 0 ? 0x2E : 0x2D;
    }
    revise_quorvel_ini_for_KV3M(system, items);
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].Name, GetParam().after[i]);
    EXPECT_THAT(trace("smbus"), ::testing::Contains(::testing::StartsWith("i2c-0 0x2E read  0x5E")));
}

const std::vector<std::string> kCores{"CPU1 Core A Temperature", "cpu1 core b temperature", "CPU2 Core A Temperature",
                                      "CPU2 Core B Temperature", "System Temperature"};
const std::vector<std::string> kAgents{"PECI Agent1 Temperature", "PECI Agent2 Temperature", "PECI Agent3 Temperature",
                                       "PECI Agent4 Temperature", "System Temperature"};
const std::vector<std::string> kCoresAgain{"CPU1 Core A Temperature", "CPU1 Core B Temperature",
                                           "CPU2 Core A Temperature", "CPU2 Core B Temperature", "System Temperature"};

INSTANTIATE_TEST_SUITE_P(
    Modes, Kv3mRename,
    ::testing::Values(
        RenameCase{"peci", {{"address", "0x2E"}, {"registers", {{"0x5E", "0x03"}}}}, kCores, kAgents},
        RenameCase{"peci_with_more_bits", {{"address", "0x2E"}, {"registers", {{"0x5E", "0xF7"}}}}, kCores, kAgents},
        RenameCase{"diodes", {{"address", "0x2E"}, {"registers", {{"0x5E", "0x01"}}}}, kAgents, kCoresAgain},
        RenameCase{"diodes_already_named", {{"address", "0x2E"}, {"registers", {{"0x5E", "0x02"}}}}, kCores, kCores},
        RenameCase{"no_answer_counts_as_0", {{"address", "0x2E"}, {"answers", false}}, kAgents, kCoresAgain}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace qv::test
