#include "sim/devices.h"

#include "sim/devices/bmc.h"

namespace qv::sim {

// One builder per board section; each reads its own section and ignores the rest.
void build_devices(Machine& machine, const json& board)
{
    build_bmc(machine, board);
}

}  // namespace qv::sim
