// Writing the profile of this board from the board databases on first start.
#pragma once

#include "profile/records.h"
#include "profile/revision_rules.h"

#include <span>
#include <string_view>

namespace qv {

// 0 when /etc/Quorvel.ini was written from the board's block.
int produce_quorvel_ini(const char* product, const char* version);
// The same with the revision inputs given.
int produce_quorvel_ini(const char* product, const char* version, RevisionInputs& inputs);

// Copies the block of product from database into /etc/Quorvel.ini; 0 or -1 after
// the message.
int copy_board_block(const char* database, std::string_view product);

// Names the four CPU core-temperature items of a KV3M board after what its monitor
// chip reports: CPU cores, or PECI agents.
void revise_quorvel_ini_for_KV3M(SystemSection& system, std::span<ItemSection> items);

}  // namespace qv
