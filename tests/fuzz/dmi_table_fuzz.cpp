// Firmware tables of any content: the entry point, the structure walk, the strings of
// a record and the text search in a memory window.
#include "hw/dmi.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    (void)qv::parse_entry_point(bytes);
    if (size < 2) return 0;
    const unsigned count = data[0] | data[1] << 8;
    const auto table = bytes.subspan(2);
    (void)qv::find_board_record(table, count);
    (void)qv::board_strings(table);
    (void)qv::find_type2_with_text(table, data[0], "Tallowmere");
    (void)qv::find_type2_with_text(table, 0, "");
    (void)qv::trim(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
