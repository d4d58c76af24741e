#include "sim/value.h"

#include <stdexcept>

namespace qv::sim {

uint32_t to_u32(const json& value)
{
    if (value.is_number_integer()) return static_cast<uint32_t>(value.get<int64_t>());
    if (value.is_string()) return static_cast<uint32_t>(std::stoul(value.get<std::string>(), nullptr, 0));
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    throw std::runtime_error("a number was expected, not " + value.dump());
}

const json& section(const json& object, const char* key)
{
    static const json none;
    if (!object.is_object()) return none;
    const auto it = object.find(key);
    return it == object.end() ? none : *it;
}

uint32_t member_u32(const json& object, const char* key, uint32_t fallback)
{
    const auto it = object.find(key);
    return it == object.end() ? fallback : to_u32(*it);
}

Register Register::from_json(const json& value)
{
    Register reg;
    if (!value.is_object()) {
        reg.values_ = {to_u32(value)};
        return reg;
    }
    if (const auto reads = value.find("reads"); reads != value.end()) {
        reg.mode_ = Mode::Reads;
        reg.values_.clear();
        for (const auto& v : *reads) reg.values_.push_back(to_u32(v));
    } else if (const auto at = value.find("at"); at != value.end()) {
        reg.mode_ = Mode::Timed;
        reg.values_.clear();
        for (const auto& step : *at) {
            reg.times_.push_back(step.at(0).get<double>());
            reg.values_.push_back(to_u32(step.at(1)));
        }
    }
    if (reg.values_.empty()) throw std::runtime_error("a register without values: " + value.dump());
    return reg;
}

uint32_t Register::read(double now_s)
{
    switch (mode_) {
    case Mode::Fixed:
        return values_.front();
    case Mode::Reads: {
        const std::size_t i = reads_ < values_.size() ? reads_ : values_.size() - 1;
        ++reads_;
        return values_[i];
    }
    case Mode::Timed: {
        uint32_t current = values_.front();
        for (std::size_t i = 0; i < times_.size() && times_[i] <= now_s; ++i) current = values_[i];
        return current;
    }
    }
    return values_.front();
}

}  // namespace qv::sim
