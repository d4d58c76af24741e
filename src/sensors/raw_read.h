// The hardware path of one reading: the item's category, its chip's record and its bus
// bits choose which registers give its raw value.
#pragma once

#include "profile/records.h"

#include <cstdint>
#include <optional>

namespace qv {

struct RawReading {
    int code = -1;     // the path's result; only -1 means the read failed
    uint32_t raw = 0;
};

RawReading read_raw_value(const SystemSection& system, const ItemSection& item);

// The fan count at slave and offset by the fan path of the item's chip: its reading's,
// or with limit its limits'. nullopt: the chip has no fan path of its own.
std::optional<RawReading> read_fan_count(const SystemSection& system, const ItemSection& item, int32_t slave,
                                         int32_t offset, bool limit);

}  // namespace qv
