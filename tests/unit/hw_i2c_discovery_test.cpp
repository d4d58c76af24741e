// I2C adapter discovery: device nodes, the kernel listings in both forms, the drivers
// loaded for the controllers found, and the list parsers on odd input.
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/smbus.h"
#include "hw/state.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

#include <optional>

namespace qv {

void PrintTo(const I2cBus& b, std::ostream* os)
{
    *os << "{" << b.number << "|" << b.type << "|" << b.name << "|" << b.algorithm << "}";
}

namespace test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using sim::json;

json controller(int bus, int device, int function, const char* vendor, const char* id, const char* base)
{
    return {{"bus", bus},       {"device", device}, {"function", function},
            {"vendor", vendor}, {"device_id", id},  {"base", base}};
}

const json kIch7 = controller(0, 31, 3, "0x8086", "0x27DA", "0x1100");
const json kSmbusAdapter = {{"bus", 0}, {"name", "SMBus I801 adapter at 1100"}};
const I2cBus kSysfsEntry{"0", "unknown", "SMBus I801 adapter at 1100", "Algorithm unavailable"};

// Lists are vectors: a braced list of one json is an array for some compilers and a
// copy for others.
json board(const std::vector<std::string>& modules, const std::vector<json>& controllers,
           const std::vector<json>& adapters = {kSmbusAdapter})
{
    return {{"kernel", {{"modules", modules}}}, {"smbus_controllers", controllers}, {"i2c", {{"adapters", adapters}}}};
}

json adapters_only(const std::vector<json>& adapters) { return {{"i2c", {{"adapters", adapters}}}}; }

class Discovery : public HwTest {};

TEST_F(Discovery, ModprobeLoadsOnlyTheDriversTheModuleListLacks)
{
    const auto i801 = "modprobe i2c-i801 2>/dev/null";
    const struct { const char* what; json board; std::vector<std::string> commands; } cases[] = {
        {"all loaded", board({"i2c_i801", "i2c_dev"}, {kIch7}), {}},
        {"dash spelling counts too", board({"i2c-i801", "i2c-dev"}, {kIch7}), {}},
        {"nothing loaded", board({}, {kIch7}), {i801, "modprobe i2c-dev 2>/dev/null"}},
        {"wrong function number matches no row",
         board({"i2c_i801"}, {controller(0, 31, 0, "0x8086", "0x27DA", "0x1100")}), {"modprobe i2c-dev 2>/dev/null"}},
        {"two controllers load twice", board({"i2c_dev"}, {kIch7, controller(1, 0, 3, "0x8086", "0x27DA", "0x1180")}),
         {i801, i801}},
        {"AMD needs function 2", board({"i2c_dev"}, {controller(0, 7, 2, "0x1022", "0x746A", "0x4000")}),
         {"modprobe i2c-amd8111 2>/dev/null"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot_board(c.board);
        EXPECT_EQ(i2cdetect(), 0);
        EXPECT_EQ(trace("command"), c.commands);
    }
}

TEST_F(Discovery, LoadedDriverBringsItsAdapterIntoTheList)
{
    json b = board({}, {kIch7});
    b["i2c"]["adapters"][0]["driver"] = "i2c_i801";
    boot_board(b);
    EXPECT_EQ(i2cdetect(), 0);
    EXPECT_THAT(hw_state().i2c_bus_list, ElementsAre(kSysfsEntry));
    EXPECT_THAT(read("/proc/modules"), ::testing::HasSubstr("i2c_i801 "));
}

TEST_F(Discovery, DeviceNodesAreLookedForInThreeNamings)
{
    const struct { const char* what; json board; int result; } cases[] = {
        // The numbered nodes, and none at all, are every start's.
        {"folder", {{"files", {{"/dev/i2c/0", ""}}}}, 0},
        {"no dash", {{"files", {{"/dev/i2c0", ""}}}}, 0},
        {"only other buses", adapters_only({{{"bus", 1}, {"name", "x at 1100"}}}), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot_board(c.board);
        CaptureStderr();
        EXPECT_EQ(init_conf(), c.result);
        EXPECT_EQ(GetCapturedStderr(),
                  c.result == 0 ? "" : "Error: no i2c device files found. Please use mkdev.sh to create them.\n");
    }
}

TEST_F(Discovery, MissingKernelListingIsFatal)
{
    for (const auto& [listing, message] :
         {std::pair{"proc_pci_devices", "Error: cannot open file /proc/bus/pci/devices\n"
                                        "Error: cannot access either /proc/bus/pci/ or /proc/pci!\n"},
          std::pair{"proc_modules", ""}}) {
        SCOPED_TRACE(listing);
        json b = adapters_only({kSmbusAdapter});
        b["kernel"][listing] = false;
        boot_board(b);
        CaptureStderr();
        EXPECT_EQ(i2cdetect(), -1);
        EXPECT_EQ(GetCapturedStderr(), message);
        EXPECT_THAT(trace("command"), IsEmpty());
    }
}

TEST_F(Discovery, SysfsListsTheSmbusAdaptersWhereverTheKernelPutTheirNames)
{
    const auto at_bus = [](int bus, const char* name_file) {
        return adapters_only({{{"bus", bus}, {"name", "SMBus I801 adapter at 1100"}, {"name_file", name_file}}});
    };
    const auto with = [](json board, const char* key, const json& value) {
        board[key].update(value);
        return board;
    };
    const json moved = {{"sysfs_mount", "/var/sysfs"}};
    const I2cBus bus3{"3", "unknown", "SMBus I801 adapter at 1100", "Algorithm unavailable"};
    const struct { const char* what; json board; std::optional<I2cBus> listed; } cases[] = {
        {"name", at_bus(3, "name"), bus3},
        {"device/name", at_bus(3, "device/name"), bus3},
        {"device/i2c-N", at_bus(3, "device/i2c-N"), bus3},
        {"no name file", at_bus(3, "none"), std::nullopt},
        {"ISA adapters and entries not named i2c-N are skipped",
         with(adapters_only({{{"bus", 1}, {"name", "ISA main adapter"}}, kSmbusAdapter}), "files",
              {{"/sys/class/i2c-dev/bus7/name", "SMBus other adapter at 2000\n"},
               {"/sys/class/i2c-dev/i2c-9/name", "ISA 0x0290\n"}}),
         kSysfsEntry},
        {"sysfs mounted elsewhere", with(adapters_only({kSmbusAdapter}), "kernel", moved), kSysfsEntry},
        {"sysfs not mounted", with(adapters_only({kSmbusAdapter}), "kernel", {{"sysfs_mount", ""}}), std::nullopt},
        {"the mount table's type in any case",
         with(with(adapters_only({kSmbusAdapter}), "kernel", moved), "files",
              {{"/proc/mounts", "garbage\n \nsysfs /var/sysfs SysFS rw 0 0\n"}}),
         kSysfsEntry},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot_board(c.board);
        EXPECT_EQ(init_i2c_bus_list(), c.listed ? 1 : 0);
        if (c.listed) {
            EXPECT_THAT(hw_state().i2c_bus_list, ElementsAre(*c.listed));
        }
    }
}

TEST_F(Discovery, ProcfsListingKeepsItsFourFieldsAndCountsEveryLine)
{
    boot_board({{"i2c", {{"listing", "procfs"}, {"adapters", {kSmbusAdapter}}}}});
    EXPECT_EQ(print_i2c_busses(1), 1);
    EXPECT_THAT(hw_state().i2c_bus_list,
                ElementsAre(I2cBus{"0", "smbus", "SMBus I801 adapter at 1100", "Non-I2C SMBus adapter"}));
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
    std::vector<json> adapters;
    for (int bus = 0; bus < 13; ++bus) adapters.push_back({{"bus", bus}, {"name", "i915 gmbus " + std::to_string(bus)}});
    adapters.push_back({{"bus", 13},
                        {"name", "SMBus I801 adapter at 1100"},
                        {"slaves", {{{"address", "0x2D"}, {"registers", {{"0x20", "0x42"}}}}}}});
    boot_board(board({"i2c_i801", "i2c_dev"}, {kIch7}, adapters));
    ASSERT_EQ(i2cdetect(), 0);
    EXPECT_EQ(hw_state().i2c_bus_list.size(), 14u);
    ASSERT_EQ(request_iopl(3), 0);
    uint32_t value = 0;
    EXPECT_EQ(smbus_byte_data_read(16, 1, 0x1100, 0x2D, 0x20, &value), 0);
    EXPECT_EQ(value, 0x42u);
    EXPECT_EQ(hw_state().i2c_adapter_file.path, "/dev/i2c-13");
}

// --- The parsers, on lines the kernel writes and on lines it never would ----------------

TEST(PciDevicesLine, TakesLocationAndIdsFromTheFirstTwoFields)
{
    const struct { const char* line; bool parsed; uint32_t bus, device, function; uint16_t vendor, id; } cases[] = {
        {"00fb\t808627da\t13\t0\t0\t0\t0\t1101\t0\t0\t0\t0\t0\t0\t20\t0\t0\ti801_smbus\n", true, 0, 31, 3, 0x8086,
         0x27DA},
        {"0210 10de0368 0 0 0 0 0 0 0 0\n", true, 2, 2, 0, 0x10DE, 0x0368},
        {"  0x0a 0x1022746a\n", true, 0, 1, 2, 0x1022, 0x746A},
        {"fffffffff 123456789\n", true, 0xFFFFFF, 31, 7, 0xFFFF, 0xFFFF},
        {"0000\n", false, 0, 0, 0, 0, 0},
        {"zz 8086\n", false, 0, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto device = parse_pci_device_line(c.line);
        ASSERT_EQ(device.has_value(), c.parsed);
        if (!device) continue;
        const PciDevice& d = *device;
        EXPECT_EQ(std::vector<uint32_t>({d.bus, d.device, d.function, d.vendor, d.device_id}),
                  std::vector<uint32_t>({c.bus, c.device, c.function, c.vendor, c.id}));
    }
}

TEST(ProcI2cLine, ScansNumberTypeNameAndAlgorithm)
{
    const std::pair<const char*, I2cBus> cases[] = {
        {"i2c-0\tsmbus\tSMBus I801 adapter at 1100\tSMBus adapter\n",
         {"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}},
        // Blanks belong to names: without tabs the name takes the algorithm too.
        {"i2c-1 i2c bit-bang adapter (gpio) bit-shift algorithm\n",
         {"1", "i2c", "bit-bang adapter (gpio) bit-shift algorithm", ""}},
        {"i2c-12345678901\tsmbus\tA\tB\n", {"1234567", "smbus", "A", "B"}},
        {"i2c-2\tsmbus\tname: colon\tB\n", {"2", "smbus", "name", ""}},
        {"i2c-3\n", {"3", "", "", ""}},
        {"dummy line\n", {}},
    };
    for (const auto& [line, bus] : cases) EXPECT_EQ(parse_proc_i2c_line(line), bus) << line;
    const std::string long_name(140, 'n');
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
    for (const char* line : {" leading blank\n", "two fields\n", ""}) EXPECT_FALSE(parse_mounts_line(line)) << line;
}

TEST(ModuleAndEntryNames, AreTheFirstWordAndTheNumberAfterI2c)
{
    EXPECT_EQ(parse_module_line("i2c_i801 32768 0 - Live 0x0\n"), "i2c_i801");
    EXPECT_EQ(parse_module_line("  \t\n"), std::nullopt);
    const std::pair<const char*, std::optional<int>> entries[] = {
        {"i2c-13", 13}, {"i2c-013x", 13}, {"i2c-99999999999", 2147483647}, {"i2c-", std::nullopt},
        {"bus7", std::nullopt}};
    for (const auto& [name, number] : entries) EXPECT_EQ(parse_i2c_entry_name(name), number) << name;
}

}  // namespace
}  // namespace test
}  // namespace qv
