// Preparing the I2C adapters at start-up: device nodes, PCI devices, kernel modules,
// controller drivers, and the list of I2C buses.
#pragma once

#include <string>
#include <vector>

namespace qv {

struct I2cBus {
    std::string number;     // decimal text, as in /dev/i2c-<number>
    std::string type;       // "smbus", "i2c", ... or "unknown" from sysfs
    std::string name;       // adapter name, e.g. "SMBus I801 adapter at 1100"
    std::string algorithm;
};

inline std::vector<I2cBus> i2c_bus_list;

int i2cdetect();

}  // namespace qv
