// Finding an item's parameters by name.
#pragma once

#include "profile/records.h"

#include <cstdint>
#include <span>

namespace qv {

// The first parameter whose name equals name without regard to case; nullptr when none
// does. Records past the last [Parameter] block have no name and never match.
const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params);

// For as long as it lives, lookups in this array skip the check that the array is still
// the one the name index was built from: the engine never changes parameters while it
// reads. Scopes nest.
class ParameterScope {
public:
    explicit ParameterScope(std::span<const ParameterSection> params);
    ~ParameterScope();
    ParameterScope(const ParameterScope&) = delete;
    ParameterScope& operator=(const ParameterScope&) = delete;
};

}  // namespace qv
