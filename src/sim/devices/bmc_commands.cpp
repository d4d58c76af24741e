// The simulated BMC firmware's commands: the standard ones the program relies on and
// the OEM family, each checking the request data it gets.
#include "sim/devices/bmc.h"

namespace qv::sim {

namespace {

constexpr uint8_t kCcOk = 0x00;
constexpr uint8_t kCcNak = 0x83;  // Master Write-Read: nobody acknowledged the slave address
constexpr uint8_t kCcInvalidCommand = 0xC1;
constexpr uint8_t kCcBadLength = 0xC7;
constexpr uint8_t kCcNotPresent = 0xCB;
constexpr uint8_t kCcBadField = 0xCC;
constexpr uint8_t kMaxRead = 32;

Bytes fail(uint8_t code) { return {code}; }

}  // namespace

Bytes Bmc::respond(uint8_t netfn, uint8_t cmd, const Bytes& data)
{
    switch (netfn << 8 | cmd) {
    case 0x0601: return get_device_id(data);
    case 0x0637: return get_system_guid(data);
    case 0x0652:
    case 0x3022: return master_write_read(data);
    case 0x3023: return word_read_23(data);
    case 0x300F: return value_0f(data);
    case 0x3070: return value_70(data);
    case 0x302C: return isa_proxy(data);
    case 0x3092: return block_92(data);
    case 0x3090: return banked_read(data);
    case 0x3091: return banked_write(data);
    case 0x3093: return query_93(data);
    case 0x3095: return query_95(data);
    default: return fail(kCcInvalidCommand);
    }
}

ChipRegisters* Bmc::chip(uint8_t bus_id, uint8_t slave8)
{
    // Bus id: bit 0 private bus, bits 1..3 the bus number.
    if ((bus_id & 0x01) == 0) return nullptr;
    const auto bus = buses_.find(static_cast<uint8_t>((bus_id >> 1) & 0x07));
    if (bus == buses_.end()) return nullptr;
    const auto it = bus->second.find(static_cast<uint8_t>(slave8 >> 1));
    return it == bus->second.end() ? nullptr : &it->second;
}

ChipRegisters* Bmc::banked_chip(uint8_t slave8)
{
    ChipRegisters* found = chip(0x05, slave8);
    return found != nullptr ? found : chip(0x07, slave8);
}

Bytes Bmc::get_device_id(const Bytes& data)
{
    if (!data.empty()) return fail(kCcBadLength);
    Bytes response{kCcOk};
    response.insert(response.end(), device_id_.begin(), device_id_.end());
    return response;
}

Bytes Bmc::get_system_guid(const Bytes& data)
{
    if (!data.empty()) return fail(kCcBadLength);
    Bytes response{kCcOk};
    response.insert(response.end(), guid_.begin(), guid_.end());
    return response;
}

// Bus id, slave, bytes to read, then the bytes to write: register first, then values.
Bytes Bmc::master_write_read(const Bytes& data)
{
    if (data.size() < 3) return fail(kCcBadLength);
    if (data[2] > kMaxRead) return fail(kCcBadField);
    ChipRegisters* target = chip(data[0], data[1]);
    if (target == nullptr) return fail(kCcNak);
    const uint8_t reg = data.size() > 3 ? data[3] : 0;
    for (std::size_t i = 4; i < data.size(); ++i) target->write(static_cast<uint8_t>(reg + i - 4), data[i]);
    Bytes response{kCcOk};
    for (uint8_t k = 0; k < data[2]; ++k) response.push_back(target->read(static_cast<uint8_t>(reg + k), now()));
    return response;
}

// The Master Write-Read layout asking for one byte, answered with the register and the next.
Bytes Bmc::word_read_23(const Bytes& data)
{
    if (data.size() != 4) return fail(kCcBadLength);
    ChipRegisters* target = chip(data[0], data[1]);
    if (target == nullptr) return fail(kCcNak);
    return {kCcOk, target->read(data[3], now()), target->read(static_cast<uint8_t>(data[3] + 1), now())};
}

Bytes Bmc::value_0f(const Bytes& data)
{
    if (!data.empty()) return fail(kCcBadLength);
    if (!value_0f_) return fail(kCcNotPresent);
    return {kCcOk, static_cast<uint8_t>(value_0f_->read(now()))};
}

Bytes Bmc::value_70(const Bytes& data)
{
    if (data.size() != 2) return fail(kCcBadLength);
    if (data[0] != 0x05) return fail(kCcBadField);
    const auto it = values_70_.find(data[1]);
    if (it == values_70_.end()) return fail(kCcNotPresent);
    return {kCcOk, static_cast<uint8_t>(it->second.read(now()))};
}

// Operation (0 write a byte, 1 read a byte, 2 read the register and the next), bank, register[, value].
Bytes Bmc::isa_proxy(const Bytes& data)
{
    if (data.empty()) return fail(kCcBadLength);
    const std::size_t expected = data[0] == 0x00 ? 4 : 3;
    if (data[0] > 0x02) return fail(kCcBadField);
    if (data.size() != expected) return fail(kCcBadLength);
    const uint8_t bank = data[1];
    const uint8_t reg = data[2];
    if (data[0] == 0x00) {
        isa_.write(bank, reg, data[3]);
        return {kCcOk};
    }
    Bytes response{kCcOk, isa_.read(bank, reg, now())};
    if (data[0] == 0x02) response.push_back(isa_.read(bank, static_cast<uint8_t>(reg + 1), now()));
    return response;
}

// The slave's high and low nibble, or nothing for the power-supply block.
Bytes Bmc::block_92(const Bytes& data)
{
    if (data.size() != 0 && data.size() != 2) return fail(kCcBadLength);
    if (data.size() == 2 && (data[0] > 0x0F || data[1] > 0x0F)) return fail(kCcBadField);
    const int key = data.empty() ? -1 : (data[0] << 4 | data[1]);
    const auto it = blocks_92_.find(key);
    if (it == blocks_92_.end()) return fail(kCcNotPresent);
    Bytes response{kCcOk};
    for (Register& value : it->second) response.push_back(static_cast<uint8_t>(value.read(now())));
    return response;
}

// Slave, bank, register, number of bytes to read.
Bytes Bmc::banked_read(const Bytes& data)
{
    if (data.size() != 4) return fail(kCcBadLength);
    if (data[3] == 0 || data[3] > kMaxRead) return fail(kCcBadField);
    ChipRegisters* target = banked_chip(data[0]);
    if (target == nullptr) return fail(kCcNak);
    Bytes response{kCcOk};
    for (uint8_t k = 0; k < data[3]; ++k)
        response.push_back(target->read(data[1], static_cast<uint8_t>(data[2] + k), now()));
    return response;
}

// Slave, bank, register, value.
Bytes Bmc::banked_write(const Bytes& data)
{
    if (data.size() != 4) return fail(kCcBadLength);
    ChipRegisters* target = banked_chip(data[0]);
    if (target == nullptr) return fail(kCcNak);
    target->write(data[1], data[2], data[3]);
    return {kCcOk};
}

Bytes Bmc::query_93(const Bytes& data)
{
    if (data.size() != 1) return fail(kCcBadLength);
    const auto it = values_93_.find(data[0]);
    if (it == values_93_.end()) return fail(kCcNotPresent);
    return {kCcOk, static_cast<uint8_t>(it->second.read(now()))};
}

Bytes Bmc::query_95(const Bytes& data)
{
    if (!data.empty()) return fail(kCcBadLength);
    if (!value_95_) return fail(kCcNotPresent);
    return {kCcOk, static_cast<uint8_t>(value_95_->read(now()))};
}

}  // namespace qv::sim
