// A Super I/O at 0x2E/0x2F: configuration registers open between the entry key and the
// exit key, logical devices chosen by register 0x07, the device ID in 0x20/0x21, and a
// GPIO block whose base the GPIO logical device holds in 0x60/0x61.
#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

#include <map>
#include <vector>

namespace qv::sim {

namespace {

constexpr uint16_t kIndexPort = 0x2E;
constexpr uint16_t kDataPort = 0x2F;
constexpr uint32_t kLogicalDeviceSelect = 0x07;
constexpr uint32_t kFirstDeviceRegister = 0x30;

class SuperIo final : public PortDevice {
public:
    SuperIo(Machine& machine, const json& config) : machine_(machine)
    {
        const json& key = section(config, "entry_key");
        if (key.is_null()) entry_key_ = {0x87, 0x87};
        for (const auto& byte : key) entry_key_.push_back(to_u32(byte));
        exit_key_ = member_u32(config, "exit_key", 0xAA);
        configuring_ = entry_key_.empty();
        global_ = RegisterFile::from_json(section(config, "global"), 0xFF);
        if (config.contains("device_id")) {
            const uint32_t id = to_u32(config.at("device_id"));
            if (!global_.has(0x20)) global_.write(0x20, id >> 8 & 0xFF);
            if (!global_.has(0x21)) global_.write(0x21, id & 0xFF);
        }
        for (const auto& [number, registers] : section(config, "logical_devices").items())
            devices_[key_u32(number)] = RegisterFile::from_json(registers, 0xFF);
        add_gpio_base(section(config, "gpio_block"));
    }

    bool owns(uint16_t port) const override { return port == kIndexPort || port == kDataPort; }

    uint32_t in(uint16_t port, unsigned) override
    {
        if (port == kIndexPort || !configuring_) return 0xFF;
        if (index_ == kLogicalDeviceSelect) return logical_device_;
        if (index_ < kFirstDeviceRegister) return global_.read(index_, machine_.clock.elapsed_s()) & 0xFF;
        return devices_[logical_device_].read(index_, machine_.clock.elapsed_s()) & 0xFF;
    }

    void out(uint16_t port, uint32_t value, unsigned) override
    {
        value &= 0xFF;
        if (port == kIndexPort) return write_index(value);
        if (!configuring_) return;
        if (index_ == kLogicalDeviceSelect) logical_device_ = value;
        else if (index_ < kFirstDeviceRegister) global_.write(index_, value);
        else devices_[logical_device_].write(index_, value);
    }

private:
    void write_index(uint32_t value)
    {
        if (!configuring_) {
            key_progress_ = value == entry_key_[key_progress_] ? key_progress_ + 1 : (value == entry_key_[0] ? 1 : 0);
            if (key_progress_ == entry_key_.size()) {
                configuring_ = true;
                key_progress_ = 0;
            }
            return;
        }
        if (value == exit_key_ && !entry_key_.empty()) {
            configuring_ = false;
            return;
        }
        index_ = value;
    }

    void add_gpio_base(const json& block)
    {
        if (block.is_null() || !block.contains("logical_device")) return;
        RegisterFile& device = devices_[to_u32(block.at("logical_device"))];
        const uint32_t base = to_u32(block.at("base"));
        if (!device.has(0x60)) device.write(0x60, base >> 8 & 0xFF);
        if (!device.has(0x61)) device.write(0x61, base & 0xFF);
    }

    Machine& machine_;
    std::vector<uint32_t> entry_key_;
    uint32_t exit_key_ = 0xAA;
    std::size_t key_progress_ = 0;
    bool configuring_ = false;
    uint32_t index_ = 0;
    uint32_t logical_device_ = 0;
    RegisterFile global_;
    std::map<uint32_t, RegisterFile> devices_;
};

// The Super I/O's GPIO block: byte registers from its base on.
class SuperIoGpioBlock final : public PortDevice {
public:
    SuperIoGpioBlock(Machine& machine, const json& block)
        : machine_(machine),
          base_(static_cast<uint16_t>(to_u32(block.at("base")))),
          size_(static_cast<uint16_t>(member_u32(block, "size", 0x10))),
          registers_(RegisterFile::from_json(section(block, "registers"), 0xFF))
    {
    }

    bool owns(uint16_t port) const override { return port >= base_ && port - base_ < size_; }
    uint32_t in(uint16_t port, unsigned) override
    {
        return registers_.read(port - base_, machine_.clock.elapsed_s()) & 0xFF;
    }
    void out(uint16_t port, uint32_t value, unsigned) override { registers_.write(port - base_, value & 0xFF); }

private:
    Machine& machine_;
    uint16_t base_;
    uint16_t size_;
    RegisterFile registers_;
};

}  // namespace

void build_super_io(Machine& machine, const json& board)
{
    const json& config = section(board, "super_io");
    if (config.is_null()) return;
    machine.add_port_device(std::make_unique<SuperIo>(machine, config));
    if (const json& block = section(config, "gpio_block"); !block.is_null())
        machine.add_port_device(std::make_unique<SuperIoGpioBlock>(machine, block));
}

}  // namespace qv::sim
