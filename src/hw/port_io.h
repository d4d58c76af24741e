// I/O-port privilege, the PCI configuration mechanism, the SMBus controller search and
// banked register access through an index/data port pair.
#pragma once

#include "profile/records.h"

#include <cstdint>

namespace qv {

inline uint32_t SMB_BASE_IO_ADDR = 0;  // I/O base of the host SMBus controller; 0: none
inline uint8_t IntelDevice = 0;        // 1 when that controller is an Intel one

int io_open(const SystemSection& system);
int io_close(const SystemSection& system);
uint32_t pci_config_read(uint32_t bus, uint32_t device, uint32_t function, uint32_t reg);
int scan_device(uint32_t* smbus_base);

// Direct route: bank select (index 0x4E) saved, switched and restored around the access.
// With a BMC that proxies port access the access goes to the BMC instead.
int isa_byte_data_read(uint16_t index_port, uint16_t data_port, uint8_t bank, uint8_t reg, uint32_t* value);
int isa_byte_data_write(uint16_t index_port, uint16_t data_port, uint8_t bank, uint8_t reg, uint8_t value);
int isa_word_data_read_NCT6776F_fan(uint16_t index_port, uint16_t data_port, uint8_t bank, uint8_t reg,
                                    uint32_t* value);

}  // namespace qv
