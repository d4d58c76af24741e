// One simulated board with the chips the engine tests read, and a compact account of the
// accesses a step makes, for tests that check reading paths.
#pragma once

#include "sim/value.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qv::test {

// Index/data pair 0x295/0x296 (banks 0, 1, 4, 7); the Super I/O's logical device 0x0C; on
// the SMBus at 0x1100: an NCT7904D (0x2D), a W83793G (0x2F), a W83795ADG (0x2C), a plain
// chip (0x48) and a chip that never answers (0x2E).
inline sim::json chip_bench(sim::json extra = sim::json::object())
{
    sim::json board = sim::json::parse(R"({
      "smbus_controllers": [{"bus": 0, "device": 31, "function": 3, "vendor": "0x8086", "device_id": "0x27DA",
                             "base": "0x1100", "driver": "i801_smbus"}],
      "kernel": {"modules": ["i2c_i801", "i2c_dev"]},
      "hw_monitors": [{"index": "0x295", "data": "0x296", "bank_select": "0x80", "banks": {
        "0": {"0x20": "0x5A", "0x21": "0x7F", "0x22": "0xD0", "0x2B": "0x6E", "0x2C": "0x46", "0x2D": "0x21", "0x47": "0x5F"},
        "1": {"0x50": "0x5F", "0x55": "0x55", "0x53": "0x50"},
        "4": {"0x5F": "0x00"},
        "7": {"0x17": "0xE0", "0x18": "0x00", "0x19": "0xF9", "0x1A": "0x00", "0x1B": "0x30", "0x1C": "0x00"}}}],
      "super_io": {"device_id": "0x5217", "entry_key": [], "logical_devices": {"12": {"0xE1": 100, "0xE2": 50}}},
      "i2c": {"adapters": [{"bus": 0, "name": "SMBus I801 adapter at 1100", "type": "smbus", "slaves": [
        {"address": "0x2D", "chip": "nct7904d", "registers": {"0x42": "0x1A", "0xA0": "0x3D", "0xA4": 200}},
        {"address": "0x2F", "chip": "winbond", "bank_select": "0x80",
         "registers": {"0x1C": "0x2E", "0x1D": "0x35", "0x5E": "0x03", "0xD6": "0x20", "0xD1": 100, "0xD2": 0, "0x78": "0x5F"},
         "banks": {"2": {"0x34": 80, "0x35": 85, "0x36": 90}}},
        {"address": "0x2C", "chip": "winbond", "bank_select": "0x03",
         "registers": {"0xB2": "0x55", "0xB3": "0x50", "0xDF": "0x05", "0x26": "0x3A"}},
        {"address": "0x48", "registers": {"0x20": "0x34"}},
        {"address": "0x2E", "answers": false}]}]}
    })");
    board.merge_patch(extra);
    return board;
}

// The accesses of trace lines, one short text each: "smb 2D r80", "smb 2D wFF=01",
// "isa b6 r30" (a data-register read in the selected bank), "isa b0 w46=45", "in 0A0F",
// "out 0A0F=A1", "ipmi 30:90 5A 00 80 01". Bank selection on the index/data pair and the
// SMBus controller's status clears are left out.
inline std::vector<std::string> accesses_of(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    unsigned index = 0;
    unsigned bank = 0;
    char text[128];
    for (const std::string& line : lines) {
        unsigned a = 0;
        unsigned b = 0;
        unsigned c = 0;
        if (std::sscanf(line.c_str(), "smbus i2c-%*u 0x%X read 0x%X -> 0x%X", &a, &b, &c) == 3) {
            std::snprintf(text, sizeof text, "smb %02X r%02X", a, b);
        } else if (std::sscanf(line.c_str(), "smbus i2c-%*u 0x%X write 0x%X <- 0x%X", &a, &b, &c) == 3) {
            std::snprintf(text, sizeof text, "smb %02X w%02X=%02X", a, b, c);
        } else if (std::sscanf(line.c_str(), "smbus i2c-%*u 0x%X %*s 0x%X: no answer", &a, &b) == 2) {
            std::snprintf(text, sizeof text, "smb %02X r%02X failed", a, b);
        } else if (std::sscanf(line.c_str(), "port outb 0x%X <- 0x%X", &a, &b) == 2) {
            if (a >= 0x1100 && a < 0x1120) continue;
            if (a == 0x295) {
                index = b;
                continue;
            }
            if (a == 0x296 && index == 0x4E) {
                bank = b & 0x0F;
                continue;
            }
            if (a == 0x296) std::snprintf(text, sizeof text, "isa b%u w%02X=%02X", bank, index, b);
            else std::snprintf(text, sizeof text, "out %04X=%02X", a, b);
        } else if (std::sscanf(line.c_str(), "port inb 0x%X -> 0x%X", &a, &b) == 2) {
            if (a == 0x296 && index == 0x4E) continue;
            if (a == 0x296) std::snprintf(text, sizeof text, "isa b%u r%02X", bank, index);
            else std::snprintf(text, sizeof text, "in %04X", a);
        } else if (line.rfind("ipmi", 0) == 0) {
            const auto at = line.find("netfn 0x");
            unsigned netfn = 0;
            unsigned cmd = 0;
            if (at == std::string::npos || std::sscanf(line.c_str() + at, "netfn 0x%X cmd 0x%X", &netfn, &cmd) != 2) continue;
            std::string data = line.substr(line.find(" data", at) + 5);
            data = data.substr(0, data.find(" ->"));
            std::snprintf(text, sizeof text, "ipmi %02X:%02X%s", netfn, cmd, data.c_str());
        } else {
            continue;
        }
        out.emplace_back(text);
    }
    return out;
}

}  // namespace qv::test
