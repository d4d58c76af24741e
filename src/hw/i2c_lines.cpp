// The kernel listings' lines, taken apart as the listings' formats say.
#include "hw/i2c_discovery.h"
#include "hw/scan.h"

namespace qv {

namespace {

// Fields of /proc/bus/i2c are kept up to these lengths.
constexpr std::size_t kBusNumberChars = 7;
constexpr std::size_t kTypeChars = 23;
constexpr std::size_t kNameChars = 127;

// The character set of an adapter or algorithm name in /proc/bus/i2c.
bool name_char(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '(' ||
           c == ')' || c == ' ' || c == '-';
}

std::string cut(std::optional<std::string> field, std::size_t chars)
{
    if (!field) return {};
    if (field->size() > chars) field->resize(chars);
    return *field;
}

}  // namespace

std::optional<PciDevice> parse_pci_device_line(std::string_view line)
{
    FieldScanner scan(line);
    const auto devfn = scan.hex();
    if (!devfn) return std::nullopt;
    const auto ids = scan.hex();
    if (!ids) return std::nullopt;
    PciDevice device;
    device.bus = *devfn >> 8;
    device.device = (*devfn >> 3) & 0x1F;
    device.function = *devfn & 0x07;
    device.vendor = static_cast<uint16_t>(*ids >> 16);
    device.device_id = static_cast<uint16_t>(*ids & 0xFFFF);
    return device;
}

std::optional<std::string> parse_module_line(std::string_view line) { return FieldScanner(line).word(); }

I2cBus parse_proc_i2c_line(std::string_view line)
{
    I2cBus bus;
    FieldScanner scan(line);
    if (!scan.literal("i2c-")) return bus;
    bus.number = cut(scan.word(), kBusNumberChars);
    if (bus.number.empty()) return bus;
    bus.type = cut(scan.word(), kTypeChars);
    if (bus.type.empty()) return bus;
    scan.skip_space();
    bus.name = cut(scan.run(name_char), kNameChars);
    if (bus.name.empty()) return bus;
    scan.skip_space();
    bus.algorithm = cut(scan.run(name_char), kNameChars);
    return bus;
}

std::optional<MountEntry> parse_mounts_line(std::string_view line)
{
    const auto not_blank = [](char c) { return c != ' '; };
    FieldScanner scan(line);
    auto device = scan.run(not_blank);
    scan.skip_space();
    auto mount_point = device ? scan.run(not_blank) : std::nullopt;
    scan.skip_space();
    auto type = mount_point ? scan.run(not_blank) : std::nullopt;
    if (!type) return std::nullopt;
    return MountEntry{std::move(*device), std::move(*mount_point), std::move(*type)};
}

std::optional<int> parse_i2c_entry_name(std::string_view name)
{
    FieldScanner scan(name);
    if (!scan.literal("i2c-")) return std::nullopt;
    return scan.decimal();
}

}  // namespace qv
