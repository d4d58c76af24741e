// Kernel listings of any content: every line parser and the adapter name's port.
#include "hw/i2c_discovery.h"
#include "hw/smbus.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)qv::parse_pci_device_line(text);
    (void)qv::parse_module_line(text);
    (void)qv::parse_proc_i2c_line(text);
    (void)qv::parse_mounts_line(text);
    (void)qv::parse_i2c_entry_name(text);
    (void)qv::adapter_port(std::string(text));
    return 0;
}
