// Which board database holds the profile of a board: older revisions of some boards
// live in their own files, told apart by the DMI version, chipset GPIO pins or two
// bytes of the BIOS ROM.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <variant>

namespace qv {

// The hardware the rules look at; the real one reads the chipset and the BIOS ROM.
class RevisionInputs {
public:
    virtual ~RevisionInputs() = default;
    // 1 when GPIO pin 28, 38 or 39 of the I/O controller hub is high, else 0.
    virtual int gpio_high(int pin) = 0;
    virtual uint8_t bios_byte(uint32_t physical_address) = 0;
};

// Matches when the version is among the listed ones (among) or is none of them.
struct VersionTest {
    bool among = true;
    std::array<std::string_view, 3> versions{};
    std::size_t count = 0;
};

// Every pin listed (up to two) has its level; tested in order, stopping at a mismatch.
struct GpioTest {
    struct Pin {
        int pin = 0;
        int level = 0;
    };
    std::array<Pin, 2> pins{};
    std::size_t count = 0;
};

// (byte AND mask) = value.
struct BiosTest {
    uint32_t address = 0;
    uint8_t mask = 0;
    uint8_t value = 0;
};

struct RevisionRule {
    std::string_view board;
    std::variant<VersionTest, GpioTest, BiosTest> test;
    const char* database;
};

inline constexpr uint32_t kBiosByte40 = 0xFFA40;
inline constexpr uint32_t kBiosByte41 = 0xFFA41;

extern const std::array<RevisionRule, 38> kRevisionRules;

// The database of the first rule that matches, else /etc/AllQuorvel.ini. The inputs
// are read only for rules of this board, each time such a rule is tried.
const char* choose_database(std::string_view product, std::string_view version, RevisionInputs& inputs);

}  // namespace qv
