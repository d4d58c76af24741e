// A voltage formula as data: a chain of operations applied left to right to the raw
// count, each in extended precision, so that a row reads like the formula it encodes:
//     R * 1000 * 0.016 / 0.2631578947368421
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qv::voltage {

enum class Op : uint8_t { Add, Sub, Mul, Div };

struct Step {
    Op op;
    double operand;
};

class Chain {
public:
    static constexpr std::size_t kMaxSteps = 6;

    constexpr Chain with(Op op, double operand) const
    {
        Chain next = *this;
        next.steps_[next.size_++] = Step{op, operand};  // a seventh step fails to compile
        return next;
    }

    // Counts up to this value give 0 mV (the chips' "no input" band); -1: none.
    constexpr Chain zero_up_to(int32_t count) const
    {
        Chain next = *this;
        next.zero_up_to_ = count;
        return next;
    }

    long double evaluate(uint32_t raw) const
    {
        long double value = raw;
        for (std::size_t i = 0; i < size_; ++i) {
            const long double k = steps_[i].operand;
            switch (steps_[i].op) {
            case Op::Add: value = value + k; break;
            case Op::Sub: value = value - k; break;
            case Op::Mul: value = value * k; break;
            case Op::Div: value = value / k; break;
            }
        }
        return value;
    }

    constexpr bool below_band(uint32_t raw) const
    {
        return zero_up_to_ >= 0 && raw <= static_cast<uint32_t>(zero_up_to_);
    }

private:
    std::array<Step, kMaxSteps> steps_{};
    std::size_t size_ = 0;
    int32_t zero_up_to_ = -1;
};

constexpr Chain operator+(Chain c, double k) { return c.with(Op::Add, k); }
constexpr Chain operator-(Chain c, double k) { return c.with(Op::Sub, k); }
constexpr Chain operator*(Chain c, double k) { return c.with(Op::Mul, k); }
constexpr Chain operator/(Chain c, double k) { return c.with(Op::Div, k); }

// The raw count.
inline constexpr Chain R{};

// Counts up to n give 0, the rest follow the chain.
constexpr Chain zero_up_to(int32_t n, Chain c) { return c.zero_up_to(n); }

}  // namespace qv::voltage
