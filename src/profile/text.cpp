#include "profile/text.h"

#include <cctype>

namespace qv {

bool read_piece(FILE* file, std::string& piece)
{
    char buffer[kPieceSize];
    if (std::fgets(buffer, sizeof buffer, file) == nullptr) return false;
    piece.assign(buffer);
    return true;
}

bool chop_newline(std::string& line)
{
    if (line.empty() || line.back() != '\n') return false;
    line.pop_back();
    return true;
}

bool chop_newline_or_cr(std::string& line)
{
    if (line.empty() || (line.back() != '\n' && line.back() != '\r')) return false;
    line.pop_back();
    return true;
}

static char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool iequals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool istarts_with(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && iequals(text.substr(0, prefix.size()), prefix);
}

bool split_entry(std::string_view line, Entry& entry)
{
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    entry.key = line.substr(0, eq);
    entry.value = line.substr(eq + 1);
    return true;
}

static int digit_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

uint32_t parse_u32(std::string_view text, int base)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const bool hex_prefix = base == 16 && i + 2 < text.size() && text[i] == '0' &&
                            (text[i + 1] == 'x' || text[i + 1] == 'X') && digit_value(text[i + 2]) < 16;
    if (hex_prefix) i += 2;
    uint64_t value = 0;
    bool saturated = false;
    for (; i < text.size() && digit_value(text[i]) < base; ++i) {
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit_value(text[i]));
        if (value > 0xFFFFFFFFu) {
            saturated = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (saturated) return 0xFFFFFFFFu;
    const auto result = static_cast<uint32_t>(value);
    return negative ? static_cast<uint32_t>(0u - result) : result;
}

}  // namespace qv
