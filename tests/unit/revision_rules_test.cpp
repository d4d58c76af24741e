// Choosing the board database: every revision rule, the resulting choices per board,
// and which hardware inputs are read for which board.
#include "profile/paths.h"
#include "profile/revision_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qv::test {
namespace {

// Pin levels and BIOS bytes as given; every read is noted as "G28", "B41", ...
class FakeInputs final : public RevisionInputs {
public:
    std::map<int, int> pins{{28, 1}, {38, 1}, {39, 1}};
    uint8_t b40 = 0xFF;
    uint8_t b41 = 0xFF;
    std::string reads;

    int gpio_high(int pin) override
    {
        note("G" + std::to_string(pin));
        return pins.at(pin);
    }
    uint8_t bios_byte(uint32_t address) override
    {
        note(address == kBiosByte40 ? "B40" : address == kBiosByte41 ? "B41" : "B?");
        return address == kBiosByte40 ? b40 : b41;
    }

private:
    void note(const std::string& what) { reads += (reads.empty() ? "" : " ") + what; }
};

const std::string ALL = ALL_QUORVEL_INI;
const std::string OLD1 = OLD_REV_MB_INI;
const std::string OLD2 = OLD_REV_MB_2_INI;
const std::string OLD3 = OLD_REV_MB_3_INI;

struct RuleCase {
    const char* product;
    const char* version;
    std::map<int, int> pins;  // overrides of the all-high default
    int b40;                  // -1: 0xFF
    int b41;
    std::string database;
    std::string reads;
    friend void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.product << " '" << c.version << "'"; }
};

class Rules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(Rules, ChooseTheDatabaseReadingOnlyThisBoardsInputs)
{
    const RuleCase& c = GetParam();
    FakeInputs inputs;
    for (const auto& [pin, level] : c.pins) inputs.pins[pin] = level;
    if (c.b40 >= 0) inputs.b40 = static_cast<uint8_t>(c.b40);
    if (c.b41 >= 0) inputs.b41 = static_cast<uint8_t>(c.b41);
    EXPECT_EQ(choose_database(c.product, c.version, inputs), c.database);
    EXPECT_EQ(inputs.reads, c.reads);
}

// GPIO boards: rules 1, 2, 25.
INSTANTIATE_TEST_SUITE_P(
    Gpio, Rules,
    ::testing::Values(RuleCase{"MV3QE", "2.0", {{28, 0}}, -1, -1, OLD1, "G28"},
                      RuleCase{"MV3QE", "1.0", {}, -1, -1, ALL, "G28"},
                      RuleCase{"LGT7W", "", {{38, 0}}, -1, -1, OLD1, "G38"},
                      // G38 is read again by the later rule of the same board.
                      RuleCase{"LGT7W", "", {{39, 0}}, -1, -1, OLD2, "G38 G38 G39"},
                      RuleCase{"LGT7W", "", {}, -1, -1, ALL, "G38 G38 G39"},
                      RuleCase{"lgt7w", "", {{38, 0}}, -1, -1, OLD1, "G38"}));

// Version boards: rules 3 to 15, 26 to 29, 37, 38; none reads the hardware.
INSTANTIATE_TEST_SUITE_P(
    Version, Rules,
    ::testing::Values(
        RuleCase{"ZR4KB", "1.0", {}, -1, -1, OLD1, ""}, RuleCase{"ZR4KB", "2.0", {}, -1, -1, ALL, ""},
        RuleCase{"ZR4NP", "", {}, -1, -1, OLD1, ""}, RuleCase{"ZR4NP", "2.0", {}, -1, -1, ALL, ""},
        RuleCase{"ZR4NP-S", "1.1", {}, -1, -1, OLD1, ""}, RuleCase{"ZR4NP-S", "2.0", {}, -1, -1, ALL, ""},
        RuleCase{"ZR4YU", "2.1", {}, -1, -1, OLD1, ""}, RuleCase{"ZR4YU", "2.0", {}, -1, -1, ALL, ""},
        RuleCase{"ZR9GH", "2.00", {}, -1, -1, OLD1, ""}, RuleCase{"ZR9GH", "2.0", {}, -1, -1, ALL, ""},
        RuleCase{"ZR4FW-6", "2.0", {}, -1, -1, OLD1, ""}, RuleCase{"ZR4FW-6", "2.1", {}, -1, -1, ALL, ""},
        RuleCase{"SK5JD", "1.0", {}, -1, -1, OLD1, ""}, RuleCase{"SK5JD", "2.0", {}, -1, -1, ALL, ""},
        RuleCase{"SK5BN", "1.2", {}, -1, -1, OLD1, ""}, RuleCase{"SK5BN", "1.0", {}, -1, -1, OLD2, ""},
        RuleCase{"SK5BN", "2.0", {}, -1, -1, ALL, ""}, RuleCase{"SK5BN", "1.3", {}, -1, -1, ALL, ""},
        RuleCase{"SK5BN", "1.1", {}, -1, -1, OLD3, ""}, RuleCase{"sk5bn", "", {}, -1, -1, OLD3, ""},
        RuleCase{"SK5EQ", "1.2", {}, -1, -1, OLD1, ""}, RuleCase{"SK5EQ", "1.1", {}, -1, -1, OLD2, ""},
        RuleCase{"SK5EQ", "2.0", {}, -1, -1, ALL, ""}, RuleCase{"SK5EQ", "1.3", {}, -1, -1, OLD3, ""},
        RuleCase{"SK5MM", "1.3", {}, -1, -1, OLD1, ""}, RuleCase{"SK5MM", "2.0", {}, -1, -1, ALL, ""},
        RuleCase{"SK5MM", "1.0", {}, -1, -1, OLD2, ""}, RuleCase{"SK5MM-OKA", "1.3", {}, -1, -1, OLD1, ""},
        RuleCase{"SK5MM-OKA", "2.0", {}, -1, -1, ALL, ""}, RuleCase{"SK5MM-OKA", "1.2", {}, -1, -1, OLD2, ""},
        RuleCase{"SK5MM-OWZ", "1.3", {}, -1, -1, ALL, ""}, RuleCase{"SK5MM-OWZ", "2.0", {}, -1, -1, OLD1, ""},
        RuleCase{"SK5MM-R", "1.3", {}, -1, -1, OLD1, ""}, RuleCase{"SK5MM-R", "2.0", {}, -1, -1, ALL, ""}));

// BIOS-byte boards: rules 16 to 24 and 30 to 36; the byte is read once per rule tried.
INSTANTIATE_TEST_SUITE_P(
    Bios, Rules,
    ::testing::Values(
        RuleCase{"KV3MRB", "", {}, -1, 0x06, OLD1, "B41"}, RuleCase{"KV3MRB", "", {}, -1, 0x05, OLD2, "B41 B41"},
        RuleCase{"KV3MRB", "", {}, -1, 0x04, OLD3, "B41 B41 B41"},
        RuleCase{"KV3MRB", "", {}, -1, 0x03, ALL, "B41 B41 B41"},
        RuleCase{"KV3MGY", "", {}, -1, 0xFE, OLD1, "B41"}, RuleCase{"KV3MGY", "", {}, -1, 0x01, OLD2, "B41 B41"},
        RuleCase{"KV3MGY", "", {}, -1, 0x00, OLD3, "B41 B41 B41"},
        RuleCase{"KV3MGY", "", {}, -1, 0x0B, ALL, "B41 B41 B41"},
        RuleCase{"PH2YT-R", "", {}, -1, 0xFE, OLD1, "B41"}, RuleCase{"PH2YT-R", "", {}, -1, 0x01, ALL, "B41"},
        RuleCase{"PH2YT-RZ", "", {}, -1, 0x00, OLD1, "B41"}, RuleCase{"PH2YT-RZ", "", {}, -1, 0x03, ALL, "B41"},
        RuleCase{"SK5BW", "", {}, 0x01, -1, OLD1, "B40"}, RuleCase{"SK5BW", "", {}, 0x02, -1, ALL, "B40"},
        RuleCase{"SK5BF", "", {}, 0x05, -1, OLD1, "B40"}, RuleCase{"SK5BF", "", {}, 0x04, -1, OLD2, "B40 B40"},
        RuleCase{"SK5BF", "", {}, 0x02, -1, ALL, "B40 B40"}, RuleCase{"SK5JX", "", {}, 0x01, -1, OLD1, "B40"},
        RuleCase{"SK5JX", "", {}, 0x00, -1, OLD2, "B40 B40"}, RuleCase{"SK5JX", "", {}, 0x03, -1, ALL, "B40 B40"},
        RuleCase{"SK5JC", "", {}, 0x01, -1, OLD1, "B40"}, RuleCase{"SK5JC", "", {}, 0x00, -1, OLD2, "B40 B40"},
        RuleCase{"SK5JC", "", {}, 0x02, -1, ALL, "B40 B40"}, RuleCase{"SK5JK", "", {}, 0x02, -1, OLD1, "B40"},
        RuleCase{"SK5JK", "", {}, 0x01, -1, ALL, "B40"}));

// Other boards and near misses never touch the hardware.
INSTANTIATE_TEST_SUITE_P(
    Others, Rules,
    ::testing::Values(RuleCase{"SK5XX", "1.2", {}, -1, -1, ALL, ""}, RuleCase{"KV3M", "", {}, -1, 0, ALL, ""},
                      RuleCase{"SK5MM-", "1.3", {}, -1, -1, ALL, ""}, RuleCase{"", "", {}, -1, -1, ALL, ""},
                      RuleCase{"MV3QE ", "", {{28, 0}}, -1, -1, ALL, ""}));

}  // namespace
}  // namespace qv::test
