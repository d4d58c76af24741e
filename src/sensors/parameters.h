// Finding an item's parameters by name, and the item fields every path looks at.
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

inline uint32_t item_bus(const ItemSection& item) { return static_cast<uint32_t>(item.BusType); }

// Served over the SMBus (by the host adapter or by the BMC).
inline bool is_smbus_item(const ItemSection& item) { return (item_bus(item) & (kBusSmbus | kBusBmcSmbus)) != 0; }
inline bool is_isa_item(const ItemSection& item) { return (item_bus(item) & kBusIsa) != 0; }
// The index/data pair is used only when the board has it too.
inline bool uses_isa_route(const SystemSection& system, const ItemSection& item)
{
    return is_isa_item(item) && (system.BusType & kBusIsa) != 0;
}

}  // namespace qv
