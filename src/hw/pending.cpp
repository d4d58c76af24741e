// Hardware access that is not built yet: every access fails. Removed entry by entry
// as the hardware layer lands.
#include "hw/gpio.h"
#include "hw/port_io.h"
#include "hw/smbus.h"

#include <cstdio>
#include <cstdlib>

namespace qv {

int io_close(const SystemSection&) { return -1; }
uint32_t pci_config_read(uint32_t, uint32_t, uint32_t, uint32_t) { return 0xFFFFFFFFu; }
int scan_device(uint32_t*) { return 0; }
int isa_byte_data_read(uint16_t, uint16_t, uint8_t, uint8_t, uint32_t*) { return -1; }
int isa_byte_data_write(uint16_t, uint16_t, uint8_t, uint8_t, uint8_t) { return -1; }
int isa_word_data_read_NCT6776F_fan(uint16_t, uint16_t, uint8_t, uint8_t, uint32_t*) { return -1; }

void ReadSuperGPIO(int, uint8_t, uint8_t, uint32_t*) {}
void ReadSBGPIO(int, int, uint8_t, uint32_t*) {}
int CheckGPIO28Hi() { return 0; }
int CheckGPIO38Hi() { return 0; }
int CheckGPIO39Hi() { return 0; }
uint32_t findGpioBaseAddress() { return 0; }
uint32_t getIpmiBiosPostCmplGpioState(uint32_t, unsigned) { return 0; }
uint32_t setIpmiBiosPostCmplGpioState(uint32_t, unsigned, int) { return 0; }
uint8_t getMemByte(uint32_t)
{
    std::fprintf(stderr, "Error: physical memory access is not part of this build.\n");
    std::exit(1);
}

int openI2CDevice(uint32_t) { return -1; }
int smbus_byte_data_read(int, uint32_t, uint32_t, uint8_t, uint8_t, uint32_t*) { return -1; }
int smbus_byte_data_write(uint32_t, uint32_t, uint8_t, uint8_t, uint8_t) { return -1; }
int smbus_word_data_read_HL(uint32_t, uint32_t, uint8_t, uint8_t, uint32_t*) { return -1; }
int smbus_byte_data_read_GPU(uint32_t, uint32_t, uint8_t, uint8_t, uint32_t*) { return -1; }
void clearSMBusLastTransaction(uint32_t) {}

}  // namespace qv
