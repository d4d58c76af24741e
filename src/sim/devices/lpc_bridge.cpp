// An I/O controller hub's LPC bridge: a PCI function whose GPIO base register points
// at a block of dword registers (pin use, direction, level).
#include "sim/devices/pci.h"

namespace qv::sim {

namespace {

constexpr uint32_t kIoSpace = 1;
constexpr uint16_t kBlockSize = 0x80;

// Older hubs keep the GPIO base at 0x58, later ones at 0x48.
uint32_t gpio_base_register_of(uint16_t device_id)
{
    return device_id == 0x2480 || device_id == 0x24C0 || device_id == 0x24D0 ? 0x58 : 0x48;
}

uint16_t gpio_base(const json& entry) { return static_cast<uint16_t>(to_u32(entry.at("gpio_base")) & ~kIoSpace); }

class GpioBlock final : public PortDevice {
public:
    GpioBlock(Machine& machine, uint16_t base, const json& registers)
        : machine_(machine), base_(base), dwords_(RegisterFile::from_json(registers))
    {
    }

    bool owns(uint16_t port) const override { return port >= base_ && port < base_ + kBlockSize; }

    uint32_t in(uint16_t port, unsigned width) override
    {
        const uint32_t offset = port - base_;
        const uint32_t dword = dwords_.read(offset & ~3u, machine_.clock.elapsed_s());
        return width == 4 ? dword : (dword >> ((offset & 3) * 8)) & 0xFF;
    }

    void out(uint16_t port, uint32_t value, unsigned width) override
    {
        const uint32_t offset = port - base_;
        if (width == 4) {
            dwords_.write(offset & ~3u, value);
            return;
        }
        const unsigned shift = (offset & 3) * 8;
        const uint32_t old = dwords_.read(offset & ~3u, machine_.clock.elapsed_s());
        dwords_.write(offset & ~3u, (old & ~(0xFFu << shift)) | (value & 0xFF) << shift);
    }

private:
    Machine& machine_;
    uint16_t base_;
    RegisterFile dwords_;
};

}  // namespace

PciFunctionSpec lpc_bridge_function(const json& entry)
{
    PciFunctionSpec f = pci_function_of(entry);
    const uint32_t reg = member_u32(entry, "gpio_base_register", gpio_base_register_of(f.device_id));
    f.derived[reg] = gpio_base(entry) | kIoSpace;
    return f;
}

void add_lpc_gpio_blocks(Machine& machine, const json& board)
{
    for (const auto& entry : section(board, "lpc_bridges"))
        machine.add_port_device(std::make_unique<GpioBlock>(machine, gpio_base(entry), section(entry, "gpio")));
}

}  // namespace qv::sim
