#include "profile/revision_rules.h"

#include "profile/paths.h"
#include "profile/text.h"

namespace qv {

namespace {

constexpr VersionTest version_among(std::initializer_list<std::string_view> versions, bool among)
{
    VersionTest test;
    test.among = among;
    for (std::string_view v : versions) test.versions[test.count++] = v;
    return test;
}
constexpr VersionTest version_is(std::string_view version) { return version_among({version}, true); }
constexpr VersionTest version_none_of(std::initializer_list<std::string_view> versions)
{
    return version_among(versions, false);
}

constexpr GpioTest gpio(std::initializer_list<GpioTest::Pin> pins)
{
    GpioTest test;
    for (const GpioTest::Pin& p : pins) test.pins[test.count++] = p;
    return test;
}

constexpr BiosTest bios(uint32_t address, uint8_t mask, uint8_t value) { return {address, mask, value}; }

constexpr const char* OLD1 = OLD_REV_MB_INI;
constexpr const char* OLD2 = OLD_REV_MB_2_INI;
constexpr const char* OLD3 = OLD_REV_MB_3_INI;
constexpr uint32_t B40 = kBiosByte40;
constexpr uint32_t B41 = kBiosByte41;

bool passes(const VersionTest& t, std::string_view version, RevisionInputs&)
{
    bool listed = false;
    for (std::size_t i = 0; i < t.count; ++i) listed = listed || iequals(version, t.versions[i]);
    return listed == t.among;
}

bool passes(const GpioTest& t, std::string_view, RevisionInputs& inputs)
{
    for (std::size_t i = 0; i < t.count; ++i)
        if (inputs.gpio_high(t.pins[i].pin) != t.pins[i].level) return false;
    return true;
}

bool passes(const BiosTest& t, std::string_view, RevisionInputs& inputs)
{
    return (inputs.bios_byte(t.address) & t.mask) == t.value;
}

}  // namespace

// Tried in this order; the first match wins.
const std::array<RevisionRule, 38> kRevisionRules{{
    {"MV3QE", gpio({{28, 0}}), OLD1},
    {"LGT7W", gpio({{38, 0}}), OLD1},
    {"ZR4KB", version_none_of({"2.0"}), OLD1},
    {"ZR4NP", version_none_of({"2.0"}), OLD1},
    {"ZR4NP-S", version_none_of({"2.0"}), OLD1},
    {"ZR4YU", version_none_of({"2.0"}), OLD1},
    {"ZR9GH", version_none_of({"2.0"}), OLD1},
    {"ZR4FW-6", version_none_of({"2.1"}), OLD1},
    {"SK5BN", version_is("1.2"), OLD1},
    {"SK5JD", version_none_of({"2.0"}), OLD1},
    {"SK5EQ", version_is("1.2"), OLD1},
    {"SK5MM", version_is("1.3"), OLD1},
    {"SK5MM-OKA", version_is("1.3"), OLD1},
    {"SK5MM-OWZ", version_none_of({"1.3"}), OLD1},
    {"SK5MM-R", version_none_of({"2.0"}), OLD1},
    {"KV3MRB", bios(B41, 0x06, 0x06), OLD1},
    {"KV3MGY", bios(B41, 0x06, 0x06), OLD1},
    {"PH2YT-R", bios(B41, 0x01, 0x00), OLD1},
    {"PH2YT-RZ", bios(B41, 0x01, 0x00), OLD1},
    {"SK5BW", bios(B40, 0x02, 0x00), OLD1},
    {"SK5BF", bios(B40, 0x03, 0x01), OLD1},
    {"SK5JX", bios(B40, 0x03, 0x01), OLD1},
    {"SK5JC", bios(B40, 0x03, 0x01), OLD1},
    {"SK5JK", bios(B40, 0x01, 0x00), OLD1},
    {"LGT7W", gpio({{38, 1}, {39, 0}}), OLD2},
    {"SK5BN", version_is("1.0"), OLD2},
    {"SK5MM", version_none_of({"1.3", "2.0"}), OLD2},
    {"SK5MM-OKA", version_none_of({"1.3", "2.0"}), OLD2},
    {"SK5EQ", version_is("1.1"), OLD2},
    {"KV3MGY", bios(B41, 0x03, 0x01), OLD2},
    {"KV3MRB", bios(B41, 0x03, 0x01), OLD2},
    {"SK5BF", bios(B40, 0x03, 0x00), OLD2},
    {"SK5JX", bios(B40, 0x03, 0x00), OLD2},
    {"SK5JC", bios(B40, 0x03, 0x00), OLD2},
    {"KV3MGY", bios(B41, 0x03, 0x00), OLD3},
    {"KV3MRB", bios(B41, 0x03, 0x00), OLD3},
    {"SK5EQ", version_none_of({"1.1", "1.2", "2.0"}), OLD3},
    {"SK5BN", version_none_of({"2.0", "1.3", "1.2"}), OLD3},
}};

const char* choose_database(std::string_view product, std::string_view version, RevisionInputs& inputs)
{
    for (const RevisionRule& rule : kRevisionRules) {
        if (!iequals(product, rule.board)) continue;
        const bool match = std::visit([&](const auto& test) { return passes(test, version, inputs); }, rule.test);
        if (match) return rule.database;
    }
    return ALL_QUORVEL_INI;
}

}  // namespace qv
