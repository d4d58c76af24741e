// Preparing the I2C adapters at start-up and listing the I2C buses.
#include "hw/i2c_discovery.h"

#include "hw/state.h"
#include "hw/text_file.h"
#include "platform/os.h"
#include "profile/text.h"

#include <algorithm>
#include <cstdio>

namespace qv {

namespace {

constexpr std::size_t kPciLineChars = 511;
constexpr std::size_t kModuleLineChars = 511;
constexpr std::size_t kProcI2cLineChars = 99;
constexpr std::size_t kMountsLineChars = 254;
constexpr std::size_t kNameFileChars = 119;

bool exists(const char* path) { return platform::os().access(path, F_OK) == 0; }

bool module_loaded(const std::string& name)
{
    const std::vector<std::string>& modules = hw_state().modules_list;
    return std::find(modules.begin(), modules.end(), name) != modules.end();
}

void load_module(const std::string& name) { platform::os().system(("modprobe " + name + " 2>/dev/null").c_str()); }

bool matches(const PciDevice& device, const PciAdapterRow& row)
{
    return device.vendor == row.vendor && device.device_id == row.device && device.function == row.function;
}

std::optional<std::string> sysfs_mount_point()
{
    const TextFile mounts = open_text_file("/proc/mounts");
    if (!mounts) return std::nullopt;
    std::string line;
    while (read_line_piece(mounts.get(), kMountsLineChars, line)) {
        auto entry = parse_mounts_line(line);
        if (entry && iequals(entry->type, "sysfs")) return entry->mount_point;
    }
    return std::nullopt;
}

bool readable(const std::string& path) { return static_cast<bool>(open_text_file(path)); }

// The adapter's name file in one of the places kernels have put it.
std::optional<std::string> name_file_of(const std::string& dir, const std::string& entry)
{
    const std::string base = dir + "/" + entry;
    for (const std::string& candidate : {base + "/name", base + "/device/name"})
        if (readable(candidate)) return candidate;
    std::vector<std::string> children;
    if (!platform::os().list_dir((base + "/device").c_str(), children)) return std::nullopt;
    for (const std::string& child : children) {
        if (!child.starts_with("i2c-")) continue;
        const std::string candidate = base + "/device/" + child + "/name";
        if (readable(candidate)) return candidate;
    }
    return std::nullopt;
}

std::optional<std::string> first_line(const std::string& path)
{
    const TextFile file = open_text_file(path);
    if (!file) return std::nullopt;
    std::string line;
    read_line_piece(file.get(), kNameFileChars, line);
    drop_newline(line);
    return line;
}

int list_sysfs_buses()
{
    const auto mount_point = sysfs_mount_point();
    if (!mount_point) return 0;
    const std::string dir = *mount_point + "/class/i2c-dev";
    std::vector<std::string> entries;
    if (!platform::os().list_dir(dir.c_str(), entries)) return 0;
    for (const std::string& entry : entries) {
        if (entry == "." || entry == "..") continue;
        const auto name_file = name_file_of(dir, entry);
        const auto name = name_file ? first_line(*name_file) : std::nullopt;
        if (!name || name->starts_with("ISA ")) continue;
        const auto number = parse_i2c_entry_name(entry);
        if (!number) continue;
        hw_state().i2c_bus_list.push_back({std::to_string(*number), "unknown", *name, "Algorithm unavailable"});
    }
    return static_cast<int>(hw_state().i2c_bus_list.size());
}

}  // namespace

int init_conf()
{
    if (exists("/dev/i2c-0") || exists("/dev/i2c") || exists("/dev/i2c0")) return 0;
    std::fputs("Error: no i2c device files found. Please use mkdev.sh to create them.\n", stderr);
    return -1;
}

int read_proc_dev_pci()
{
    hw_state().pci_list.clear();
    const TextFile devices = open_text_file("/proc/bus/pci/devices");
    if (!devices) {
        std::fputs("Error: cannot open file /proc/bus/pci/devices\n", stderr);
        return -1;
    }
    std::string line;
    while (read_line_piece(devices.get(), kPciLineChars, line))
        if (auto device = parse_pci_device_line(line)) hw_state().pci_list.push_back(*device);
    return 0;
}

int read_proc_pci() { return -1; }

int init_proc_pci()
{
    if (read_proc_dev_pci() == 0) return 0;
    if (read_proc_pci() == 0) return 0;
    std::fputs("Error: cannot access either /proc/bus/pci/ or /proc/pci!\n", stderr);
    return -1;
}

int init_modules_list()
{
    hw_state().modules_list.clear();
    const TextFile modules = open_text_file("/proc/modules");
    if (!modules) return -1;
    std::string line;
    while (read_line_piece(modules.get(), kModuleLineChars, line))
        if (auto name = parse_module_line(line)) hw_state().modules_list.push_back(std::move(*name));
    return 0;
}

int adapter_pci_detection()
{
    hw_state().driver_list.clear();
    for (const PciDevice& device : hw_state().pci_list)
        for (const PciAdapterRow* row = pci_adapters; row->module != nullptr; ++row)
            if (matches(device, *row)) hw_state().driver_list.push_back({row->module, row->alternative});
    return 0;
}

int print_i2c_busses(int procfs_fields)
{
    hw_state().i2c_bus_list.clear();
    const TextFile proc = open_text_file("/proc/bus/i2c");
    if (!proc) return list_sysfs_buses();
    int count = 0;
    std::string line;
    while (read_line_piece(proc.get(), kProcI2cLineChars, line)) {
        ++count;
        if (procfs_fields != 0) hw_state().i2c_bus_list.push_back(parse_proc_i2c_line(line));
    }
    return count;
}

int init_i2c_bus_list() { return print_i2c_busses(1); }

int i2cdetect()
{
    if (init_conf() != 0 || init_proc_pci() != 0 || init_modules_list() != 0) return -1;
    adapter_pci_detection();
    for (const DriverEntry& driver : hw_state().driver_list)
        if (!module_loaded(driver.module) && !module_loaded(driver.alternative)) load_module(driver.module);
    if (!module_loaded("i2c-dev") && !module_loaded("i2c_dev")) load_module("i2c-dev");
    init_i2c_bus_list();
    return 0;
}

}  // namespace qv
