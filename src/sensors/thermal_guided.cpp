// Thermal levels of the chips whose rule ThermalGuideChipType chooses: the W83793G,
// W83627DHG, W83795ADG and IT8720F.
#include "platform/os.h"
#include "sensors/chip_access.h"
#include "sensors/thermal.h"
#include "sensors/thermal_chips.h"
#include "sensors/thermal_levels.h"

namespace qv {

namespace {

using thermal::Level;

// Bank register 0x00 of the Winbond SMBus chips: read once, switched with its low
// three bits, written back as found.
class WinbondBank {
public:
    explicit WinbondBank(const ItemSection& item) : item_(item) { code_ = chip::smbus_read(item, item.Slave, 0x00, &saved_); }
    int read_code() const { return code_; }
    void select(uint8_t bank) { chip::smbus_write(item_, item_.Slave, 0x00, static_cast<uint8_t>((saved_ & 0xF8) | bank)); }
    int restore() { return chip::smbus_write(item_, item_.Slave, 0x00, static_cast<uint8_t>(saved_)); }

private:
    const ItemSection& item_;
    uint32_t saved_ = 0;
    int code_ = -1;
};

uint32_t smbus_value(const ItemSection& item, int32_t reg)
{
    uint32_t value = 0;
    chip::smbus_read(item, item.Slave, reg, &value);
    return value;
}

uint32_t isa_value(const SystemSection& system, int32_t bank, int32_t reg)
{
    uint32_t value = 0;
    chip::isa_read(system, bank, reg, &value);
    return value;
}

int write_guided(char* text, uint32_t guide_type, Level chip_rule, uint32_t t)
{
    const auto level = thermal::guided(guide_type, chip_rule, t);
    if (!level) return -1;
    return thermal::write_level(text, *level);
}

// The chips' thresholds are consistent when the two registers are five degrees apart.
bool five_apart(uint32_t upper, uint32_t lower) { return upper - 5 == lower; }

// W83793G threshold registers x0, x1, x2 of a CPU in bank 2.
int32_t w83793g_thresholds(uint32_t level_type, int cpu)
{
    return (cpu == 1 ? 0x30 : 0x40) + (level_type == 0 ? 4 : 0);
}

bool w83793g_applies(const SystemSection& system, int cpu)
{
    return system.W83793GTempLevelType <= 1 && (cpu == 1 || cpu == 2);
}

// W83627DHG Super I/O, logical device 0x0C: the PECI agent's Tcontrol (100 when set up).
uint32_t w83627dhg_tcontrol(int cpu)
{
    auto& os = platform::os();
    os.ioperm(0x2E, 1, 1);
    os.ioperm(0x2F, 1, 1);
    os.outb(0x87, 0x2E);
    os.outb(0x87, 0x2E);
    os.outb(0x07, 0x2E);
    os.outb(0x0C, 0x2F);
    os.outb(cpu == 1 ? 0xE1 : 0xE2, 0x2E);
    const uint32_t value = os.inb(0x2F);
    os.outb(0xAA, 0x2E);
    return value;
}

// The chip-threshold rule when x and y are consistent, the default rule otherwise.
Level peci_rule(uint32_t x, uint32_t y, uint32_t d, uint32_t t)
{
    return five_apart(x, y) ? thermal::chip_threshold_rule(t, d) : thermal::default_rule(t);
}

}  // namespace

int supportThermalText_W83793G(const SystemSection& system, const ItemSection& item)
{
    const int cpu = getThermalCpuNumber(item);
    if (item.Offset < 0x1C || item.Offset > 0x1F || !w83793g_applies(system, cpu)) return 0;
    WinbondBank bank(item);
    if (bank.read_code() != 0) return 0;
    bank.select(0);
    uint32_t tcontrol = 0;
    bool supported = false;
    if (chip::smbus_read(item, item.Slave, cpu == 1 ? 0xD1 : 0xD2, &tcontrol) == 0 && tcontrol == 100) {
        bank.select(2);
        const int32_t base = w83793g_thresholds(system.W83793GTempLevelType, cpu);
        const uint32_t x0 = smbus_value(item, base);
        const uint32_t x1 = smbus_value(item, base + 1);
        const uint32_t x2 = smbus_value(item, base + 2);
        supported = five_apart(x2, x1) && x1 - x0 == 5;
    }
    bank.restore();
    return supported ? 1 : 0;
}

int getThermalText_W83793G(const SystemSection& system, const ItemSection& item, char* text)
{
    const int cpu = getThermalCpuNumber(item);
    if (!w83793g_applies(system, cpu)) return -1;
    WinbondBank bank(item);
    if (bank.read_code() != 0) return bank.read_code();
    bank.select(2);
    const int32_t base = w83793g_thresholds(system.W83793GTempLevelType, cpu);
    const uint32_t high = smbus_value(item, base + 2);
    const uint32_t low = smbus_value(item, base);
    bank.select(0);
    const uint32_t t = smbus_value(item, cpu == 1 ? 0x1C : 0x1D);
    const int code = bank.restore();
    if (code != 0) return code;
    return write_guided(text, system.ThermalGuideChipType, thermal::three_step(t, low, high), t);
}

int supportThermalText_W83627DHG(const SystemSection& system, const ItemSection& item)
{
    const int cpu = getThermalCpuNumber(item);
    if (item.Offset != 0x50 || (cpu != 1 && cpu != 2)) return 0;
    if (w83627dhg_tcontrol(cpu) != 100) return 0;
    uint32_t reference = 0xFF;
    return chip::isa_read(system, 4, 0x5F, &reference) == 0 && reference != 0xFF ? 1 : 0;
}

int getThermalText_W83627DHG(const SystemSection& system, const ItemSection& item, char* text)
{
    const int cpu = getThermalCpuNumber(item);
    if (cpu != 1 && cpu != 2) return -1;
    const uint32_t x = isa_value(system, 1, 0x55);
    const uint32_t y = isa_value(system, 1, 0x53);
    const bool consistent = five_apart(x, y);
    const uint32_t d = consistent ? isa_value(system, 4, 0x5F) : 0;
    uint32_t t = 0;
    const int code = chip::isa_read(system, cpu, 0x50, &t);
    if (code != 0) return code;
    const Level chip_rule = consistent ? thermal::three_step(t, 90 - d, 100 - d) : thermal::default_rule(t);
    return write_guided(text, system.ThermalGuideChipType, chip_rule, t);
}

int supportThermalText_W83795ADG(const SystemSection&, const ItemSection& item)
{
    return item.Offset >= 0x26 && item.Offset <= 0x2D ? 1 : 0;
}

int getThermalText_W83795ADG(const SystemSection& system, const ItemSection& item, char* text)
{
    WinbondBank bank(item);
    if (bank.read_code() != 0) return bank.read_code();
    bank.select(0);
    const uint32_t x = smbus_value(item, 0xB2);
    const uint32_t y = smbus_value(item, 0xB3);
    const uint32_t d = smbus_value(item, 0xDF);
    const uint32_t t = smbus_value(item, item.Offset);
    const int code = bank.restore();
    if (code != 0) return code;
    return write_guided(text, system.ThermalGuideChipType, peci_rule(x, y, d, t), t);
}

int supportThermalText_IT8720F(const SystemSection&, const ItemSection& item) { return item.Offset == 0x2B ? 1 : 0; }

int getThermalText_IT8720F(const SystemSection& system, const ItemSection& item, char* text)
{
    const uint32_t x = isa_value(system, item.Slave, 0x44);
    const uint32_t y = isa_value(system, item.Slave, 0x45);
    const uint32_t d = isa_value(system, item.Slave, 0x97);
    uint32_t t = 0;
    const int code = chip::isa_read(system, item.Slave, item.Offset, &t);
    if (code != 0) return code;
    return write_guided(text, system.ThermalGuideChipType, peci_rule(x, y, d, t), t);
}

}  // namespace qv
