// Loading /etc/Quorvel.ini into its records.
#pragma once

#include "profile/records.h"

#include <cstdio>
#include <span>
#include <vector>

namespace qv {

// Owns the loaded records for the life of the process; LoadedProfile views them.
struct ProfileStore {
    SystemSection system;
    std::vector<ItemSection> items;
    std::vector<ParameterSection> params;
    ParameterNames names;

    LoadedProfile view() { return LoadedProfile{&system, items, params, &names}; }
};

// The loaded profile, for everything that runs after start-up (the window's callbacks,
// the saver). Set once by start-up.
extern LoadedProfile* myspQuorvel;

// Number of [Item] blocks, or -1 when the profile cannot be opened. The parameter
// array gets room for twice the item count.
int loadQuorvelINI_and_getItemCount(ProfileStore& store);

// A profile or a board database opened for reading; nullptr when it cannot be opened or
// is not a regular file (a FIFO would block the open, a device would never end).
FILE* open_regular_file(const char* path);

int get_item_count(FILE* file);
void initSystemSection(SystemSection& system);
void readSystemSection(FILE* file, SystemSection& system);
void readItemSection(FILE* file, std::span<ItemSection> items);
// Returns the number of [Parameter] blocks that did not fit the array.
int readParameterSection(FILE* file, std::span<ParameterSection> params);

}  // namespace qv
