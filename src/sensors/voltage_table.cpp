// Voltage counts to millivolts: one row per chip family and rail, written as the
// formula itself so each can be checked against the chip's divider values.
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

struct Chips {
    std::array<int, 2> codes;
    constexpr bool has(int chip) const { return chip == codes[0] || chip == codes[1]; }
};
constexpr Chips chips(int a) { return Chips{{a, a}}; }
constexpr Chips chips(int a, int b) { return Chips{{a, b}}; }

struct Row {
    Chips chips;
    int volFunc;
    Chain formula;
};

// clang-format off
constexpr Row kFormulas[] = {
    {chips(0), P12V, R * 1000 * 0.0625},
    {chips(0), P5V,  R * 1000 * 0.026},
    {chips(0), P33V, R * 1000 * 0.0172},
    {chips(0), P25V, R * 1000 * 0.013},
    {chips(0), VCCP, R * 1000 * 0.0141},

    {chips(1, 2), P12V,  R * 1000 * 0.016 / 0.2631578947368421},
    {chips(1, 2), P5V,   R * 1000 * 0.016 / 0.5952380952380952},
    {chips(1, 2), P33V,  R * 1000 * 0.016},
    {chips(1, 2), VCCP,  R * 1000 * 0.016},
    {chips(1, 2), N5V,   (R * 0.016 - 2.4545454545454546) * 1000 / 0.31818181818181823},
    {chips(1, 2), N12V,  (R * 0.016 - 2.9189189189189193) * 1000 / 0.18918918918918914},
    {chips(1, 2), P5VSB, R * 1000 * 0.016 / 0.66},
    {chips(1, 2), VF9,   (R * 0.016 - 2.9000000000000004) * 1000 / 0.19444444444444442},

    {chips(7), P12V, R * 1000 * 0.016 / 0.2631578947368421},
    {chips(7), P5V,  R * 1000 * 0.016 / 0.5952380952380952},
    {chips(7), P33V, R * 1000 * 0.016},
    {chips(7), VCCP, zero_up_to(15, R * 1000 * 0.008)},
    {chips(7), N5V,  (R * 0.016 - 2.4545454545454546) * 1000 / 0.31818181818181823},
    {chips(7), N12V, ((R + 7) * 0.016 - 2.9189189189189193) * 1000 / 0.18918918918918914},

    {chips(9, 14), P12V, R * 1000 * 0.0625},
    {chips(9, 14), P5V,  R * 1000 * 0.026},
    {chips(9, 14), P33V, R * 1000 * 0.0172},
    {chips(9, 14), P25V, R * 1000 * 0.013},
    {chips(9, 14), VCCP, zero_up_to(15, R * 1000 * 0.00625)},
    {chips(9, 14), N12V, (R * 1000) * 0.024269 - 13299.5},

    {chips(10), P12V, R * 1000 * 0.016 / 0.2631578947368421},
    {chips(10), P5V,  R * 1000 * 0.016 / 0.5952380952380952},
    {chips(10), P33V, R * 1000 * 0.016},
    {chips(10), VCCP, R * 1000 * 0.00488 + 0.69},
    {chips(10), N5V,  (R * 0.016 - 2.4545454545454546) * 1000 / 0.31818181818181823},
    {chips(10), N12V, (R * 0.016 - 2.9189189189189193) * 1000 / 0.18918918918918914},

    {chips(12, 15), P12V, R * 1000 * 0.008 / 0.15151515151515152},
    {chips(12, 15), P5V,  R * 1000 * 0.008 / 0.3125},
    {chips(12, 15), P33V, R * 1000 * 0.016},
    {chips(12, 15), VCCP, zero_up_to(15, R * 1000 * 0.008)},
    {chips(12, 15), N12V, (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},

    {chips(13), P12V, R * 1000 * 16.0 * 0.00390625},
    {chips(13), P5V,  R * 1000 * 6.66 * 0.00390625},
    {chips(13), P33V, R * 1000 * 4.44 * 0.00390625},
    {chips(13), P25V, R * 1000 * 2.5 * 0.00390625},
    {chips(13), VCCP, R * 1000 * 3.0 * 0.00390625},
    {chips(13), N12V, R * 1000 * 18.5 * 0.00390625 - 16000.0},
    {chips(13), VBAT, (R - 128) * 1000 * 2 * 0.0078125 + 2000.0},

    {chips(16), P12V, R * 1000 * 0.0625},
    {chips(16), P5V,  R * 1000 * 0.026},
    {chips(16), P33V, R * 1000 * 0.0172},
    {chips(16), P25V, R * 1000 * 0.013},
    {chips(16), VCCP, R * 1000 * 0.0117},

    {chips(17), P12V, R * 1000 * 0.008 / 0.08333333333333333},
    {chips(17), P5V,  R * 1000 * 0.024},
    {chips(17), P33V, R * 1000 * 0.016},
    {chips(17), VCCP, zero_up_to(16, R * 1000 * 0.008)},
    {chips(17), N12V, (R * 0.016 - 1.827446153846154) * 1000 / 0.10769230769230764},

    {chips(19), P12V, R * 1000 * 0.008 * 16.0},
    {chips(19), P5V,  R * 1000 * 0.008 * 4.0},
    {chips(19), P33V, R * 1000 * 0.016},
    {chips(19), VCCP, zero_up_to(16, R * 1000 * 0.008)},
    {chips(19), N12V, (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},

    {chips(21), P33V, R * 1000 * 0.024},
    {chips(21), P25V, R * 1000 * 0.016},
    {chips(21), VCCP, zero_up_to(48, R * 1000 * 0.008)},

    {chips(22, 28), P12V, R * 1000 * 0.008 / 0.1510574018126888},
    {chips(22, 28), P5V,  R * 1000 * 0.008 * 4.0},
    {chips(22, 28), P33V, R * 1000 * 0.016},
    {chips(22, 28), VCCP, zero_up_to(16, R * 1000 * 0.008)},
    {chips(22, 28), N12V, (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},

    {chips(23, 29), P12V,  R * 1000 * 0.008 / 0.1510574018126888},
    {chips(23, 29), P5V,   R * 1000 * 0.008 * 4.0},
    {chips(23, 29), P33V,  zero_up_to(24, R * 1000 * 0.024)},
    {chips(23, 29), P25V,  R * 1000 * 0.008 / 0.08333333333333333},
    {chips(23, 29), VCCP,  zero_up_to(48, R * 1000 * 0.008)},
    {chips(23, 29), N12V,  (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},
    {chips(23, 29), VBAT,  R * 1000 * 0.008 / 0.21880650994575043},
    {chips(23, 29), P5VSB, R * 1000 * 0.008 / 0.19920318725099603},

    {chips(24), P12V,  R * 1000 * 0.008 / 0.1510574018126888},
    {chips(24), P5V,   R * 1000 * 0.008 * 4.28},
    {chips(24), P33V,  R * 1000 * 0.016},
    {chips(24), VCCP,  zero_up_to(48, R * 1000 * 0.008)},
    {chips(24), N12V,  (R * 0.008 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},
    {chips(24), VBAT,  R * 1000 * 0.008 * 4.25},
    {chips(24), P5VSB, R * 1000 * 0.008 * 4.16},

    {chips(25), P12V, R * 1000 * 0.016 / 0.24937655860349126},
    {chips(25), P5V,  R * 1000 * 0.016 / 0.5952380952380952},
    {chips(25), P33V, zero_up_to(24, R * 1000 * 0.016)},
    {chips(25), VCCP, zero_up_to(24, R * 1000 * 0.016)},

    {chips(30), P12V, R * 1000 * 0.016 / 0.1510574018126888},
    {chips(30), P5V,  R * 1000 * 0.016 * 4.0},
    {chips(30), P33V, R * 1000 * 0.048},
    {chips(30), VCCP, zero_up_to(16, R * 1000 * 0.016)},
    {chips(30), N12V, (R * 0.016 - 2.048) * 1000 / 0.04132231404958678 + 2048.0},
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

// Each chip's rows sit together: where they begin and end, found once at compile time.
struct RowRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};

constexpr int kChipCodes = 35;

constexpr std::array<RowRange, kChipCodes> index_rows()
{
    std::array<RowRange, kChipCodes> index{};
    constexpr std::size_t count = sizeof kFormulas / sizeof kFormulas[0];
    for (int chip = 0; chip < kChipCodes; ++chip) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!kFormulas[i].chips.has(chip)) continue;
            if (index[chip].end == 0) index[chip].begin = i;
            index[chip].end = i + 1;
        }
    }
    return index;
}

constexpr auto kRowsOfChip = index_rows();

}  // namespace

int VOLTAGEConvert(int chip_code, int vol_func, uint32_t raw, int32_t* millivolts)
{
    if (chip_code < 0 || chip_code >= kChipCodes || kRowsOfChip[chip_code].end == 0) {
        *millivolts = 0;  // no voltages on this chip
        return 0;
    }
    const RowRange rows = kRowsOfChip[chip_code];
    for (std::size_t i = rows.begin; i < rows.end; ++i) {
        const Row& row = kFormulas[i];
        if (row.volFunc != vol_func) continue;
        *millivolts = row.formula.below_band(raw) ? 0 : truncate_mv(row.formula.evaluate(raw));
        return 0;
    }
    *millivolts = static_cast<int32_t>(raw);  // a rail without a formula passes its count
    return 0;
}

}  // namespace qv
