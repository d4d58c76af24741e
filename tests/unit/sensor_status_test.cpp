// The status rule, the item name, and the thermal level rules.
#include "sensors/reading.h"
#include "sensors/thermal.h"
#include "sensors/thermal_levels.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qv::test {
namespace {

TEST(IsNormalReading, LimitsAreExclusiveAndOnlyTheRelevantOnesCount)
{
    struct Case { int32_t cat; int32_t value; int32_t high; int32_t low; const char* thermal; int expected; };
    const Case cases[] = {
        {FAN, 1201, 0, 1200, nullptr, 1},       {FAN, 1200, 0, 1200, nullptr, 0},
        {FAN, 1201, 1000, 1200, nullptr, 1},    {VOLTAGE, 12050, 12600, 11400, nullptr, 1},
        {VOLTAGE, 12600, 12600, 11400, nullptr, 0}, {VOLTAGE, 11400, 12600, 11400, nullptr, 0},
        {VOLTAGE, -12000, -10800, -13200, nullptr, 1}, {TEMP, 74, 75, 80, nullptr, 1},
        {TEMP, 75, 75, 0, nullptr, 0},          {TEMP, 40, 95, 0, "overheat", 0},
        {TEMP, 40, 95, 0, "High", 1},           {SWITCH, 0, 0, 0, nullptr, 1},
        {SWITCH, -1, 0, 0, nullptr, 1},         {SWITCH, 2, 0, 0, nullptr, 0},
        {DRIVE, 0, 10, -10, nullptr, 0},        {kUnset, 0, 10, -10, nullptr, 0},
    };
    for (const auto& c : cases) {
        ItemDisplay d;
        d.category = c.cat;
        d.reading = c.value;
        d.highLimit = c.high;
        d.lowLimit = c.low;
        if (c.thermal != nullptr) {
            d.thermalFlag = 1;
            std::strcpy(d.thermalText, c.thermal);
        }
        EXPECT_EQ(isNormalReading(d), c.expected) << "cat " << c.cat << " value " << c.value;
    }
    ItemDisplay unflagged;
    unflagged.category = TEMP;
    unflagged.highLimit = 95;
    std::strcpy(unflagged.thermalText, "Overheat");
    EXPECT_EQ(isNormalReading(unflagged), 1) << "the text counts only with the flag";
}

TEST(ItemName, CutToTheDestination)
{
    ItemSection item;
    set_text(item.Name, std::string(79, 'x'));
    char name[40];
    EXPECT_EQ(get_item_name(item, name, sizeof name), 0);
    EXPECT_EQ(std::string(name), std::string(39, 'x'));
}

TEST(ThermalCpuNumber, FromTheNameCaseSensitive)
{
    const std::pair<const char*, int> cases[] = {
        {"CPU2 Temperature", 2}, {"PECI Agent3 Temperature", 3}, {"CPU Temperature", 1}, {"System Temp", 0},
        {"cpu1 temp", 0},        {"CPU4", 4},                    {"PECI Agent", 1},      {"CPU1 and CPU2", 1},
        {"CPU5 Temperature", 1}};
    for (const auto& [name, cpu] : cases) {
        ItemSection item;
        set_text(item.Name, name);
        EXPECT_EQ(getThermalCpuNumber(item), cpu) << name;
    }
}

TEST(ThermalLevels, Rules)
{
    using namespace thermal;
    struct Case { Level level; const char* text; };
    const Case cases[] = {
        {fixed_rule(45), "Low"},           {fixed_rule(46), "Medium"},        {fixed_rule(60), "Medium"},
        {fixed_rule(61), "High"},          {default_rule(70), "Low"},         {default_rule(71), "Medium"},
        {default_rule(85), "Medium"},      {default_rule(86), "High"},        {chip_threshold_rule(80, 10), "Low"},
        {chip_threshold_rule(81, 10), "Medium"}, {chip_threshold_rule(91, 10), "High"},
        {chip_threshold_rule(5, 95), "Low"},     // the bound wraps below zero: unsigned, so everything is Low
        {three_step(95, 90, 100), "Medium"}, {three_step(101, 90, 100), "High"},
        {nct_rule(228, true), "Overheat"}, {nct_rule(72, true), "Medium"},  {nct_rule(60, true), "Low"},
        {nct_rule(94, true), "High"},      {nct_rule(95, true), "Overheat"}, {nct_rule(61, false), "Medium"},
        {nct_rule(86, false), "High"},     {nct_rule(200, false), "High"},
    };
    for (const auto& c : cases) EXPECT_STREQ(level_text(c.level), c.text);
    EXPECT_FALSE(guided(2, Level::Low, 30).has_value());
    EXPECT_EQ(guided(1, Level::Low, 61), Level::High);
    EXPECT_EQ(guided(0, Level::Low, 61), Level::Low);
}

TEST(ThermalDispatch, OnlyTempItemsOfThermalChips)
{
    SystemSection system;
    ItemSection item;
    item.Cat = VOLTAGE;
    item.ChipCode = 30;
    item.Offset = 0xA0;
    char text[kThermalTextSize] = "keep";
    EXPECT_EQ(supportThermalText(system, item), 0);
    EXPECT_EQ(getThermalText(system, item, text), -1);
    item.Cat = TEMP;
    item.ChipCode = 16;
    EXPECT_EQ(supportThermalText(system, item), 0);
    EXPECT_EQ(getThermalText(system, item, text), -1);
    EXPECT_STREQ(text, "keep");
    item.ChipCode = 30;
    EXPECT_EQ(supportThermalText(system, item), 1) << "NCT7904D support is decided by the register alone";
    item.Offset = 0xA1;
    EXPECT_EQ(supportThermalText(system, item), 0);
    item.ChipCode = 28;
    item.Slave = 7;
    item.Offset = 0x1E;
    EXPECT_EQ(supportThermalText(system, item), 1);
    item.Slave = 1;
    EXPECT_EQ(supportThermalText(system, item), 0);
}

}  // namespace
}  // namespace qv::test
