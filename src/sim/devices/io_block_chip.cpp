// A monitor chip with an I/O block of its own: base+0x0F selects a fan with its low five
// bits (the upper three are the chip's), base+0x12/0x13 give that fan's count low/high,
// base+0x14/0x15 its limit low/high, base+0x0C the switch register.
#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

#include <map>

namespace qv::sim {

namespace {

constexpr uint16_t kBlockSize = 0x20;
constexpr uint32_t kSelect = 0x0F;
constexpr uint32_t kCountLow = 0x12;
constexpr uint32_t kCountHigh = 0x13;
constexpr uint32_t kLimitLow = 0x14;
constexpr uint32_t kLimitHigh = 0x15;
constexpr uint32_t kSwitch = 0x0C;

struct Fan {
    Register count;
    Register limit;
};

class IoBlockChip final : public PortDevice {
public:
    IoBlockChip(Machine& machine, const json& config)
        : machine_(machine),
          base_(static_cast<uint16_t>(to_u32(config.at("base")))),
          registers_(RegisterFile::from_json(section(config, "registers"), 0xFF))
    {
        registers_.write(kSelect, member_u32(config, "select", 0) & 0xFF);
        if (config.contains("switch")) registers_.write(kSwitch, to_u32(config.at("switch")) & 0xFF);
        for (const auto& [number, fan] : section(config, "fans").items())
            fans_[key_u32(number) & 0x1F] = {Register::from_json(fan.value("count", json(0))),
                                              Register::from_json(fan.value("limit", json(0)))};
    }

    bool owns(uint16_t port) const override { return port >= base_ && port < base_ + kBlockSize; }

    // A low byte read latches the 16-bit value; the high byte comes from the latch.
    uint32_t in(uint16_t port, unsigned) override
    {
        const uint32_t offset = port - base_;
        const double now = machine_.clock.elapsed_s();
        Fan& fan = fans_[registers_.read(kSelect, now) & 0x1F];
        switch (offset) {
        case kCountLow: latch_ = fan.count.read(now); return latch_ & 0xFF;
        case kLimitLow: latch_ = fan.limit.read(now); return latch_ & 0xFF;
        case kCountHigh:
        case kLimitHigh: return latch_ >> 8 & 0xFF;
        default: return registers_.read(offset, now) & 0xFF;
        }
    }

    void out(uint16_t port, uint32_t value, unsigned) override { registers_.write(port - base_, value & 0xFF); }

private:
    Machine& machine_;
    uint16_t base_;
    RegisterFile registers_;
    std::map<uint32_t, Fan> fans_;
    uint32_t latch_ = 0;
};

}  // namespace

void build_io_block_chips(Machine& machine, const json& board)
{
    for (const auto& config : section(board, "io_block_chips"))
        machine.add_port_device(std::make_unique<IoBlockChip>(machine, config));
}

}  // namespace qv::sim
