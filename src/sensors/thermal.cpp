// Which items show a CPU thermal level, and the dispatch to the functions of the level
// rule their chip's record names.
#include "sensors/thermal.h"

#include "hw/chips.h"
#include "sensors/thermal_chips.h"
#include "sensors/thermal_levels.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace qv {

namespace thermal {

const char* level_text(Level level)
{
    switch (level) {
    case Level::Low: return "Low";
    case Level::Medium: return "Medium";
    case Level::High: return "High";
    case Level::Overheat: return "Overheat";
    }
    return "";
}

int write_level(char* text, Level level)
{
    // Every report writes it: a copy, not a format (the longest text fits).
    const char* from = level_text(level);
    std::memcpy(text, from, std::strlen(from) + 1);
    return 0;
}

}  // namespace thermal

namespace {

using Support = int (*)(const SystemSection&, const ItemSection&);
using Text = int (*)(const SystemSection&, const ItemSection&, char*);

struct ThermalChip {
    chips::Thermal kind;
    Support support;
    Text text;
};

constexpr ThermalChip kThermalChips[] = {
    {chips::Thermal::W83793G, supportThermalText_W83793G, getThermalText_W83793G},
    {chips::Thermal::W83627DHG, supportThermalText_W83627DHG, getThermalText_W83627DHG},
    {chips::Thermal::W83795ADG, supportThermalText_W83795ADG, getThermalText_W83795ADG},
    {chips::Thermal::IT8720F, supportThermalText_IT8720F, getThermalText_IT8720F},
    {chips::Thermal::NCT6776F, supportThermalText_NCT6776F, getThermalText_NCT6776F},
    {chips::Thermal::ME_NCT6776F, supportThermalText_NCT6776F, getThermalText_ME_NCT6776F},
    {chips::Thermal::NCT7904D, supportThermalText_NCT7904D, getThermalText_NCT7904D},
    {chips::Thermal::ME_NCT7904D, supportThermalText_NCT7904D, getThermalText_ME_NCT7904D},
};

const ThermalChip* thermal_chip(const ItemSection& item)
{
    if (item.Cat != TEMP) return nullptr;
    const chips::Thermal kind = chips::of(item.ChipCode).thermal;
    for (const ThermalChip& chip : kThermalChips)
        if (chip.kind == kind) return &chip;
    return nullptr;
}

}  // namespace

int supportThermalText(const SystemSection& system, const ItemSection& item)
{
    const ThermalChip* chip = thermal_chip(item);
    return chip != nullptr ? chip->support(system, item) : 0;
}

int getThermalText(const SystemSection& system, const ItemSection& item, char* text)
{
    const ThermalChip* chip = thermal_chip(item);
    return chip != nullptr ? chip->text(system, item, text) : -1;
}

int getThermalCpuNumber(const ItemSection& item)
{
    const std::string_view name(item.Name, strnlen(item.Name, sizeof item.Name));
    constexpr std::string_view kNumbered[][2] = {
        {"CPU1", "PECI Agent1"}, {"CPU2", "PECI Agent2"}, {"CPU3", "PECI Agent3"}, {"CPU4", "PECI Agent4"}};
    for (int cpu = 1; cpu <= 4; ++cpu) {
        const auto& names = kNumbered[cpu - 1];
        if (name.find(names[0]) != std::string_view::npos || name.find(names[1]) != std::string_view::npos)
            return cpu;
    }
    if (name.find("CPU") != std::string_view::npos || name.find("PECI Agent") != std::string_view::npos) return 1;
    return 0;
}

}  // namespace qv
