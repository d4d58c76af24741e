// Limits from the chips' own limit registers, converted like readings, and the fixed
// extremes that bound the charts.
#include "sensors/limits.h"

#include "hw/chips.h"
#include "ipmi/ipmi.h"
#include "sensors/chip_access.h"
#include "sensors/convert.h"
#include "sensors/parameters.h"
#include "sensors/raw_read.h"

#include <cstdio>
#include <optional>

namespace qv {

namespace {

using LimitRead = RawReading;  // raw: the limit register's value
using Rule = std::optional<LimitRead>;  // nullopt: the rule does not apply

constexpr LimitRead kFailed{};

LimitRead from(int code, uint32_t value) { return LimitRead{code, value}; }
uint8_t byte(int32_t value) { return static_cast<uint8_t>(value); }

Rule temp_limit_rule(const ItemSection& item, const ParameterSection& p)
{
    switch (chips::of(item.ChipCode).tempLimit) {
    case chips::TempLimit::GraphicsCard: {
        LimitRead result;
        result.code = chip::smbus_gpu(item, p.Slave, p.Offset, &result.raw);
        return result;
    }
    case chips::TempLimit::FixedInPeciBank:
        if (is_isa_item(item) && item.Slave == 7) return from(0, 0x5F);
        return std::nullopt;
    case chips::TempLimit::BmcSensor: {
        uint32_t value = 0;
        if (!chip::bmc_present() || IpmiByteRead_oem_30_95(byte(p.Offset), &value) != 0) return kFailed;
        return from(0, value);
    }
    case chips::TempLimit::Generic:
        break;
    }
    return std::nullopt;
}

// Generic: the SMBus register (NCT7904D variants through the BMC first), then the
// index/data pair, whose result wins when both apply.
LimitRead generic_limit(const SystemSection& system, const ItemSection& item, const ParameterSection& p)
{
    LimitRead result;
    if (is_smbus_item(item)) {
        const chips::Route route = chips::of(item.ChipCode).route;
        const bool banked = route == chips::Route::Nct7904d || route == chips::Route::MeNct7904d;
        if (banked && chip::bmc_present() && IpmiByteRead_oem_30_90(byte(p.Slave), 1, byte(p.Offset), &result.raw) == 0) {
            result.code = 0;
        } else {
            if (route == chips::Route::Nct7904d) chip::nct7904d_select_bank(item, item.Slave, 1);
            result.code = chip::smbus_read(item, p.Slave, p.Offset, &result.raw);
        }
    }
    if (uses_isa_route(system, item)) result.code = chip::isa_read(system, p.Slave, p.Offset, &result.raw);
    return result;
}

LimitRead read_limit_register(const SystemSection& system, const ItemSection& item, const ParameterSection& p)
{
    Rule rule;
    if (item.Cat == FAN) rule = read_fan_count(system, item, p.Slave, p.Offset, true);
    else if (item.Cat == TEMP) rule = temp_limit_rule(item, p);
    if (rule) return *rule;
    return generic_limit(system, item, p);
}

int convert_limit(const LoadedProfile& profile, const ItemSection& item, const LimitRead& read, int32_t* limit)
{
    switch (item.Cat) {
    case VOLTAGE:
        return VOLTAGEConvert(item.ChipCode, item.Vol_Func, read.raw, limit);
    case FAN: {
        int32_t divisor = 0;
        get_item_divisor(profile, item, &divisor);
        return FANConvert(read.raw, item.ChipCode, divisor, limit);
    }
    case TEMP:
        return TEMPConvert(read.raw, limit);
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
    const ParameterSection* param = item_parameter(profile, item, param_name);
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
        return FANConvert(chips::of(item.ChipCode).fullScaleCount, item.ChipCode, divisor, value);
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
