// The first-start pass that stops monitoring the items this machine does not have.
#pragma once

#include "profile/records.h"
#include "sensors/item_display.h"

#include <cstdint>
#include <functional>
#include <span>

namespace qv {

// Reads every monitored item once, turns monitoring off for the items that are not
// really there, says which, and writes the MONITOR entries back. Returns 0; ends the
// process with status 2 when the profile cannot be rewritten.
int detect_and_hide_nonactivated_items(std::span<ItemDisplay> displays, const LoadedProfile& profile);

// How the pass learns about an item: the sensor engine's reading and status rule.
struct ItemProbe {
    std::function<int(ItemSection& item, int32_t* value)> read;
    std::function<int(const ItemDisplay& display)> normal;
};

// The deciding half: prints one line per item turned off; returns how many.
int hide_missing_items(std::span<ItemDisplay> displays, const LoadedProfile& profile, const ItemProbe& probe);

// Rewrites every MONITOR entry of the profile from the display table and keeps the
// file as it was in /etc/Quorvel.ini.old. 0, or 2 after the error message.
int rewrite_monitor_entries(std::span<const ItemDisplay> displays);

}  // namespace qv
