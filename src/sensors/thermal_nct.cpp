// Thermal levels of the NCT6776F and NCT7904D and of their BMC-served variants: the
// chips give a level value directly.
#include "ipmi/ipmi.h"
#include "sensors/chip_access.h"
#include "sensors/thermal_chips.h"
#include "sensors/thermal_levels.h"

namespace qv {

namespace {

using thermal::Level;

// PECI value registers: a 9-bit value, hi bits 6..0 and lo bits 7..6, offset by 412
// from the level scale; values without bit 7 of hi sit 100 above it on the variant.
uint32_t nct6776f_level_value(uint32_t hi, uint32_t lo, int32_t offset)
{
    return ((hi & 0x7F) * 4 + (lo >> 6) + static_cast<uint32_t>(offset)) & 0xFF;
}

bool read_hi_lo(const SystemSection& system, const ItemSection& item, uint32_t* hi, uint32_t* lo)
{
    return chip::isa_read(system, item.Slave, item.Offset, hi) == 0 &&
           chip::isa_read(system, item.Slave, reg_at(item.Offset, 1), lo) == 0;
}

int write_nct(char* text, uint32_t d, bool four_levels)
{
    return thermal::write_level(text, thermal::nct_rule(static_cast<int32_t>(d), four_levels));
}

uint8_t bmc_index(uint32_t offset_from_first) { return static_cast<uint8_t>(offset_from_first >> 1); }

}  // namespace

int supportThermalText_NCT6776F(const SystemSection&, const ItemSection& item)
{
    return item.Offset >= 0x17 && item.Offset <= 0x1E && item.Slave == 7 ? 1 : 0;
}

int getThermalText_NCT6776F(const SystemSection& system, const ItemSection& item, char* text)
{
    uint32_t hi = 0;
    uint32_t lo = 0;
    if (!read_hi_lo(system, item, &hi, &lo) || hi <= 0x7F) return -1;
    return write_nct(text, nct6776f_level_value(hi, lo, -412), true);
}

int getThermalText_ME_NCT6776F(const SystemSection& system, const ItemSection& item, char* text)
{
    uint32_t d = 0;
    if (chip::bmc_present() && bmc_proxies_isa()) {
        const auto index = bmc_index(static_cast<uint32_t>(item.Offset) - 0x17);
        if (IpmiByteRead_oem_30_93(index, &d) != 0) return -1;
        return write_nct(text, d, true);
    }
    uint32_t hi = 0;
    uint32_t lo = 0;
    if (!read_hi_lo(system, item, &hi, &lo)) return -1;
    d = nct6776f_level_value(hi, lo, (hi & 0x80) != 0 ? -412 : 100);
    return write_nct(text, d, true);
}

int supportThermalText_NCT7904D(const SystemSection&, const ItemSection& item)
{
    const int32_t offset = item.Offset;
    return offset >= 0xA0 && offset <= 0xAE && offset % 2 == 0 ? 1 : 0;
}

int getThermalText_NCT7904D(const SystemSection&, const ItemSection& item, char* text)
{
    chip::nct7904d_select_bank(item, item.Slave, 0);
    uint32_t t = 0;
    const int code = chip::smbus_read(item, item.Slave, item.Offset, &t);
    if (code != 0) return code;
    return write_nct(text, t, false);
}

int getThermalText_ME_NCT7904D(const SystemSection&, const ItemSection& item, char* text)
{
    chip::nct7904d_select_bank(item, item.Slave, 0);
    uint32_t t = 0;
    if (chip::bmc_present()) {
        if (IpmiByteRead_oem_30_93(bmc_index(static_cast<uint32_t>(item.Offset) & 0x0F), &t) != 0) return -1;
        if (t == 0xFF) t = 0;
    } else {
        const int code = chip::smbus_read(item, item.Slave, item.Offset, &t);
        if (code != 0) return code;
    }
    return write_nct(text, t, false);
}

}  // namespace qv
