// Parameter lookups by name. Every reading looks up two to five parameters, so the
// names are indexed once per profile and each item's names resolved once per index;
// a reading then costs no more on a large profile than on a small one.
#include "sensors/parameters.h"

#include "sensors/names.h"
#include "sensors/reading.h"

#include <cstring>

namespace qv {

namespace {

constexpr std::size_t kNameSize = sizeof ParameterSection{}.szKeyName;

// A name folded to lower case and padded with zeros: names compare as two words.
// false when the name is empty or longer than any parameter name can be.
template <class Key>
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

template <class Key>
std::size_t hash(const Key& key)
{
    return static_cast<std::size_t>((key.low ^ (uint64_t{key.high} << 29)) * 0x9E3779B97F4A7C15u >> 32);
}

ParameterNames::Places scan(std::span<const ParameterSection> params, const char* name)
{
    ParameterNames::Places places;
    if (name[0] == '\0') return places;
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (!same_name(params[i].szKeyName, name)) continue;
        if (places.first < 0) places.first = static_cast<int32_t>(i);
        places.last = static_cast<int32_t>(i);
    }
    return places;
}

ParameterNames::Places places_of(const LoadedProfile& profile, const ItemSection& item, const char* field)
{
    if (profile.names != nullptr) return profile.names->of_item(profile, item, field);
    return scan(profile.params, field);
}

}  // namespace

const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params)
{
    const ParameterNames::Places places = scan(params, name);
    return places.first >= 0 ? &params[static_cast<std::size_t>(places.first)] : nullptr;
}

int32_t get_item_bitmask(const char* name, std::span<const ParameterSection> params)
{
    const ParameterNames::Places places = scan(params, name);
    return places.last >= 0 ? params[static_cast<std::size_t>(places.last)].BitMask : 0;
}

// Every lookup asks this, so it compares a few words and never the array.
bool ParameterNames::current(const LoadedProfile& profile) const
{
    return generation_ == parameters_generation() && profile.params.data() == data_ &&
           profile.params.size() == size_ && items_.size() == profile.items.size();
}

[[gnu::noinline]] void ParameterNames::rebuild(const LoadedProfile& profile)
{
    const std::span<const ParameterSection> params = profile.params;
    data_ = params.data();
    size_ = params.size();
    generation_ = parameters_generation();
    items_.assign(profile.items.size(), Resolved{});
    std::size_t size = 2;
    while (size < 2 * params.size()) size *= 2;
    slots_.assign(size, Slot{});
    mask_ = size - 1;
    for (std::size_t i = 0; i < params.size(); ++i) {
        Key key;
        if (!make_key(params[i].szKeyName, kNameSize, key)) continue;  // the free places after the last block
        std::size_t slot = hash(key) & mask_;
        while (slots_[slot].used && !(slots_[slot].key == key)) slot = (slot + 1) & mask_;
        if (!slots_[slot].used) slots_[slot] = Slot{key, {static_cast<int32_t>(i), static_cast<int32_t>(i)}, true};
        else slots_[slot].places.last = static_cast<int32_t>(i);
    }
}

ParameterNames::Places ParameterNames::of_item(const LoadedProfile& profile, const ItemSection& item, const char* field)
{
    const int which = field == item.ParaIndex1 ? 0 : field == item.ParaIndex2 ? 1 : -1;
    const std::size_t at = static_cast<std::size_t>(&item - profile.items.data());
    if (which < 0 || at >= profile.items.size()) return scan(profile.params, field);
    if (!current(profile)) rebuild(profile);
    Resolved& resolved = items_[at];
    if (!resolved.done) {
        resolved.fields[0] = find(item.ParaIndex1);
        resolved.fields[1] = find(item.ParaIndex2);
        resolved.done = true;
    }
    return resolved.fields[which];
}

ParameterNames::Places ParameterNames::find(const char* name) const
{
    Key key;
    if (!make_key(name, kNameSize + 1, key)) return {};
    for (std::size_t i = hash(key) & mask_;; i = (i + 1) & mask_) {
        const Slot& slot = slots_[i];
        if (!slot.used) return {};
        if (slot.key == key) return slot.places;
    }
}

const ParameterSection* item_parameter(const LoadedProfile& profile, const ItemSection& item, const char* field)
{
    const ParameterNames::Places places = places_of(profile, item, field);
    return places.first >= 0 ? &profile.params[static_cast<std::size_t>(places.first)] : nullptr;
}

int32_t item_bitmask(const LoadedProfile& profile, const ItemSection& item, const char* field)
{
    const ParameterNames::Places places = places_of(profile, item, field);
    return places.last >= 0 ? profile.params[static_cast<std::size_t>(places.last)].BitMask : 0;
}

}  // namespace qv
