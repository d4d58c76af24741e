// The board's identity from the DMI base-board record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qv {

inline constexpr std::size_t kIdentitySize = 30;

// The BIOS area that holds the DMI entry point and, on most boards, its tables.
inline constexpr uint32_t kBiosAreaStart = 0xF0000;
inline constexpr uint32_t kBiosAreaEnd = 0xFFFFF;

// The bytes of a type-2 record found by the memory search, from its type byte on.
using DmiRecordCopy = std::array<uint8_t, 128>;

// Fills the three buffers (kIdentitySize bytes each, zeroed by the caller).
void get_mb_info(char* vendor, char* product, char* version);
// 1 when a type-2 record naming the maker was found in the BIOS area and copied.
int get_mb_info_by_force(char* vendor, char* product, char* version);
// The type-2 record between the physical addresses whose strings hold text.
// Ends the process with status 1 when physical memory cannot be opened.
std::optional<DmiRecordCopy> search_string_in_dmi_type_2(const char* text, uint32_t start, uint32_t end);
// The command's standard output without one trailing newline, cut to the capacity
// (terminator included); 0, or -1 for an empty command or one that cannot start.
int get_cmd_output(const char* command, char* destination, std::size_t capacity = kIdentitySize);
// The text without leading and trailing blanks, form feeds, newlines, carriage
// returns, tabs and vertical tabs.
std::string trim(std::string_view text);
// Rows of 16 bytes, hexadecimal and printable, from start to end inclusive.
void dump_hex_char(const uint8_t* start, const uint8_t* end);

// --- The table's layout, over any bytes -----------------------------------------------
struct DmiEntryPoint {
    uint16_t table_length;
    uint32_t table_address;
    uint16_t structure_count;
};
// The entry point when the bytes begin with the anchor "_DMI_".
std::optional<DmiEntryPoint> parse_entry_point(std::span<const uint8_t> paragraph);

struct BoardStrings {
    std::string vendor;
    std::string product;
    std::string version;
};
// The manufacturer, product and version strings of the record that begins the bytes.
BoardStrings board_strings(std::span<const uint8_t> record);
// The strings of the first type-2 structure among the first count of the table.
std::optional<BoardStrings> find_board_record(std::span<const uint8_t> table, unsigned count);
// Where a type-2 record whose string set holds text begins, searching the strings of
// the window from offset from on.
std::optional<std::size_t> find_type2_with_text(std::span<const uint8_t> window, std::size_t from,
                                                std::string_view text);

}  // namespace qv
