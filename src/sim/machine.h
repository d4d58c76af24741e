// The simulated machine: the devices a board file describes, behind ports, device
// files and shell commands, with a sandbox for its files, a clock and a trace.
#pragma once

#include "sim/clock.h"
#include "sim/sandbox.h"
#include "sim/trace.h"
#include "sim/value.h"

#include <sys/time.h>
#include <sys/types.h>

#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv::sim {

// Something that answers on I/O ports.
class PortDevice {
public:
    virtual ~PortDevice() = default;
    virtual bool owns(uint16_t port) const = 0;
    // width is 1 (byte) or 4 (dword).
    virtual uint32_t in(uint16_t port, unsigned width) = 0;
    virtual void out(uint16_t port, uint32_t value, unsigned width) = 0;
};

// One open of a device file. Each operation fails with the errno the kernel would
// give unless the device answers it.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    virtual int ioctl(unsigned long request, void* arg);
    virtual ssize_t read(void* buf, size_t count);
    virtual ssize_t write(const void* buf, size_t count);
    virtual off_t lseek(off_t offset, int whence);
    // As select() for this one descriptor: 1 readable, 0 timed out.
    virtual int select_read(timeval* timeout);
    // Copies the mapped range into bytes; false (with errno) when it cannot be mapped.
    virtual bool map(off_t offset, size_t length, std::vector<uint8_t>& bytes);
};

// A device file such as /dev/i2c-0.
class DeviceNode {
public:
    virtual ~DeviceNode() = default;
    // nullptr with errno set when the open fails.
    virtual std::unique_ptr<OpenFile> open(int flags) = 0;
};

// A shell command the machine answers instead of a shell.
struct Command {
    std::function<bool(std::string_view command)> matches;
    // Exit status; output is what the command writes on its standard output.
    std::function<int(std::string_view command, std::string& output)> run;
};

class Machine {
public:
    Machine(Sandbox& sandbox, VirtualClock& clock, Trace& trace) : sandbox(sandbox), clock(clock), trace(trace) {}

    Sandbox& sandbox;
    VirtualClock& clock;
    Trace& trace;
    uid_t uid = 0;
    bool io_privilege_granted = true;  // false: iopl and ioperm fail with EPERM
    int io_privilege_level = 0;
    std::bitset<65536> permitted_ports;  // opened one by one with ioperm

    void add_port_device(std::unique_ptr<PortDevice> device);
    // Registers a device file; a placeholder file in the sandbox makes it visible to
    // existence checks and directory listings.
    void add_node(const std::string& path, std::shared_ptr<DeviceNode> node);
    void add_command(Command command);

    uint32_t port_in(uint16_t port, unsigned width);
    void port_out(uint16_t port, uint32_t value, unsigned width);
    DeviceNode* node(std::string_view path);
    // Exit status of the command, 127 when the machine does not know it.
    int run_command(std::string_view command, std::string& output);

    // Files the program may not create or change (read-only file system), and the bytes
    // it may still write before the disk is full (negative: no limit).
    std::vector<std::string> read_only_dirs;
    int64_t free_bytes = -1;
    bool read_only(std::string_view path) const;

    // Programs started as child processes: the fork fails, or the wait for a child that ran.
    bool fork_fails = false;
    bool wait_fails = false;

    // Keeps a device object alive as long as the machine; returns it.
    template <typename T>
    T* keep(std::shared_ptr<T> object)
    {
        kept_.push_back(object);
        return object.get();
    }

private:
    PortDevice* port_device(uint16_t port);

    std::vector<std::unique_ptr<PortDevice>> port_devices_;
    std::map<std::string, std::shared_ptr<DeviceNode>, std::less<>> nodes_;
    std::vector<Command> commands_;
    std::vector<std::shared_ptr<void>> kept_;
    bool warned_privilege_ = false;
};

}  // namespace qv::sim
