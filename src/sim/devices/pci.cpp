// The PCI configuration mechanism at 0xCF8/0xCFC.
#include "sim/devices/pci.h"

#include "sim/devices/builders.h"

#include <stdexcept>

namespace qv::sim {

namespace {

constexpr uint16_t kAddressPort = 0xCF8;
constexpr uint16_t kDataPort = 0xCFC;
constexpr uint32_t kEnable = 0x80000000u;
constexpr uint32_t kAbsent = 0xFFFFFFFFu;

struct ConfiguredFunction {
    uint32_t location;  // bus << 16 | device << 11 | function << 8
    RegisterFile dwords;
};

class PciConfigSpace final : public PortDevice {
public:
    PciConfigSpace(Machine& machine, const std::vector<PciFunctionSpec>& functions) : machine_(machine)
    {
        for (const PciFunctionSpec& f : functions) {
            ConfiguredFunction configured{f.bus << 16 | f.device << 11 | f.function << 8,
                                          RegisterFile::from_json(f.registers)};
            for (const auto& [reg, value] : f.derived)
                if (!configured.dwords.has(reg)) configured.dwords.write(reg, value);
            configured.dwords.write(0, f.id_dword());
            functions_.push_back(std::move(configured));
        }
    }

    bool owns(uint16_t port) const override { return port >= kAddressPort && port < kDataPort + 4; }

    uint32_t in(uint16_t port, unsigned width) override
    {
        if (port < kDataPort) return address_;
        const uint32_t dword = selected_dword();
        const unsigned shift = (port - kDataPort) * 8u;
        return width == 4 ? dword : (dword >> shift) & 0xFF;
    }

    void out(uint16_t port, uint32_t value, unsigned width) override
    {
        if (port < kDataPort) {
            if (width == 4) address_ = value;
            return;
        }
        if (ConfiguredFunction* f = selected(); f != nullptr && width == 4) f->dwords.write(address_ & 0xFC, value);
    }

private:
    ConfiguredFunction* selected()
    {
        if ((address_ & kEnable) == 0) return nullptr;
        const uint32_t location = address_ & 0x00FFFF00u;
        for (ConfiguredFunction& f : functions_)
            if (f.location == location) return &f;
        return nullptr;
    }

    uint32_t selected_dword()
    {
        ConfiguredFunction* f = selected();
        return f == nullptr ? kAbsent : f->dwords.read(address_ & 0xFC, machine_.clock.elapsed_s());
    }

    Machine& machine_;
    std::vector<ConfiguredFunction> functions_;
    uint32_t address_ = 0;
};

void check_location(const PciFunctionSpec& f)
{
    if (f.bus > 255 || f.device > 31 || f.function > 7)
        throw std::runtime_error("a PCI function outside bus 0-255, device 0-31, function 0-7");
}

}  // namespace

PciFunctionSpec pci_function_of(const json& entry)
{
    PciFunctionSpec f;
    f.bus = member_u32(entry, "bus", 0);
    f.device = member_u32(entry, "device", 0);
    f.function = member_u32(entry, "function", 0);
    f.vendor = static_cast<uint16_t>(to_u32(entry.at("vendor")));
    f.device_id = static_cast<uint16_t>(to_u32(entry.at("device_id")));
    f.registers = section(entry, "registers");
    f.driver = entry.value("driver", "");
    check_location(f);
    return f;
}

std::vector<PciFunctionSpec> pci_functions_of(const json& board)
{
    std::vector<PciFunctionSpec> functions;
    for (const auto& entry : section(board, "pci_functions")) functions.push_back(pci_function_of(entry));
    for (const auto& entry : section(board, "smbus_controllers")) functions.push_back(smbus_controller_function(entry));
    for (const auto& entry : section(board, "lpc_bridges")) functions.push_back(lpc_bridge_function(entry));
    return functions;
}

void build_pci(Machine& machine, const json& board)
{
    machine.add_port_device(std::make_unique<PciConfigSpace>(machine, pci_functions_of(board)));
    add_smbus_controller_blocks(machine, board);
    add_lpc_gpio_blocks(machine, board);
}

}  // namespace qv::sim
