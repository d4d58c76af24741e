// Parameter lookups by name. Every reading looks up two to five parameters, so the names
// are indexed once per profile. The index remembers the array it was built from by its
// place, its size and the change counter at the time; comparing the contents instead
// cost a pass over the whole array per reading, and so the square of the profile's size
// per report.
#include "sensors/parameters.h"

#include "sensors/names.h"

#include <cstring>
#include <vector>

namespace qv {

namespace {

constexpr std::size_t kNameSize = sizeof ParameterSection{}.szKeyName;

// A name folded to lower case and padded with zeros: names compare as two words.
struct Key {
    uint64_t low = 0;
    uint32_t high = 0;

    bool operator==(const Key&) const = default;
    std::size_t hash() const { return static_cast<std::size_t>((low ^ (uint64_t{high} << 29)) * 0x9E3779B97F4A7C15u >> 32); }
};

// false when the name is empty or longer than any parameter name can be.
bool make_key(const char* name, std::size_t limit, Key& key)
{
    char bytes[kNameSize] = {};
    std::size_t i = 0;
    for (; i < limit && name[i] != '\0'; ++i) {
        if (i == kNameSize) return false;
        bytes[i] = fold_case(name[i]);
    }
    std::memcpy(&key.low, bytes, sizeof key.low);
    std::memcpy(&key.high, bytes + sizeof key.low, sizeof key.high);
    return i > 0;
}

class NameIndex {
public:
    struct Places {
        std::size_t first;
        std::size_t last;
    };

    const Places* find(std::span<const ParameterSection> params, const char* name)
    {
        Key key;
        if (!make_key(name, kNameSize + 1, key)) return nullptr;
        current(params);
        for (std::size_t i = key.hash() & mask_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (!slot.used) return nullptr;
            if (slot.key == key) return &slot.places;
        }
    }

    void current(std::span<const ParameterSection> params)
    {
        if (!built_from(params)) rebuild(params);
    }

private:
    // An open-addressed table at most half full.
    struct Slot {
        Key key;
        Places places{0, 0};
        bool used = false;
    };

    bool built_from(std::span<const ParameterSection> params) const
    {
        return built_ && params.data() == data_ && params.size() == size_ && parameters_generation() == built_generation_;
    }

    void rebuild(std::span<const ParameterSection> params)
    {
        built_ = true;
        data_ = params.data();
        size_ = params.size();
        built_generation_ = parameters_generation();
        std::size_t size = 2;
        while (size < 2 * params.size()) size *= 2;
        slots_.assign(size, Slot{});
        mask_ = size - 1;
        for (std::size_t i = 0; i < params.size(); ++i) {
            Key key;
            if (!make_key(params[i].szKeyName, kNameSize, key)) continue;  // the free places after the last block
            std::size_t at = key.hash() & mask_;
            while (slots_[at].used && !(slots_[at].key == key)) at = (at + 1) & mask_;
            if (!slots_[at].used) slots_[at] = Slot{key, {i, i}, true};
            else slots_[at].places.last = i;
        }
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    bool built_ = false;
    const ParameterSection* data_ = nullptr;
    std::size_t size_ = 0;
    uint64_t built_generation_ = 0;
};

NameIndex& name_index()
{
    static NameIndex index;
    return index;
}

}  // namespace

ParameterScope::ParameterScope(std::span<const ParameterSection> params) { name_index().current(params); }
ParameterScope::~ParameterScope() = default;

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
