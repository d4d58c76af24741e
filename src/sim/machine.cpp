#include "sim/machine.h"

#include <cerrno>
#include <cstdio>

namespace qv::sim {

int OpenFile::ioctl(unsigned long, void*)
{
    errno = ENOTTY;
    return -1;
}

ssize_t OpenFile::read(void*, size_t)
{
    errno = EINVAL;
    return -1;
}

ssize_t OpenFile::write(const void*, size_t)
{
    errno = EINVAL;
    return -1;
}

off_t OpenFile::lseek(off_t, int)
{
    errno = ESPIPE;
    return -1;
}

int OpenFile::select_read(timeval*) { return 1; }

bool OpenFile::map(off_t, size_t, std::vector<uint8_t>&)
{
    errno = ENODEV;
    return false;
}

void Machine::add_port_device(std::unique_ptr<PortDevice> device) { port_devices_.push_back(std::move(device)); }

void Machine::add_node(const std::string& path, std::shared_ptr<DeviceNode> node)
{
    if (!sandbox.exists(path)) sandbox.write_file(path, "");
    nodes_[path] = std::move(node);
}

void Machine::add_command(Command command) { commands_.push_back(std::move(command)); }

PortDevice* Machine::port_device(uint16_t port)
{
    for (auto& device : port_devices_)
        if (device->owns(port)) return device.get();
    return nullptr;
}

uint32_t Machine::port_in(uint16_t port, unsigned width)
{
    if (io_privilege_level < 3 && !permitted_ports.test(port) && !warned_privilege_) {
        std::fprintf(stderr, "sim: port 0x%04X read without I/O privilege\n", port);
        warned_privilege_ = true;
    }
    PortDevice* device = port_device(port);
    const uint32_t value = device != nullptr ? device->in(port, width) : (width == 1 ? 0xFFu : 0xFFFFFFFFu);
    if (width == 1) trace.record(Access::Port, "inb  0x%04X -> 0x%02X", port, value);
    else trace.record(Access::Port, "inl  0x%04X -> 0x%08X", port, value);
    return value;
}

void Machine::port_out(uint16_t port, uint32_t value, unsigned width)
{
    if (io_privilege_level < 3 && !permitted_ports.test(port) && !warned_privilege_) {
        std::fprintf(stderr, "sim: port 0x%04X written without I/O privilege\n", port);
        warned_privilege_ = true;
    }
    if (width == 1) trace.record(Access::Port, "outb 0x%04X <- 0x%02X", port, value);
    else trace.record(Access::Port, "outl 0x%04X <- 0x%08X", port, value);
    if (PortDevice* device = port_device(port)) device->out(port, value, width);
}

DeviceNode* Machine::node(std::string_view path)
{
    const auto it = nodes_.find(path);
    return it == nodes_.end() ? nullptr : it->second.get();
}

int Machine::run_command(std::string_view command, std::string& output)
{
    trace.record(Access::Command, "%.*s", static_cast<int>(command.size()), command.data());
    for (const Command& known : commands_)
        if (known.matches(command)) return known.run(command, output);
    std::fprintf(stderr, "sim: no such command: %.*s\n", static_cast<int>(command.size()), command.data());
    return 127;
}

bool Machine::read_only(std::string_view path) const
{
    for (const std::string& dir : read_only_dirs)
        if (path.substr(0, dir.size()) == dir && (path.size() == dir.size() || path[dir.size()] == '/')) return true;
    return false;
}

}  // namespace qv::sim
