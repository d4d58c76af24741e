// A reader for the kernel's text listings that takes fields the way the C library's
// scanf conversions do (%s, %[set], %x, %d), over any bytes and without reading past
// the text. Each step says whether its field was there; a failed step consumes nothing
// that a later step could have used.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

class FieldScanner {
public:
    explicit FieldScanner(std::string_view text) : text_(text) {}

    // Blank, tab, newline, carriage return, vertical tab, form feed.
    static bool is_space(char c);

    void skip_space();
    bool literal(std::string_view expected);
    // %s: leading white space skipped, then one or more other characters.
    std::optional<std::string> word();
    // %[...]: one or more characters the predicate accepts; no white space skipped.
    template <typename Accept>
    std::optional<std::string> run(Accept accept)
    {
        std::size_t n = 0;
        while (pos_ + n < text_.size() && accept(text_[pos_ + n])) ++n;
        if (n == 0) return std::nullopt;
        std::string field(text_.substr(pos_, n));
        pos_ += n;
        return field;
    }
    // %x: white space, a sign, an optional 0x, hexadecimal digits; modulo 2^32 with
    // values past 32 bits saturating at 0xFFFFFFFF.
    std::optional<uint32_t> hex();
    // %d: white space, a sign, decimal digits; saturating at the int range.
    std::optional<int> decimal();

    std::string_view rest() const { return text_.substr(pos_); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace qv
