// Finding an item's parameters by name.
#pragma once

#include "profile/records.h"

#include <span>

namespace qv {

// The first parameter whose name equals name without regard to case; nullptr when none
// does. Records past the last [Parameter] block have no name and never match. Scans
// the array: for lookups outside a loaded profile.
const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params);

// The parameter one of the item's name fields (item.ParaIndex1 or item.ParaIndex2) names:
// through the profile's index when it has one; any other name is looked up as it is.
const ParameterSection* item_parameter(const LoadedProfile& profile, const ItemSection& item, const char* field);
// BITMASK of the last parameter of that name; 0 when there is none.
int32_t item_bitmask(const LoadedProfile& profile, const ItemSection& item, const char* field);

}  // namespace qv
