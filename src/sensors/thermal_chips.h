// Per-chip thermal-level support tests and text functions. Each support test answers
// 1 or 0; each text function returns 0 when it wrote the text (at most
// kThermalTextSize bytes) and non-zero otherwise.
#pragma once

#include "profile/records.h"

namespace qv {

int supportThermalText_W83793G(const SystemSection& system, const ItemSection& item);
int getThermalText_W83793G(const SystemSection& system, const ItemSection& item, char* text);
int supportThermalText_W83627DHG(const SystemSection& system, const ItemSection& item);
int getThermalText_W83627DHG(const SystemSection& system, const ItemSection& item, char* text);
int supportThermalText_W83795ADG(const SystemSection& system, const ItemSection& item);
int getThermalText_W83795ADG(const SystemSection& system, const ItemSection& item, char* text);
int supportThermalText_IT8720F(const SystemSection& system, const ItemSection& item);
int getThermalText_IT8720F(const SystemSection& system, const ItemSection& item, char* text);
int supportThermalText_NCT6776F(const SystemSection& system, const ItemSection& item);
int getThermalText_NCT6776F(const SystemSection& system, const ItemSection& item, char* text);
int getThermalText_ME_NCT6776F(const SystemSection& system, const ItemSection& item, char* text);
int supportThermalText_NCT7904D(const SystemSection& system, const ItemSection& item);
int getThermalText_NCT7904D(const SystemSection& system, const ItemSection& item, char* text);
int getThermalText_ME_NCT7904D(const SystemSection& system, const ItemSection& item, char* text);

}  // namespace qv
