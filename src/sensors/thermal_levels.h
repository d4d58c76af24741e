// The rules that turn a CPU temperature (or a chip's distance-to-limit value) into a
// thermal level. Pure: the chip functions read the registers and pick the rule.
#pragma once

#include <cstdint>
#include <optional>

namespace qv::thermal {

enum class Level { Low, Medium, High, Overheat };

const char* level_text(Level level);
// Copies the level's text into a thermal-text field; returns 0.
int write_level(char* text, Level level);

// Low up to low_bound, High above high_bound, Medium between (unsigned, as the chips count).
constexpr Level three_step(uint32_t t, uint32_t low_bound, uint32_t high_bound)
{
    if (t <= low_bound) return Level::Low;
    if (t > high_bound) return Level::High;
    return Level::Medium;
}

// ThermalGuideChipType 1.
constexpr Level fixed_rule(uint32_t t) { return three_step(t, 45, 60); }
// ThermalGuideChipType 0 when the chip's thresholds are not consistent.
constexpr Level default_rule(uint32_t t) { return three_step(t, 70, 85); }
// ThermalGuideChipType 0 with the chip's reference value d.
constexpr Level chip_threshold_rule(uint32_t t, uint32_t d) { return three_step(t, 100 - d - 10, 100 - d); }

// The NCT chips report a level value d directly; the four-level form knows "Overheat".
constexpr Level nct_rule(int32_t d, bool four_levels)
{
    if (d <= 60) return Level::Low;
    if (d <= 85) return Level::Medium;
    if (d <= 94 || !four_levels) return Level::High;
    return Level::Overheat;
}

// The level by ThermalGuideChipType: 0 the chip's own rule (given), 1 the fixed rule,
// anything else no level.
constexpr std::optional<Level> guided(uint32_t guide_type, Level chip_rule, uint32_t t)
{
    if (guide_type == 0) return chip_rule;
    if (guide_type == 1) return fixed_rule(t);
    return std::nullopt;
}

}  // namespace qv::thermal
