// The run-time record of one item: what the user sees of it.
#pragma once

#include <cstdint>

namespace qv {

struct ItemDisplay {
    char name[40] = {};
    int32_t category = 0;
    int32_t chipCode = 0;
    int32_t reading = 0;
    int32_t highLimit = 0;
    int32_t lowLimit = 0;
    int32_t maxReading = 0;
    int32_t minReading = 0;
    int32_t divisor = 0;
    int32_t monitor = 0;
    int32_t thermalFlag = 0;
    char thermalText[10] = {};
};

}  // namespace qv
