// Clearing intrusion latches by the clear method of the chip's record, and reading the
// switch back afterwards.
#include "sensors/intrusion.h"

#include "hw/chips.h"
#include "hw/port_io.h"
#include "hw/smbus.h"
#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "platform/os.h"
#include "profile/text.h"
#include "sensors/reading.h"

#include <cstdio>

namespace qv {

namespace {

constexpr uint16_t kConfigIndex = 0x2E;
constexpr uint16_t kConfigData = 0x2F;
constexpr uint8_t kEnterConfig = 0x87;
constexpr uint8_t kLeaveConfig = 0xAA;
constexpr uint8_t kLogicalDeviceSelect = 0x07;
constexpr uint8_t kAcpiDevice = 0x0A;
constexpr uint8_t kAcpiIntrusionRegister = 0xE6;
constexpr uint16_t kAcpiClearDeviceId = 0x5241;

constexpr uint8_t kNctBankSelect = 0xFF;
constexpr uint8_t kNctIntrusionControl = 0xD4;
constexpr uint8_t kNctIntrusionStatus = 0xCA;

bool is_smbus(uint32_t bus_type) { return (bus_type & (kBusSmbus | kBusBmcSmbus)) != 0; }
bool is_isa(const SystemSection& system, uint32_t bus_type)
{
    return (bus_type & kBusIsa) != 0 && (system.BusType & kBusIsa) != 0;
}
uint8_t byte(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }
uint16_t port(int32_t value) { return static_cast<uint16_t>(value & 0xFFFF); }

void config_write(uint8_t reg, uint8_t value)
{
    platform::Os& os = platform::os();
    os.outb(reg, kConfigIndex);
    os.outb(value, kConfigData);
}

uint8_t config_read(uint8_t reg)
{
    platform::Os& os = platform::os();
    os.outb(reg, kConfigIndex);
    return os.inb(kConfigData);
}

// Opens the Super I/O's configuration space with logical device selected.
void enter_config(uint8_t logical_device)
{
    platform::Os& os = platform::os();
    os.ioperm(kConfigIndex, 2, 1);
    os.outb(kEnterConfig, kConfigIndex);
    os.outb(kEnterConfig, kConfigIndex);
    config_write(kLogicalDeviceSelect, logical_device);
}

void leave_config() { platform::os().outb(kLeaveConfig, kConfigIndex); }

const ParameterSection* find_parameter(const char* name, std::span<const ParameterSection> params)
{
    if (name[0] == '\0') return nullptr;  // records past the last block have no name
    for (const ParameterSection& p : params)
        if (iequals(p.szKeyName, name)) return &p;
    return nullptr;
}

int nct7904d_clear(const ItemSection& item)
{
    const uint8_t slave = byte(item.Slave);
    uint32_t value = 0;
    if (ipmi_state().hDevice != 0 && IpmiByteRead_oem_30_90(slave, 0, kNctIntrusionControl, &value) == 0) {
        IpmiByteWrite_oem_30_91(slave, 0, kNctIntrusionControl, static_cast<uint8_t>(value | 0x80));
        IpmiByteRead_oem_30_90(slave, 0, kNctIntrusionStatus, &value);
        IpmiByteRead_oem_30_90(slave, 0, kNctIntrusionStatus, &value);
        return 0;
    }
    const auto bus = static_cast<uint32_t>(item.BusType);
    smbus_byte_data_write(bus, hw_state().SMB_BASE_IO_ADDR, slave, kNctBankSelect, 0);
    value = 0;
    smbus_byte_data_read(item.ChipCode, bus, hw_state().SMB_BASE_IO_ADDR, slave, kNctIntrusionControl, &value);
    smbus_byte_data_write(bus, hw_state().SMB_BASE_IO_ADDR, slave, kNctIntrusionControl, static_cast<uint8_t>(value | 0x80));
    smbus_byte_data_read(item.ChipCode, bus, hw_state().SMB_BASE_IO_ADDR, slave, kNctIntrusionStatus, &value);
    return smbus_byte_data_read(item.ChipCode, bus, hw_state().SMB_BASE_IO_ADDR, slave, kNctIntrusionStatus, &value);
}

int set_bit_clear(const SystemSection& system, uint32_t bus_type, const ParameterSection& clear, uint8_t mask)
{
    return W83627HF_G_Intru_IO_Clear(bus_type, byte(clear.Slave), byte(clear.Offset), port(system.IndexReg),
                                     port(system.DataReg), mask);
}

int clear_latch(const LoadedProfile& profile, ItemSection& item, const ParameterSection& clear)
{
    const SystemSection& system = *profile.system;
    const uint8_t mask = byte(clear.BitMask);
    using chips::ClearMethod;
    switch (chips::of(item.ChipCode).clear) {
    case ClearMethod::SetBit: return set_bit_clear(system, static_cast<uint32_t>(item.BusType), clear, mask);
    case ClearMethod::ByDeviceId: {
        uint16_t id = 0;
        get_W83627HF_Device_ID(&id);
        if (id == kAcpiClearDeviceId) return W83627HF_A_Intru_IO_Clear(item.ChipCode);
        return set_bit_clear(system, static_cast<uint32_t>(item.BusType), clear, mask);
    }
    case ClearMethod::AcpiDevice: return W83627HF_A_Intru_IO_Clear(item.ChipCode);
    case ClearMethod::Pulse: return ADM1026_Intru_IO_Clear(system, item, clear, mask);
    case ClearMethod::SetBitOverBmcBus:
        item.BusType = static_cast<int32_t>(kBusBmcSmbus);
        return set_bit_clear(system, kBusSmbus, clear, mask);
    case ClearMethod::Ns87427: return NS87427_Intru_IO_Clear(clear, mask);
    case ClearMethod::Nct7904d: return nct7904d_clear(item);
    case ClearMethod::Unsupported: break;
    }
    std::fprintf(stderr, "Warning: Non-supported chipset \"%s\".\n", item.Name);
    return -1;
}

// Reads the status register once more, as a reading would; the values are not used.
int read_back(const SystemSection& system, const ItemSection& item)
{
    const auto bus = static_cast<uint32_t>(item.BusType);
    uint32_t value = 0;
    if (chips::of(item.ChipCode).switchPath == chips::SwitchPath::OwnIoBlock) {
        platform::Os& os = platform::os();
        os.outb(byte(item.Slave), static_cast<uint16_t>(port(item.Offset) + 0x0F));
        os.inb(static_cast<uint16_t>(port(item.Offset) + 0x0C));
        return 0;
    }
    if (is_smbus(bus)) {
        smbus_byte_data_read(item.ChipCode, bus, hw_state().SMB_BASE_IO_ADDR, byte(item.Slave), byte(item.Offset), &value);
        return smbus_byte_data_read(item.ChipCode, bus, hw_state().SMB_BASE_IO_ADDR, byte(item.Slave), byte(item.Offset),
                                    &value);
    }
    if (is_isa(system, bus))
        return isa_byte_data_read(port(system.IndexReg), port(system.DataReg), byte(item.Slave), byte(item.Offset),
                                  &value);
    return 0;
}

}  // namespace

int reset_Intrusion(const LoadedProfile& profile, ItemSection& item)
{
    const ParameterSection* clear = find_parameter(item.ParaIndex2, profile.params);
    if (clear == nullptr) {
        std::fprintf(stderr, "Error: \"%s\" is not defined.\n", item.Name);
        return -1;
    }
    if (item.Cat != SWITCH || clear->BitMask == 0) {
        std::fprintf(stderr, "Warning: To reset \"%s\" is not allowed.\n", item.Name);
        return -1;
    }
    int32_t state = 0;
    const bool tripped = get_item_reading(profile, item, &state) != 0 || state != 0;
    const int outcome = tripped ? clear_latch(profile, item, *clear) : 0;
    if (outcome != 0) {
        std::printf("Failed.\n");
        return outcome;
    }
    std::printf("Done.\n");
    return read_back(*profile.system, item);
}

int W83627HF_G_Intru_IO_Clear(uint32_t bus_type, uint8_t slave, uint8_t reg, uint16_t index_port,
                              uint16_t data_port, uint8_t mask)
{
    uint32_t value = 0;
    if (is_smbus(bus_type)) {
        if (smbus_byte_data_read(1, bus_type, hw_state().SMB_BASE_IO_ADDR, slave, reg, &value) != 0) value = 0;
        return smbus_byte_data_write(bus_type, hw_state().SMB_BASE_IO_ADDR, slave, reg, static_cast<uint8_t>(value | mask));
    }
    if ((bus_type & kBusIsa) != 0) {
        if (isa_byte_data_read(index_port, data_port, slave, reg, &value) != 0) value = 0;
        return isa_byte_data_write(index_port, data_port, slave, reg, static_cast<uint8_t>(value | mask));
    }
    return 0;
}

int W83627HF_A_Intru_IO_Clear(int chip_code)
{
    enter_config(kAcpiDevice);
    const uint8_t value = config_read(kAcpiIntrusionRegister);
    platform::os().sleep(1);
    const uint8_t clear_bit = chips::of(chip_code).acpiClearBit;
    config_write(kAcpiIntrusionRegister, static_cast<uint8_t>(value | clear_bit));
    platform::os().sleep(1);
    config_write(kAcpiIntrusionRegister, static_cast<uint8_t>(value & 0xBF));
    leave_config();
    return 0;
}

int get_W83627HF_Device_ID(uint16_t* device_id)
{
    enter_config(0x00);
    const uint8_t high = config_read(0x20);
    const uint8_t low = config_read(0x21);
    leave_config();
    *device_id = static_cast<uint16_t>(high << 8 | low);
    return 0;
}

int ADM1026_Intru_IO_Clear(const SystemSection& system, const ItemSection& item, const ParameterSection& clear,
                           uint8_t mask)
{
    const auto bus = static_cast<uint32_t>(item.BusType);
    const uint8_t slave = byte(clear.Slave);
    const uint8_t reg = byte(clear.Offset);
    const auto set = [&](uint32_t v) { return static_cast<uint8_t>(v | mask); };
    const auto cleared = [&](uint32_t v) { return static_cast<uint8_t>(v & (0xFFu - mask)); };
    uint32_t value = 0;
    if (is_smbus(bus)) {
        if (smbus_byte_data_read(item.ChipCode, bus, hw_state().SMB_BASE_IO_ADDR, slave, reg, &value) != 0) value = 0;
        smbus_byte_data_write(bus, hw_state().SMB_BASE_IO_ADDR, slave, reg, set(value));
        return smbus_byte_data_write(bus, hw_state().SMB_BASE_IO_ADDR, slave, reg, cleared(value));
    }
    if (is_isa(system, bus)) {
        const uint16_t index = port(system.IndexReg);
        const uint16_t data = port(system.DataReg);
        if (isa_byte_data_read(index, data, slave, reg, &value) != 0) value = 0;
        isa_byte_data_write(index, data, slave, reg, set(value));
        return isa_byte_data_write(index, data, slave, reg, cleared(value));
    }
    return -1;
}

int NS87427_Intru_IO_Clear(const ParameterSection& clear, uint8_t mask)
{
    platform::Os& os = platform::os();
    const auto status = static_cast<uint16_t>(port(clear.Offset) + 0x0C);
    os.outb(static_cast<uint8_t>(os.inb(status) | mask), status);
    return 0;
}

}  // namespace qv
