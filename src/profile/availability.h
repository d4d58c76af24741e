// The first-start pass that stops monitoring the items this machine does not have.
#pragma once

#include "profile/records.h"
#include "sensors/item_display.h"

#include <span>

namespace qv {

int detect_and_hide_nonactivated_items(std::span<ItemDisplay> displays, const LoadedProfile& profile);

}  // namespace qv
