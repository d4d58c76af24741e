// The device models a board file can hold, and the shell commands every machine has.
#pragma once

#include "sim/machine.h"

namespace qv::sim {

// Adds every device of the board's sections to the machine.
void build_devices(Machine& machine, const json& board);

// rm -f, and what every simulated system answers.
void add_standard_commands(Machine& machine);

}  // namespace qv::sim
