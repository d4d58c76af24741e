// Choosing the board database: every revision rule, the resulting choices per board,
// and which hardware inputs are read for which board.
#include "profile/paths.h"
#include "profile/revision_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>
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

// Version boards (rules 3 to 15, 26 to 29, 37, 38), other boards and near misses: the
// choice from the name and version alone, without a hardware read.
TEST(RevisionRules, VersionBoardsAndOthersReadNoInput)
{
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"ZR4KB", "1.0", OLD1},     {"ZR4KB", "2.0", ALL},      {"ZR4NP", "", OLD1},         {"ZR4NP", "2.0", ALL},
        {"ZR4NP-S", "1.1", OLD1},   {"ZR4NP-S", "2.0", ALL},    {"ZR4YU", "2.1", OLD1},      {"ZR4YU", "2.0", ALL},
        {"ZR9GH", "2.00", OLD1},    {"ZR9GH", "2.0", ALL},      {"ZR4FW-6", "2.0", OLD1},    {"ZR4FW-6", "2.1", ALL},
        {"SK5JD", "1.0", OLD1},     {"SK5JD", "2.0", ALL},      {"SK5BN", "1.2", OLD1},      {"SK5BN", "1.0", OLD2},
        {"SK5BN", "2.0", ALL},      {"SK5BN", "1.3", ALL},      {"SK5BN", "1.1", OLD3},      {"sk5bn", "", OLD3},
        {"SK5EQ", "1.2", OLD1},     {"SK5EQ", "1.1", OLD2},     {"SK5EQ", "2.0", ALL},       {"SK5EQ", "1.3", OLD3},
        {"SK5MM", "1.3", OLD1},     {"SK5MM", "2.0", ALL},      {"SK5MM", "1.0", OLD2},      {"SK5MM-OKA", "1.3", OLD1},
        {"SK5MM-OKA", "2.0", ALL},  {"SK5MM-OKA", "1.2", OLD2}, {"SK5MM-OWZ", "1.3", ALL},   {"SK5MM-OWZ", "2.0", OLD1},
        {"SK5MM-R", "1.3", OLD1},   {"SK5MM-R", "2.0", ALL},    {"SK5XX", "1.2", ALL},       {"KV3M", "", ALL},
        {"SK5MM-", "1.3", ALL},     {"", "", ALL},
    };
    for (const auto& [product, version, database] : cases) {
        FakeInputs inputs;
        EXPECT_EQ(choose_database(product, version, inputs), database) << product << " '" << version << "'";
        EXPECT_EQ(inputs.reads, "") << product;
    }
}

// GPIO boards (rules 1, 2, 25) and BIOS-byte boards (16 to 24, 30 to 36): each input is
// read once per rule tried, and only for its own board.
TEST(RevisionRules, HardwareBoardsReadOnlyTheirOwnInputs)
{
    // low_pin: the one GPIO pin that reads low, 0 for none; b40, b41: -1 for 0xFF.
    const struct {
        const char *product, *version;
        int low_pin, b40, b41;
        std::string database, reads;
    } cases[] = {
        {"MV3QE", "2.0", 28, -1, -1, OLD1, "G28"}, {"MV3QE", "1.0", 0, -1, -1, ALL, "G28"},
        {"MV3QE ", "", 28, -1, -1, ALL, ""}, {"LGT7W", "", 38, -1, -1, OLD1, "G38"},
        // G38 is read again by the later rule of the same board.
        {"LGT7W", "", 39, -1, -1, OLD2, "G38 G38 G39"}, {"LGT7W", "", 0, -1, -1, ALL, "G38 G38 G39"},
        {"lgt7w", "", 38, -1, -1, OLD1, "G38"}, {"KV3MRB", "", 0, -1, 0x06, OLD1, "B41"},
        {"KV3MRB", "", 0, -1, 0x05, OLD2, "B41 B41"}, {"KV3MRB", "", 0, -1, 0x04, OLD3, "B41 B41 B41"},
        {"KV3MRB", "", 0, -1, 0x03, ALL, "B41 B41 B41"}, {"KV3MGY", "", 0, -1, 0xFE, OLD1, "B41"},
        {"KV3MGY", "", 0, -1, 0x01, OLD2, "B41 B41"}, {"KV3MGY", "", 0, -1, 0x00, OLD3, "B41 B41 B41"},
        {"KV3MGY", "", 0, -1, 0x0B, ALL, "B41 B41 B41"}, {"PH2YT-R", "", 0, -1, 0xFE, OLD1, "B41"},
        {"PH2YT-R", "", 0, -1, 0x01, ALL, "B41"}, {"PH2YT-RZ", "", 0, -1, 0x00, OLD1, "B41"},
        {"PH2YT-RZ", "", 0, -1, 0x03, ALL, "B41"}, {"SK5BW", "", 0, 0x01, -1, OLD1, "B40"},
        {"SK5BW", "", 0, 0x02, -1, ALL, "B40"}, {"SK5BF", "", 0, 0x05, -1, OLD1, "B40"},
        {"SK5BF", "", 0, 0x04, -1, OLD2, "B40 B40"}, {"SK5BF", "", 0, 0x02, -1, ALL, "B40 B40"},
        {"SK5JX", "", 0, 0x01, -1, OLD1, "B40"}, {"SK5JX", "", 0, 0x00, -1, OLD2, "B40 B40"},
        {"SK5JX", "", 0, 0x03, -1, ALL, "B40 B40"}, {"SK5JC", "", 0, 0x01, -1, OLD1, "B40"},
        {"SK5JC", "", 0, 0x00, -1, OLD2, "B40 B40"}, {"SK5JC", "", 0, 0x02, -1, ALL, "B40 B40"},
        {"SK5JK", "", 0, 0x02, -1, OLD1, "B40"}, {"SK5JK", "", 0, 0x01, -1, ALL, "B40"}
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.product << " '" << c.version << "' " << c.b40 << " " << c.b41);
        FakeInputs inputs;
        if (c.low_pin != 0) inputs.pins[c.low_pin] = 0;
        if (c.b40 >= 0) inputs.b40 = static_cast<uint8_t>(c.b40);
        if (c.b41 >= 0) inputs.b41 = static_cast<uint8_t>(c.b41);
        EXPECT_EQ(choose_database(c.product, c.version, inputs), c.database);
        EXPECT_EQ(inputs.reads, c.reads);
    }
}

}  // namespace
}  // namespace qv::test
