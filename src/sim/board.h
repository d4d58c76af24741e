// Board files: what a simulated machine is made of.
#pragma once

#include "sim/machine.h"
#include "sim/value.h"

#include <string>

namespace qv::sim {

// The board file at path; the built-in demo board for an empty path. Throws
// std::runtime_error with a readable reason when the file is missing or malformed.
json load_board(const std::string& path);

// Populates the machine with everything the board describes.
void build_board(Machine& machine, const json& board);

// Copies the board databases into the sandbox's /etc and the window's icon into its
// pixmaps folder, where they are missing, as installing the program does.
void install_system_files(const Sandbox& sandbox);

}  // namespace qv::sim
