// Names of items and parameters compare without regard to case, as the C locale folds
// it. The engine compares names at every reading, so it does so without the locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace qv {

constexpr char fold_case(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool same_name(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold_case(a[i]) != fold_case(b[i])) return false;
    return true;
}

constexpr bool name_starts_with(std::string_view name, std::string_view prefix)
{
    return name.size() >= prefix.size() && same_name(name.substr(0, prefix.size()), prefix);
}

}  // namespace qv
