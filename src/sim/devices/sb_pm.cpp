// The south bridge's power-management registers behind the index/data pair 0xCD6/0xCD7.
#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

namespace qv::sim {

namespace {

constexpr uint16_t kIndexPort = 0xCD6;
constexpr uint16_t kDataPort = 0xCD7;

class SbPm final : public PortDevice {
public:
    SbPm(Machine& machine, const json& config)
        : machine_(machine), registers_(RegisterFile::from_json(section(config, "registers"), 0xFF))
    {
    }

    bool owns(uint16_t port) const override { return port == kIndexPort || port == kDataPort; }
    uint32_t in(uint16_t port, unsigned) override
    {
        return port == kIndexPort ? index_ : registers_.read(index_, machine_.clock.elapsed_s()) & 0xFF;
    }
    void out(uint16_t port, uint32_t value, unsigned) override
    {
        if (port == kIndexPort) index_ = value & 0xFF;
        else registers_.write(index_, value & 0xFF);
    }

private:
    Machine& machine_;
    RegisterFile registers_;
    uint32_t index_ = 0;
};

}  // namespace

void build_sb_pm(Machine& machine, const json& board)
{
    const json& config = section(board, "sb_pm");
    if (!config.is_null()) machine.add_port_device(std::make_unique<SbPm>(machine, config));
}

}  // namespace qv::sim
