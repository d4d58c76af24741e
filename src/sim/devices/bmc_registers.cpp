#include "sim/devices/bmc_registers.h"

#include <stdexcept>

namespace qv::sim {

namespace {

// Registers nobody set read as a floating bus.
constexpr uint8_t kUnset = 0xFF;

std::map<uint8_t, Register> registers_from(const json& registers)
{
    if (!registers.is_object()) throw std::runtime_error("bmc: registers are an object: " + registers.dump());
    std::map<uint8_t, Register> file;
    for (const auto& [reg, value] : registers.items())
        file[static_cast<uint8_t>(to_u32(json(reg)))] = Register::from_json(value);
    return file;
}

}  // namespace

ChipRegisters ChipRegisters::from_banks(const json& banks)
{
    ChipRegisters chip;
    chip.banked_ = true;
    for (const auto& [number, registers] : banks.items())
        chip.banks_[static_cast<uint8_t>(to_u32(json(number)))] = registers_from(registers);
    return chip;
}

ChipRegisters ChipRegisters::from_json(const json& chip)
{
    if (!chip.is_object()) throw std::runtime_error("bmc: a chip is an object: " + chip.dump());
    if (chip.contains("banks")) {
        ChipRegisters banked = from_banks(chip.at("banks"));
        if (chip.contains("bank_register")) {
            banked.bank_register_ = static_cast<uint8_t>(to_u32(chip.at("bank_register")));
            banked.bank_select_ = static_cast<uint8_t>(member_u32(chip, "bank_select", 0));
        }
        return banked;
    }
    ChipRegisters flat;
    flat.banks_[0] = registers_from(chip.value("registers", json::object()));
    return flat;
}

std::map<uint8_t, Register>& ChipRegisters::bank(uint8_t number) { return banks_[banked_ ? number : 0]; }

uint8_t ChipRegisters::read(uint8_t reg, double now_s)
{
    if (bank_register_ && reg == *bank_register_) return bank_select_;
    return read(selected_bank(), reg, now_s);
}

void ChipRegisters::write(uint8_t reg, uint8_t value)
{
    if (bank_register_ && reg == *bank_register_) {
        bank_select_ = value;
        return;
    }
    write(selected_bank(), reg, value);
}

uint8_t ChipRegisters::read(uint8_t number, uint8_t reg, double now_s)
{
    auto& file = bank(number);
    const auto it = file.find(reg);
    return it == file.end() ? kUnset : static_cast<uint8_t>(it->second.read(now_s));
}

void ChipRegisters::write(uint8_t number, uint8_t reg, uint8_t value) { bank(number)[reg].write(value); }

}  // namespace qv::sim
