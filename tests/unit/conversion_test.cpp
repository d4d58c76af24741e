// Conversions from raw register values: every voltage formula in extended precision,
// the fan formulas at their stop counts, temperatures, switches and divisor fields.
#include "sensors/convert.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace qv::test {
namespace {

enum : int { P12V = 0, P5V, P33V, P25V, VCCP, N5V, N12V, VBAT, P5VSB };

struct VoltageCase { int chip, volFunc; uint32_t raw; int32_t millivolts; };

// One count per formula (and both sides of each "no input" band). Many of these land
// a hair below an integer in 64-bit-mantissa arithmetic and one higher in doubles.
constexpr VoltageCase kEveryFormula[] = {
    {0, P12V, 200, 12500}, {0, P5V, 200, 5199}, {0, P33V, 200, 3440}, {0, P25V, 200, 2599}, {0, VCCP, 200, 2819},
    {2, P12V, 200, 12160}, {2, P5V, 200, 5376}, {2, P33V, 200, 3200}, {2, VCCP, 200, 3200}, {2, N5V, 200, 2342},
    {2, N12V, 200, 1485}, {2, P5VSB, 200, 4848}, {2, 9, 200, 1542}, {7, P12V, 200, 12160}, {7, P5V, 200, 5376},
    {7, P33V, 200, 3200}, {7, VCCP, 15, 0}, {7, VCCP, 16, 128}, {7, N5V, 200, 2342}, {7, N12V, 200, 2077},
    {14, P12V, 200, 12500}, {14, P5V, 200, 5199}, {14, P33V, 200, 3440}, {14, P25V, 200, 2599}, {14, VCCP, 15, 0},
    {14, VCCP, 16, 100}, {14, N12V, 200, -8445}, {10, P12V, 200, 12160}, {10, P5V, 200, 5376}, {10, P33V, 200, 3200},
    {10, VCCP, 200, 976}, {10, N5V, 200, 2342}, {10, N12V, 200, 1485}, {15, P12V, 200, 10559}, {15, P5V, 200, 5120},
    {15, P33V, 200, 3200}, {15, VCCP, 15, 0}, {15, VCCP, 16, 128}, {15, N12V, 200, -8793}, {13, P12V, 200, 12500},
    {13, P5V, 200, 5203}, {13, P33V, 200, 3468}, {13, P25V, 200, 1953}, {13, VCCP, 200, 2343}, {13, N12V, 200, -1546},
    {13, VBAT, 200, 3125}, {16, P12V, 200, 12500}, {16, P5V, 200, 5199}, {16, P33V, 200, 3440}, {16, P25V, 200, 2599},
    {16, VCCP, 200, 2340}, {17, P12V, 200, 19200}, {17, P5V, 200, 4800}, {17, P33V, 200, 3200}, {17, VCCP, 16, 0},
    {17, VCCP, 17, 136}, {17, N12V, 200, 12745}, {19, P12V, 200, 25600}, {19, P5V, 200, 6400}, {19, P33V, 200, 3200},
    {19, VCCP, 16, 0}, {19, VCCP, 17, 136}, {19, N12V, 200, -8793}, {21, P33V, 200, 4800}, {21, P25V, 200, 3200},
    {21, VCCP, 48, 0}, {21, VCCP, 49, 392}, {28, P12V, 200, 10592}, {28, P5V, 200, 6400}, {28, P33V, 200, 3200},
    {28, VCCP, 16, 0}, {28, VCCP, 17, 136}, {28, N12V, 200, -8793}, {29, P12V, 200, 10592}, {29, P5V, 200, 6400},
    {29, P33V, 24, 0}, {29, P33V, 25, 600}, {29, P25V, 200, 19200}, {29, VCCP, 48, 0}, {29, VCCP, 49, 392},
    {29, N12V, 200, -8793}, {29, VBAT, 200, 7312}, {29, P5VSB, 200, 8031}, {24, P12V, 200, 10592}, {24, P5V, 200, 6848},
    {24, P33V, 200, 3200}, {24, VCCP, 48, 0}, {24, VCCP, 49, 392}, {24, N12V, 200, -8793}, {24, VBAT, 200, 6800},
    {24, P5VSB, 200, 6656}, {25, P12V, 200, 12832}, {25, P5V, 200, 5376}, {25, P33V, 24, 0}, {25, P33V, 25, 400},
    {25, VCCP, 24, 0}, {25, VCCP, 25, 400}, {30, P12V, 200, 21184}, {30, P5V, 200, 12800}, {30, P33V, 200, 9600},
    {30, VCCP, 16, 0}, {30, VCCP, 17, 272}, {30, N12V, 200, 29926},
    // Worked examples.
    {1, P12V, 190, 11552}, {22, P12V, 200, 10592}, {12, P12V, 255, 13463}, {9, N12V, 100, -10872},
    {13, VBAT, 192, 3000}, {13, VBAT, 100, 1562}, {23, P33V, 24, 0}, {23, P33V, 138, 3312}, {12, P12V, 0, 0},
    {9, VCCP, 15, 0},
};

TEST(VoltageConvert, EveryFormulaInExtendedPrecision)
{
    for (const auto& c : kEveryFormula) {
        int32_t mv = -99;
        EXPECT_EQ(VOLTAGEConvert(c.chip, c.volFunc, c.raw, &mv), 0);
        EXPECT_EQ(mv, c.millivolts) << "chip " << c.chip << " func " << c.volFunc << " count " << c.raw;
    }
}

TEST(VoltageConvert, UnlistedRailPassesTheCountAndChipsWithoutVoltagesGiveZero)
{
    struct Case { int chip; int volFunc; int32_t expected; };
    const Case cases[] = {{16, N12V, 123}, {21, P12V, 123}, {1, P25V, 123}, {25, VBAT, 123},
                          {3, P12V, 0},    {8, VCCP, 0},    {27, P5V, 0},   {31, P12V, 0},
                          {33, P12V, 0},   {99, P12V, 0},   {-1, P12V, 0},  {0, 255, 123}};
    for (const auto& c : cases) {
        int32_t mv = -99;
        EXPECT_EQ(VOLTAGEConvert(c.chip, c.volFunc, 123, &mv), 0);
        EXPECT_EQ(mv, c.expected) << "chip " << c.chip << " func " << c.volFunc;
    }
}

TEST(FanConvert, FormulasAtTheirStopCounts)
{
    struct Case { int chip; int32_t divisor; uint32_t count; int result; int32_t rpm; };
    const Case cases[] = {
        {3, 0, 0x1234, 0, 1158},  {3, 0, 0xFEFF, 0, 82},     {3, 0, 0xFF00, 0, 0},     {16, 8, 256, 0, 21093},
        {6, 0, 1, 0, 114},        {6, 0, 262, 0, 29999},      {8, 0, 65531, 0, 82},    {9, 0, 65532, 0, 0},
        {14, 0, 1, 0, 5400000},   {17, 0, 4094, 0, 329},      {17, 0, 4095, 0, 0},     {23, 0, 254, 0, 332},
        {23, 0, 255, 0, 0},       {23, 0, 256, 0, 329},       {25, 0, 65534, 0, 10},   {25, 0, 65535, 0, 0},
        {28, 0, 8190, 0, 164},    {28, 0, 8191, 0, 0},        {30, 0, 1029, 0, 1311},  {30, 0, 8192, 0, 164},
        {1, 2, 135, 0, 5000},     {1, 2, 255, 0, 0},          {0, 1, 254, 0, 5314},    {0, 8, 1, 0, 168750},
        {0, 0, 135, -1, 0},       {17, 0, 0, 0, 0},           {0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        int32_t rpm = -99;
        EXPECT_EQ(FANConvert(c.count, c.chip, c.divisor, &rpm), c.result) << "chip " << c.chip << " count " << c.count;
        EXPECT_EQ(rpm, c.rpm) << "chip " << c.chip << " count " << c.count;
    }
}

TEST(TempConvert, SignedBytesAndTheNoSensorValue)
{
    const std::pair<uint32_t, int32_t> cases[] = {{0x1E, 30}, {0xFF, -1}, {0x80, 0}, {0x81, -127}, {0x7F, 127},
                                                  {0xF6, -10}, {0x00, 0}};
    for (const auto& [raw, degrees] : cases) {
        int32_t value = -99;
        EXPECT_EQ(TEMPConvert(raw, &value), 0);
        EXPECT_EQ(value, degrees) << "raw " << raw;
    }
}

TEST(SwitchConvert, ActiveLevelMaskAndReference)
{
    struct Case { uint32_t raw; uint32_t mask; int32_t activate; int chip; int32_t reference; int32_t state; };
    const Case cases[] = {
        {0x10, 0x10, 1, 5, 1, 1}, {0x00, 0x10, 1, 5, 1, 0}, {0x00, 0x10, 1, 5, 0, 2},
        {0x00, 0x10, 0, 5, 1, 1}, {0x10, 0x10, 0, 5, 0, 2}, {0xEF, 0x10, 1, 5, 7, 0},
        {0x00, 0x00, 0, 4, 1, 1}, {0x00, 0x10, 1, 27, 0, 0}, {0x01, 0x00, 1, 27, 0, 1},
    };
    for (const auto& c : cases) {
        int32_t state = -99;
        EXPECT_EQ(SWITCHConvert(c.raw, c.mask, &state, c.activate, c.chip, c.reference), 0);
        EXPECT_EQ(state, c.state) << "raw " << c.raw << " activate " << c.activate << " chip " << c.chip;
    }
}

TEST(DivisorConvert, TwoBitFieldChosenByTheMask)
{
    struct Case { uint32_t reg; uint8_t mask; int result; int32_t divisor; };
    const Case cases[] = {{0xA4, 0x30, 0, 4}, {0xA4, 0xC0, 0, 4}, {0xA4, 0x0C, 0, 2}, {0xA4, 0x03, 0, 1},
                          {0x03, 0x03, 0, 8}, {0xFF, 0x18, -1, 1}, {0x00, 0x00, -1, 1}};
    for (const auto& c : cases) {
        int32_t divisor = -99;
        EXPECT_EQ(DIVISORConvert(c.reg, 1, c.mask, &divisor), c.result) << "mask " << int(c.mask);
        EXPECT_EQ(divisor, c.divisor) << "register " << c.reg << " mask " << int(c.mask);
    }
}

}  // namespace
}  // namespace qv::test
