// One item read and converted, and the retries that confirm an out-of-limit reading.
#include "sensors/reading.h"

#include "sensors/convert.h"
#include "sensors/limits.h"
#include "sensors/names.h"
#include "sensors/parameters.h"
#include "sensors/raw_read.h"
#include "sensors/thermal.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace qv {

namespace {

constexpr int kAttempts = 3;

// One item's reading in progress and the switches whose reading led to it, innermost
// first. A REF_ITEM_ID that leads back into the chain would read forever; a long chain
// would read 3^n times if every attempt read its reference again, so a reference is
// read once per item reading and followed at most kMaxReferenceLinks deep.
struct RefChain {
    const ItemSection* item;
    const RefChain* outer;
    int links = 0;                     // references followed from the item asked for
    std::optional<int32_t> reference;  // read once, kept for the later attempts

    bool holds(const ItemSection* candidate) const
    {
        for (const RefChain* link = this; link != nullptr; link = link->outer)
            if (link->item == candidate) return true;
        return false;
    }
};

int read_with_retries(const LoadedProfile& profile, ItemSection& item, int32_t* value, const RefChain* chain);

ItemSection* find_item_id(const LoadedProfile& profile, const char* id)
{
    for (ItemSection& other : profile.items)
        if (same_name(other.Item_ID, id)) return &other;
    return nullptr;
}

// The referenced item's reading; 0 when it does not exist, is already being read or
// lies too deep.
int32_t follow_reference(const LoadedProfile& profile, const ItemSection& item, const RefChain& chain)
{
    if (item.Ref_Item_ID[0] == '\0') return 1;
    ItemSection* other = find_item_id(profile, item.Ref_Item_ID);
    if (other == nullptr) {
        std::fprintf(stderr, "Error: Unknown Ref_Item_ID '%s'.\n", item.Ref_Item_ID);
        return 0;
    }
    if (chain.holds(other)) {
        std::fprintf(stderr, "Error: Ref_Item_ID '%s' leads back to '%s'.\n", item.Ref_Item_ID, item.Name);
        return 0;
    }
    if (chain.links >= kMaxReferenceLinks) {
        std::fprintf(stderr, "Error: Ref_Item_ID '%s' of '%s' is more than %d references deep.\n", item.Ref_Item_ID,
                     item.Name, kMaxReferenceLinks);
        return 0;
    }
    int32_t reference = 0;
    read_with_retries(profile, *other, &reference, &chain);
    return reference;
}

int32_t reference_value(const LoadedProfile& profile, const ItemSection& item, RefChain& chain)
{
    if (!chain.reference) chain.reference = follow_reference(profile, item, chain);
    return *chain.reference;
}

int convert_reading(const LoadedProfile& profile, ItemSection& item, uint32_t raw, int32_t* value, RefChain& chain)
{
    switch (item.Cat) {
    case VOLTAGE:
        return VOLTAGEConvert(item.ChipCode, item.Vol_Func, raw, value);
    case FAN: {
        int32_t divisor = 1;
        get_item_divisor(profile, item, &divisor);
        return FANConvert(raw, item.ChipCode, divisor, value);
    }
    case TEMP: {
        const int code = TEMPConvert(raw, value);
        if (raw == 0x7F) *value = 0;  // the chips' "no diode" value
        return code;
    }
    case SWITCH: {
        const auto mask = static_cast<uint32_t>(item_bitmask(profile, item, item.ParaIndex1));
        const int32_t reference = reference_value(profile, item, chain);
        return SWITCHConvert(raw, mask, value, item.Activate, item.ChipCode, reference);
    }
    default:
        std::fprintf(stderr, "Error: unknown parameter!\n");
        return -1;
    }
}

int read_once(const LoadedProfile& profile, ItemSection& item, int32_t* value, RefChain& chain)
{
    const RawReading reading = read_raw_value(*profile.system, item);
    if (reading.code == -1) return -1;
    return convert_reading(profile, item, reading.raw, value, chain);
}

int read_with_retries(const LoadedProfile& profile, ItemSection& item, int32_t* value, const RefChain* outer)
{
    RefChain chain{&item, outer, outer == nullptr ? 0 : outer->links + 1, std::nullopt};
    ItemDisplay status;  // the status rule looks at the category, the value and the limits
    status.category = item.Cat;
    int code = -1;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        get_item_limit(kHighLimit, profile, item.ParaIndex1, item, &status.highLimit);
        get_item_limit(kLowLimit, profile, item.ParaIndex2, item, &status.lowLimit);
        code = read_once(profile, item, &status.reading, chain);
        if (isNormalReading(status)) break;
    }
    *value = status.reading;
    return code;
}

}  // namespace

int get_item_reading(const LoadedProfile& profile, ItemSection& item, int32_t* value)
{
    return read_with_retries(profile, item, value, nullptr);
}

int get_item_readingImpl(const LoadedProfile& profile, ItemSection& item, int32_t* value)
{
    RefChain chain{&item, nullptr, 0, std::nullopt};
    return read_once(profile, item, value, chain);
}

int refresh_item_display(const LoadedProfile& profile, ItemSection& item, ItemDisplay& display)
{
    int32_t value = 0;
    const int result = get_item_reading(profile, item, &value);
    if (result == 0) display.reading = value;
    if (display.thermalFlag != 0) {
        char text[kThermalTextSize] = {};
        if (getThermalText(*profile.system, item, text) == 0) std::memcpy(display.thermalText, text, sizeof text);
    }
    return result == 0 ? 0 : -1;
}

}  // namespace qv
