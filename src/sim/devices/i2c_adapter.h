// I2C adapters of the simulated board as the kernel shows them: device files, and
// names in the kernel's listings.
#pragma once

#include "sim/machine.h"

#include <string>
#include <vector>

namespace qv::sim {

struct I2cAdapterSpec {
    unsigned bus = 0;
    std::string name;
    std::string type = "smbus";
    std::string algorithm = "Non-I2C SMBus adapter";
    std::string name_file = "name";  // where sysfs shows the name: "name", "device/name", "device/i2c-N", "none"
    std::string driver;              // listed only while this module is loaded; empty: always
    bool node = true;                // has its /dev/i2c-N file
};

// The adapters of the board's "i2c" section.
std::vector<I2cAdapterSpec> i2c_adapters_of(const json& board);

}  // namespace qv::sim
