// The hardware layer's process-wide state in one record, and its way back to how a new
// process finds it.
#pragma once

#include "hw/i2c_discovery.h"
#include "hw/smbus.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct HwState {
    uint32_t SMB_BASE_IO_ADDR = 0;  // I/O base of the host SMBus controller; 0: none
    uint8_t IntelDevice = 0;        // 1 when that controller is an Intel one
    // Cached GPIO base of the ChipCode 5 Super I/O: high byte, low byte; both 0 = not read.
    uint32_t ChipCode5BaseAddr[2] = {0, 0};
    // Not closed by a reset: the machine it came from may be gone.
    I2cAdapterFile i2c_adapter_file;

    // Built once at start-up. They grow with what the system lists: a board may have
    // more buses, devices or modules than the kernel listed on older systems.
    std::vector<PciDevice> pci_list;
    std::vector<std::string> modules_list;
    std::vector<DriverEntry> driver_list;
    std::vector<I2cBus> i2c_bus_list;

    // The I/O privilege the kernel granted.
    struct Grants {
        int level = 0;
        std::bitset<65536> ports;
        bool refusal_reported = false;
    } grants;
};

HwState& hw_state();

void reset_hw_state();

}  // namespace qv
