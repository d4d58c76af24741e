// Fan counts, temperature bytes, switch bits and divisor fields to reading units.
#include "sensors/convert.h"

#include "hw/chips.h"
#include "sensors/chip_access.h"
#include "sensors/names.h"
#include "sensors/parameters.h"

#include <cstdio>
#include <limits>

namespace qv {

namespace {

int32_t pulse_rpm(uint32_t count)
{
    const long double rpm = static_cast<long double>(count) * 30.0 / 0.262;
    if (rpm >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(rpm);
}

}  // namespace

int FANConvert(uint32_t raw, int chip_code, int32_t divisor, int32_t* rpm)
{
    *rpm = 0;
    if (raw == 0) return 0;
    const chips::FanFormula& fan = chips::of(chip_code).fanFormula;
    if (fan.pulses) {
        *rpm = pulse_rpm(raw);
        return 0;
    }
    if (fan.numerator != 0) {
        const bool stopped = raw >= fan.stoppedFrom && raw <= fan.stoppedTo;
        *rpm = stopped ? 0 : static_cast<int32_t>(fan.numerator / raw);
        return 0;
    }
    if (divisor == 0) return -1;
    if (raw > 254) return 0;
    // The quotient by the divisor is signed, the one by the count unsigned.
    const auto per_count = static_cast<uint32_t>(1350000 / divisor);
    *rpm = static_cast<int32_t>(per_count / raw);
    return 0;
}

int TEMPConvert(uint32_t raw, int32_t* degrees)
{
    if (raw == 0x80) *degrees = 0;                                   // no sensor
    else if ((raw & 0x80) != 0) *degrees = static_cast<int32_t>(raw | ~0x7Fu);  // negative byte
    else *degrees = static_cast<int32_t>(raw);
    return 0;
}

int SWITCHConvert(uint32_t raw, uint32_t mask, int32_t* state, int32_t activate, int chip_code, int32_t reference)
{
    if (chips::of(chip_code).switchPath == chips::SwitchPath::Placeholder) {
        *state = raw != 0 ? 1 : 0;
        return 0;
    }
    const bool bit_set = (raw & mask) != 0;
    const bool tripped = bit_set == (activate != 0);
    if (tripped) *state = 1;
    else *state = reference == 0 ? 2 : 0;
    return 0;
}

int DIVISORConvert(uint32_t reg_value, int, uint8_t mask, int32_t* divisor)
{
    int shift = 0;
    switch (mask) {
    case 0x03: shift = 0; break;
    case 0x0C: shift = 2; break;
    case 0x30: shift = 4; break;
    case 0xC0: shift = 6; break;
    default:
        *divisor = 1;
        return -1;
    }
    *divisor = 1 << ((reg_value >> shift) & 0x03);
    return 0;
}

int get_item_divisor(const LoadedProfile& profile, const ItemSection& item, int32_t* divisor)
{
    const ParameterSection* param = item_parameter(profile, item, item.ParaIndex1);
    if (param == nullptr) {
        std::printf("Error: Cannot get the divisor '%s'!\n", item.ParaIndex1);
        return -1;
    }
    if (chips::of(item.ChipCode).fanFormula.fixed_divisor()) {
        *divisor = 1;
        return 0;
    }
    uint32_t reg_value = 0;
    int result = -1;
    if (is_smbus_item(item)) result = chip::smbus_read(item, param->Slave, param->Offset, &reg_value);
    if (uses_isa_route(*profile.system, item)) result = chip::isa_read(*profile.system, param->Slave, param->Offset, &reg_value);
    if (name_starts_with(item.ParaIndex1, "DIVISOR"))
        result = DIVISORConvert(reg_value, item.ChipCode, static_cast<uint8_t>(param->BitMask), divisor);
    return result;
}

}  // namespace qv
