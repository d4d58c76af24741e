// Clearing the latch of a chassis-intrusion switch. How depends on the clear method of
// the chip's record: set a clear bit, pulse it, go through the Super I/O's ACPI device,
// or use the chip's own register block.
#pragma once

#include "profile/records.h"

#include <cstdint>

namespace qv {

// 0 when the latch was cleared or was not set, otherwise non-zero. Prints "Done." or
// "Failed." and the reason of a refusal.
int reset_Intrusion(const LoadedProfile& profile, ItemSection& item);

int W83627HF_G_Intru_IO_Clear(uint32_t bus_type, uint8_t slave, uint8_t reg, uint16_t index_port,
                              uint16_t data_port, uint8_t mask);
// Takes two seconds: the device needs a second before and after the clear bit.
int W83627HF_A_Intru_IO_Clear(int chip_code);
int get_W83627HF_Device_ID(uint16_t* device_id);
int ADM1026_Intru_IO_Clear(const SystemSection& system, const ItemSection& item, const ParameterSection& clear,
                           uint8_t mask);
int NS87427_Intru_IO_Clear(const ParameterSection& clear, uint8_t mask);

}  // namespace qv
