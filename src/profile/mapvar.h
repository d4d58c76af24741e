// The name-to-code table of the profile format.
#pragma once

#include <array>
#include <cstdint>

namespace qv {

struct MapVarRow {
    char name[16];
    uint32_t code;
};

inline constexpr uint32_t kNoCode = 0xFFFFFFFFu;

// 254 rows in use and an empty terminator row: exactly full.
extern const std::array<MapVarRow, 255> MAPVar;

// Code of the first row whose name equals text without regard to case; kNoCode with
// a message on standard error when there is none.
uint32_t str2code(const char* text);

}  // namespace qv
