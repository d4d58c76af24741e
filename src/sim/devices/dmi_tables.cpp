// The firmware's DMI entry point and structure table in the BIOS area, built from the
// board's identity and its "dmi" section. Records, lengths and counts can be made to
// lie, for boards whose firmware does.
#include "sim/devices/physical_memory.h"
#include "sim/devices/register_file.h"
#include "sim/value.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace qv::sim {

namespace {

constexpr uint32_t kEntryPoint = 0xF0800;
constexpr uint32_t kTable = 0xF1000;

json identity_strings(const json& board)
{
    const json& id = section(board, "identity");
    return json::array({member_or(id, "vendor", std::string()), member_or(id, "product", std::string()),
                        member_or(id, "version", std::string())});
}

// The default tables: firmware, system, base board, chassis, end of table.
json default_records()
{
    return json::array({
        {{"type", 0}, {"formatted", {1, 2, 0, 0, 3}}, {"strings", {"Firmware Works", "1.0", "01/01/2012"}}},
        {{"type", 1}, {"formatted", {1, 2, 3, 4}}, {"strings", {"System Maker", "Server", "1.0", "0001"}}},
        {{"type", 2}},
        {{"type", 3}, {"formatted", {1, 0x17, 0, 0}}, {"strings", {"Chassis Maker"}}},
        {{"type", 127}, {"strings", json::array()}},
    });
}

void append_u16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// One structure: header, formatted area, string set. A type-2 record without strings
// of its own carries the board's identity as strings 1, 2 and 3.
std::vector<uint8_t> structure(const json& record, unsigned handle, const json& board)
{
    if (record.contains("raw")) {
        std::vector<uint8_t> raw;
        for (const auto& b : record.at("raw")) raw.push_back(static_cast<uint8_t>(to_u32(b)));
        return raw;
    }
    const uint32_t type = to_u32(record.at("type"));
    json formatted = record.value("formatted", json::array());
    json strings = record.value("strings", json());
    if (type == 2 && strings.is_null()) strings = identity_strings(board);
    if (type == 2 && !record.contains("formatted")) formatted = {1, 2, 3, 0};
    std::vector<uint8_t> out{static_cast<uint8_t>(type), 0};
    append_u16(out, member_u32(record, "handle", handle));
    for (const auto& b : formatted) out.push_back(static_cast<uint8_t>(to_u32(b)));
    out[1] = static_cast<uint8_t>(member_u32(record, "length", static_cast<uint32_t>(out.size())));
    for (const auto& s : strings.is_array() ? strings : json::array()) {
        for (const char c : s.get<std::string>()) out.push_back(static_cast<uint8_t>(c));
        out.push_back(0);
    }
    if (!strings.is_array() || strings.empty()) out.push_back(0);
    out.push_back(0);
    return out;
}

std::vector<uint8_t> entry_point(uint32_t length, uint32_t address, uint32_t count)
{
    std::vector<uint8_t> out{'_', 'D', 'M', 'I', '_', 0};
    append_u16(out, length);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(address >> shift));
    append_u16(out, count);
    out.push_back(0x26);
    uint8_t sum = 0;
    for (const uint8_t b : out) sum = static_cast<uint8_t>(sum + b);
    out[5] = static_cast<uint8_t>(0x100 - sum);
    return out;
}

}  // namespace

void write_dmi_tables(PhysicalMemory& memory, const json& board)
{
    const json& dmi = section(board, "dmi");
    if (dmi.is_null() && section(board, "identity").is_null()) return;
    const json records = dmi.contains("records") ? dmi.at("records") : default_records();
    std::vector<uint8_t> table;
    unsigned handle = 0;
    for (const auto& record : records) {
        const auto bytes = structure(record, handle++, board);
        table.insert(table.end(), bytes.begin(), bytes.end());
    }
    const uint32_t address = member_u32(dmi, "table_address", kTable);
    memory.put(address, table);
    for (const auto& record : section(dmi, "elsewhere"))
        memory.put(to_u32(record.at("address")), structure(record, handle++, board));
    const json& anchor = section(dmi, "entry_point");
    if (anchor.is_boolean() && !anchor.get<bool>()) return;
    const uint32_t at = anchor.is_null() || anchor.is_boolean() ? kEntryPoint : to_u32(anchor);
    memory.put(at, entry_point(member_u32(dmi, "table_length", static_cast<uint32_t>(table.size())), address,
                               member_u32(dmi, "structure_count", static_cast<uint32_t>(records.size()))));
}

}  // namespace qv::sim
