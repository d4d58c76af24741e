// The item display table and the text report.
#pragma once

#include "profile/records.h"
#include "sensors/item_display.h"

#include <span>
#include <vector>

namespace qv {

std::vector<ItemDisplay> createItemDisps(const LoadedProfile& profile);
void text_build_Items(std::span<ItemDisplay> displays, const LoadedProfile& profile);

}  // namespace qv
