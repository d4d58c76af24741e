// Every reading and limit rule on a board with a chip of each kind: the value, and the
// accesses where a wrong one would go unnoticed in the value (bank selection, which
// registers, the ISA route, the PECI check, the retries).
#include "sensors/convert.h"
#include "sensors/limits.h"
#include "sensors/reading.h"
#include "support/chip_bench.h"
#include "support/engine_fixture.h"

#include <gmock/gmock.h>

#include <functional>
#include <span>

namespace qv::test {
namespace {

using Accesses = std::vector<std::string>;

// One item (and its parameters) in a profile whose system uses both buses; the value
// counts where code is not -1.
struct PathCase { const char* what; const char* blocks; int code; int32_t value; Accesses accesses; };

class Reading : public EngineTest {
protected:
    // Each case's value and accesses from read on the test board.
    void check(std::span<const PathCase> cases, const std::function<int(int32_t*)>& read)
    {
        for (const PathCase& c : cases) {
            SCOPED_TRACE(c.what);
            load(profile_text("03", c.blocks), chip_bench());
            int32_t value = 4711;
            int code = 0;
            const auto lines = traced([&] { code = read(&value); });
            EXPECT_EQ(code, c.code);
            EXPECT_EQ(value, c.code == -1 ? 4711 : c.value);
            EXPECT_EQ(accesses_of(lines), c.accesses);
        }
    }
};

// An item block with its fields; the parameter blocks follow it in the case.
#define ITEM(cat, bus, chip, slave, offset, extra) \
    "[Item]\nITEM_NAME=it\nITEM_CAT=" cat "\nBUSTYPE=" bus "\nCHIPCODE=" chip "\nSLAVE=" slave "\nOFFSET=" offset \
    "\nPARAINDEX1=P1\nPARAINDEX2=P2\n" extra "\n"
#define PARAM(name, slave, offset, mask) \
    "[Parameter]\nPARAMETER=" name "\nSLAVE=" slave "\nOFFSET=" offset "\nBITMASK=" mask "\n\n"

TEST_F(Reading, TakesItsPath)
{
    const PathCase cases[] = {
        {"a fan whose chip does not answer stops at the first byte", ITEM("FAN", "01", "3", "2E", "20", ""), -1, 0,
         {"smb 2E r20 failed"}},
        {"W83793G agent valid", ITEM("TEMP", "01", "11", "2F", "1C", ""), 0, 0x2E,
         {"smb 2F r1C", "smb 2F r5E", "smb 2F rD6"}},
        {"W83793G item not on the SMBus: only the PECI check", ITEM("TEMP", "02", "11", "2F", "1C", ""), 0, 0,
         {"smb 2F r5E", "smb 2F rD6"}},
        {"generic ME_NCT7904D without a BMC: no bank write", ITEM("TEMP", "01", "20", "2D", "42", ""), 0, 0x1A,
         {"smb 2D r42"}},
        {"raw 0x7F reads 0 degrees", ITEM("TEMP", "02", "1", "0", "21", ""), 0, 0, {"isa b0 r21"}},
        {"SMBus wins over ISA", ITEM("VOLTAGE", "03", "1", "48", "20", "VOL_FUNC=VCCP"), 0, 0x34 * 16,
         {"smb 48 r20"}},
    };
    check(cases, [&](int32_t* value) { return get_item_readingImpl(profile_, profile_.items[0], value); });
}

// The case's second parameter block, P2, is the low limit read.
TEST_F(Reading, OfTheLowLimitTakesItsPath)
{
    const PathCase cases[] = {
        {"SMBus and then ISA: the ISA result counts", ITEM("VOLTAGE", "03", "1", "48", "20", "VOL_FUNC=VCCP")
         PARAM("P2", "48", "20", "0"), 0, 0xFF * 16, {"smb 48 r20", "isa b8 r20"}},
        {"a switch's limit is read, never written", ITEM("SWITCH", "02", "1", "0", "20", "")
         PARAM("P2", "0", "2D", "0"), 0, 4711, {"isa b0 r2D"}},
        {"a chip that does not answer", ITEM("FAN", "01", "3", "2E", "20", "") PARAM("P1", "2E", "0", "0")
         PARAM("P2", "2E", "40", "0"), -1, 0, {"smb 2E r40 failed"}},
    };
    check(cases, [&](int32_t* value) { return get_item_limit(kLowLimit, profile_, "P2", profile_.items[0], value); });
}

TEST_F(Reading, OutOfLimitsIsReadThreeTimesWithBothLimitsNormalOnce)
{
    const std::string item = ITEM("VOLTAGE", "02", "1", "0", "20", "VOL_FUNC=VCCP");
    const Accesses once{"isa b0 r2B", "isa b0 r2C", "isa b0 r20"};
    // 1440 mV between 1120 (0x46) and 1760 (0x6E).
    load(profile_text("02", item + PARAM("P1", "0", "2B", "0") PARAM("P2", "0", "2C", "0")), chip_bench());
    int32_t value = 0;
    auto lines = traced([&] { EXPECT_EQ(get_item_reading(profile_, profile_.items[0], &value), 0); });
    EXPECT_EQ(value, 1440);
    EXPECT_EQ(accesses_of(lines), once);
    // The same with the low limit at 3328 mV (0xD0): out of limits.
    load(profile_text("02", item + PARAM("P1", "0", "2B", "0") PARAM("P2", "0", "22", "0")), chip_bench());
    lines = traced([&] { EXPECT_EQ(get_item_reading(profile_, profile_.items[0], &value), 0); });
    EXPECT_EQ(value, 1440);
    const Accesses low{"isa b0 r2B", "isa b0 r22", "isa b0 r20"};
    EXPECT_EQ(accesses_of(lines), (Accesses{low[0], low[1], low[2], low[0], low[1], low[2], low[0], low[1], low[2]}));
}

// Divisor register 0x5F, field 5..4: divisor 2, which halves the top of the fan's chart.
TEST_F(Reading, FanChartFollowsTheDivisorRegister)
{
    load(profile_text("02", "[Item]\nITEM_NAME=fan\nITEM_CAT=FAN\nBUSTYPE=02\nCHIPCODE=1\nSLAVE=0\nOFFSET=28\n"
                            "PARAINDEX1=Divisor1\n\n" PARAM("Divisor1", "0", "47", "30")),
         chip_bench());
    int32_t max = 0, min = -1;
    EXPECT_EQ(get_item_max_reading(profile_, profile_.items[0], &max), 0);
    EXPECT_EQ(get_item_min_reading(profile_, profile_.items[0], &min), 0);
    EXPECT_EQ(max, 675000);
    EXPECT_EQ(min, 0);
}

}  // namespace
}  // namespace qv::test
