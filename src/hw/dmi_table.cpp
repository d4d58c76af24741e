// The DMI structures' layout. Tables come from firmware and may lie about their
// lengths and counts: nothing here reads outside the bytes it is given.
#include "hw/dmi.h"

#include <cstring>

namespace qv {

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr uint8_t kBaseBoard = 2;

uint16_t le16(std::span<const uint8_t> b, std::size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

uint32_t le32(std::span<const uint8_t> b, std::size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// String number n of the set that begins at offset; numbers 0 and 1 both give the
// first. A number past the set, or a string without its terminator, gives "".
std::string dmi_string(std::span<const uint8_t> record, std::size_t offset, unsigned number)
{
    const unsigned wanted = number == 0 ? 1 : number;
    for (unsigned n = 1; offset < record.size(); ++n) {
        const auto* begin = record.data() + offset;
        const auto* end = static_cast<const uint8_t*>(std::memchr(begin, 0, record.size() - offset));
        if (end == nullptr || end == begin) return {};
        if (n == wanted) return std::string(begin, end);
        offset += static_cast<std::size_t>(end - begin) + 1;
    }
    return {};
}

// Offset just past the double NUL that ends the string set starting at offset.
std::optional<std::size_t> skip_string_set(std::span<const uint8_t> table, std::size_t offset)
{
    for (; offset + 1 < table.size(); ++offset)
        if (table[offset] == 0 && table[offset + 1] == 0) return offset + 2;
    return std::nullopt;
}

}  // namespace

std::optional<DmiEntryPoint> parse_entry_point(std::span<const uint8_t> paragraph)
{
    if (paragraph.size() < 14 || std::memcmp(paragraph.data(), "_DMI_", 5) != 0) return std::nullopt;
    return DmiEntryPoint{le16(paragraph, 6), le32(paragraph, 8), le16(paragraph, 12)};
}

BoardStrings board_strings(std::span<const uint8_t> record)
{
    if (record.size() < 2) return {};
    const std::size_t length = record[1];
    // A field the formatted area does not reach names no string.
    const auto field = [&](std::size_t at) -> std::string {
        if (at >= length || at >= record.size()) return {};
        return dmi_string(record, length, record[at]);
    };
    return {field(4), field(5), field(6)};
}

std::optional<BoardStrings> find_board_record(std::span<const uint8_t> table, unsigned count)
{
    std::size_t offset = 0;
    for (unsigned i = 0; i < count && offset + kHeaderSize <= table.size(); ++i) {
        const std::size_t length = table[offset + 1];
        if (length < kHeaderSize || offset + length > table.size()) return std::nullopt;
        if (table[offset] == kBaseBoard) return board_strings(table.subspan(offset));
        const auto next = skip_string_set(table, offset + length);
        if (!next) return std::nullopt;
        offset = *next;
    }
    return std::nullopt;
}

std::optional<std::size_t> find_type2_with_text(std::span<const uint8_t> window, std::size_t from,
                                                std::string_view text)
{
    const auto* bytes = window.data();
    for (std::size_t pos = from; pos < window.size();) {
        const auto* nul = static_cast<const uint8_t*>(std::memchr(bytes + pos, 0, window.size() - pos));
        if (nul == nullptr) return std::nullopt;
        const std::size_t end = static_cast<std::size_t>(nul - bytes);
        const std::string_view string(reinterpret_cast<const char*>(bytes + pos), end - pos);
        if (const auto hit = string.find(text); hit != std::string_view::npos) {
            // Back to the start of the structure: just past the previous string set's double NUL.
            std::size_t start = pos + hit;
            while (start >= 2 && !(bytes[start - 1] == 0 && bytes[start - 2] == 0)) --start;
            if (start >= 2 && bytes[start] == kBaseBoard) return start;
        }
        pos = end + 1;
    }
    return std::nullopt;
}

std::string trim(std::string_view text)
{
    constexpr std::string_view white = " \f\n\r\t\v";
    const auto first = text.find_first_not_of(white);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(white);
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace qv
