// Register access to SMBus chips: through the host adapter's i2c-dev file, or through
// the BMC when a BMC driver is open.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

// The adapter file: opened on the first host-path access, then kept.
struct I2cAdapterFile {
    bool open = false;
    int fd = -1;
    std::string path;
};

// The wait before register 0x44 of BusType-8 items, in microseconds.
inline constexpr unsigned kSlowRegisterWaitUs = 550000;

// Ends the process with status 255 when no adapter carries the port.
int openI2CDevice(uint32_t port);
int smbus_byte_data_read(int chip_code, uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg,
                         uint32_t* value);
// -1 also when the transfer itself fails.
int smbus_byte_data_write(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint8_t value);
int smbus_word_data_read_HL(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint32_t* value);
int smbus_byte_data_read_GPU(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint32_t* value);
void clearSMBusLastTransaction(uint32_t port);

// The controller port named by an adapter name's text after " at ", read as
// hexadecimal; 0 when the name has no " at " or no number there.
uint32_t adapter_port(const std::string& adapter_name);

}  // namespace qv
