// Readings and limits a BMC serves that no board shows: the SMBus route when the banked
// OEM read fails, the ME variant's odd values and limit, and BMC sensor 0.
#include "sensors/limits.h"
#include "sensors/reading.h"
#include "support/chip_bench.h"
#include "support/engine_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using Accesses = std::vector<std::string>;

sim::json bmc_board(sim::json changes = sim::json::object())
{
    sim::json bmc = sim::json::parse(R"({
      "openipmi": "/dev/ipmi0", "kind": "ob_winbond", "oem": {"0x93": {"1": 70, "3": 255}},
      "buses": {"2": {"0x2D": {"bank_register": "0xFF",
                               "banks": {"0": {"0x80": "0x20", "0x81": "0x05"}, "1": {"0x42": "0x2D"}}}}}
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
        {"NCT7904D fan: the SMBus route when the OEM read fails", ITEM("FAN", "01", "1E", "2D", "80", ""), false,
         1350000 / 1029,
         {"ipmi 30:90 5A 00 80 01", "ipmi 06:52 05 5A 00 FF 00", "ipmi 06:52 05 5A 01 80", "ipmi 06:52 05 5A 01 81"},
         {{"completion_codes", {{"0x30:0x90", "0xC0"}}}}},
        {"ME_NCT7904D: the OEM query by index", ITEM("TEMP", "01", "20", "2D", "42", ""), false, 70,
         {"ipmi 30:93 01"}},
        {"ME_NCT7904D: 0xFF reads as 0", ITEM("TEMP", "01", "20", "2D", "46", ""), false, 0, {"ipmi 30:93 03"}},
        {"BMC sensor 0: 95 without asking", ITEM("TEMP", "00", "22", "0", "0", ""), false, 95, {}},
        {"ME_NCT7904D limit: the banked read too", ITEM("TEMP", "01", "20", "2D", "42", "") P2("2D", "42"), true,
         0x2D, {"ipmi 30:90 5A 01 42 01"}},
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

}  // namespace
}  // namespace qv::test
