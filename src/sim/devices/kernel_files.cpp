// The kernel's information files, built from the board: /proc/bus/pci/devices,
// /proc/modules, /proc/mounts, and the I2C bus listing in its procfs form
// (/proc/bus/i2c) or its sysfs form (<sysfs>/class/i2c-dev/i2c-N/...name). The
// command "modprobe NAME 2>/dev/null" loads a module into the listing, and with it the
// adapters its driver brings.
#include "sim/devices/builders.h"
#include "sim/devices/i2c_adapter.h"
#include "sim/devices/pci.h"
#include "sim/devices/register_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace qv::sim {

namespace {

std::string module_name(std::string name)
{
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

std::string format(const char* pattern, auto... values)
{
    char line[512];
    std::snprintf(line, sizeof line, pattern, values...);
    return line;
}

class Kernel {
public:
    Kernel(Machine& machine, const json& board) : machine_(machine)
    {
        const json& kernel = section(board, "kernel");
        for (const auto& name : section(kernel, "modules")) modules_.push_back(module_name(name.get<std::string>()));
        for (const auto& name : section(kernel, "unknown_modules")) unknown_.insert(module_name(name.get<std::string>()));
        proc_modules_ = member_or(kernel, "proc_modules", true);
        proc_pci_ = member_or(kernel, "proc_pci_devices", true);
        sysfs_mount_ = member_or(kernel, "sysfs_mount", std::string("/sys"));
        listing_ = member_or(section(board, "i2c"), "listing", std::string("sysfs"));
        if (listing_ != "sysfs" && listing_ != "procfs" && listing_ != "none")
            throw std::runtime_error("i2c listing \"" + listing_ + "\": sysfs, procfs or none");
        adapters_ = i2c_adapters_of(board);
        pci_ = pci_functions_of(board);
        for (const auto& [path, content] : section(board, "files").items()) given_.insert(path);
    }

    void write_all()
    {
        write("/proc/bus/pci/devices", proc_pci_, pci_devices());
        write("/proc/mounts", true, mounts());
        write_modules();
        write_i2c_listing();
    }

    // Exit status of modprobe.
    int load(const std::string& requested)
    {
        const std::string name = module_name(requested);
        if (unknown_.contains(name)) return 1;
        if (std::find(modules_.begin(), modules_.end(), name) == modules_.end()) modules_.push_back(name);
        write_modules();
        write_i2c_listing();
        return 0;
    }

private:
    void write(const std::string& path, bool present, const std::string& content)
    {
        if (given_.contains(path)) return;
        if (present) machine_.sandbox.write_file(path, content);
        else machine_.sandbox.remove(path);
    }

    void write_modules()
    {
        std::string text;
        for (const std::string& name : modules_) text += name + " 16384 0 - Live 0x0000000000000000\n";
        write("/proc/modules", proc_modules_, text);
    }

    std::string pci_devices() const
    {
        std::string text;
        for (const PciFunctionSpec& f : pci_) {
            text += format("%04x\t%04x%04x\t%x", f.devfn_word(), f.vendor, f.device_id, 0u);
            for (int field = 0; field < 14; ++field) text += "\t0";
            text += f.driver.empty() ? "\n" : "\t" + f.driver + "\n";
        }
        return text;
    }

    std::string mounts() const
    {
        std::string text = "rootfs / rootfs rw 0 0\nproc /proc proc rw,nosuid,nodev,noexec,relatime 0 0\n";
        if (!sysfs_mount_.empty()) text += "sysfs " + sysfs_mount_ + " sysfs rw,nosuid,nodev,noexec,relatime 0 0\n";
        return text;
    }

    bool listed(const I2cAdapterSpec& a) const
    {
        return a.driver.empty() || std::find(modules_.begin(), modules_.end(), module_name(a.driver)) != modules_.end();
    }

    void write_i2c_listing()
    {
        std::string proc;
        const std::string class_dir = sysfs_mount_ + "/class/i2c-dev";
        if (!given_.contains(class_dir)) {
            std::error_code ignored;
            std::filesystem::remove_all(machine_.sandbox.map(class_dir), ignored);
        }
        for (const I2cAdapterSpec& a : adapters_) {
            if (!listed(a)) continue;
            proc += format("i2c-%u\t%s\t%s\t%s\n", a.bus, a.type.c_str(), a.name.c_str(), a.algorithm.c_str());
            if (listing_ == "sysfs") write_sysfs_entry(class_dir, a);
        }
        write("/proc/bus/i2c", listing_ == "procfs", proc);
    }

    void write_sysfs_entry(const std::string& class_dir, const I2cAdapterSpec& a)
    {
        const std::string entry = class_dir + "/i2c-" + std::to_string(a.bus);
        machine_.sandbox.make_dirs(entry);
        if (a.name_file == "none") return;
        std::string file = entry + "/" + a.name_file;
        if (a.name_file == "device/i2c-N") file = entry + "/device/i2c-" + std::to_string(a.bus) + "/name";
        machine_.sandbox.write_file(file, a.name + "\n");
    }

    Machine& machine_;
    std::vector<std::string> modules_;
    std::set<std::string> unknown_;
    bool proc_modules_ = true;
    bool proc_pci_ = true;
    std::string sysfs_mount_;
    std::string listing_;
    std::vector<I2cAdapterSpec> adapters_;
    std::vector<PciFunctionSpec> pci_;
    std::set<std::string, std::less<>> given_;
};

// "modprobe NAME 2>/dev/null" and "modprobe NAME": the module's name.
std::string modprobe_argument(std::string_view command)
{
    command.remove_prefix(9);
    const auto end = command.find(' ');
    return std::string(command.substr(0, end));
}

}  // namespace

void build_kernel_files(Machine& machine, const json& board)
{
    Kernel* kernel = machine.keep(std::make_shared<Kernel>(machine, board));
    kernel->write_all();
    machine.add_command({
        [](std::string_view command) { return command.starts_with("modprobe "); },
        [kernel](std::string_view command, std::string&) { return kernel->load(modprobe_argument(command)); },
    });
}

}  // namespace qv::sim
