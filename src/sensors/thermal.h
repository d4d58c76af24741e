// CPU thermal levels: "Low", "Medium", "High", "Overheat".
#pragma once

#include "profile/records.h"

namespace qv {

inline constexpr int kThermalTextSize = 10;

int supportThermalText(const SystemSection& system, const ItemSection& item);
// 0 when text (kThermalTextSize bytes) was written; otherwise it is left as it was.
int getThermalText(const SystemSection& system, const ItemSection& item, char* text);
int getThermalCpuNumber(const ItemSection& item);

}  // namespace qv
