// Field-by-field reading of the kernel's text listings.
#include "hw/scan.h"

#include <climits>

namespace qv {

namespace {

int digit_value(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

}  // namespace

bool FieldScanner::is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void FieldScanner::skip_space()
{
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
}

bool FieldScanner::literal(std::string_view expected)
{
    if (text_.substr(pos_, expected.size()) != expected) return false;
    pos_ += expected.size();
    return true;
}

std::optional<std::string> FieldScanner::word()
{
    skip_space();
    return run([](char c) { return !is_space(c); });
}

std::optional<uint32_t> FieldScanner::hex()
{
    skip_space();
    std::size_t p = pos_;
    const bool negative = p < text_.size() && text_[p] == '-';
    if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) ++p;
    if (p + 1 < text_.size() && text_[p] == '0' && (text_[p + 1] == 'x' || text_[p + 1] == 'X') &&
        p + 2 < text_.size() && digit_value(text_[p + 2], 16) >= 0)
        p += 2;
    uint64_t value = 0;
    const std::size_t first_digit = p;
    for (; p < text_.size() && digit_value(text_[p], 16) >= 0; ++p) {
        value = value * 16 + static_cast<uint64_t>(digit_value(text_[p], 16));
        if (value > UINT32_MAX) value = uint64_t{UINT32_MAX} + 1;
    }
    if (p == first_digit) return std::nullopt;
    pos_ = p;
    if (value > UINT32_MAX) return UINT32_MAX;
    const auto v = static_cast<uint32_t>(value);
    return negative ? 0u - v : v;
}

std::optional<int> FieldScanner::decimal()
{
    skip_space();
    std::size_t p = pos_;
    const bool negative = p < text_.size() && text_[p] == '-';
    if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) ++p;
    int64_t value = 0;
    const std::size_t first_digit = p;
    for (; p < text_.size() && digit_value(text_[p], 10) >= 0; ++p) {
        value = value * 10 + digit_value(text_[p], 10);
        if (value > int64_t{INT_MAX} + 1) value = int64_t{INT_MAX} + 1;
    }
    if (p == first_digit) return std::nullopt;
    pos_ = p;
    if (negative) return static_cast<int>(-value < INT_MIN ? INT_MIN : -value);
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}

}  // namespace qv
