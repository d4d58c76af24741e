// Register access on behalf of one item, with its ChipCode and bus type, and the
// NCT7904D's and NS87427's own access sequences.
#include "sensors/chip_access.h"

#include "hw/port_io.h"
#include "hw/smbus.h"
#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "platform/os.h"

namespace qv::chip {

namespace {

// Profile numbers are 32-bit; the buses carry bytes.
uint8_t byte(int32_t value) { return static_cast<uint8_t>(value); }
uint16_t port(uint32_t value) { return static_cast<uint16_t>(value); }

}  // namespace

bool bmc_present() { return ipmi_state().hDevice != 0; }

int smbus_read(const ItemSection& item, int32_t slave, int32_t reg, uint32_t* value)
{
    return smbus_byte_data_read(item.ChipCode, item_bus(item), hw_state().SMB_BASE_IO_ADDR, byte(slave), byte(reg), value);
}

int smbus_write(const ItemSection& item, int32_t slave, int32_t reg, uint8_t value)
{
    return smbus_byte_data_write(item_bus(item), hw_state().SMB_BASE_IO_ADDR, byte(slave), byte(reg), value);
}

int smbus_word_hl(const ItemSection& item, int32_t slave, int32_t reg, uint32_t* value)
{
    return smbus_word_data_read_HL(item_bus(item), hw_state().SMB_BASE_IO_ADDR, byte(slave), byte(reg), value);
}

int smbus_gpu(const ItemSection& item, int32_t slave, int32_t reg, uint32_t* value)
{
    if ((item_bus(item) & kBusBmcSmbus) == 0) return -1;
    return smbus_byte_data_read_GPU(item_bus(item), hw_state().SMB_BASE_IO_ADDR, byte(slave), byte(reg), value);
}

int isa_read(const SystemSection& system, int32_t bank, int32_t reg, uint32_t* value)
{
    return isa_byte_data_read(port(system.IndexReg), port(system.DataReg), byte(bank), byte(reg), value);
}

int isa_fan_word(const SystemSection& system, int32_t bank, int32_t reg, uint32_t* value)
{
    return isa_word_data_read_NCT6776F_fan(port(system.IndexReg), port(system.DataReg), byte(bank), byte(reg), value);
}

int smbus_read_count(const ItemSection& item, int32_t slave, int32_t low_reg, int32_t high_reg, uint32_t* value)
{
    uint32_t low = 0;
    uint32_t high = 0;
    if (smbus_read(item, slave, low_reg, &low) != 0 || smbus_read(item, slave, high_reg, &high) != 0) return -1;
    *value = high * 256 + low;
    return 0;
}

int nct7904d_select_bank(const ItemSection& item, int32_t slave, uint8_t bank)
{
    return smbus_write(item, slave, 0xFF, bank);
}

uint32_t nct7904d_fan_count(uint32_t high, uint32_t low) { return high * 32 + (low & 0x1F); }

bool nct7904d_fan_count_bmc(int32_t slave, uint8_t bank, int32_t reg, uint32_t* value)
{
    uint32_t high = 0;
    uint32_t low = 0;
    if (IpmiByteRead_oem_30_90(byte(slave), bank, byte(reg), &high) != 0) return false;
    if (IpmiByteRead_oem_30_90(byte(slave), bank, reg_at(reg, 1), &low) != 0) return false;
    *value = nct7904d_fan_count(high, low);
    return true;
}

int nct7904d_fan_count_smbus(const ItemSection& item, int32_t slave, uint8_t bank, int32_t reg, uint32_t* value)
{
    nct7904d_select_bank(item, item.Slave, bank);
    uint32_t high = 0;
    uint32_t low = 0;
    if (smbus_read(item, slave, reg, &high) != 0 || smbus_read(item, slave, reg_at(reg, 1), &low) != 0) return -1;
    *value = nct7904d_fan_count(high, low);
    return 0;
}

uint32_t ns87427_fan_word(uint16_t base, int32_t fan, uint16_t low_offset)
{
    auto& os = platform::os();
    const uint16_t bank_port = port(base + 0x0Fu);
    const uint8_t bank = os.inb(bank_port);
    os.outb(static_cast<uint8_t>((bank & 0xE0) | (byte(fan) & 0x1F)), bank_port);
    const uint32_t low = os.inb(port(base + low_offset));
    const uint32_t high = os.inb(port(base + low_offset + 1u));
    return high * 256 + low;
}

uint32_t ns87427_port(uint16_t port_number) { return platform::os().inb(port_number); }

}  // namespace qv::chip
