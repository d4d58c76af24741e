// Rules in the order they are tried; the first that matches the item decides.
#include "sensors/raw_read.h"

#include "hw/gpio.h"
#include "ipmi/ipmi.h"
#include "sensors/chip_access.h"

#include <optional>

namespace qv {

namespace {

using Rule = std::optional<RawReading>;  // nullopt: the rule does not apply

constexpr RawReading kFailed{};

RawReading from(int code, uint32_t raw) { return RawReading{code, raw}; }
uint8_t byte(int32_t value) { return static_cast<uint8_t>(value); }

// NCT7904D fan: BMC first when there is one, else bank 0 over the SMBus.
RawReading nct7904d_fan(const ItemSection& item)
{
    uint32_t count = 0;
    if (chip::bmc_present() && chip::nct7904d_fan_count_bmc(item.Slave, 0, item.Offset, &count)) return from(0, count);
    const int code = chip::nct7904d_fan_count_smbus(item, item.Slave, 0, item.Offset, &count);
    return from(code, count);
}

// IT8720F: the high bytes of fans 4 and 5 and up sit eleven registers above the low ones.
RawReading it8720f_fan(const SystemSection& system, const ItemSection& item)
{
    const bool extended = item.Offset >= 0x0D && item.Offset <= 0x12;
    uint32_t low = 0;
    uint32_t high = 0;
    const int low_code = chip::isa_read(system, item.Slave, item.Offset, &low);
    const int high_code = chip::isa_read(system, item.Slave, reg_at(item.Offset, extended ? 11 : 1), &high);
    return from(low_code != 0 ? low_code : high_code, high * 256 + low);
}

Rule fan_rule(const SystemSection& system, const ItemSection& item)
{
    const bool smbus = is_smbus_item(item);
    const bool isa = is_isa_item(item);
    uint32_t raw = 0;
    switch (item.ChipCode) {
    case 3: case 9: case 14: case 16: {
        if (!smbus) return kFailed;
        const int code = chip::smbus_read_count(item, item.Slave, item.Offset, reg_at(item.Offset, 1), &raw);
        return from(code, raw);
    }
    case 17: {
        if (!smbus) return kFailed;
        const int code = chip::smbus_word_hl(item, item.Slave, item.Offset, &raw);
        return from(code, raw);
    }
    case 30:
        if (!smbus) return kFailed;
        return nct7904d_fan(item);
    case 8:
        return from(0, chip::ns87427_fan_word(port_at(item.Offset), item.Slave, 0x12));
    case 25:
        if (!isa) return kFailed;
        return it8720f_fan(system, item);
    case 28: {
        if (!isa) return kFailed;
        const int code = chip::isa_fan_word(system, item.Slave, item.Offset, &raw);
        return from(code, raw);
    }
    default:
        return std::nullopt;
    }
}

// NCT7904D switch: its status register 0xCA, BMC first.
RawReading nct7904d_switch(const ItemSection& item)
{
    uint32_t raw = 0;
    if (chip::bmc_present() && IpmiByteRead_oem_30_90(byte(item.Slave), 0, 0xCA, &raw) == 0) return from(0, raw);
    chip::nct7904d_select_bank(item, item.Slave, 0);
    const int code = chip::smbus_read(item, item.Slave, 0xCA, &raw);
    return from(code, raw);
}

Rule switch_rule(const ItemSection& item)
{
    uint32_t raw = 0;
    switch (item.ChipCode) {
    case 4: case 5:
        ReadSuperGPIO(item.ChipCode, byte(item.Slave), byte(item.Offset), &raw);
        return from(0, raw);
    case 8:
        return from(0, chip::ns87427_port(port_at(item.Offset, 0x0C)));
    case 11:
        ReadSBGPIO(item.ChipCode, item.Slave, byte(item.Offset), &raw);
        return from(0, raw);
    case 30:
        return nct7904d_switch(item);
    case 27:
        return from(0, 0);  // a placeholder: nothing to read
    default:
        return std::nullopt;
    }
}

// W83793G: when the PECI agents are enabled (0x5E bits 1..0), register 0xD6 flags the
// agents whose reading is not valid; their inputs then read as "no sensor".
RawReading w83793g_temp(const ItemSection& item)
{
    RawReading result;
    if (is_smbus_item(item)) result.code = chip::smbus_read(item, item.Slave, item.Offset, &result.raw);
    uint32_t peci = 0;
    result.code = chip::smbus_read(item, item.Slave, 0x5E, &peci);
    if ((peci & 0x03) != 0x03) return result;
    uint32_t invalid = 0;
    result.code = chip::smbus_read(item, item.Slave, 0xD6, &invalid);
    const int agent = reg_at(item.Offset) - 0x1C;  // of the register just read
    if (agent >= 0 && agent < 4 && (invalid & (0x10u << agent)) != 0) result.raw = 0x80;
    return result;
}

Rule temp_rule(const ItemSection& item)
{
    if (item.ChipCode == 17) return w83793g_temp(item);
    if (item.ChipCode == 26) {
        if ((item_bus(item) & kBusBmcSmbus) == 0) return kFailed;
        uint32_t raw = 0;
        const int code = chip::smbus_gpu(item, item.Slave, item.Offset, &raw);
        return from(code, raw);
    }
    return std::nullopt;
}

RawReading bmc_sensor(const ItemSection& item)
{
    uint32_t raw = 0;
    if (!chip::bmc_present() || IpmiByteRead_oem_30_95(byte(item.Offset), &raw) != 0) return kFailed;
    return from(0, raw);
}

// Generic SMBus read; the NCT7904D variants ask the BMC first.
RawReading generic_smbus(const ItemSection& item)
{
    uint32_t raw = 0;
    if (chip::bmc_present() && item.ChipCode == 30 && IpmiByteRead_oem_30_90(byte(item.Slave), 0, byte(item.Offset), &raw) == 0)
        return from(0, raw);
    if (chip::bmc_present() && item.ChipCode == 32) {
        const auto index = static_cast<uint8_t>((static_cast<uint32_t>(item.Offset) & 0x0F) >> 1);
        if (IpmiByteRead_oem_30_93(index, &raw) == 0) return from(0, raw == 0xFF ? 0 : raw);
    }
    if (item.ChipCode == 30) chip::nct7904d_select_bank(item, item.Slave, 0);
    const int code = chip::smbus_read(item, item.Slave, item.Offset, &raw);
    return from(code, raw);
}

}  // namespace

RawReading read_raw_value(const SystemSection& system, const ItemSection& item)
{
    Rule rule;
    if (item.Cat == FAN) rule = fan_rule(system, item);
    else if (item.Cat == SWITCH) rule = switch_rule(item);
    else if (item.Cat == TEMP) rule = temp_rule(item);
    if (rule) return *rule;
    if (item.ChipCode == 34) return bmc_sensor(item);
    if (is_smbus_item(item)) return generic_smbus(item);
    if (uses_isa_route(system, item)) {
        RawReading result;
        result.code = chip::isa_read(system, item.Slave, item.Offset, &result.raw);
        return result;
    }
    return kFailed;
}

}  // namespace qv
