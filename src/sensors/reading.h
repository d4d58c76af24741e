// One profile item turned into a reading, and the rule that calls a reading normal.
#pragma once

#include "profile/records.h"
#include "sensors/item_display.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace qv {

// How many REF_ITEM_ID references a switch's reading follows; one further counts as 0.
inline constexpr int kMaxReferenceLinks = 8;

// Up to three attempts while the reading is out of its limits; both limits are read
// at each. 0 on success, -1 on failure; the value is written either way.
int get_item_reading(const LoadedProfile& profile, ItemSection& item, int32_t* value);
// One read and conversion; the value is written only when the read succeeded.
int get_item_readingImpl(const LoadedProfile& profile, ItemSection& item, int32_t* value);

int isNormalReading(const ItemDisplay& display);

// One poll of an item into its display record: the reading when the read succeeds, the
// thermal level when the item has one. 0, or -1 when the read failed and the record
// keeps its last reading.
int refresh_item_display(const LoadedProfile& profile, ItemSection& item, ItemDisplay& display);

int get_item_name(const ItemSection& item, char* text, std::size_t capacity);
int32_t get_item_cat(const ItemSection& item);
int32_t get_item_monitor(const ItemSection& item);
int32_t get_item_chipcode(const ItemSection& item);
// BITMASK of the last parameter of that name; 0 when there is none.
int32_t get_item_bitmask(const char* name, std::span<const ParameterSection> params);

}  // namespace qv
