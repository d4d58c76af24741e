// I/O-port privilege, the PCI configuration mechanism, the SMBus controller search and
// banked register access through an index/data port pair.
#pragma once

#include "profile/records.h"

#include <cstdint>

namespace qv {

// Host SMBus controllers the search knows: the configuration register holding the
// controller's I/O base, and whether its status register is cleared after transfers.
struct SmbusControllerRow {
    uint16_t vendor;
    uint16_t device;
    uint8_t base_register;
    bool intel;
};

inline constexpr SmbusControllerRow smbus_controller_table[] = {
    {0x8086, 0x2483, 0x20, true}, {0x8086, 0x24C3, 0x20, true}, {0x8086, 0x24D3, 0x20, true},
    {0x8086, 0x25A4, 0x20, true}, {0x8086, 0x266A, 0x20, true}, {0x8086, 0x269B, 0x20, true},
    {0x8086, 0x27DA, 0x20, true}, {0x8086, 0x283E, 0x20, true}, {0x8086, 0x2930, 0x20, true},
    {0x8086, 0x3A30, 0x20, true}, {0x8086, 0x3B30, 0x20, true}, {0x8086, 0x1C22, 0x20, true},
    {0x8086, 0x1D22, 0x20, true}, {0x8086, 0x1E22, 0x20, true},
    {0x10DE, 0x0052, 0x24, false}, {0x10DE, 0x0368, 0x24, false},
    {0x1166, 0x0200, 0x90, false}, {0x1166, 0x0201, 0x90, false}, {0x1166, 0x0203, 0x90, false},
    {0x1166, 0x0205, 0x90, false},
    {0x1002, 0x4385, 0x90, false},
    {0x1022, 0x746A, 0x10, false},
};

// The PCI configuration mechanism's ports and the bank-select register of the
// hardware-monitor chips behind an index/data pair.
inline constexpr uint16_t kPciConfigAddress = 0xCF8;
inline constexpr uint16_t kPciConfigData = 0xCFC;
inline constexpr uint8_t kBankSelectRegister = 0x4E;

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
