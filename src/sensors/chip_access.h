// Register access on behalf of one item: which bus its bits route it to, the hardware
// primitives called with its own chip code and bus type, the chip-specific bank
// selections, and the NS87427's own I/O block.
#pragma once

#include "profile/records.h"

#include <cstdint>

namespace qv {

// Profile numbers are 32-bit, a register number is a byte and a port 16 bits: the
// register step after another wraps as the chip's address does, defined in every build.
constexpr uint8_t reg_at(int32_t base, unsigned step = 0)
{
    return static_cast<uint8_t>(static_cast<uint32_t>(base) + step);
}
constexpr uint16_t port_at(int32_t base, unsigned step = 0)
{
    return static_cast<uint16_t>(static_cast<uint32_t>(base) + step);
}

inline uint32_t item_bus(const ItemSection& item) { return static_cast<uint32_t>(item.BusType); }

// Served over the SMBus (by the host adapter or by the BMC).
inline bool is_smbus_item(const ItemSection& item) { return (item_bus(item) & (kBusSmbus | kBusBmcSmbus)) != 0; }
inline bool is_isa_item(const ItemSection& item) { return (item_bus(item) & kBusIsa) != 0; }
// The index/data pair is used only when the board has it too.
inline bool uses_isa_route(const SystemSection& system, const ItemSection& item)
{
    return is_isa_item(item) && (system.BusType & kBusIsa) != 0;
}

}  // namespace qv

namespace qv::chip {

bool bmc_present();

// SMBus primitives with the item's ChipCode and BusType and the host controller's base.
int smbus_read(const ItemSection& item, int32_t slave, int32_t reg, uint32_t* value);
int smbus_write(const ItemSection& item, int32_t slave, int32_t reg, uint8_t value);
int smbus_word_hl(const ItemSection& item, int32_t slave, int32_t reg, uint32_t* value);
// Only the BMC's SMBus path (bus bit 0x08) reaches the graphics card; -1 on any other.
int smbus_gpu(const ItemSection& item, int32_t slave, int32_t reg, uint32_t* value);

// Banked access through the board's index/data pair.
int isa_read(const SystemSection& system, int32_t bank, int32_t reg, uint32_t* value);
int isa_fan_word(const SystemSection& system, int32_t bank, int32_t reg, uint32_t* value);

// Two byte reads, low then high, as one 16-bit count; stops at the first failure.
int smbus_read_count(const ItemSection& item, int32_t slave, int32_t low_reg, int32_t high_reg, uint32_t* value);

// NCT7904D: register 0xFF selects the bank (0: readings, 1: limits).
int nct7904d_select_bank(const ItemSection& item, int32_t slave, uint8_t bank);
// NCT7904D 13-bit fan count from its high and low registers (high × 32 + low bits 4..0).
uint32_t nct7904d_fan_count(uint32_t high, uint32_t low);
// The same count over the BMC's banked read; false when either read fails.
bool nct7904d_fan_count_bmc(int32_t slave, uint8_t bank, int32_t reg, uint32_t* value);
// Over the SMBus after selecting the bank; the code of the failing or last read.
int nct7904d_fan_count_smbus(const ItemSection& item, int32_t slave, uint8_t bank, int32_t reg, uint32_t* value);

// NS87427 I/O block at base: select the fan in the bank register (base+0x0F, low five
// bits), then read the 16-bit word whose low byte is at base+low_offset.
uint32_t ns87427_fan_word(uint16_t base, int32_t fan, uint16_t low_offset);
uint32_t ns87427_port(uint16_t port);

}  // namespace qv::chip
