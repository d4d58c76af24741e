// The loaded profile: one [System] record, one record per [Item] and per [Parameter].
// Plain records with the fixed field widths of the file format; every layer reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace qv {

// Value of a numeric item or parameter field that the file did not give.
inline constexpr int32_t kUnset = 255;

// Item categories.
inline constexpr int32_t FAN = 0;
inline constexpr int32_t VOLTAGE = 1;
inline constexpr int32_t TEMP = 2;
inline constexpr int32_t SWITCH = 3;
inline constexpr int32_t DRIVE = 4;
inline constexpr int32_t MEMORY = 5;
inline constexpr int32_t DIVISOR = 6;

// BusType bits.
inline constexpr uint32_t kBusSmbus = 0x01;
inline constexpr uint32_t kBusIsa = 0x02;
inline constexpr uint32_t kBusBmcSmbus = 0x08;

struct SystemSection {
    uint32_t BusType = 0;
    uint32_t DataReg = 0;
    uint32_t IndexReg = 0;
    char MachineName[40] = {};
    int32_t MailAlert = 0;
    char MailBox[100] = {};
    char MailServer[40] = {};
    char Outline[40] = {};
    int32_t PagerAlert = 0;
    char PagerID[40] = {};
    char PhoneNumber[40] = {};
    uint32_t Polling = 0;
    uint32_t CoreTempChipCode = 0;
    char ServerPort[84] = {};
    uint32_t W83793GTempLevelType = 0;
    uint32_t ThermalGuideChipType = 0;
};

struct ItemSection {
    char Name[80] = {};
    int32_t Cat = kUnset;
    int32_t Vol_Func = kUnset;
    char Item_ID[80] = {};
    int32_t BusType = kUnset;
    int32_t ChipCode = kUnset;
    int32_t Slave = kUnset;
    int32_t Offset = kUnset;
    int32_t Activate = kUnset;
    int32_t Monitor = kUnset;
    int32_t Source = kUnset;
    char ParaIndex1[80] = {};
    char ParaIndex2[80] = {};
    char Ref_Item_ID[80] = {};
};

struct ParameterSection {
    char szKeyName[12] = {};
    int32_t Slave = kUnset;
    int32_t Offset = kUnset;
    int32_t BitMask = kUnset;
};

struct LoadedProfile;

// A loaded profile's parameter names, indexed; here so that the store can hold it, while
// its lookups belong to the engine (sensors/parameters.cpp). The index trusts the array
// it was built from (same place and size) until parameters_changed() announces a change;
// each item's two names are then resolved once, at the first reading that needs them.
class ParameterNames {
public:
    // Positions in the parameter array of the first and the last parameter of a name.
    struct Places {
        int32_t first = -1;  // -1: no parameter has the name
        int32_t last = -1;
    };

    // field: item.ParaIndex1 or item.ParaIndex2 of an item of profile.items.
    Places of_item(const LoadedProfile& profile, const ItemSection& item, const char* field);

private:
    struct Key {
        uint64_t low = 0;
        uint32_t high = 0;
        bool operator==(const Key&) const = default;
    };
    struct Slot {
        Key key;
        Places places;
        bool used = false;
    };
    struct Resolved {
        Places fields[2];
        bool done = false;
    };

    bool current(const LoadedProfile& profile) const;
    void rebuild(const LoadedProfile& profile);
    Places find(const char* name) const;

    std::vector<Slot> slots_;  // open addressing, at most half full
    std::size_t mask_ = 0;
    std::vector<Resolved> items_;
    const ParameterSection* data_ = nullptr;
    std::size_t size_ = 0;
    uint64_t generation_ = 0;
};

// What myspQuorvel points to: the three arrays with the item count and the
// parameter capacity (always twice the item count).
struct LoadedProfile {
    SystemSection* system = nullptr;
    std::span<ItemSection> items;
    std::span<ParameterSection> params;
    ParameterNames* names = nullptr;  // the store's index of params; null: lookups scan

    int itemCount() const { return static_cast<int>(items.size()); }
    int paramCapacity() const { return static_cast<int>(params.size()); }
};

// Whoever changes a parameter array, or an item's parameter names, in place calls
// parameters_changed() afterwards (the loader does): the name index keys its trust on
// this counter, not on the contents.
void parameters_changed();
uint64_t parameters_generation();

// Copies text into a fixed field, cutting it to the field's width; always terminated.
template <std::size_t N>
void set_text(char (&field)[N], std::string_view text)
{
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

}  // namespace qv
