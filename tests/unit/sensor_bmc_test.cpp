// Readings, limits and thermal levels that a BMC serves: the NCT7904D through the banked
// OEM read (BMC first, the SMBus route when it fails), its ME variant and the BMC's own
// sensors through their OEM queries, and the SMBus layer's BMC-only chips.
#include "sensors/limits.h"
#include "sensors/reading.h"
#include "sensors/thermal.h"
#include "support/chip_bench.h"
#include "support/engine_fixture.h"

#include <gmock/gmock.h>


namespace qv::test {
namespace {

using Accesses = std::vector<std::string>;

sim::json bmc_board(sim::json changes = sim::json::object())
{
    sim::json bmc = sim::json::parse(R"({
      "openipmi": "/dev/ipmi0", "kind": "ob_winbond",
      "buses": {"2": {"0x2D": {"bank_register": "0xFF", "banks": {
        "0": {"0x80": "0x20", "0x81": "0x05", "0x42": "0x1A", "0xCA": "0x40"},
        "1": {"0x80": "0x2A", "0x81": "0x06", "0x42": "0x2D"}}}}},
      "isa": {"7": {"0x1B": "0x30"}},
      "oem": {"0x93": {"1": 70, "2": 90, "3": 255}, "0x95": 40, "0x70": {"0x00": 55},
              "0x92": {"0x2F": [1, 2, 150, 4], "none": [1]}}
    })");
    bmc.merge_patch(changes);
    return chip_bench({{"bmc", bmc}});
}

#define ITEM(cat, bus, chip, slave, offset, extra)                                                                    \
    "[Item]\nITEM_NAME=CPU1 Temperature\nITEM_CAT=" cat "\nBUSTYPE=" bus "\nCHIPCODE=" chip "\nSLAVE=" slave "\nOFFSET=" \
    offset "\nPARAINDEX1=P1\nPARAINDEX2=P2\n" extra "\n[Parameter]\nPARAMETER=P1\nSLAVE=0\nOFFSET=0\nBITMASK=40\n\n"
#define P2(slave, offset) "[Parameter]\nPARAMETER=P2\nSLAVE=" slave "\nOFFSET=" offset "\n\n"

class BmcServed : public EngineTest {};

TEST_F(BmcServed, ReadingsAndLimitsAskTheBmc)
{
    const struct {
        const char* what;
        const char* blocks;
        bool limit;  // false: the reading; true: the low limit through parameter P2
        int32_t value;
        Accesses accesses;
        sim::json changes = sim::json::object();
    } cases[] = {
        {"NCT7904D fan: banked OEM reads of bank 0", ITEM("FAN", "01", "1E", "2D", "80", ""), false, 1350000 / 1029,
         {"ipmi 30:90 5A 00 80 01", "ipmi 30:90 5A 00 81 01"}},
        {"NCT7904D fan: the SMBus route when the OEM read fails", ITEM("FAN", "01", "1E", "2D", "80", ""), false,
         1350000 / 1029,
         {"ipmi 30:90 5A 00 80 01", "ipmi 06:52 05 5A 00 FF 00", "ipmi 06:52 05 5A 01 80", "ipmi 06:52 05 5A 01 81"},
         {{"completion_codes", {{"0x30:0x90", "0xC0"}}}}},
        {"NCT7904D switch register", ITEM("SWITCH", "01", "1E", "2D", "0", "ACTIVATE=1"), false, 1,
         {"ipmi 30:90 5A 00 CA 01"}},
        {"NCT7904D generic", ITEM("TEMP", "01", "1E", "2D", "42", ""), false, 0x1A, {"ipmi 30:90 5A 00 42 01"}},
        {"ME_NCT7904D: the OEM query by index", ITEM("TEMP", "01", "20", "2D", "42", ""), false, 70,
         {"ipmi 30:93 01"}},
        {"ME_NCT7904D: 0xFF reads as 0", ITEM("TEMP", "01", "20", "2D", "46", ""), false, 0, {"ipmi 30:93 03"}},
        {"BMC sensor", ITEM("TEMP", "00", "22", "0", "3", ""), false, 40, {"ipmi 30:95"}},
        {"BMC sensor 0: 95 without asking", ITEM("TEMP", "00", "22", "0", "0", ""), false, 95, {}},
        {"graphics card through the BMC", ITEM("TEMP", "08", "1A", "4C", "0", ""), false, 55, {"ipmi 30:70 05 00"}},
        {"ChipCode 29 through the 0x92 block", ITEM("VOLTAGE", "08", "1D", "2F", "2", "VOL_FUNC=P33V"), false,
         150 * 24, {"ipmi 30:92 02 0F"}},
        {"power-supply signal through 0x92 (its bit is not the mask's: tripped)",
         ITEM("SWITCH", "08", "1F", "0", "0", "ACTIVATE=0"), false, 1, {"ipmi 30:92"}},
        {"NCT7904D fan limit: bank 1", ITEM("FAN", "01", "1E", "2D", "80", "") P2("2D", "80"), true, 1000,
         {"ipmi 30:90 5A 01 80 01", "ipmi 30:90 5A 01 81 01"}},
        {"NCT7904D limit: bank 1", ITEM("TEMP", "01", "1E", "2D", "42", "") P2("2D", "42"), true, 0x2D,
         {"ipmi 30:90 5A 01 42 01"}},
        {"ME_NCT7904D limit: the banked read too", ITEM("TEMP", "01", "20", "2D", "42", "") P2("2D", "42"), true,
         0x2D, {"ipmi 30:90 5A 01 42 01"}},
        {"BMC sensor limit", ITEM("TEMP", "00", "22", "0", "3", "") P2("0", "5"), true, 40, {"ipmi 30:95"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        load(profile_text("09", c.blocks), bmc_board(c.changes));
        ASSERT_NE(ipmi_state().hDevice, 0);
        int32_t value = 4711;
        const auto lines = traced([&] {
            const int code = c.limit ? get_item_limit(kLowLimit, profile_, "P2", profile_.items[0], &value)
                                     : get_item_readingImpl(profile_, profile_.items[0], &value);
            EXPECT_EQ(code, 0);
        });
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(accesses_of(lines), c.accesses);
    }
}

TEST_F(BmcServed, ThermalLevelsOfTheMeVariantsComeFromTheOemQuery)
{
    load(profile_text("0B", ITEM("TEMP", "02", "21", "7", "1B", "") ITEM("TEMP", "01", "20", "2D", "A2", "")),
         bmc_board());
    char text[kThermalTextSize] = {};
    auto lines = traced([&] { EXPECT_EQ(getThermalText(*profile_.system, profile_.items[0], text), 0); });
    EXPECT_STREQ(text, "High");  // index (0x1B - 0x17) / 2 = 2: 90
    EXPECT_EQ(accesses_of(lines), Accesses{"ipmi 30:93 02"});
    lines = traced([&] { EXPECT_EQ(getThermalText(*profile_.system, profile_.items[1], text), 0); });
    EXPECT_STREQ(text, "Medium");  // bank 0 selected first, then index 1: 70
    EXPECT_EQ(accesses_of(lines), (Accesses{"ipmi 06:52 05 5A 00 FF 00", "ipmi 30:93 01"}));
}

}  // namespace
}  // namespace qv::test
