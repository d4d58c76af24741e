// The item accessors and the parameter lookups.
#include "sensors/parameters.h"
#include "sensors/reading.h"

#include <string_view>

namespace qv {

namespace {

// Every item looks up its parameters at each reading: a comparison that stops at the
// first differing character keeps the scan cheap. Case folding is the C locale's.
char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool names_match(const ParameterSection& param, std::string_view name)
{
    const char* key = param.szKeyName;
    std::size_t i = 0;
    for (; i < name.size(); ++i)
        if (i == sizeof param.szKeyName || fold(key[i]) != fold(name[i])) return false;
    return i == sizeof param.szKeyName || key[i] == '\0';
}

}  // namespace

const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params)
{
    const std::string_view wanted(name);
    if (wanted.empty()) return nullptr;
    for (const ParameterSection& param : params)
        if (names_match(param, wanted)) return &param;
    return nullptr;
}

int32_t get_item_bitmask(const char* name, std::span<const ParameterSection> params)
{
    const std::string_view wanted(name);
    int32_t mask = 0;
    if (wanted.empty()) return mask;
    for (const ParameterSection& param : params)
        if (names_match(param, wanted)) mask = param.BitMask;
    return mask;
}

// The display record's name is shorter than the profile's: longer names are cut.
int get_item_name(const ItemSection& item, char* text, std::size_t capacity)
{
    if (capacity == 0) return 0;
    std::size_t i = 0;
    for (; i + 1 < capacity && i < sizeof item.Name && item.Name[i] != '\0'; ++i) text[i] = item.Name[i];
    text[i] = '\0';
    return 0;
}

int32_t get_item_cat(const ItemSection& item) { return item.Cat; }
int32_t get_item_monitor(const ItemSection& item) { return item.Monitor; }
int32_t get_item_chipcode(const ItemSection& item) { return item.ChipCode; }

}  // namespace qv
