// A hardware-monitor chip behind an index/data port pair. Register 0x4E, common to all
// banks, selects the bank with its low bits; every other register is per bank.
#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

#include <map>

namespace qv::sim {

namespace {

class HwMonitor final : public PortDevice {
public:
    HwMonitor(Machine& machine, const json& config)
        : machine_(machine),
          index_port_(static_cast<uint16_t>(to_u32(config.at("index")))),
          data_port_(static_cast<uint16_t>(to_u32(config.at("data")))),
          bank_register_(member_u32(config, "bank_register", 0x4E)),
          bank_mask_(member_u32(config, "bank_mask", 0x0F)),
          bank_select_(member_u32(config, "bank_select", 0x00) & 0xFF)
    {
        const uint32_t unset = member_u32(config, "unset", 0xFF);
        for (const auto& [bank, registers] : section(config, "banks").items())
            banks_[key_u32(bank)] = RegisterFile::from_json(registers, unset);
        unset_ = unset;
    }

    bool owns(uint16_t port) const override { return port == index_port_ || port == data_port_; }

    uint32_t in(uint16_t port, unsigned) override
    {
        if (port == index_port_) return index_;
        if (index_ == bank_register_) return bank_select_;
        return bank().read(index_, machine_.clock.elapsed_s()) & 0xFF;
    }

    void out(uint16_t port, uint32_t value, unsigned) override
    {
        value &= 0xFF;
        if (port == index_port_) index_ = value;
        else if (index_ == bank_register_) bank_select_ = value;
        else bank().write(index_, value);
    }

private:
    RegisterFile& bank()
    {
        const auto [it, added] = banks_.try_emplace(bank_select_ & bank_mask_, RegisterFile::from_json(json(), unset_));
        return it->second;
    }

    Machine& machine_;
    uint16_t index_port_;
    uint16_t data_port_;
    uint32_t bank_register_;
    uint32_t bank_mask_;
    uint32_t bank_select_;
    uint32_t unset_ = 0xFF;
    uint32_t index_ = 0;
    std::map<uint32_t, RegisterFile> banks_;
};

}  // namespace

void build_hw_monitors(Machine& machine, const json& board)
{
    for (const auto& config : section(board, "hw_monitors"))
        machine.add_port_device(std::make_unique<HwMonitor>(machine, config));
}

}  // namespace qv::sim
