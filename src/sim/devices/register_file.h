// Byte or dword registers of a simulated chip, as a board file gives them.
#pragma once

#include "sim/value.h"

#include <cstdint>
#include <map>

namespace qv::sim {

class RegisterFile {
public:
    RegisterFile() = default;
    // {"0x20": value, ...} with register values in any form sim::Register takes.
    static RegisterFile from_json(const json& registers, uint32_t unset = 0);

    uint32_t read(uint32_t reg, double now_s);
    void write(uint32_t reg, uint32_t value) { registers_[reg].write(value); }
    bool has(uint32_t reg) const { return registers_.contains(reg); }

private:
    std::map<uint32_t, Register> registers_;
    uint32_t unset_ = 0;
};

// The member's value, or fallback when the object (possibly absent) does not have it.
template <typename T>
T member_or(const json& object, const char* key, T fallback)
{
    if (!object.is_object()) return fallback;
    const auto it = object.find(key);
    return it == object.end() ? fallback : it->get<T>();
}

// Keys of a JSON object read as numbers ("0x20", "7").
uint32_t key_u32(const std::string& key);

}  // namespace qv::sim
