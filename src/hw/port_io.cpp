// Port I/O: privilege, PCI configuration reads, the SMBus controller search and banked
// register access through a chip's index/data pair.
#include "hw/port_io.h"

#include "hw/port_access.h"
#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "platform/os.h"

#include <cstdio>

namespace qv {

namespace {

constexpr uint32_t kNoFunction = 0xFFFFFFFFu;

bool needs_smbus(uint32_t bus_type) { return (bus_type & (kBusSmbus | kBusBmcSmbus)) != 0; }

const SmbusControllerRow* controller_of(uint32_t id_dword)
{
    for (const SmbusControllerRow& row : smbus_controller_table)
        if (id_dword == (static_cast<uint32_t>(row.device) << 16 | row.vendor)) return &row;
    return nullptr;
}

bool isa_goes_to_bmc() { return ipmi_state().hDevice != 0 && bmc_proxies_isa(); }

// Runs access() between saving the bank-select register, switching it to the bank (its
// high four bits kept, the bank written as given), and restoring it: the chip is left as
// it was found.
template <typename Access>
int with_bank(uint16_t index_port, uint16_t data_port, uint8_t bank, Access access)
{
    if (!ports_granted({index_port, data_port})) return -1;
    platform::Os& os = platform::os();
    os.outb(kBankSelectRegister, index_port);
    const uint8_t saved = os.inb(data_port);
    os.outb(static_cast<uint8_t>((saved & 0xF0) | bank), data_port);
    access(os);
    os.outb(kBankSelectRegister, index_port);
    os.outb(saved, data_port);
    return 0;
}

uint8_t read_register(platform::Os& os, uint16_t index_port, uint16_t data_port, uint8_t reg)
{
    os.outb(reg, index_port);
    return os.inb(data_port);
}

// Port privilege and, for an ISA chip, its index/data pair: asked for or given back,
// each step tried even when an earlier one failed.
int set_privilege(const SystemSection& system, bool on)
{
    int result = 0;
    if (request_iopl(on ? 3 : 0) != 0) {
        std::fputs("Error: Could not iopl()!\n", stderr);
        result = -1;
    }
    if ((system.BusType & kBusIsa) == 0) return result;
    if (request_ioperm(system.IndexReg, 1, on ? 1 : 0) != 0) {
        std::fputs("Error: Could not ioperm() Index Register!\n", stderr);
        result = -1;
    }
    if (request_ioperm(system.DataReg, 1, on ? 1 : 0) != 0) {
        std::fputs("Error: Could not ioperm() Data Register!\n", stderr);
        result = -1;
    }
    return result;
}

}  // namespace

int io_open(const SystemSection& system)
{
    if (needs_smbus(system.BusType)) {
        hw_state().SMB_BASE_IO_ADDR = 0;
        hw_state().IntelDevice = static_cast<uint8_t>(scan_device(&hw_state().SMB_BASE_IO_ADDR));
        if (hw_state().SMB_BASE_IO_ADDR == 0) return -1;
    }
    return set_privilege(system, true);
}

int io_close(const SystemSection& system) { return set_privilege(system, false); }

uint32_t pci_config_read(uint32_t bus, uint32_t device, uint32_t function, uint32_t reg)
{
    if (!ports_granted({kPciConfigAddress, kPciConfigData})) return kNoFunction;
    platform::Os& os = platform::os();
    os.outl(0x80000000u | bus << 16 | device << 11 | function << 8 | reg, kPciConfigAddress);
    return os.inl(kPciConfigData);
}

int scan_device(uint32_t* smbus_base)
{
    request_iopl(3);
    for (uint32_t bus = 0; bus <= 1; ++bus)
        for (uint32_t device = 0; device <= 31; ++device)
            for (uint32_t function = 0; function <= 7; ++function) {
                const uint32_t id = pci_config_read(bus, device, function, 0);
                if (id == kNoFunction) continue;
                const SmbusControllerRow* row = controller_of(id);
                if (row == nullptr) continue;
                *smbus_base = pci_config_read(bus, device, function, row->base_register) & ~1u;
                return row->intel ? 1 : 0;
            }
    return 0;
}

int isa_byte_data_read(uint16_t index_port, uint16_t data_port, uint8_t bank, uint8_t reg, uint32_t* value)
{
    if (isa_goes_to_bmc()) return IpmiByteRead_ISA_30_2C(bank, reg, value);
    return with_bank(index_port, data_port, bank,
                     [&](platform::Os& os) { *value = read_register(os, index_port, data_port, reg); });
}

int isa_byte_data_write(uint16_t index_port, uint16_t data_port, uint8_t bank, uint8_t reg, uint8_t value)
{
    if (isa_goes_to_bmc()) return IpmiByteWrite_ISA_30_2C(bank, reg, value);
    return with_bank(index_port, data_port, bank, [&](platform::Os& os) {
        os.outb(reg, index_port);
        os.outb(value, data_port);
    });
}

int isa_word_data_read_NCT6776F_fan(uint16_t index_port, uint16_t data_port, uint8_t bank, uint8_t reg,
                                    uint32_t* value)
{
    if (isa_goes_to_bmc()) {
        uint32_t word = 0;
        const int result = IpmiWordRead_ISA_30_2C(bank, reg, &word);
        if (result != 0) return result;
        *value = ((word >> 8) & 0xFF) * 32 + (word & 0x1F);
        return 0;
    }
    return with_bank(index_port, data_port, bank, [&](platform::Os& os) {
        const uint32_t high = read_register(os, index_port, data_port, reg);
        const uint32_t low = read_register(os, index_port, data_port, static_cast<uint8_t>(reg + 1));
        *value = high * 32 + (low & 0x1F);
    });
}

}  // namespace qv
