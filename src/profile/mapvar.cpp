#include "profile/mapvar.h"

#include "profile/text.h"

#include <string_view>

namespace qv {

namespace {

struct TableBuilder {
    std::array<MapVarRow, 255> rows{};
    std::size_t used = 0;

    constexpr void add(std::string_view prefix, int n, std::string_view suffix, uint32_t code)
    {
        MapVarRow& row = rows[used++];
        std::size_t len = 0;
        for (char c : prefix) row.name[len++] = c;
        if (n >= 10) row.name[len++] = static_cast<char>('0' + n / 10);
        if (n > 0) row.name[len++] = static_cast<char>('0' + n % 10);
        for (char c : suffix) row.name[len++] = c;
        row.code = code;
    }
    constexpr void add(std::string_view name, uint32_t code) { add(name, 0, "", code); }

    // prefix1 .. prefix<count>, codes first, first + 1, ...
    constexpr void series(std::string_view prefix, int count, std::string_view suffix, uint32_t first)
    {
        for (int n = 1; n <= count; ++n) add(prefix, n, suffix, first + static_cast<uint32_t>(n - 1));
    }
    // prefix1<a>, prefix1<b>, prefix2<a>, ... with codes first, first + 1, ...
    constexpr void pairs(std::string_view prefix, std::string_view a, std::string_view b, uint32_t first)
    {
        for (int n = 1; n <= 16; ++n) {
            const uint32_t code = first + 2 * static_cast<uint32_t>(n - 1);
            add(prefix, n, a, code);
            add(prefix, n, b, code + 1);
        }
    }
};

constexpr std::array<MapVarRow, 255> build_table()
{
    TableBuilder t;
    t.add("FAN", 0);
    t.add("TEMP", 2);
    t.add("VOLTAGE", 1);
    t.add("SWITCH", 3);
    t.add("DRIVE", 4);
    t.add("MEMORY", 5);
    t.add("DIVISOR", 6);
    constexpr std::string_view functions[] = {"P12V", "P5V", "P33V", "P25V", "VCCP", "N5V", "N12V", "VBAT", "P5VSB"};
    for (uint32_t i = 0; i < 9; ++i) t.add(functions[i], i);
    t.series("Item_FAN", 16, "", 0);
    t.series("Item_VOL", 60, "", 16);
    t.series("Item_TEMP", 16, "", 76);
    t.series("Item_SWITCH", 16, "", 92);
    t.series("Divisor", 16, "", 0);
    t.pairs("VOL", "H", "L", 16);
    t.pairs("TEMP", "H", "L", 136);
    t.series("FAN", 16, "H", 168);
    t.pairs("SWITCH", "A", "C", 184);
    t.add("FALSE", 0);
    t.add("TRUE", 1);
    t.add("", kNoCode);
    return t.rows;
}

}  // namespace

constinit const std::array<MapVarRow, 255> MAPVar = build_table();

uint32_t str2code(const char* text)
{
    for (const MapVarRow& row : MAPVar) {
        if (row.name[0] == '\0') break;
        if (iequals(row.name, text)) return row.code;
    }
    std::fprintf(stderr, "%s: Failure! %s\n", "str2code", text);
    return kNoCode;
}

}  // namespace qv
