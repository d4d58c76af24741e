// Limits from the chips' own limit registers, converted like readings, and the fixed
// extremes that bound the charts.
#include "sensors/limits.h"

#include "ipmi/ipmi.h"
#include "sensors/chip_access.h"
#include "sensors/convert.h"
#include "sensors/parameters.h"

#include <cstdio>
#include <optional>

namespace qv {

namespace {

struct LimitRead {
    int code = -1;
    uint32_t value = 0;
};
using Rule = std::optional<LimitRead>;  // nullopt: the rule does not apply

constexpr LimitRead kFailed{};

LimitRead from(int code, uint32_t value) { return LimitRead{code, value}; }
uint8_t byte(int32_t value) { return static_cast<uint8_t>(value); }

// NCT7904D fan limits live in bank 1; BMC first when there is one.
LimitRead nct7904d_fan_limit(const ItemSection& item, const ParameterSection& p)
{
    uint32_t count = 0;
    if (chip::bmc_present() && chip::nct7904d_fan_count_bmc(p.Slave, 1, p.Offset, &count)) return from(0, count);
    const int code = chip::nct7904d_fan_count_smbus(item, p.Slave, 1, p.Offset, &count);
    return from(code, count);
}

// IT8720F: the extended high byte is chosen by the reading's register, not the limit's.
LimitRead it8720f_fan_limit(const SystemSection& system, const ItemSection& item, const ParameterSection& p)
{
    const bool extended = item.Offset >= 0x0D && item.Offset <= 0x12;
    uint32_t low = 0;
    uint32_t high = 0;
    const int low_code = chip::isa_read(system, p.Slave, p.Offset, &low);
    const int high_code = chip::isa_read(system, p.Slave, reg_at(p.Offset, extended ? 11 : 1), &high);
    return from(low_code != 0 ? low_code : high_code, high * 256 + low);
}

Rule fan_limit_rule(const SystemSection& system, const ItemSection& item, const ParameterSection& p)
{
    const bool smbus = is_smbus_item(item);
    const bool isa = is_isa_item(item);
    uint32_t value = 0;
    switch (item.ChipCode) {
    case 3: case 9: case 14: {
        if (!smbus) return kFailed;
        const int code = chip::smbus_read_count(item, p.Slave, p.Offset, reg_at(p.Offset, 1), &value);
        return from(code, value);
    }
    case 17: {
        if (!smbus) return kFailed;
        const int code = chip::smbus_word_hl(item, p.Slave, p.Offset, &value);
        return from(code, value);
    }
    case 8:
        return from(0, chip::ns87427_fan_word(port_at(p.Offset), p.Slave, 0x14));
    case 25:
        if (!isa) return kFailed;
        return it8720f_fan_limit(system, item, p);
    case 28: {
        if (!isa) return kFailed;
        const int code = chip::isa_fan_word(system, p.Slave, p.Offset, &value);
        return from(code, value);
    }
    case 30:
        if (!smbus) return kFailed;
        return nct7904d_fan_limit(item, p);
    default:
        return std::nullopt;
    }
}

Rule temp_limit_rule(const ItemSection& item, const ParameterSection& p)
{
    switch (item.ChipCode) {
    case 26: {
        if ((item_bus(item) & kBusBmcSmbus) == 0) return kFailed;
        uint32_t value = 0;
        const int code = chip::smbus_gpu(item, p.Slave, p.Offset, &value);
        return from(code, value);
    }
    case 28: case 33:
        // The NCT6776F's PECI inputs (bank 7) have no limit registers: a fixed 95 °C.
        if (is_isa_item(item) && item.Slave == 7) return from(0, 0x5F);
        return std::nullopt;
    case 34: {
        uint32_t value = 0;
        if (!chip::bmc_present() || IpmiByteRead_oem_30_95(byte(p.Offset), &value) != 0) return kFailed;
        return from(0, value);
    }
    default:
        return std::nullopt;
    }
}

// Generic: the SMBus register (NCT7904D variants through the BMC first), then the
// index/data pair, whose result wins when both apply.
LimitRead generic_limit(const SystemSection& system, const ItemSection& item, const ParameterSection& p)
{
    LimitRead result;
    if (is_smbus_item(item)) {
        const bool nct = item.ChipCode == 30 || item.ChipCode == 32;
        if (nct && chip::bmc_present() && IpmiByteRead_oem_30_90(byte(p.Slave), 1, byte(p.Offset), &result.value) == 0) {
            result.code = 0;
        } else {
            if (item.ChipCode == 30) chip::nct7904d_select_bank(item, item.Slave, 1);
            result.code = chip::smbus_read(item, p.Slave, p.Offset, &result.value);
        }
    }
    if (uses_isa_route(system, item)) result.code = chip::isa_read(system, p.Slave, p.Offset, &result.value);
    return result;
}

LimitRead read_limit_register(const SystemSection& system, const ItemSection& item, const ParameterSection& p)
{
    Rule rule;
    if (item.Cat == FAN) rule = fan_limit_rule(system, item, p);
    else if (item.Cat == TEMP) rule = temp_limit_rule(item, p);
    if (rule) return *rule;
    return generic_limit(system, item, p);
}

int convert_limit(const LoadedProfile& profile, const ItemSection& item, const LimitRead& read, int32_t* limit)
{
    switch (item.Cat) {
    case VOLTAGE:
        return VOLTAGEConvert(item.ChipCode, item.Vol_Func, read.value, limit);
    case FAN: {
        int32_t divisor = 0;
        get_item_divisor(profile, item, &divisor);
        return FANConvert(read.value, item.ChipCode, divisor, limit);
    }
    case TEMP:
        return TEMPConvert(read.value, limit);
    case SWITCH:
        return read.code;  // a switch has no limits: the register is read, never used
    default:
        std::fprintf(stderr, "Error: wrong parameter!\n");
        return read.code;
    }
}

int fan_divisor_for_extremes(const LoadedProfile& profile, const ItemSection& item)
{
    int32_t divisor = 0;
    get_item_divisor(profile, item, &divisor);
    return divisor;
}

}  // namespace

int get_item_limit(int selector, const LoadedProfile& profile, const char* param_name, const ItemSection& item,
                   int32_t* limit)
{
    (void)selector;  // the parameter name already says which limit is meant
    const ParameterSection* param = find_parameter(param_name, profile.params);
    if (param == nullptr) {
        std::fprintf(stderr, "Error: Parameter is not found.\n");
        return -1;
    }
    const LimitRead read = read_limit_register(*profile.system, item, *param);
    if (read.code == -1) return -1;
    return convert_limit(profile, item, read, limit);
}

int get_item_max_reading(const LoadedProfile& profile, const ItemSection& item, int32_t* value)
{
    switch (item.Cat) {
    case FAN: {
        const int32_t divisor = fan_divisor_for_extremes(profile, item);
        const bool byte_count = item.ChipCode == 3 || item.ChipCode == 8;
        return FANConvert(byte_count ? 256 : 1, item.ChipCode, divisor, value);
    }
    case VOLTAGE:
        return VOLTAGEConvert(item.ChipCode, item.Vol_Func, 255, value);
    case TEMP:
        return TEMPConvert(0x7F, value);
    case SWITCH:
        *value = 1;
        return 0;
    default:
        std::printf("Error: Unknown Cat '%d'!\n", item.Cat);
        *value = 0;
        return -1;
    }
}

int get_item_min_reading(const LoadedProfile& profile, const ItemSection& item, int32_t* value)
{
    switch (item.Cat) {
    case FAN:
        fan_divisor_for_extremes(profile, item);  // looked up all the same: a missing one is reported
        *value = 0;
        return 0;
    case VOLTAGE:
        return VOLTAGEConvert(item.ChipCode, item.Vol_Func, 0, value);
    case TEMP:
        return TEMPConvert(0x81, value);
    case SWITCH:
        *value = 0;
        return 0;
    default:
        std::printf("Error: unknown Cat '%d'!\n", item.Cat);
        *value = 0;
        return 0;
    }
}

}  // namespace qv
