// The board's identity from the DMI base-board record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

inline constexpr std::size_t kIdentitySize = 30;

// Fills the three buffers (kIdentitySize bytes each, zeroed by the caller).
void get_mb_info(char* vendor, char* product, char* version);

}  // namespace qv
