// Physical memory of the simulated board: zeros except where the board or its
// firmware tables put bytes.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace qv::sim {

class PhysicalMemory {
public:
    void put(uint64_t address, std::span<const uint8_t> bytes);
    void copy(uint64_t address, std::span<uint8_t> out) const;

private:
    static constexpr uint64_t kPage = 4096;
    std::map<uint64_t, std::array<uint8_t, kPage>> pages_;
};

}  // namespace qv::sim
