// The start of a poll of the items, for the callers that reach the devices only
// through the sensor engine.
#pragma once

#include "ipmi/ipmi.h"

namespace qv {

// Every report, reset and window tick is one poll: what went silent in the last one is tried again.
inline void begin_item_poll() { ipmi_begin_poll(); }

}  // namespace qv
