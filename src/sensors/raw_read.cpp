// The raw value of one reading: the category's path of the item's chip record, else
// the chip's generic route. The first path that applies decides.
#include "sensors/raw_read.h"

#include "hw/chips.h"
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

// NCT7904D fan: BMC first when there is one, else over the SMBus.
RawReading nct7904d_fan(const ItemSection& item, int32_t slave, int32_t offset, uint8_t bank)
{
    uint32_t count = 0;
    if (chip::bmc_present() && chip::nct7904d_fan_count_bmc(slave, bank, offset, &count)) return from(0, count);
    const int code = chip::nct7904d_fan_count_smbus(item, slave, bank, offset, &count);
    return from(code, count);
}

// IT8720F: the high bytes of fans 4 and 5 and up sit eleven registers above the low
// ones; the reading's register says which, also for its limits.
RawReading it8720f_fan(const SystemSection& system, const ItemSection& item, int32_t bank, int32_t offset)
{
    const bool extended = item.Offset >= 0x0D && item.Offset <= 0x12;
    uint32_t low = 0;
    uint32_t high = 0;
    const int low_code = chip::isa_read(system, bank, offset, &low);
    const int high_code = chip::isa_read(system, bank, reg_at(offset, extended ? 11 : 1), &high);
    return from(low_code != 0 ? low_code : high_code, high * 256 + low);
}

}  // namespace

std::optional<RawReading> read_fan_count(const SystemSection& system, const ItemSection& item, int32_t slave,
                                         int32_t offset, bool limit)
{
    using chips::FanPath;
    const chips::Chip& record = chips::of(item.ChipCode);
    const bool smbus = is_smbus_item(item);
    const bool isa = is_isa_item(item);
    uint32_t raw = 0;
    switch (limit ? record.fanLimit : record.fan) {
    case FanPath::ByteCount: {
        if (!smbus) return kFailed;
        const int code = chip::smbus_read_count(item, slave, offset, reg_at(offset, 1), &raw);
        return from(code, raw);
    }
    case FanPath::WordHighLow: {
        if (!smbus) return kFailed;
        const int code = chip::smbus_word_hl(item, slave, offset, &raw);
        return from(code, raw);
    }
    case FanPath::Nct7904d:
        if (!smbus) return kFailed;
        return nct7904d_fan(item, slave, offset, limit ? 1 : 0);  // limits live in bank 1
    case FanPath::OwnIoBlock:
        return from(0, chip::ns87427_fan_word(port_at(offset), slave, limit ? 0x14 : 0x12));
    case FanPath::ExtendedHigh:
        if (!isa) return kFailed;
        return it8720f_fan(system, item, slave, offset);
    case FanPath::Nct6776fWord: {
        if (!isa) return kFailed;
        const int code = chip::isa_fan_word(system, slave, offset, &raw);
        return from(code, raw);
    }
    case FanPath::Generic:
        break;
    }
    return std::nullopt;
}

namespace {

// NCT7904D switch: its status register 0xCA, BMC first.
RawReading nct7904d_switch(const ItemSection& item)
{
    uint32_t raw = 0;
    if (chip::bmc_present() && IpmiByteRead_oem_30_90(byte(item.Slave), 0, 0xCA, &raw) == 0) return from(0, raw);
    chip::nct7904d_select_bank(item, item.Slave, 0);
    const int code = chip::smbus_read(item, item.Slave, 0xCA, &raw);
    return from(code, raw);
}

Rule switch_rule(const ItemSection& item, chips::SwitchPath path)
{
    using chips::SwitchPath;
    uint32_t raw = 0;
    switch (path) {
    case SwitchPath::SuperIoConfigGpio:
    case SwitchPath::SuperIoGpioBlock:
        ReadSuperGPIO(item.ChipCode, byte(item.Slave), byte(item.Offset), &raw);
        return from(0, raw);
    case SwitchPath::OwnIoBlock:
        return from(0, chip::ns87427_port(port_at(item.Offset, 0x0C)));
    case SwitchPath::SouthBridgeGpio:
        ReadSBGPIO(item.ChipCode, item.Slave, byte(item.Offset), &raw);
        return from(0, raw);
    case SwitchPath::Nct7904dStatus:
        return nct7904d_switch(item);
    case SwitchPath::Placeholder:
        return from(0, 0);  // nothing to read
    case SwitchPath::Generic:
        break;
    }
    return std::nullopt;
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

Rule temp_rule(const ItemSection& item, chips::TempPath path)
{
    switch (path) {
    case chips::TempPath::PeciChecked:
        return w83793g_temp(item);
    case chips::TempPath::GraphicsCard: {
        RawReading result;
        result.code = chip::smbus_gpu(item, item.Slave, item.Offset, &result.raw);
        return result;
    }
    case chips::TempPath::Generic:
        break;
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
RawReading generic_smbus(const ItemSection& item, chips::Route route)
{
    using chips::Route;
    uint32_t raw = 0;
    if (chip::bmc_present() && route == Route::Nct7904d && IpmiByteRead_oem_30_90(byte(item.Slave), 0, byte(item.Offset), &raw) == 0)
        return from(0, raw);
    if (chip::bmc_present() && route == Route::MeNct7904d) {
        const auto index = static_cast<uint8_t>((static_cast<uint32_t>(item.Offset) & 0x0F) >> 1);
        if (IpmiByteRead_oem_30_93(index, &raw) == 0) return from(0, raw == 0xFF ? 0 : raw);
    }
    if (route == Route::Nct7904d) chip::nct7904d_select_bank(item, item.Slave, 0);
    const int code = chip::smbus_read(item, item.Slave, item.Offset, &raw);
    return from(code, raw);
}

}  // namespace

RawReading read_raw_value(const SystemSection& system, const ItemSection& item)
{
    const chips::Chip& record = chips::of(item.ChipCode);
    Rule rule;
    if (item.Cat == FAN) rule = read_fan_count(system, item, item.Slave, item.Offset, false);
    else if (item.Cat == SWITCH) rule = switch_rule(item, record.switchPath);
    else if (item.Cat == TEMP) rule = temp_rule(item, record.temp);
    if (rule) return *rule;
    if (record.route == chips::Route::BmcSensor) return bmc_sensor(item);
    if (is_smbus_item(item)) return generic_smbus(item, record.route);
    if (uses_isa_route(system, item)) {
        RawReading result;
        result.code = chip::isa_read(system, item.Slave, item.Offset, &result.raw);
        return result;
    }
    return kFailed;
}

}  // namespace qv
