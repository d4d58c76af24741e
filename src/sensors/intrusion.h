// Clearing the latch of a chassis-intrusion switch.
#pragma once

#include "profile/records.h"

namespace qv {

// 0 when the latch was cleared or was not set.
int reset_Intrusion(const LoadedProfile& profile, ItemSection& item);

}  // namespace qv
