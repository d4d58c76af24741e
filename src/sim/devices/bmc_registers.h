// Register files the simulated BMC reaches: chips on its private SMBus buses, and the
// index/data chip behind its I/O-port proxy.
#pragma once

#include "sim/value.h"

#include <cstdint>
#include <map>
#include <optional>

namespace qv::sim {

// A chip's registers, flat or in banks. A chip with a bank-select register switches
// banks the way the chip itself does: its low four bits name the bank.
class ChipRegisters {
public:
    // {"registers": {...}}, or {"banks": {"0": {...}, ...}, "bank_register": "0x4E"}.
    static ChipRegisters from_json(const json& chip);
    // {"0": {"0x46": 128}, "1": {...}}: banks without a bank-select register.
    static ChipRegisters from_banks(const json& banks);

    // Through the chip's own bank selection (bus access).
    uint8_t read(uint8_t reg, double now_s);
    void write(uint8_t reg, uint8_t value);
    // In the named bank (the BMC's banked access); a flat chip has the one bank.
    uint8_t read(uint8_t bank, uint8_t reg, double now_s);
    void write(uint8_t bank, uint8_t reg, uint8_t value);

private:
    uint8_t selected_bank() const { return static_cast<uint8_t>(bank_select_ & 0x0F); }
    std::map<uint8_t, Register>& bank(uint8_t number);

    bool banked_ = false;
    std::optional<uint8_t> bank_register_;
    uint8_t bank_select_ = 0;
    std::map<uint8_t, std::map<uint8_t, Register>> banks_;
};

// The chips of one bus by 7-bit slave address.
using ChipsBySlave = std::map<uint8_t, ChipRegisters>;

}  // namespace qv::sim
