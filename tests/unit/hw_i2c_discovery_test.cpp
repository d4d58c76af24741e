// I2C adapter discovery: device nodes, the kernel listings in both forms, the drivers
// loaded for the controllers found, and the list parsers on odd input.
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/smbus.h"
#include "hw/state.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

namespace qv {

void PrintTo(const I2cBus& b, std::ostream* os)
{
    *os << "{" << b.number << "|" << b.type << "|" << b.name << "|" << b.algorithm << "}";
}

namespace test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

sim::json ich7(int function = 3)
{
    return {{"bus", 0}, {"device", 31}, {"function", function}, {"vendor", "0x8086"}, {"device_id", "0x27DA"},
            {"base", "0x1100"}};
}

sim::json board(sim::json modules, sim::json controllers, sim::json adapters = sim::json::array())
{
    return {{"kernel", {{"modules", std::move(modules)}}},
            {"smbus_controllers", std::move(controllers)},
            {"i2c", {{"adapters", std::move(adapters)}}}};
}

const sim::json kSmbusAdapter = {{"bus", 0}, {"name", "SMBus I801 adapter at 1100"}};

class Discovery : public HwTest {};

struct ModprobeCase {
    const char* what;
    sim::json board;
    std::vector<std::string> commands;
    friend void PrintTo(const ModprobeCase& c, std::ostream* os) { *os << c.what; }
};

class Modprobe : public Discovery, public ::testing::WithParamInterface<ModprobeCase> {};

TEST_P(Modprobe, LoadsOnlyTheDriversTheModuleListLacks)
{
    boot_board(GetParam().board);
    EXPECT_EQ(i2cdetect(), 0);
    EXPECT_EQ(trace("command"), GetParam().commands);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, Modprobe,
    ::testing::Values(
        ModprobeCase{"all_loaded", board({"i2c_i801", "i2c_dev"}, {ich7()}, {kSmbusAdapter}), {}},
        ModprobeCase{"dash_spelling_counts_too", board({"i2c-i801", "i2c-dev"}, {ich7()}, {kSmbusAdapter}), {}},
        ModprobeCase{"nothing_loaded",
                     board(sim::json::array(), {ich7()}, {kSmbusAdapter}),
                     {"modprobe i2c-i801 2>/dev/null", "modprobe i2c-dev 2>/dev/null"}},
        ModprobeCase{"wrong_function_number_matches_no_row",
                     board({"i2c_i801"}, {ich7(0)}, {kSmbusAdapter}), {"modprobe i2c-dev 2>/dev/null"}},
        ModprobeCase{"two_controllers_load_twice",
                     board({"i2c_dev"},
                           {ich7(), {{"bus", 1}, {"device", 0}, {"function", 3}, {"vendor", "0x8086"},
                                     {"device_id", "0x27DA"}, {"base", "0x1180"}}},
                           {kSmbusAdapter}),
                     {"modprobe i2c-i801 2>/dev/null", "modprobe i2c-i801 2>/dev/null"}},
        ModprobeCase{"amd_needs_function_2",
                     board({"i2c_dev"}, {{{"bus", 0}, {"device", 7}, {"function", 2}, {"vendor", "0x1022"},
                                          {"device_id", "0x746A"}, {"base", "0x4000"}}},
                           {kSmbusAdapter}),
                     {"modprobe i2c-amd8111 2>/dev/null"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Discovery, LoadedDriverBringsItsAdapterIntoTheList)
{
    sim::json b = board(sim::json::array(), {ich7()}, {kSmbusAdapter});
    b["i2c"]["adapters"][0]["driver"] = "i2c_i801";
    boot_board(b);
    EXPECT_EQ(i2cdetect(), 0);
    EXPECT_THAT(hw_state().i2c_bus_list, ElementsAre(I2cBus{"0", "unknown", "SMBus I801 adapter at 1100", "Algorithm unavailable"}));
    EXPECT_THAT(read("/proc/modules"), ::testing::HasSubstr("i2c_i801 "));
}

struct NodeCase {
    const char* what;
    sim::json board;
    int result;
};

TEST_F(Discovery, DeviceNodesAreLookedForInThreeNamings)
{
    for (const NodeCase& c :
         {NodeCase{"numbered", {{"i2c", {{"adapters", {kSmbusAdapter}}}}}, 0},
          NodeCase{"folder", {{"files", {{"/dev/i2c/0", ""}}}}, 0},
          NodeCase{"no_dash", {{"files", {{"/dev/i2c0", ""}}}}, 0},
          NodeCase{"only_other_buses", {{"i2c", {{"adapters", {{{"bus", 1}, {"name", "x at 1100"}}}}}}}, -1},
          NodeCase{"nodes_taken_away", {{"i2c", {{"nodes", false}, {"adapters", {kSmbusAdapter}}}}}, -1}}) {
        boot_board(c.board);
        testing::internal::CaptureStderr();
        EXPECT_EQ(init_conf(), c.result) << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  c.result == 0 ? "" : "Error: no i2c device files found. Please use mkdev.sh to create them.\n")
            << c.what;
    }
}

TEST_F(Discovery, MissingPciListingIsFatalWithBothMessages)
{
    boot_board({{"kernel", {{"proc_pci_devices", false}}}, {"i2c", {{"adapters", {kSmbusAdapter}}}}});
    testing::internal::CaptureStderr();
    EXPECT_EQ(i2cdetect(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: cannot open file /proc/bus/pci/devices\n"
              "Error: cannot access either /proc/bus/pci/ or /proc/pci!\n");
    EXPECT_THAT(trace("command"), IsEmpty());
}

TEST_F(Discovery, MissingModuleListIsFatalWithoutAMessage)
{
    boot_board({{"kernel", {{"proc_modules", false}}}, {"i2c", {{"adapters", {kSmbusAdapter}}}}});
    testing::internal::CaptureStderr();
    EXPECT_EQ(i2cdetect(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Discovery, PciListingGivesLocationAndIds)
{
    boot_board(board(sim::json::array(), {ich7()}));
    ASSERT_EQ(read_proc_dev_pci(), 0);
    ASSERT_EQ(hw_state().pci_list.size(), 1u);
    EXPECT_EQ(hw_state().pci_list[0].vendor, 0x8086);
    EXPECT_EQ(hw_state().pci_list[0].device_id, 0x27DA);
    EXPECT_EQ(hw_state().pci_list[0].device, 31u);
    EXPECT_EQ(hw_state().pci_list[0].function, 3u);
}

struct SysfsCase {
    const char* name_file;
    bool listed;
};

TEST_F(Discovery, SysfsNameIsFoundWhereverTheKernelPutIt)
{
    for (const SysfsCase& c : {SysfsCase{"name", true}, SysfsCase{"device/name", true},
                               SysfsCase{"device/i2c-N", true}, SysfsCase{"none", false}}) {
        boot_board({{"i2c", {{"adapters", {{{"bus", 3}, {"name", "SMBus I801 adapter at 1100"},
                                            {"name_file", c.name_file}}}}}}});
        EXPECT_EQ(init_i2c_bus_list(), c.listed ? 1 : 0) << c.name_file;
        if (c.listed) {
            EXPECT_THAT(hw_state().i2c_bus_list,
                        ElementsAre(I2cBus{"3", "unknown", "SMBus I801 adapter at 1100", "Algorithm unavailable"}));
        }
    }
}

TEST_F(Discovery, SysfsSkipsIsaAdaptersAndEntriesNotNamedI2cN)
{
    boot_board({{"i2c", {{"adapters", {{{"bus", 1}, {"name", "ISA main adapter"}}, kSmbusAdapter}}}},
                {"files", {{"/sys/class/i2c-dev/bus7/name", "SMBus other adapter at 2000\n"},
                           {"/sys/class/i2c-dev/i2c-9/name", "ISA 0x0290\n"}}}});
    EXPECT_EQ(init_i2c_bus_list(), 1);
    EXPECT_THAT(hw_state().i2c_bus_list, ElementsAre(I2cBus{"0", "unknown", "SMBus I801 adapter at 1100", "Algorithm unavailable"}));
}

TEST_F(Discovery, SysfsIsFoundThroughTheMountTable)
{
    struct Case {
        sim::json kernel_files;
        int buses;
    };
    const std::string moved = "sysfs /var/sysfs SysFS rw 0 0\n";
    for (const Case& c : {Case{{{"sysfs_mount", "/var/sysfs"}}, 1}, Case{{{"sysfs_mount", ""}}, 0}}) {
        boot_board({{"kernel", c.kernel_files}, {"i2c", {{"adapters", {kSmbusAdapter}}}}});
        EXPECT_EQ(init_i2c_bus_list(), c.buses);
    }
    boot_board({{"kernel", {{"sysfs_mount", "/var/sysfs"}}},
                {"files", {{"/proc/mounts", "garbage\n \n" + moved}}},
                {"i2c", {{"adapters", {kSmbusAdapter}}}}});
    EXPECT_EQ(init_i2c_bus_list(), 1) << "the type compares without regard to case";
}

TEST_F(Discovery, ProcfsListingKeepsItsFourFieldsAndCountsEveryLine)
{
    boot_board({{"i2c", {{"listing", "procfs"}, {"adapters", {kSmbusAdapter}}}},
                {"files", {}}});
    EXPECT_EQ(print_i2c_busses(1), 1);
    EXPECT_THAT(hw_state().i2c_bus_list, ElementsAre(I2cBus{"0", "smbus", "SMBus I801 adapter at 1100", "Non-I2C SMBus adapter"}));
    boot_board({{"files", {{"/proc/bus/i2c", "i2c-0\tsmbus\tSMBus I801 adapter at 1100\tSMBus adapter\n"
                                             "something else\n" + std::string(150, 'x') + "\n"}}}});
    EXPECT_EQ(print_i2c_busses(0), 4) << "a line longer than 99 characters is read twice";
    EXPECT_THAT(hw_state().i2c_bus_list, IsEmpty());
    EXPECT_EQ(print_i2c_busses(1), 4);
    EXPECT_EQ(hw_state().i2c_bus_list[0], (I2cBus{"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}));
    EXPECT_EQ(hw_state().i2c_bus_list[1], (I2cBus{}));
}

TEST_F(Discovery, FourteenBusesWithTheSmbusAdapterLastStillReachTheChip)
{
    sim::json adapters = sim::json::array();
    for (int bus = 0; bus < 13; ++bus) adapters.push_back({{"bus", bus}, {"name", "i915 gmbus " + std::to_string(bus)}});
    adapters.push_back({{"bus", 13},
                        {"name", "SMBus I801 adapter at 1100"},
                        {"slaves", {{{"address", "0x2D"}, {"registers", {{"0x20", "0x42"}}}}}}});
    boot_board(board({"i2c_i801", "i2c_dev"}, {ich7()}, adapters));
    ASSERT_EQ(i2cdetect(), 0);
    EXPECT_EQ(hw_state().i2c_bus_list.size(), 14u);
    ASSERT_EQ(request_iopl(3), 0);
    uint32_t value = 0;
    EXPECT_EQ(smbus_byte_data_read(16, 1, 0x1100, 0x2D, 0x20, &value), 0);
    EXPECT_EQ(value, 0x42u);
    EXPECT_EQ(hw_state().i2c_adapter_file.path, "/dev/i2c-13");
}

// --- The parsers, on lines the kernel writes and on lines it never would ----------------

struct PciLineCase {
    const char* line;
    bool parsed;
    uint32_t bus, device, function;
    uint16_t vendor, id;
};

TEST(PciDevicesLine, TakesLocationAndIdsFromTheFirstTwoFields)
{
    for (const PciLineCase& c : {
             PciLineCase{"00fb\t808627da\t13\t0\t0\t0\t0\t1101\t0\t0\t0\t0\t0\t0\t20\t0\t0\ti801_smbus\n", true, 0, 31, 3,
                         0x8086, 0x27DA},
             PciLineCase{"0210 10de0368 0 0 0 0 0 0 0 0\n", true, 2, 2, 0, 0x10DE, 0x0368},
             PciLineCase{"  0x0a 0x1022746a\n", true, 0, 1, 2, 0x1022, 0x746A},
             PciLineCase{"fffffffff 123456789\n", true, 0xFFFFFF, 31, 7, 0xFFFF, 0xFFFF},
             PciLineCase{"0000\n", false, 0, 0, 0, 0, 0},
             PciLineCase{"zz 8086\n", false, 0, 0, 0, 0, 0},
             PciLineCase{"", false, 0, 0, 0, 0, 0},
         }) {
        const auto device = parse_pci_device_line(c.line);
        ASSERT_EQ(device.has_value(), c.parsed) << c.line;
        if (!device) continue;
        EXPECT_EQ(device->bus, c.bus) << c.line;
        EXPECT_EQ(device->device, c.device) << c.line;
        EXPECT_EQ(device->function, c.function) << c.line;
        EXPECT_EQ(device->vendor, c.vendor) << c.line;
        EXPECT_EQ(device->device_id, c.id) << c.line;
    }
}

struct ProcI2cCase {
    const char* line;
    I2cBus bus;
};

TEST(ProcI2cLine, ScansNumberTypeNameAndAlgorithm)
{
    const std::string long_name(140, 'n');
    for (const ProcI2cCase& c : {
             ProcI2cCase{"i2c-0\tsmbus\tSMBus I801 adapter at 1100\tSMBus adapter\n",
                         {"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}},
             // Blanks belong to names: without tabs the name takes the algorithm too.
             ProcI2cCase{"i2c-1 i2c bit-bang adapter (gpio) bit-shift algorithm\n",
                         {"1", "i2c", "bit-bang adapter (gpio) bit-shift algorithm", ""}},
             ProcI2cCase{"i2c-12345678901\tsmbus\tA\tB\n", {"1234567", "smbus", "A", "B"}},
             ProcI2cCase{"i2c-2\tsmbus\tname: colon\tB\n", {"2", "smbus", "name", ""}},
             ProcI2cCase{"i2c-3\n", {"3", "", "", ""}},
             ProcI2cCase{"dummy line\n", {}},
         }) {
        EXPECT_EQ(parse_proc_i2c_line(c.line), c.bus) << c.line;
    }
    const I2cBus cut = parse_proc_i2c_line("i2c-4\t" + std::string(30, 't') + "\t" + long_name + "\t" + long_name);
    EXPECT_EQ(cut.type.size(), 23u);
    EXPECT_EQ(cut.name.size(), 127u);
    EXPECT_EQ(cut.algorithm.size(), 127u);
}

TEST(MountsLine, TakesThreeBlankSeparatedFields)
{
    const auto sysfs = parse_mounts_line("sysfs /sys sysfs rw,nosuid 0 0\n");
    ASSERT_TRUE(sysfs);
    EXPECT_EQ(sysfs->mount_point, "/sys");
    EXPECT_EQ(sysfs->type, "sysfs");
    const auto short_line = parse_mounts_line("none /x sysfs\n");
    ASSERT_TRUE(short_line);
    EXPECT_EQ(short_line->type, "sysfs\n") << "a field runs to the next blank, newline included";
    EXPECT_FALSE(parse_mounts_line(" leading blank\n"));
    EXPECT_FALSE(parse_mounts_line("two fields\n"));
    EXPECT_FALSE(parse_mounts_line(""));
}

TEST(ModuleAndEntryNames, AreTheFirstWordAndTheNumberAfterI2c)
{
    EXPECT_EQ(parse_module_line("i2c_i801 32768 0 - Live 0x0\n"), "i2c_i801");
    EXPECT_EQ(parse_module_line("  \t\n"), std::nullopt);
    EXPECT_EQ(parse_i2c_entry_name("i2c-13"), 13);
    EXPECT_EQ(parse_i2c_entry_name("i2c-013x"), 13);
    EXPECT_EQ(parse_i2c_entry_name("i2c-99999999999"), 2147483647);
    EXPECT_EQ(parse_i2c_entry_name("i2c-"), std::nullopt);
    EXPECT_EQ(parse_i2c_entry_name("bus7"), std::nullopt);
}

}  // namespace
}  // namespace test
}  // namespace qv
