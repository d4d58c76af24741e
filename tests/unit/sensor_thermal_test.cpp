// CPU thermal levels read from the chips of the test board: which items have them, the
// level each chip's registers give, and the Winbond bank register left as it was found.
#include "hw/port_io.h"
#include "sensors/thermal.h"
#include "support/chip_bench.h"
#include "support/engine_fixture.h"

#include <gmock/gmock.h>

#include <cstring>

namespace qv::test {
namespace {

using Accesses = std::vector<std::string>;

#define TEMP_ITEM(name, chip, slave, offset) \
    "[Item]\nITEM_NAME=" name "\nITEM_CAT=TEMP\nBUSTYPE=03\nCHIPCODE=" chip "\nSLAVE=" slave "\nOFFSET=" offset "\n\n"
#define GUIDE(type) "[System]\nThermalGuideChipType=" type "\n\n"

const Accesses kW83795adgAt26{"smb 2C r00", "smb 2C w00=00", "smb 2C rB2", "smb 2C rB3",
                              "smb 2C rDF", "smb 2C r26", "smb 2C w00=03"};

class Thermal : public EngineTest {};

TEST_F(Thermal, LevelFromTheChip)
{
    // blocks: one TEMP item, and [System] keys where they matter; text: nullptr where there is
    // none and the function fails; accesses: of the text function, none where not checked.
    const struct { const char *what, *blocks; int support; const char* text; Accesses accesses; } cases[] = {
        {"W83793G CPU1: bank 2 thresholds 80 and 90, 46 degrees", TEMP_ITEM("CPU1 Temperature", "11", "2F", "1C"),
         1, "Low",
         {"smb 2F r00", "smb 2F w00=82", "smb 2F r36", "smb 2F r34", "smb 2F w00=80", "smb 2F r1C", "smb 2F w00=80"}},
        {"W83793G fixed rule", TEMP_ITEM("CPU1 Temperature", "11", "2F", "1C") GUIDE("1"), 1, "Medium", {}},
        {"W83793G level type 2", TEMP_ITEM("CPU1 Temperature", "11", "2F", "1C")
         "[System]\nW83793GTEMPLEVELTYPE=2\n\n", 0, nullptr, {}},
        {"ChipCode 29 on the host: the SMBus layer answers 0", TEMP_ITEM("CPU2 Temperature", "1D", "2C", "27"),
         1, "Low", {}},
        {"W83795ADG fixed rule: 58 is Medium", TEMP_ITEM("Sensor", "17", "2C", "26") GUIDE("1"), 1, "Medium", {}},
        {"W83795ADG unknown guide: no text, bank restored", TEMP_ITEM("Sensor", "17", "2C", "26") GUIDE("2"),
         1, nullptr, kW83795adgAt26},
        {"W83795ADG outside the PECI registers", TEMP_ITEM("Sensor", "17", "2C", "25"), 0, "Low", {}},
        {"W83627DHG CPU1: bounds 90 and 100, 95 degrees", TEMP_ITEM("CPU1 Temperature", "16", "0", "50"), 1,
         "Medium", {"isa b1 r55", "isa b1 r53", "isa b4 r5F", "isa b1 r50"}},
        {"W83627DHG CPU2: Tcontrol not 100, 101 degrees", TEMP_ITEM("CPU2 Temperature", "16", "0", "50"), 0,
         "High", {}},
        {"NCT6776F 0xE0: Overheat", TEMP_ITEM("CPU1 Temperature", "1C", "7", "17"), 1, "Overheat",
         {"isa b7 r17", "isa b7 r18"}},
        {"NCT6776F 0xF9: Medium", TEMP_ITEM("CPU2 Temperature", "1C", "7", "19"), 1, "Medium", {}},
        {"NCT6776F bit 7 clear: no level", TEMP_ITEM("CPU2 Temperature", "1C", "7", "1B"), 1, nullptr, {}},
        {"NCT6776F outside bank 7: no support, a level all the same", TEMP_ITEM("CPU2 Temperature", "1C", "6", "19"),
         0, "Overheat", {}},
        {"ME_NCT6776F bit 7 clear: 100 up", TEMP_ITEM("CPU2 Temperature", "21", "7", "1B"), 1, "Low", {}},
        {"NCT7904D 200: High, never Overheat", TEMP_ITEM("CPU3 VR", "1E", "2D", "A4"), 1, "High", {}},
        {"ME_NCT7904D without a BMC", TEMP_ITEM("CPU1 VR", "20", "2D", "A0"), 1, "Medium",
         {"smb 2D wFF=00", "smb 2D rA0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        load(profile_text("03", c.blocks), chip_bench());
        const SystemSection& system = *profile_.system;
        const ItemSection& item = profile_.items[0];
        EXPECT_EQ(supportThermalText(system, item), c.support);
        char text[kThermalTextSize] = "keep";
        int code = 0;
        const auto lines = traced([&] { code = getThermalText(system, item, text); });
        EXPECT_EQ(code == 0, c.text != nullptr);
        EXPECT_STREQ(text, c.text != nullptr ? c.text : "keep");
        if (!c.accesses.empty()) {
            EXPECT_EQ(accesses_of(lines), c.accesses);
        }
    }
}

TEST_F(Thermal, W83627dhgDefaultRuleWhenTheThresholdsDisagree)
{
    load(profile_text("02", TEMP_ITEM("CPU1 Temperature", "16", "0", "50")), chip_bench());
    isa_byte_data_write(0x295, 0x296, 1, 0x53, 81);  // 85 and 81: not five apart
    isa_byte_data_write(0x295, 0x296, 1, 0x50, 80);
    char text[kThermalTextSize] = {};
    EXPECT_EQ(getThermalText(*profile_.system, profile_.items[0], text), 0);
    EXPECT_STREQ(text, "Medium");
}

}  // namespace
}  // namespace qv::test
