// Writing the profile of this board from the board databases on first start.
#pragma once

#include "profile/records.h"

namespace qv {

// 0 when /etc/Quorvel.ini was written from the board's block.
int produce_quorvel_ini(const char* product, const char* version);
void revise_quorvel_ini_for_KV3M(SystemSection& system, std::span<ItemSection> items);

}  // namespace qv
