// Limits read from the chips' own limit registers, and the chart extremes.
#pragma once

#include "profile/records.h"

#include <cstdint>

namespace qv {

inline constexpr int kHighLimit = 1;
inline constexpr int kLowLimit = 2;

int get_item_limit(int selector, const LoadedProfile& profile, const char* param_name, const ItemSection& item,
                   int32_t* limit);
int get_item_max_reading(const LoadedProfile& profile, const ItemSection& item, int32_t* value);
int get_item_min_reading(const LoadedProfile& profile, const ItemSection& item, int32_t* value);

}  // namespace qv
