// SMBus register access: the host adapter's i2c-dev file, or the BMC when its driver is
// open.
#include "hw/smbus.h"

#include "hw/chips.h"
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/smbus_bmc.h"
#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "platform/exit.h"
#include "platform/os.h"
#include "profile/text.h"

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <cstdio>
#include <cstdlib>

namespace qv {

namespace {

// The controller's host status: the finished-transaction flag and the in-use flag,
// both cleared by writing 1.
constexpr uint8_t kClearHostStatus = 0x42;

bool accepted_type(const std::string& type) { return type == "smbus" || type == "unknown"; }

void* slave_argument(uint8_t slave) { return reinterpret_cast<void*>(static_cast<uintptr_t>(slave)); }

// Binds the slave for the following transfers; reports a refusal.
bool bind(int fd, unsigned long request, uint8_t slave)
{
    if (platform::os().ioctl(fd, request, slave_argument(slave)) >= 0) return true;
    std::fprintf(stderr, "Error: ioctl(), slave=0x%x\n", slave);
    return false;
}

int transfer(int fd, uint8_t direction, uint8_t reg, i2c_smbus_data& data)
{
    i2c_smbus_ioctl_data request{};
    request.read_write = direction;
    request.command = reg;
    request.size = I2C_SMBUS_BYTE_DATA;
    request.data = &data;
    return platform::os().ioctl(fd, I2C_SMBUS, &request);
}

// One byte-data read followed by the status clear; the byte or nothing.
int read_byte(int fd, uint32_t port, uint8_t reg, uint32_t& byte)
{
    i2c_smbus_data data{};
    const int result = transfer(fd, I2C_SMBUS_READ, reg, data);
    clearSMBusLastTransaction(port);
    if (result < 0) return -1;
    byte = data.byte;
    return 0;
}

}  // namespace

uint32_t adapter_port(const std::string& adapter_name)
{
    const auto at = adapter_name.find(" at ");
    if (at == std::string::npos) return 0;
    return parse_u32(std::string_view(adapter_name).substr(at + 4), 16);
}

int openI2CDevice(uint32_t port)
{
    I2cAdapterFile& adapter = hw_state().i2c_adapter_file;
    if (adapter.open) return adapter.fd;
    for (const I2cBus& bus : hw_state().i2c_bus_list) {
        const uint32_t number = adapter_port(bus.name);
        if (number == 0 || !accepted_type(bus.type) || number != port) continue;
        adapter.path = "/dev/i2c-" + bus.number;
        adapter.fd = platform::os().open(adapter.path.c_str(), O_RDWR);
        adapter.open = adapter.fd >= 0;
        break;
    }
    if (!adapter.open) {
        std::fputs("Error: Cannot find a proper I2C/SMBus device!\n", stderr);
        platform::fatal_exit(255);
    }
    return adapter.fd;
}

int smbus_byte_data_read(int chip_code, uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg,
                         uint32_t* value)
{
    if (ipmi_state().hDevice != 0) return bmc_byte_read(chip_code, bus_type, slave, reg, value);
    // Chips that only the BMC serves read as idle without it.
    switch (chips::of(chip_code).smbus) {
    case chips::SmbusQuirk::BmcAgent: *value = 0; return 0;
    case chips::SmbusQuirk::PowerFailure: *value = 1; return 0;
    case chips::SmbusQuirk::None: break;
    }
    const int fd = openI2CDevice(port);
    if (!bind(fd, I2C_SLAVE, slave)) return -1;
    if (bus_type == kBusBmcSmbus && reg == 0x44) platform::os().usleep(kSlowRegisterWaitUs);
    return read_byte(fd, port, reg, *value);
}

int smbus_byte_data_write(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint8_t value)
{
    if (ipmi_state().hDevice != 0) return bmc_byte_write(bus_type, slave, reg, value);
    const int fd = openI2CDevice(port);
    if (!bind(fd, I2C_SLAVE_FORCE, slave)) return -1;
    i2c_smbus_data data{};
    data.byte = value;
    const int result = transfer(fd, I2C_SMBUS_WRITE, reg, data);
    clearSMBusLastTransaction(port);
    return result < 0 ? -1 : 0;
}

int smbus_word_data_read_HL(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint32_t* value)
{
    if (ipmi_state().hDevice != 0) return bmc_word_read(bus_type, slave, reg, value);
    const int fd = openI2CDevice(port);
    if (!bind(fd, I2C_SLAVE_FORCE, slave)) return -1;
    uint32_t high = 0;
    uint32_t low = 0;
    if (read_byte(fd, port, reg, high) != 0) return -1;
    if (read_byte(fd, port, static_cast<uint8_t>(reg + 1), low) != 0) return -1;
    *value = high * 256 + low;
    return 0;
}

int smbus_byte_data_read_GPU(uint32_t bus_type, uint32_t port, uint8_t slave, uint8_t reg, uint32_t* value)
{
    if (ipmi_state().hDevice != 0) return bmc_gpu_read(bus_type, slave, reg, value);
    openI2CDevice(port);
    *value = reg == 0 ? 127 : 0;
    return 0;
}

void clearSMBusLastTransaction(uint32_t port)
{
    if (hw_state().IntelDevice != 1) return;
    request_iopl(3);
    const auto status = static_cast<uint16_t>(port);
    if (ports_granted({status})) platform::os().outb(kClearHostStatus, status);
}

}  // namespace qv
