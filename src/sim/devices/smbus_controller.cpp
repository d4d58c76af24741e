// A host SMBus controller: a PCI function whose base register points at its I/O
// block, where offset 0 is the host status register (bits cleared by writing 1).
#include "sim/devices/pci.h"

namespace qv::sim {

namespace {

constexpr uint32_t kIoSpace = 1;
constexpr uint16_t kBlockSize = 0x20;

// Where each maker's controller keeps its I/O base.
uint32_t base_register_of(uint16_t vendor)
{
    switch (vendor) {
    case 0x10DE: return 0x24;
    case 0x1166:
    case 0x1002: return 0x90;
    case 0x1022: return 0x10;
    default: return 0x20;
    }
}

uint16_t io_base(const json& entry) { return static_cast<uint16_t>(to_u32(entry.at("base")) & ~kIoSpace); }

class SmbusHostBlock final : public PortDevice {
public:
    SmbusHostBlock(Machine& machine, uint16_t base, const json& entry)
        : machine_(machine), base_(base), registers_(RegisterFile::from_json(section(entry, "block")))
    {
        registers_.write(0, member_u32(entry, "status", 0));
    }

    bool owns(uint16_t port) const override { return port >= base_ && port < base_ + kBlockSize; }

    uint32_t in(uint16_t port, unsigned) override
    {
        return registers_.read(port - base_, machine_.clock.elapsed_s()) & 0xFF;
    }

    void out(uint16_t port, uint32_t value, unsigned) override
    {
        const uint32_t offset = port - base_;
        if (offset == 0) value = registers_.read(0, machine_.clock.elapsed_s()) & ~value & 0xFF;
        registers_.write(offset, value & 0xFF);
    }

private:
    Machine& machine_;
    uint16_t base_;
    RegisterFile registers_;
};

}  // namespace

PciFunctionSpec smbus_controller_function(const json& entry)
{
    PciFunctionSpec f = pci_function_of(entry);
    const uint32_t reg = member_u32(entry, "base_register", base_register_of(f.vendor));
    f.derived[reg] = member_u32(entry, "base_value", io_base(entry) | kIoSpace);
    return f;
}

void add_smbus_controller_blocks(Machine& machine, const json& board)
{
    for (const auto& entry : section(board, "smbus_controllers"))
        machine.add_port_device(std::make_unique<SmbusHostBlock>(machine, io_base(entry), entry));
}

}  // namespace qv::sim
