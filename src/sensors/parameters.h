// Finding an item's parameters by name.
#pragma once

#include "profile/records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qv {

// The first parameter whose name equals name without regard to case; nullptr when none
// does. Records past the last [Parameter] block have no name and never match. Scans
// the array: for lookups outside a loaded profile.
const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params);

// A loaded profile's parameter names, indexed. The index trusts the array it was built
// from (same place and size) until parameters_changed() announces a change; each item's
// two names are then resolved once, at the first reading that needs them.
class ParameterNames {
public:
    // Positions in the parameter array of the first and the last parameter of a name.
    struct Places {
        int32_t first = -1;  // -1: no parameter has the name
        int32_t last = -1;
    };

    // field: item.ParaIndex1 or item.ParaIndex2 of an item of profile.items.
    Places of_item(const LoadedProfile& profile, const ItemSection& item, const char* field);

private:
    struct Key {
        uint64_t low = 0;
        uint32_t high = 0;
        bool operator==(const Key&) const = default;
    };
    struct Slot {
        Key key;
        Places places;
        bool used = false;
    };
    struct Resolved {
        Places fields[2];
        bool done = false;
    };

    void make_current(const LoadedProfile& profile);
    Places find(const char* name) const;

    std::vector<Slot> slots_;  // open addressing, at most half full
    std::size_t mask_ = 0;
    std::vector<Resolved> items_;
    bool built_ = false;
    const ParameterSection* data_ = nullptr;
    std::size_t size_ = 0;
    uint64_t generation_ = 0;
};

// The parameter one of the item's name fields (item.ParaIndex1 or item.ParaIndex2) names:
// through the profile's index when it has one; any other name is looked up as it is.
const ParameterSection* item_parameter(const LoadedProfile& profile, const ItemSection& item, const char* field);
// BITMASK of the last parameter of that name; 0 when there is none.
int32_t item_bitmask(const LoadedProfile& profile, const ItemSection& item, const char* field);

}  // namespace qv
