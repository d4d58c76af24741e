#include "app/report.h"

#include "profile/text.h"

#include <cstdio>

namespace qv {

// Readings come with the sensor engine; until then every row is an unread one.
std::vector<ItemDisplay> createItemDisps(const LoadedProfile& profile)
{
    std::vector<ItemDisplay> displays(profile.items.size());
    for (std::size_t i = 0; i < displays.size(); ++i) {
        set_text(displays[i].name, profile.items[i].Name);
        displays[i].category = profile.items[i].Cat;
        displays[i].chipCode = profile.items[i].ChipCode;
        displays[i].monitor = profile.items[i].Monitor;
    }
    return displays;
}

void text_build_Items(std::span<ItemDisplay> displays, const LoadedProfile&)
{
    std::fprintf(stderr, "Error: no sensor engine in this build; %zu item(s) not read.\n", displays.size());
}

}  // namespace qv
