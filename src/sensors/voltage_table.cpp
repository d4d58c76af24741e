// Voltage counts to millivolts: one row per chip family and rail, written as the
// formula itself so each can be checked against the chip's divider values.
#include "hw/chips.h"
#include "sensors/convert.h"
#include "sensors/voltage_formula.h"

#include <array>
#include <cstdint>
#include <limits>

namespace qv {

namespace {

using voltage::Chain;
using voltage::R;
using voltage::zero_up_to;

// VOL_FUNC codes.
enum : int { P12V = 0, P5V = 1, P33V = 2, P25V = 3, VCCP = 4, N5V = 5, N12V = 6, VBAT = 7, P5VSB = 8, VF9 = 9 };

// The chips a row serves: one, or two that share the formula.
struct Chips {
    std::array<ChipCode, 2> codes;
    constexpr bool has(int chip) const { return chip == codes[0] || chip == codes[1]; }
};
constexpr Chips on(ChipCode a) { return Chips{{a, a}}; }
constexpr Chips on(ChipCode a, ChipCode b) { return Chips{{a, b}}; }

struct Row {
    Chips chips;
    int volFunc;
    Chain formula;
};

// clang-format off
constexpr Row kFormulas[] = {
    {on(kChip00), P12V, R * 1000 * 0.0625},
    {on(kChip00), P5V,  R * 1000 * 0.026},
    {on(kChip00), P33V, R * 1000 * 0.0172},
    {on(kChip00), P25V, R * 1000 * 0.013},
    {on(kChip00), VCCP, R * 1000 * 0.0141},

    {on(kW83627HF, kChip02), P12V,  R * 1000 * 0.016 / 0.2631578947368421},
    {on(kW83627HF, kChip02), P5V,   R * 1000 * 0.016 / 0.5952380952380952},
    {on(kW83627HF, kChip02), P33V,  R * 1000 * 0.016},
    {on(kW83627HF, kChip02), VCCP,  R * 1000 * 0.016},
    {on(kW83627HF, kChip02), N5V,   (R * 0.016 - 2.4545454545454546) * 1000 / 0.31818181818181823},
    {on(kW83627HF, kChip02), N12V,  (R * 0.016 - 2.9189189189189193) * 1000 / 0.18918918918918914},
    {on(kW83627HF, kChip02), P5VSB, R * 1000 * 0.016 / 0.66},
    {on(kW83627HF, kChip02), VF9,   (R * 0.016 - 2.9000000000000004) * 1000 / 0.19444444444444442},

    {on(kChip07), P12V, R * 1000 * 0.016 / 0.2631578947368421},
    {on(kChip07), P5V,  R * 1000 * 0.016 / 0.5952380952380952},
    {on(kChip07), P33V, R * 1000 * 0.016},
    {on(kChip07), VCCP, zero_up_to(15, R * 1000 * 0.008)},
    {on(kChip07), N5V,  (R * 0.016 - 2.4545454545454546) * 1000 / 0.31818181818181823},
    {on(kChip07), N12V, ((R + 7) * 0.016 - 2.9189189189189193) * 1000 / 0.18918918918918914},

    {on(kChip09, kChip0E), P12V, R * 1000 * 0.0625},
    {on(kChip09, kChip0E), P5V,  R * 1000 * 0.026},
    {on(kChip09, kChip0E), P33V, R * 1000 * 0.0172},
    {on(kChip09, kChip0E), P25V, R * 1000 * 0.013},
    {on(kChip09, kChip0E), VCCP, zero_up_to(15, R * 1000 * 0.00625)},
    {on(kChip09, kChip0E), N12V, (R * 1000) * 0.024269 - 13299.5},

    {on(kChip0A), P12V, R * 1000 * 0.016 / 0.2631578947368421},
    {on(kChip0A), P5V,  R * 1000 * 0.016 / 0.5952380952380952},
    {on(kChip0A), P33V, R * 1000 * 0.016},
    {on(kChip0A), VCCP, R * 1000 * 0.00488 + 0.69},
    {on(kChip0A), N5V,  (R * 0.016 - 2.4545454545454546) * 1000 / 0.31818181818181823},
    {on(kChip0A), N12V, (R * 0.016 - 2.9189189189189193) * 1000 / 0.18918918918918914},

    {on(kChip0C, kChip0F), P12V, R * 1000 * 0.008 / 0.15151515151515152},
    {on(kChip0C, kChip0F), P5V,  R * 1000 * 0.008 / 0.3125},
    {on(kChip0C, kChip0F), P33V, R * 1000 * 0.016},
    {on(kChip0C, kChip0F), VCCP, zero_up_to(15, R * 1000 * 0.008)},
    {on(kChip0C, kChip0F), N12V, (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},

    {on(kChip0D), P12V, R * 1000 * 16.0 * 0.00390625},
    {on(kChip0D), P5V,  R * 1000 * 6.66 * 0.00390625},
    {on(kChip0D), P33V, R * 1000 * 4.44 * 0.00390625},
    {on(kChip0D), P25V, R * 1000 * 2.5 * 0.00390625},
    {on(kChip0D), VCCP, R * 1000 * 3.0 * 0.00390625},
    {on(kChip0D), N12V, R * 1000 * 18.5 * 0.00390625 - 16000.0},
    {on(kChip0D), VBAT, (R - 128) * 1000 * 2 * 0.0078125 + 2000.0},

    {on(kChip10), P12V, R * 1000 * 0.0625},
    {on(kChip10), P5V,  R * 1000 * 0.026},
    {on(kChip10), P33V, R * 1000 * 0.0172},
    {on(kChip10), P25V, R * 1000 * 0.013},
    {on(kChip10), VCCP, R * 1000 * 0.0117},

    {on(kW83793G), P12V, R * 1000 * 0.008 / 0.08333333333333333},
    {on(kW83793G), P5V,  R * 1000 * 0.024},
    {on(kW83793G), P33V, R * 1000 * 0.016},
    {on(kW83793G), VCCP, zero_up_to(16, R * 1000 * 0.008)},
    {on(kW83793G), N12V, (R * 0.016 - 1.827446153846154) * 1000 / 0.10769230769230764},

    {on(kW83627DHG), P12V, R * 1000 * 0.008 * 16.0},
    {on(kW83627DHG), P5V,  R * 1000 * 0.008 * 4.0},
    {on(kW83627DHG), P33V, R * 1000 * 0.016},
    {on(kW83627DHG), VCCP, zero_up_to(16, R * 1000 * 0.008)},
    {on(kW83627DHG), N12V, (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},

    {on(kChip15), P33V, R * 1000 * 0.024},
    {on(kChip15), P25V, R * 1000 * 0.016},
    {on(kChip15), VCCP, zero_up_to(48, R * 1000 * 0.008)},

    {on(kW83627DHG_16, kNCT6776F), P12V, R * 1000 * 0.008 / 0.1510574018126888},
    {on(kW83627DHG_16, kNCT6776F), P5V,  R * 1000 * 0.008 * 4.0},
    {on(kW83627DHG_16, kNCT6776F), P33V, R * 1000 * 0.016},
    {on(kW83627DHG_16, kNCT6776F), VCCP, zero_up_to(16, R * 1000 * 0.008)},
    {on(kW83627DHG_16, kNCT6776F), N12V, (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},

    {on(kW83795ADG, kW83795ADG_Bmc), P12V,  R * 1000 * 0.008 / 0.1510574018126888},
    {on(kW83795ADG, kW83795ADG_Bmc), P5V,   R * 1000 * 0.008 * 4.0},
    {on(kW83795ADG, kW83795ADG_Bmc), P33V,  zero_up_to(24, R * 1000 * 0.024)},
    {on(kW83795ADG, kW83795ADG_Bmc), P25V,  R * 1000 * 0.008 / 0.08333333333333333},
    {on(kW83795ADG, kW83795ADG_Bmc), VCCP,  zero_up_to(48, R * 1000 * 0.008)},
    {on(kW83795ADG, kW83795ADG_Bmc), N12V,  (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},
    {on(kW83795ADG, kW83795ADG_Bmc), VBAT,  R * 1000 * 0.008 / 0.21880650994575043},
    {on(kW83795ADG, kW83795ADG_Bmc), P5VSB, R * 1000 * 0.008 / 0.19920318725099603},

    {on(kW83627DHG_18), P12V,  R * 1000 * 0.008 / 0.1510574018126888},
    {on(kW83627DHG_18), P5V,   R * 1000 * 0.008 * 4.28},
    {on(kW83627DHG_18), P33V,  R * 1000 * 0.016},
    {on(kW83627DHG_18), VCCP,  zero_up_to(48, R * 1000 * 0.008)},
    {on(kW83627DHG_18), N12V,  (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},
    {on(kW83627DHG_18), VBAT,  R * 1000 * 0.008 * 4.25},
    {on(kW83627DHG_18), P5VSB, R * 1000 * 0.008 * 4.16},

    {on(kIT8720F), P12V, R * 1000 * 0.016 / 0.24937655860349126},
    {on(kIT8720F), P5V,  R * 1000 * 0.016 / 0.5952380952380952},
    {on(kIT8720F), P33V, zero_up_to(24, R * 1000 * 0.016)},
    {on(kIT8720F), VCCP, zero_up_to(24, R * 1000 * 0.016)},

    {on(kNCT7904D), P12V, R * 1000 * 0.016 / 0.1510574018126888},
    {on(kNCT7904D), P5V,  R * 1000 * 0.016 * 4.0},
    {on(kNCT7904D), P33V, R * 1000 * 0.048},
    {on(kNCT7904D), VCCP, zero_up_to(16, R * 1000 * 0.016)},
    {on(kNCT7904D), N12V, (R * 0.016 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},
};
// clang-format on

// Truncation toward zero; values beyond the 32-bit range (only from counts no chip
// delivers) stop at its ends instead of overflowing.
int32_t truncate_mv(long double value)
{
    constexpr long double lo = std::numeric_limits<int32_t>::min();
    constexpr long double hi = std::numeric_limits<int32_t>::max();
    if (value <= lo) return std::numeric_limits<int32_t>::min();
    if (value >= hi) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// Each chip's row of each rail, found once at compile time; a chip may list a rail once.
constexpr int kNoRow = -1;
constexpr int kVolFuncs = VF9 + 1;
using RailRows = std::array<int, kVolFuncs>;

constexpr std::array<RailRows, chips::kChips.size()> index_rows()
{
    std::array<RailRows, chips::kChips.size()> index{};
    for (RailRows& rails : index) rails.fill(kNoRow);
    constexpr std::size_t count = sizeof kFormulas / sizeof kFormulas[0];
    for (std::size_t chip = 0; chip < index.size(); ++chip) {
        for (std::size_t i = 0; i < count; ++i) {
            const Row& row = kFormulas[i];
            if (!row.chips.has(static_cast<int>(chip))) continue;
            int& slot = index[chip][static_cast<std::size_t>(row.volFunc)];
            if (slot != kNoRow) throw "a chip lists a rail twice";  // fails the compile
            slot = static_cast<int>(i);
        }
    }
    return index;
}

constexpr auto kRowOf = index_rows();

bool has_rows(const RailRows& rails)
{
    for (int row : rails)
        if (row != kNoRow) return true;
    return false;
}

}  // namespace

int VOLTAGEConvert(int chip_code, int vol_func, uint32_t raw, int32_t* millivolts)
{
    if (!chips::listed(chip_code) || !has_rows(kRowOf[static_cast<std::size_t>(chip_code)])) {
        *millivolts = 0;  // no voltages on this chip
        return 0;
    }
    const RailRows& rails = kRowOf[static_cast<std::size_t>(chip_code)];
    const bool known_rail = vol_func >= 0 && vol_func < kVolFuncs;
    const int at = known_rail ? rails[static_cast<std::size_t>(vol_func)] : kNoRow;
    if (at == kNoRow) {
        *millivolts = static_cast<int32_t>(raw);  // a rail without a formula passes its count
        return 0;
    }
    const Row& row = kFormulas[static_cast<std::size_t>(at)];
    *millivolts = row.formula.below_band(raw) ? 0 : truncate_mv(row.formula.evaluate(raw));
    return 0;
}

}  // namespace qv
