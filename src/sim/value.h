// Numbers and register contents in board files.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qv::sim {

using json = nlohmann::json;

// The member of an object, or an empty JSON value when there is none.
const json& section(const json& object, const char* key);

// A number given as a JSON number or as text ("0x2E", "46").
uint32_t to_u32(const json& value);
// The member's value, or fallback when the member is absent.
uint32_t member_u32(const json& object, const char* key, uint32_t fallback);

// What a register holds, possibly changing while the program runs:
//   12 or "0x0C"                   always the same
//   {"reads": [a, b, c]}           one value per read, the last one repeats
//   {"at": [[0, a], [30, b]]}      a from virtual second 0, b from second 30 on
// Writes replace it with the written byte.
class Register {
public:
    Register() = default;
    explicit Register(uint32_t value) : values_{value} {}
    static Register from_json(const json& value);

    uint32_t read(double now_s);
    void write(uint32_t value) { *this = Register(value); }

private:
    enum class Mode { Fixed, Reads, Timed };
    Mode mode_ = Mode::Fixed;
    std::vector<uint32_t> values_{0};
    std::vector<double> times_;
    std::size_t reads_ = 0;
};

}  // namespace qv::sim
