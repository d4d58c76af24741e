// Raw register values to RPM, millivolts, degrees Celsius and switch states.
#pragma once

#include "profile/records.h"

#include <cstdint>

namespace qv {

int FANConvert(uint32_t raw, int chip_code, int32_t divisor, int32_t* rpm);
int VOLTAGEConvert(int chip_code, int vol_func, uint32_t raw, int32_t* millivolts);
int TEMPConvert(uint32_t raw, int32_t* degrees);
int SWITCHConvert(uint32_t raw, uint32_t mask, int32_t* state, int32_t activate, int chip_code, int32_t reference);
int DIVISORConvert(uint32_t reg_value, int chip_code, uint8_t mask, int32_t* divisor);
int get_item_divisor(const LoadedProfile& profile, const ItemSection& item, int32_t* divisor);

// °F as every view shows it: integer arithmetic, the division truncating toward zero.
constexpr int64_t fahrenheit(int32_t celsius) { return static_cast<int64_t>(celsius) * 9 / 5 + 32; }

}  // namespace qv
