// Register access to SMBus chips: through the host adapter's i2c-dev file, or through
// the BMC when a BMC driver is open.
#pragma once

#include <cstdint>

namespace qv {

// Ends the process with status 255 when no adapter carries the port.
int openI2CDevice(uint32_t port);
int smbus_byte_data_read(int chip_code, uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg,
                         uint32_t* value);
int smbus_byte_data_write(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint8_t value);
int smbus_word_data_read_HL(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint32_t* value);
int smbus_byte_data_read_GPU(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint32_t* value);
void clearSMBusLastTransaction(uint32_t port);

}  // namespace qv
