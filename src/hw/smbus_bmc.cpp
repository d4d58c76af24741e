// SMBus accesses served by the BMC: which OEM or standard command each BMC kind, bus
// bit and chip takes.
#include "hw/smbus_bmc.h"

#include "hw/chips.h"
#include "ipmi/ipmi.h"
#include "profile/records.h"

namespace qv {

namespace {

constexpr int kMakersDriver = 1;
constexpr int kOpenIpmi = 2;

using ReadCommand = int (*)(uint8_t slave, uint8_t reg, uint32_t* value);
using WriteCommand = int (*)(uint8_t slave, uint8_t reg, uint8_t value);

struct Request {
    int chip_code;
    uint8_t slave;
};
using Condition = bool (*)(const Request&);

// The slave addresses that some BMC kinds serve with their own commands.
bool in_range(uint8_t slave) { return (slave >= 0x38 && slave <= 0x3F) || (slave >= 0x58 && slave <= 0x5B); }

bool always(const Request&) { return true; }
bool peppercon_in_range(const Request& r) { return ipmi_state().bPepperconIPMI && in_range(r.slave); }
bool ob_winbond_in_range(const Request& r)
{
    return (ipmi_state().bOBWinbondIPMI || ipmi_state().bOBWinbondATenIPMI) && in_range(r.slave);
}
bool bmc_agent(const Request& r) { return chips::of(r.chip_code).smbus == chips::SmbusQuirk::BmcAgent; }
bool power_failure(const Request& r) { return chips::of(r.chip_code).smbus == chips::SmbusQuirk::PowerFailure; }
bool reads_words(const Request&)
{
    const IpmiState& s = ipmi_state();
    return s.bPepperconIPMI || s.bOBWinbondIPMI || s.bAOWinbondIPMI;
}

// OpenIPMI routes, tried in order; the first row whose BusType bit is set and whose
// condition holds decides.
struct ReadRoute {
    uint32_t bus_bit;
    Condition applies;
    ReadCommand command;
};
constexpr ReadRoute kByteReads[] = {
    {kBusSmbus, peppercon_in_range, IpmiByteRead_Peppercon_oem_30_22_05},
    {kBusSmbus, ob_winbond_in_range, IpmiByteRead_OBWinbond_id3_06_52_07},
    {kBusSmbus, always, IpmiByteRead2_06_52_05},
    {kBusBmcSmbus, bmc_agent, IpmiByteRead_oem_30_92},
    {kBusBmcSmbus, power_failure, IpmiByteRead_oem_30_92_PWSFailure},
    {kBusBmcSmbus, always, IpmiByteRead2_oem_30_0F},
};

struct WriteRoute {
    Condition applies;
    WriteCommand command;
};
constexpr WriteRoute kByteWrites[] = {
    {peppercon_in_range, IpmiByteWrite_Peppercon_oem_30_22_05},
    {ob_winbond_in_range, IpmiByteWrite_OBWinbond_id3_06_52_07},
    {always, IpmiByteWrite2_06_52_05},
};

// A word is one command that returns both bytes, or a byte command run on the
// register and the register + 1.
struct WordRoute {
    uint32_t bus_bit;
    Condition applies;
    ReadCommand word;
    ReadCommand byte;
};
constexpr WordRoute kWordReads[] = {
    {kBusSmbus, peppercon_in_range, nullptr, IpmiByteRead_Peppercon_oem_30_22_05},
    {kBusSmbus, ob_winbond_in_range, nullptr, IpmiByteRead_OBWinbond_id3_06_52_07},
    {kBusSmbus, always, nullptr, IpmiByteRead2_06_52_05},
    {kBusBmcSmbus, reads_words, IpmiWordRead_oem_30_23, nullptr},
    {kBusBmcSmbus, always, nullptr, IpmiByteRead2_06_52_05},
};

template <typename Route, std::size_t N>
const Route* choose(const Route (&routes)[N], uint32_t bus_type, const Request& request)
{
    for (const Route& route : routes)
        if ((bus_type & route.bus_bit) != 0 && route.applies(request)) return &route;
    return nullptr;
}

// High byte from the register, low from the next; a failed half stays 0.
int read_pair(ReadCommand read, uint8_t slave, uint8_t reg, uint32_t* value)
{
    uint32_t high = 0;
    uint32_t low = 0;
    const int high_result = read(slave, reg, &high);
    if (high_result != 0) high = 0;
    const int low_result = read(slave, static_cast<uint8_t>(reg + 1), &low);
    if (low_result != 0) low = 0;
    *value = high * 256 + low;
    return high_result | low_result;
}

}  // namespace

int bmc_byte_read(int chip_code, uint32_t bus_type, uint8_t slave, uint8_t reg, uint32_t* value)
{
    if (ipmi_state().ipmi_driver_option == kMakersDriver) return IpmiRead(slave, reg, value);
    if (ipmi_state().ipmi_driver_option != kOpenIpmi) return -1;
    const ReadRoute* route = choose(kByteReads, bus_type, {chip_code, slave});
    return route != nullptr ? route->command(slave, reg, value) : -1;
}

int bmc_byte_write(uint32_t bus_type, uint8_t slave, uint8_t reg, uint8_t value)
{
    if (ipmi_state().ipmi_driver_option == kMakersDriver) return IpmiWrite(slave, reg, value);
    if (ipmi_state().ipmi_driver_option != kOpenIpmi || (bus_type & (kBusSmbus | kBusBmcSmbus)) == 0) return -1;
    for (const WriteRoute& route : kByteWrites)
        if (route.applies({0, slave})) return route.command(slave, reg, value);
    return -1;
}

int bmc_word_read(uint32_t bus_type, uint8_t slave, uint8_t reg, uint32_t* value)
{
    if (ipmi_state().ipmi_driver_option == kMakersDriver) return read_pair(IpmiRead, slave, reg, value);
    if (ipmi_state().ipmi_driver_option != kOpenIpmi) return -1;
    const WordRoute* route = choose(kWordReads, bus_type, {0, slave});
    if (route == nullptr) return -1;
    return route->word != nullptr ? route->word(slave, reg, value) : read_pair(route->byte, slave, reg, value);
}

int bmc_gpu_read(uint32_t bus_type, uint8_t slave, uint8_t reg, uint32_t* value)
{
    if (ipmi_state().ipmi_driver_option != kOpenIpmi || (bus_type & kBusBmcSmbus) == 0) return -1;
    return IpmiByteRead2_oem_30_70(slave, reg, value);
}

}  // namespace qv
