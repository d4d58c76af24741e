// GPIO pins of Super I/O chips, the south bridge and Intel I/O controller hubs, and
// single bytes of physical memory.
#pragma once

#include <cstdint>

namespace qv {

// Super I/O configuration ports and the south bridge's power-management pair.
inline constexpr uint16_t kSuperIoIndex = 0x2E;
inline constexpr uint16_t kSuperIoData = 0x2F;
inline constexpr uint16_t kSbPmIndex = 0xCD6;
inline constexpr uint16_t kSbPmData = 0xCD7;

void ReadSuperGPIO(int chip_code, uint8_t logical_device, uint8_t reg, uint32_t* value);
void ReadSBGPIO(int chip_code, int unused, uint8_t index, uint32_t* value);
int CheckGPIO28Hi();
int CheckGPIO38Hi();
int CheckGPIO39Hi();
uint32_t findGpioBaseAddress();
// GPIO numbers 0 to 95; any other number reads and changes nothing and gives 0.
uint32_t getIpmiBiosPostCmplGpioState(uint32_t gpio_base, unsigned gpio);
uint32_t setIpmiBiosPostCmplGpioState(uint32_t gpio_base, unsigned gpio, int value);
// Ends the process with status 1 when physical memory cannot be read.
uint8_t getMemByte(uint32_t physical_address);

}  // namespace qv
