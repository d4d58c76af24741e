// Finding an item's parameters by name.
#pragma once

#include "profile/records.h"

#include <cstdint>
#include <span>

namespace qv {

// The first parameter whose name equals name without regard to case; nullptr when none
// does. Records past the last [Parameter] block have no name and never match.
const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params);

// The index trusts an array it has seen, at the same place and size, until
// parameters_changed() (profile/records.h) announces a change.

// A reading's lookups in one array: the index is made current for it once. Scopes nest.
class ParameterScope {
public:
    explicit ParameterScope(std::span<const ParameterSection> params);
    ~ParameterScope();
    ParameterScope(const ParameterScope&) = delete;
    ParameterScope& operator=(const ParameterScope&) = delete;
};

}  // namespace qv
