// The builders of the board sections, one per device model; each reads its own
// sections of the board and adds what they describe to the machine.
#pragma once

#include "sim/machine.h"

namespace qv::sim {

void build_pci(Machine& machine, const json& board);
void build_super_io(Machine& machine, const json& board);
void build_hw_monitors(Machine& machine, const json& board);
void build_sb_pm(Machine& machine, const json& board);
void build_io_block_chips(Machine& machine, const json& board);
void build_i2c_adapters(Machine& machine, const json& board);
void build_kernel_files(Machine& machine, const json& board);
void build_physical_memory(Machine& machine, const json& board);
void build_dmidecode(Machine& machine, const json& board);
void build_mail(Machine& machine, const json& board);

}  // namespace qv::sim
