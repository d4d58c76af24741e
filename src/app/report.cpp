#include "app/report.h"

#include "app/report_row.h"
#include "hw/chips.h"
#include "platform/os.h"
#include "sensors/convert.h"
#include "sensors/limits.h"
#include "sensors/poll.h"
#include "sensors/reading.h"
#include "sensors/thermal.h"

#include <algorithm>
#include <cstdio>

namespace qv {

namespace {

// A failing engine call leaves its field at 0.
ItemDisplay build_display(const LoadedProfile& profile, ItemSection& item)
{
    ItemDisplay d;
    get_item_name(item, d.name, sizeof d.name);
    d.monitor = get_item_monitor(item);
    d.category = get_item_cat(item);
    int32_t value = 0;
    if (d.category == FAN && get_item_divisor(profile, item, &value) == 0) d.divisor = value;
    if (item.ChipCode != kPlaceholderSwitch && get_item_reading(profile, item, &value) == 0) d.reading = value;
    if ((d.category == VOLTAGE || d.category == TEMP) && get_item_limit(kHighLimit, profile, item.ParaIndex1, item, &value) == 0)
        d.highLimit = value;
    if ((d.category == FAN || d.category == VOLTAGE) && get_item_limit(kLowLimit, profile, item.ParaIndex2, item, &value) == 0)
        d.lowLimit = value;
    get_item_max_reading(profile, item, &d.maxReading);
    get_item_min_reading(profile, item, &d.minReading);
    d.thermalFlag = supportThermalText(*profile.system, item);
    if (d.thermalFlag != 0) getThermalText(*profile.system, item, d.thermalText);
    d.chipCode = get_item_chipcode(item);
    return d;
}

}  // namespace

std::vector<ItemDisplay> createItemDisps(const LoadedProfile& profile)
{
    begin_item_poll();
    std::vector<ItemDisplay> displays;
    displays.reserve(profile.items.size());
    for (ItemSection& item : profile.items) displays.push_back(build_display(profile, item));
    return displays;
}

void text_build_Items(std::span<ItemDisplay> displays, const LoadedProfile& profile)
{
    begin_item_poll();
    // Row by row: the engine's own messages on standard output fall between the rows.
    std::fputs(report_header().c_str(), stdout);
    const std::size_t count = std::min(displays.size(), profile.items.size());
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
        ItemDisplay& d = displays[i];
        if (d.monitor != 1) continue;
        ItemSection& item = profile.items[i];
        const bool read = refresh_item_display(profile, item, d) == 0;
        line.clear();
        append_report_row(line, d, read);
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fputs(report_footer(platform::os().time(nullptr)).c_str(), stdout);
}

}  // namespace qv
