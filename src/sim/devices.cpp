#include "sim/devices.h"

#include "sim/devices/bmc.h"
#include "sim/devices/builders.h"

namespace qv::sim {

// One builder per board section; each reads its own section and ignores the rest.
void build_devices(Machine& machine, const json& board)
{
    build_pci(machine, board);
    build_super_io(machine, board);
    build_hw_monitors(machine, board);
    build_sb_pm(machine, board);
    build_io_block_chips(machine, board);
    build_i2c_adapters(machine, board);
    build_kernel_files(machine, board);
    build_physical_memory(machine, board);
    build_dmidecode(machine, board);
    build_bmc(machine, board);
    build_mail(machine, board);
}

}  // namespace qv::sim
