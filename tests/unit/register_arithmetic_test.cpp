// Register steps from profile numbers at the ends of the 32-bit range: they wrap at the
// register's width instead of overflowing the profile's signed number.
#include "sensors/chip_access.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace qv::test {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(RegisterStep, WrapsAtTheRegistersWidth)
{
    struct Case { int32_t base; unsigned step; uint8_t reg; uint16_t port; };
    const Case cases[] = {
        {0x28, 1, 0x29, 0x0029},      {0x0D, 11, 0x18, 0x0018},  // the profiles' own values
        {0xFF, 1, 0x00, 0x0100},      {0xFFFF, 0x0C, 0x0B, 0x000B},
        {kMax, 0, 0xFF, 0xFFFF},      {kMax, 1, 0x00, 0x0000},   {kMax, 11, 0x0A, 0x000A},
        {kMax, 0x0C, 0x0B, 0x000B},   {kMin, 0, 0x00, 0x0000},   {kMin, 1, 0x01, 0x0001},
        {-1, 0, 0xFF, 0xFFFF},        {-1, 1, 0x00, 0x0000},     {-1, 0x0F, 0x0E, 0x000E},
        {kMin + 0x1C, 0, 0x1C, 0x001C},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reg_at(c.base, c.step), c.reg) << c.base << " + " << c.step;
        EXPECT_EQ(port_at(c.base, c.step), c.port) << c.base << " + " << c.step;
    }
}

}  // namespace
}  // namespace qv::test
