// GPIO reads of the Super I/O and the south bridge, the bridges' GPIO levels, and
// single bytes of physical memory.
#include "hw/gpio.h"

#include "hw/chips.h"
#include "hw/descriptor.h"
#include "hw/fatal.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/state.h"
#include "platform/os.h"

#include <cstdio>
#include <initializer_list>
#include <optional>

namespace qv {

namespace {

constexpr uint32_t kPageSize = 4096;

void unknown_chip(int chip_code) { std::fprintf(stderr, "Error: unknown ChipCode=%d(0x%X)\n", chip_code, chip_code); }

uint8_t super_io_register(platform::Os& os, uint8_t reg)
{
    os.outb(reg, kSuperIoIndex);
    return os.inb(kSuperIoData);
}

// A chip that opens its configuration registers only between the entry key
// and the exit key.
void read_configured_gpio(platform::Os& os, uint8_t logical_device, uint8_t reg, uint32_t* value)
{
    os.outb(0x87, kSuperIoIndex);
    os.outb(0x87, kSuperIoIndex);
    os.outb(0x07, kSuperIoIndex);
    os.outb(logical_device, kSuperIoData);
    *value = super_io_register(os, reg);
    os.outb(0xAA, kSuperIoIndex);
}

// The GPIO block's base is read once, then the pins through the block.
void read_gpio_block(platform::Os& os, uint8_t logical_device, uint8_t reg, uint32_t* value)
{
    if (hw_state().ChipCode5BaseAddr[0] == 0 && hw_state().ChipCode5BaseAddr[1] == 0) {
        os.outb(0x07, kSuperIoIndex);
        os.outb(logical_device, kSuperIoData);
        hw_state().ChipCode5BaseAddr[0] = super_io_register(os, 0x60);
        hw_state().ChipCode5BaseAddr[1] = super_io_register(os, 0x61);
    }
    const uint32_t* base = hw_state().ChipCode5BaseAddr;
    const auto port = static_cast<uint16_t>((base[0] << 8) + base[1] + reg);
    if (ports_granted({port})) *value = os.inb(port);
}

// Function 0 of every device on buses 0 to 23 whose ID dword is one of ids.
struct PciLocation {
    uint32_t bus;
    uint32_t device;
};

std::optional<PciLocation> find_bridge(std::initializer_list<uint32_t> ids)
{
    for (uint32_t n = 0; n < 768; ++n) {
        const PciLocation at{n >> 5, n & 31};
        const uint32_t id = pci_config_read(at.bus, at.device, 0, 0);
        if (id == 0xFFFFFFFFu) continue;
        for (const uint32_t wanted : ids)
            if (id == wanted) return at;
    }
    return std::nullopt;
}

uint32_t bridge_gpio_base(std::initializer_list<uint32_t> ids, uint32_t base_register)
{
    const auto bridge = find_bridge(ids);
    if (!bridge) return 0;
    return pci_config_read(bridge->bus, bridge->device, 0, base_register) & ~1u;
}

std::optional<uint32_t> gpio_dword(uint32_t port)
{
    const auto p = static_cast<uint16_t>(port);
    if (!ports_granted({p})) return std::nullopt;
    return platform::os().inl(p);
}

constexpr uint32_t id(uint16_t vendor, uint16_t device) { return static_cast<uint32_t>(device) << 16 | vendor; }

int ich7_gpio_bit(unsigned bit)
{
    request_iopl(3);
    const uint32_t base = bridge_gpio_base({id(0x8086, 0x27B8)}, 0x48);
    if (base == 0) return 0;
    const auto level = gpio_dword(base + 0x38);
    return level && (*level >> bit & 1) != 0 ? 1 : 0;
}

// The level register of a GPIO number: 0-31, 32-63, 64-95.
std::optional<uint32_t> level_register(uint32_t gpio_base, unsigned gpio)
{
    static constexpr uint32_t offsets[] = {0x0C, 0x38, 0x48};
    if (gpio >= 96) return std::nullopt;
    return gpio_base + offsets[gpio / 32];
}

}  // namespace

void ReadSuperGPIO(int chip_code, uint8_t logical_device, uint8_t reg, uint32_t* value)
{
    request_ioperm(kSuperIoIndex, 1, 1);
    request_ioperm(kSuperIoIndex, 1, 1);
    request_ioperm(kSuperIoData, 1, 1);
    const chips::SwitchPath path = chips::of(chip_code).switchPath;
    if (path != chips::SwitchPath::SuperIoConfigGpio && path != chips::SwitchPath::SuperIoGpioBlock)
        return unknown_chip(chip_code);
    if (!ports_granted({kSuperIoIndex, kSuperIoData})) return;
    platform::Os& os = platform::os();
    if (path == chips::SwitchPath::SuperIoConfigGpio) read_configured_gpio(os, logical_device, reg, value);
    else read_gpio_block(os, logical_device, reg, value);
}

void ReadSBGPIO(int chip_code, int, uint8_t index, uint32_t* value)
{
    if (chips::of(chip_code).switchPath != chips::SwitchPath::SouthBridgeGpio) return unknown_chip(chip_code);
    if (!ports_granted({kSbPmIndex, kSbPmData})) return;
    platform::Os& os = platform::os();
    os.outb(index, kSbPmIndex);
    *value = os.inb(kSbPmData);
}

int CheckGPIO28Hi()
{
    request_iopl(3);
    const uint32_t base = bridge_gpio_base({id(0x8086, 0x2480), id(0x8086, 0x24C0), id(0x8086, 0x24D0)}, 0x58);
    if (base == 0) return 0;
    const auto input = gpio_dword(base + 0x04);
    const auto level = gpio_dword(base + 0x0C);
    return input && level && (*input >> 28 & 1) != 0 && (*level >> 28 & 1) != 0 ? 1 : 0;
}

int CheckGPIO38Hi() { return ich7_gpio_bit(6); }
int CheckGPIO39Hi() { return ich7_gpio_bit(7); }

uint32_t findGpioBaseAddress() { return bridge_gpio_base({id(0x8086, 0x27B8), id(0x8086, 0x3B14)}, 0x48); }

uint32_t getIpmiBiosPostCmplGpioState(uint32_t gpio_base, unsigned gpio)
{
    request_iopl(3);
    const auto reg = level_register(gpio_base, gpio);
    if (!reg) return 0;
    const auto level = gpio_dword(*reg);
    return level ? (*level >> (gpio % 32) & 1) : 0;
}

uint32_t setIpmiBiosPostCmplGpioState(uint32_t gpio_base, unsigned gpio, int value)
{
    request_iopl(3);
    const auto reg = level_register(gpio_base, gpio);
    if (!reg) return 0;
    auto level = gpio_dword(*reg);
    if (!level) return 0;
    const uint32_t bit = 1u << (gpio % 32);
    const uint32_t written = (*level & ~bit) | (value != 0 ? bit : 0);
    platform::Os& os = platform::os();
    os.outl(written, static_cast<uint16_t>(*reg));
    return os.inl(static_cast<uint16_t>(*reg));
}

uint8_t getMemByte(uint32_t physical_address)
{
    platform::Os& os = platform::os();
    const Descriptor mem(os.open("/dev/mem", O_RDWR));
    if (!mem.valid()) exit_on_system_error(__LINE__, "gpio");
    const uint32_t page = physical_address & ~(kPageSize - 1);
    Mapping map(os.mmap(nullptr, kPageSize, PROT_READ, MAP_SHARED, mem.get(), static_cast<off_t>(page)), kPageSize);
    if (!map.valid()) exit_on_system_error(__LINE__, "gpio");
    return map.bytes()[physical_address - page];
}

}  // namespace qv
