// PCI functions of the simulated board: what the configuration mechanism answers and
// what the kernel lists in /proc/bus/pci/devices.
#pragma once

#include "sim/devices/register_file.h"
#include "sim/machine.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qv::sim {

struct PciFunctionSpec {
    uint32_t bus = 0;
    uint32_t device = 0;
    uint32_t function = 0;
    uint16_t vendor = 0;
    uint16_t device_id = 0;
    std::map<uint32_t, uint32_t> derived;  // configuration dwords the device model implies
    json registers;                        // the board's own dwords; they win
    std::string driver;                    // kernel driver named in the listing

    uint32_t id_dword() const { return static_cast<uint32_t>(device_id) << 16 | vendor; }
    // Bus, device and function packed as the kernel lists them.
    uint32_t devfn_word() const { return bus << 8 | device << 3 | function; }
};

// The function's location and IDs from a board entry.
PciFunctionSpec pci_function_of(const json& entry);

// Every PCI function of the board: pci_functions, smbus_controllers, lpc_bridges.
std::vector<PciFunctionSpec> pci_functions_of(const json& board);

// The SMBus controllers' host status registers and the LPC bridges' GPIO blocks.
void add_smbus_controller_blocks(Machine& machine, const json& board);
void add_lpc_gpio_blocks(Machine& machine, const json& board);
PciFunctionSpec smbus_controller_function(const json& entry);
PciFunctionSpec lpc_bridge_function(const json& entry);

}  // namespace qv::sim
