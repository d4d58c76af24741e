// The SMBus operations when a BMC driver is open: each becomes a BMC command chosen by
// driver kind, BusType, BMC kind and slave address.
#pragma once

#include <cstdint>

namespace qv {

int bmc_byte_read(int chip_code, uint32_t bus_type, uint8_t slave, uint8_t reg, uint32_t* value);
int bmc_byte_write(uint32_t bus_type, uint8_t slave, uint8_t reg, uint8_t value);
int bmc_word_read(uint32_t bus_type, uint8_t slave, uint8_t reg, uint32_t* value);
int bmc_gpu_read(uint32_t bus_type, uint8_t slave, uint8_t reg, uint32_t* value);

}  // namespace qv
