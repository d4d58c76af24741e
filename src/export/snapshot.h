// One poll of the monitored items, kept apart from how it is written out.
#pragma once

#include "profile/records.h"
#include "sensors/item_display.h"

#include <span>
#include <string>
#include <vector>

namespace qv::exporter {

struct BoardIdentity {
    std::string vendor;
    std::string product;
    std::string version;
};

struct ItemSample {
    ItemDisplay display;  // its reading holds the last good one: use it only when read
    bool read = false;
    bool normal = false;  // read, and normal by the engine's rule
    std::string status;   // the text report's Status column
    bool warning = false; // the text report's "Warning!"
};

struct Snapshot {
    BoardIdentity board;
    long time = 0;
    std::vector<ItemSample> items;
};

// The board's identity from the DMI base-board record.
BoardIdentity board_identity();

ItemSample make_sample(const ItemDisplay& display, bool read);

// Reads every monitored item once, in the text report's order and manner.
Snapshot poll_items(std::span<ItemDisplay> displays, const LoadedProfile& profile, const BoardIdentity& board);

}  // namespace qv::exporter
