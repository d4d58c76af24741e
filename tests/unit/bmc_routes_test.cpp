// Which BMC command each SMBus and index/data access becomes, by driver, BusType, BMC
// kind and slave: for every row of the routing tables, the one command the BMC gets.
#include "hw/port_io.h"
#include "hw/smbus.h"
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>

#include <functional>

namespace qv::test {
namespace {

using sim::json;

struct Sent {
    uint8_t netfn;
    uint8_t cmd;
    std::vector<uint8_t> data;
    bool operator==(const Sent&) const = default;
    friend void PrintTo(const Sent& s, std::ostream* os)
    {
        *os << std::hex << int(s.netfn) << ':' << int(s.cmd) << " [";
        for (uint8_t b : s.data) *os << ' ' << int(b);
        *os << " ]";
    }
};

struct RouteCase {
    const char* what;
    json bmc;
    std::function<int()> access;
    std::vector<Sent> sent;  // empty: no command, and the access fails
    friend void PrintTo(const RouteCase& c, std::ostream* os) { *os << c.what; }
};

json openipmi(const char* kind) { return {{"openipmi", "/dev/ipmi0"}, {"kind", kind}}; }
const json kMaker = {{"maker_driver", true}};

constexpr uint8_t kReg = 0x20;
constexpr uint8_t kValue = 0x55;

std::function<int()> byte_read(int chip_code, uint32_t bus_type, uint8_t slave)
{
    return [=] {
        uint32_t value = 0;
        return smbus_byte_data_read(chip_code, bus_type, 0, slave, kReg, &value);
    };
}

std::function<int()> byte_write(uint32_t bus_type, uint8_t slave)
{
    return [=] { return smbus_byte_data_write(bus_type, 0, slave, kReg, kValue); };
}

std::function<int()> word_read(uint32_t bus_type, uint8_t slave)
{
    return [=] {
        uint32_t value = 0;
        return smbus_word_data_read_HL(bus_type, 0, slave, kReg, &value);
    };
}

std::function<int()> gpu_read(uint32_t bus_type, uint8_t slave)
{
    return [=] {
        uint32_t value = 0;
        return smbus_byte_data_read_GPU(bus_type, 0, slave, kReg, &value);
    };
}

// Master Write-Read on private bus 2 (0x05) or 3 (0x07), and its OEM twin 0x30 0x22.
Sent mwr_read(uint8_t bus, uint8_t slave, uint8_t reg = kReg) { return {0x06, 0x52, {bus, uint8_t(slave * 2), 1, reg}}; }
Sent mwr_write(uint8_t bus, uint8_t slave) { return {0x06, 0x52, {bus, uint8_t(slave * 2), 0, kReg, kValue}}; }
Sent oem22_read(uint8_t slave, uint8_t reg = kReg) { return {0x30, 0x22, {0x05, uint8_t(slave * 2), 1, reg}}; }

class Routes : public BmcTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(Routes, SendExactlyTheCommandsOfTheirRow)
{
    detect(GetParam().bmc);
    ::testing::internal::CaptureStderr();
    const int result = GetParam().access();
    ::testing::internal::GetCapturedStderr();
    std::vector<Sent> sent;
    for (const sim::BmcRequest& r : requests()) sent.push_back({r.netfn, r.cmd, r.data});
    EXPECT_THAT(sent, ::testing::ElementsAreArray(GetParam().sent));
    if (GetParam().sent.empty()) {
        EXPECT_EQ(result, -1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ByteRead, Routes,
    ::testing::Values(
        RouteCase{"peppercon, slave 0x3A in range", openipmi("peppercon"), byte_read(0, 0x01, 0x3A), {oem22_read(0x3A)}},
        RouteCase{"peppercon, slave 0x5B at the range's top", openipmi("peppercon"), byte_read(0, 0x01, 0x5B),
                  {oem22_read(0x5B)}},
        RouteCase{"peppercon, slave 0x2D out of range", openipmi("peppercon"), byte_read(0, 0x01, 0x2D),
                  {mwr_read(0x05, 0x2D)}},
        RouteCase{"peppercon, slave 0x37 just below", openipmi("peppercon"), byte_read(0, 0x01, 0x37),
                  {mwr_read(0x05, 0x37)}},
        RouteCase{"ob_winbond, slave 0x3F", openipmi("ob_winbond"), byte_read(0, 0x01, 0x3F), {mwr_read(0x07, 0x3F)}},
        RouteCase{"ob_winbond_aten, slave 0x58", openipmi("ob_winbond_aten"), byte_read(0, 0x01, 0x58),
                  {mwr_read(0x07, 0x58)}},
        RouteCase{"ob_winbond, slave 0x5C just above", openipmi("ob_winbond"), byte_read(0, 0x01, 0x5C),
                  {mwr_read(0x05, 0x5C)}},
        RouteCase{"ao_winbond, slave in range", openipmi("ao_winbond"), byte_read(0, 0x01, 0x3A), {mwr_read(0x05, 0x3A)}},
        RouteCase{"no kind, slave in range", openipmi("none"), byte_read(0, 0x01, 0x3A), {mwr_read(0x05, 0x3A)}},
        RouteCase{"BMC SMBus, ChipCode 29", openipmi("none"), byte_read(29, 0x08, 0x3A), {{0x30, 0x92, {0x03, 0x0A}}}},
        RouteCase{"BMC SMBus, ChipCode 31", openipmi("none"), byte_read(31, 0x08, 0x3A), {{0x30, 0x92, {}}}},
        RouteCase{"BMC SMBus, another ChipCode", openipmi("peppercon"), byte_read(5, 0x08, 0x3A), {{0x30, 0x0F, {}}}},
        RouteCase{"both SMBus bits: the host SMBus rows come first", openipmi("peppercon"), byte_read(29, 0x09, 0x3A),
                  {oem22_read(0x3A)}},
        RouteCase{"port bus only", openipmi("ob_winbond"), byte_read(0, 0x02, 0x3A), {}},
        RouteCase{"maker's driver", kMaker, byte_read(29, 0x08, 0x2C), {mwr_read(0x05, 0x2C)}}));

INSTANTIATE_TEST_SUITE_P(
    ByteWrite, Routes,
    ::testing::Values(
        RouteCase{"peppercon, SMBus, in range", openipmi("peppercon"), byte_write(0x01, 0x3A),
                  {{0x30, 0x22, {0x05, 0x74, 0, kReg, kValue}}}},
        RouteCase{"peppercon, BMC SMBus, in range", openipmi("peppercon"), byte_write(0x08, 0x3A),
                  {{0x30, 0x22, {0x05, 0x74, 0, kReg, kValue}}}},
        RouteCase{"ob_winbond_aten, in range", openipmi("ob_winbond_aten"), byte_write(0x08, 0x58),
                  {mwr_write(0x07, 0x58)}},
        RouteCase{"ob_winbond, out of range", openipmi("ob_winbond"), byte_write(0x01, 0x2D), {mwr_write(0x05, 0x2D)}},
        RouteCase{"renesas_ami, in range", openipmi("renesas_ami"), byte_write(0x01, 0x3A), {mwr_write(0x05, 0x3A)}},
        RouteCase{"port bus only", openipmi("peppercon"), byte_write(0x02, 0x3A), {}},
        RouteCase{"maker's driver", kMaker, byte_write(0x01, 0x2C), {mwr_write(0x05, 0x2C)}}));

INSTANTIATE_TEST_SUITE_P(
    WordRead, Routes,
    ::testing::Values(
        RouteCase{"SMBus, peppercon, in range", openipmi("peppercon"), word_read(0x01, 0x3A),
                  {oem22_read(0x3A), oem22_read(0x3A, kReg + 1)}},
        RouteCase{"SMBus, ob_winbond, in range", openipmi("ob_winbond"), word_read(0x01, 0x3A),
                  {mwr_read(0x07, 0x3A), mwr_read(0x07, 0x3A, kReg + 1)}},
        RouteCase{"SMBus, no kind", openipmi("none"), word_read(0x01, 0x2D),
                  {mwr_read(0x05, 0x2D), mwr_read(0x05, 0x2D, kReg + 1)}},
        RouteCase{"BMC SMBus, peppercon", openipmi("peppercon"), word_read(0x08, 0x2D),
                  {{0x30, 0x23, {0x05, 0x5A, 1, kReg}}}},
        RouteCase{"BMC SMBus, ob_winbond", openipmi("ob_winbond"), word_read(0x08, 0x2D),
                  {{0x30, 0x23, {0x05, 0x5A, 1, kReg}}}},
        RouteCase{"BMC SMBus, ao_winbond", openipmi("ao_winbond"), word_read(0x08, 0x2D),
                  {{0x30, 0x23, {0x05, 0x5A, 1, kReg}}}},
        RouteCase{"BMC SMBus, ob_winbond_aten", openipmi("ob_winbond_aten"), word_read(0x08, 0x3A),
                  {mwr_read(0x05, 0x3A), mwr_read(0x05, 0x3A, kReg + 1)}},
        RouteCase{"BMC SMBus, renesas_aten", openipmi("renesas_aten"), word_read(0x08, 0x3A),
                  {mwr_read(0x05, 0x3A), mwr_read(0x05, 0x3A, kReg + 1)}},
        RouteCase{"port bus only", openipmi("peppercon"), word_read(0x02, 0x3A), {}},
        RouteCase{"maker's driver", kMaker, word_read(0x01, 0x2C),
                  {mwr_read(0x05, 0x2C), mwr_read(0x05, 0x2C, kReg + 1)}}));

INSTANTIATE_TEST_SUITE_P(
    GpuRead, Routes,
    ::testing::Values(RouteCase{"BMC SMBus", openipmi("none"), gpu_read(0x08, 0x4C), {{0x30, 0x70, {0x05, kReg}}}},
                      RouteCase{"host SMBus", openipmi("none"), gpu_read(0x01, 0x4C), {}},
                      RouteCase{"maker's driver", kMaker, gpu_read(0x08, 0x4C), {}}));

// --- Index/data access through the BMC -------------------------------------------------

constexpr uint16_t kIndex = 0x295;
constexpr uint16_t kData = 0x296;

struct IsaCase {
    const char* what;
    json bmc;
    bool proxied;
    friend void PrintTo(const IsaCase& c, std::ostream* os) { *os << c.what; }
};

class IsaRoute : public BmcTest, public ::testing::WithParamInterface<IsaCase> {};

TEST_P(IsaRoute, GoesToTheBmcOnlyForTheKindsThatProxyPorts)
{
    detect(GetParam().bmc);
    uint32_t value = 0;
    ::testing::internal::CaptureStderr();
    isa_byte_data_read(kIndex, kData, 2, 0x50, &value);
    isa_byte_data_write(kIndex, kData, 2, 0x50, kValue);
    isa_word_data_read_NCT6776F_fan(kIndex, kData, 2, 0x50, &value);
    ::testing::internal::GetCapturedStderr();
    std::vector<Sent> sent;
    for (const sim::BmcRequest& r : requests()) sent.push_back({r.netfn, r.cmd, r.data});
    const std::vector<Sent> proxied{{0x30, 0x2C, {0x01, 2, 0x50}},
                                    {0x30, 0x2C, {0x00, 2, 0x50, kValue}},
                                    {0x30, 0x2C, {0x02, 2, 0x50}}};
    EXPECT_THAT(sent, ::testing::ElementsAreArray(GetParam().proxied ? proxied : std::vector<Sent>{}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, IsaRoute,
                         ::testing::Values(IsaCase{"ob_winbond", openipmi("ob_winbond"), true},
                                           IsaCase{"ao_winbond", openipmi("ao_winbond"), true},
                                           IsaCase{"ob_winbond_aten", openipmi("ob_winbond_aten"), true},
                                           IsaCase{"renesas_ami", openipmi("renesas_ami"), true},
                                           IsaCase{"renesas_aten", openipmi("renesas_aten"), true},
                                           IsaCase{"peppercon", openipmi("peppercon"), false},
                                           IsaCase{"no kind", openipmi("none"), false},
                                           IsaCase{"maker's driver", kMaker, false}));

TEST_F(BmcTest, AFanWordThroughTheBmcIsTurnedIntoTheFanCount)
{
    detect({{"openipmi", "/dev/ipmi0"}, {"kind", "renesas_ami"}, {"isa", {{"0", {{"0x28", "0x12"}, {"0x29", "0xE5"}}}}}});
    uint32_t value = 0;
    EXPECT_EQ(isa_word_data_read_NCT6776F_fan(kIndex, kData, 0, 0x28, &value), 0);
    EXPECT_EQ(value, 581u);
}

}  // namespace
}  // namespace qv::test
