// The hardware path of one reading: the item's category, ChipCode and bus bits choose
// which registers give its raw value.
#pragma once

#include "profile/records.h"

#include <cstdint>

namespace qv {

struct RawReading {
    int code = -1;     // the path's result; only -1 means the read failed
    uint32_t raw = 0;
};

RawReading read_raw_value(const SystemSection& system, const ItemSection& item);

}  // namespace qv
