// Parameter lookups by name. Every reading looks up two to five parameters, so the names
// are indexed once per profile; the index keeps a copy of the array it was built from
// and is rebuilt whenever the array it is asked about differs from that copy, so a
// lookup always answers for the array as it is now.
#include "sensors/parameters.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace qv {

namespace {

constexpr std::size_t kNameSize = sizeof ParameterSection{}.szKeyName;

// Case folding of the C locale, which every name comparison of the profile uses.
char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The folded name, or false when it is longer than any parameter name can be.
bool folded(std::string_view name, std::string& key)
{
    if (name.size() > kNameSize) return false;
    key.resize(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) key[i] = fold(name[i]);
    return true;
}

class NameIndex {
public:
    struct Places {
        std::size_t first;
        std::size_t last;
    };

    const Places* find(std::span<const ParameterSection> params, std::string_view name)
    {
        if (name.empty() || !folded(name, key_)) return nullptr;
        if (!built_from(params)) rebuild(params);
        const auto it = places_.find(key_);
        return it == places_.end() ? nullptr : &it->second;
    }

private:
    bool built_from(std::span<const ParameterSection> params) const
    {
        return params.size() == copy_.size() &&
               (params.empty() || std::memcmp(params.data(), copy_.data(), params.size_bytes()) == 0);
    }

    void rebuild(std::span<const ParameterSection> params)
    {
        copy_.assign(params.begin(), params.end());
        places_.clear();
        std::string key;
        for (std::size_t i = 0; i < params.size(); ++i) {
            const char* name = params[i].szKeyName;
            if (name[0] == '\0') continue;  // the free places after the last block
            folded(std::string_view(name, strnlen(name, kNameSize)), key);
            const auto [it, added] = places_.try_emplace(key, Places{i, i});
            if (!added) it->second.last = i;
        }
    }

    std::vector<ParameterSection> copy_;
    std::unordered_map<std::string, Places> places_;
    std::string key_;
};

NameIndex& name_index()
{
    static NameIndex index;
    return index;
}

}  // namespace

const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params)
{
    const NameIndex::Places* places = name_index().find(params, name);
    return places != nullptr ? &params[places->first] : nullptr;
}

int32_t get_item_bitmask(const char* name, std::span<const ParameterSection> params)
{
    const NameIndex::Places* places = name_index().find(params, name);
    return places != nullptr ? params[places->last].BitMask : 0;
}

}  // namespace qv
