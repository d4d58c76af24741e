#include "sim/devices/register_file.h"

#include <stdexcept>

namespace qv::sim {

uint32_t key_u32(const std::string& key)
{
    std::size_t used = 0;
    const unsigned long value = std::stoul(key, &used, 0);
    if (used != key.size()) throw std::runtime_error("not a register number: \"" + key + "\"");
    return static_cast<uint32_t>(value);
}

RegisterFile RegisterFile::from_json(const json& registers, uint32_t unset)
{
    RegisterFile file;
    file.unset_ = unset;
    if (registers.is_null()) return file;
    if (!registers.is_object()) throw std::runtime_error("registers are an object: " + registers.dump());
    for (const auto& [key, value] : registers.items()) file.registers_[key_u32(key)] = Register::from_json(value);
    return file;
}

uint32_t RegisterFile::read(uint32_t reg, double now_s)
{
    const auto it = registers_.find(reg);
    return it == registers_.end() ? unset_ : it->second.read(now_s);
}

}  // namespace qv::sim
