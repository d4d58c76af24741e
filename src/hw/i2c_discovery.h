// Preparing the I2C adapters at start-up: device nodes, PCI devices, kernel modules,
// controller drivers, and the list of I2C buses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct PciDevice {
    uint16_t vendor = 0;
    uint16_t device_id = 0;
    uint32_t bus = 0;
    uint32_t device = 0;
    uint32_t function = 0;
};

struct DriverEntry {
    std::string module;       // "i2c-i801"
    std::string alternative;  // "i2c_i801", as the module list spells it
};

struct I2cBus {
    std::string number;     // decimal text, as in /dev/i2c-<number>
    std::string type;       // "smbus", "i2c", ... or "unknown" from sysfs
    std::string name;       // adapter name, e.g. "SMBus I801 adapter at 1100"
    std::string algorithm;

    bool operator==(const I2cBus&) const = default;
};

// Known SMBus controllers and the driver that gives each its bus; ends with an
// all-zero row. The description and the adapter name's beginning document the row.
struct PciAdapterRow {
    uint16_t vendor;
    uint16_t device;
    uint8_t function;
    const char* description;
    const char* module;
    const char* alternative;
    const char* adapter_name;
};

inline constexpr PciAdapterRow pci_adapters[] = {
    {0x8086, 0x2413, 3, "Intel 82801AA ICH", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x2423, 3, "Intel 82801AB ICH0", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x2443, 3, "Intel 82801BA ICH2", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x2483, 3, "Intel 82801CA/CAM ICH3", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x24C3, 3, "Intel 82801DB ICH4", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x24D3, 3, "Intel 82801EB ICH5", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x25A4, 3, "Intel 6300ESB", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x266A, 3, "Intel ICH6", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x269B, 3, "Intel Enterprise Southbridge - ESB2", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x27DA, 3, "Intel ICH7", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x283E, 3, "Intel ICH8", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x2930, 3, "Intel ICH9", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x3A30, 3, "Intel ICH10", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x3B30, 3, "Intel PCH", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x1C22, 3, "Intel Cougar Point", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x1D22, 3, "Intel Patsburg", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x8086, 0x1E22, 3, "Intel Panther Point", "i2c-i801", "i2c_i801", "SMBus I801 adapter at"},
    {0x1166, 0x0200, 0, "ServerWorks OSB4 South Bridge", "i2c-piix4", "i2c_piix4", "SMBus PIIX4 adapter at"},
    {0x1166, 0x0201, 0, "ServerWorks CSB5 South Bridge", "i2c-piix4", "i2c_piix4", "SMBus PIIX4 adapter at"},
    {0x1166, 0x0203, 0, "ServerWorks CSB6 South Bridge", "i2c-piix4", "i2c_piix4", "SMBus PIIX4 adapter at"},
    {0x1166, 0x0205, 0, "Broadcom HT1000 legacy South Bridge", "i2c-piix4", "i2c_piix4", "SMBus PIIX4 adapter at"},
    {0x1002, 0x4385, 0, "ATI Technologies Inc SB600 SMBus", "i2c-piix4", "i2c_piix4", "SMBus PIIX4 adapter at"},
    {0x1022, 0x746A, 2, "AMD-8111 SMBus 2.0", "i2c-amd8111", "i2c_amd8111", "SMBus2 AMD8111 adapter at"},
    {0x10DE, 0x0052, 1, "nVidia Corporation nForce4 SMBus (MCP)", "i2c-nforce2", "i2c_nforce2",
     "SMBus nForce2 adapter at"},
    {0x10DE, 0x0368, 1, "nVidia Corporation MCP55 SMBus", "i2c-nforce2", "i2c_nforce2", "SMBus nForce2 adapter at"},
    {0, 0, 0, nullptr, nullptr, nullptr, nullptr},
};

int i2cdetect();
int init_conf();
int init_proc_pci();
int read_proc_dev_pci();
int read_proc_pci();
int init_modules_list();
int adapter_pci_detection();
int init_i2c_bus_list();
int print_i2c_busses(int procfs_fields);

// One line of each kernel listing, taken apart; any bytes are accepted.
std::optional<PciDevice> parse_pci_device_line(std::string_view line);
std::optional<std::string> parse_module_line(std::string_view line);
// Every line gives a bus; fields the line does not have stay empty.
I2cBus parse_proc_i2c_line(std::string_view line);
struct MountEntry {
    std::string device;
    std::string mount_point;
    std::string type;
};
std::optional<MountEntry> parse_mounts_line(std::string_view line);
// The number of a sysfs entry named "i2c-<n>".
std::optional<int> parse_i2c_entry_name(std::string_view name);

}  // namespace qv
