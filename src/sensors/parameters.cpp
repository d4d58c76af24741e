// Parameter lookups by name. Every reading looks up two to five parameters, so the names
// are indexed once per profile; the index keeps a copy of the array it was built from
// and is rebuilt whenever the array it is asked about differs from that copy, so a
// lookup always answers for the array as it is now. A reading checks the copy once for
// all its lookups (ParameterScope).
#include "sensors/parameters.h"

#include "sensors/names.h"

#include <algorithm>
#include <compare>
#include <cstring>
#include <vector>

namespace qv {

namespace {

constexpr std::size_t kNameSize = sizeof ParameterSection{}.szKeyName;

// A name folded to lower case and padded with zeros: names compare as two words.
struct Key {
    uint64_t low = 0;
    uint32_t high = 0;

    auto operator<=>(const Key&) const = default;
};

// false when the name is longer than any parameter name can be.
bool make_key(std::string_view name, Key& key)
{
    if (name.size() > kNameSize) return false;
    char bytes[kNameSize] = {};
    for (std::size_t i = 0; i < name.size(); ++i) bytes[i] = fold_case(name[i]);
    std::memcpy(&key.low, bytes, sizeof key.low);
    std::memcpy(&key.high, bytes + sizeof key.low, sizeof key.high);
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
        Key key;
        if (name.empty() || !make_key(name, key)) return nullptr;
        if (!trusted(params) && !built_from(params)) rebuild(params);
        const auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                         [](const Entry& e, const Key& k) { return e.key < k; });
        return it != entries_.end() && it->key == key ? &it->places : nullptr;
    }

    // Within a scope the array cannot change: one check at its start covers the rest.
    void enter(std::span<const ParameterSection> params)
    {
        if (depth_++ > 0) return;
        if (!built_from(params)) rebuild(params);
        scope_data_ = params.data();
        scope_size_ = params.size();
    }
    void leave()
    {
        if (--depth_ == 0) scope_data_ = nullptr;
    }

private:
    struct Entry {
        Key key;
        Places places;
    };

    bool trusted(std::span<const ParameterSection> params) const
    {
        return depth_ > 0 && params.data() == scope_data_ && params.size() == scope_size_;
    }

    bool built_from(std::span<const ParameterSection> params) const
    {
        return params.size() == copy_.size() &&
               (params.empty() || std::memcmp(params.data(), copy_.data(), params.size_bytes()) == 0);
    }

    void rebuild(std::span<const ParameterSection> params)
    {
        copy_.assign(params.begin(), params.end());
        entries_.clear();
        for (std::size_t i = 0; i < params.size(); ++i) {
            const char* name = params[i].szKeyName;
            if (name[0] == '\0') continue;  // the free places after the last block
            Key key;
            make_key(std::string_view(name, strnlen(name, kNameSize)), key);
            entries_.push_back({key, {i, i}});
        }
        // Sorted by name, then place: the first and last place of each name merge.
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
        std::size_t kept = 0;
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (kept > 0 && entries_[kept - 1].key == entries_[i].key) entries_[kept - 1].places.last = entries_[i].places.last;
            else entries_[kept++] = entries_[i];
        }
        entries_.resize(kept);
    }

    std::vector<ParameterSection> copy_;
    std::vector<Entry> entries_;
    int depth_ = 0;
    const ParameterSection* scope_data_ = nullptr;
    std::size_t scope_size_ = 0;
};

NameIndex& name_index()
{
    static NameIndex index;
    return index;
}

}  // namespace

ParameterScope::ParameterScope(std::span<const ParameterSection> params) { name_index().enter(params); }
ParameterScope::~ParameterScope() { name_index().leave(); }

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
