#include "export/snapshot.h"

#include "app/report_row.h"
#include "hw/dmi.h"
#include "platform/os.h"
#include "sensors/limits.h"
#include "sensors/poll.h"
#include "sensors/reading.h"

#include <algorithm>
#include <cstring>

namespace qv::exporter {

BoardIdentity board_identity()
{
    char vendor[kIdentitySize] = {};
    char product[kIdentitySize] = {};
    char version[kIdentitySize] = {};
    get_mb_info(vendor, product, version);
    auto text = [](const char* field) { return std::string(field, strnlen(field, kIdentitySize)); };
    return {text(vendor), text(product), text(version)};
}

ItemSample make_sample(const ItemDisplay& display, bool read)
{
    ItemSample sample;
    sample.display = display;
    sample.read = read;
    sample.normal = read && isNormalReading(display) != 0;
    sample.status = report_status(display, read);
    sample.warning = report_warns(display, read);
    return sample;
}

namespace {

// Limits can be changed while the program runs: each poll reads them again.
void read_limits(const LoadedProfile& profile, ItemSection& item, ItemDisplay& d)
{
    int32_t value = 0;
    if ((d.category == VOLTAGE || d.category == TEMP) && get_item_limit(kHighLimit, profile, item.ParaIndex1, item, &value) == 0)
        d.highLimit = value;
    if ((d.category == FAN || d.category == VOLTAGE) && get_item_limit(kLowLimit, profile, item.ParaIndex2, item, &value) == 0)
        d.lowLimit = value;
}

}  // namespace

Snapshot poll_items(std::span<ItemDisplay> displays, const LoadedProfile& profile, const BoardIdentity& board)
{
    begin_item_poll();
    Snapshot snapshot;
    snapshot.board = board;
    snapshot.time = static_cast<long>(platform::os().time(nullptr));
    const std::size_t count = std::min(displays.size(), profile.items.size());
    for (std::size_t i = 0; i < count; ++i) {
        ItemDisplay& d = displays[i];
        if (d.monitor != 1) continue;
        ItemSection& item = profile.items[i];
        const bool read = refresh_item_display(profile, item, d) == 0;
        read_limits(profile, item, d);
        snapshot.items.push_back(make_sample(d, read));
    }
    return snapshot;
}

}  // namespace qv::exporter
