// Which BMC command each SMBus and index/data access becomes, by driver, BusType, BMC
// kind and slave: for every row of the routing tables, the one command the BMC gets.
#include "hw/port_io.h"
#include "hw/smbus.h"
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>


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

json openipmi(const char* kind) { return {{"openipmi", "/dev/ipmi0"}, {"kind", kind}}; }
const json kMaker = {{"maker_driver", true}};

constexpr uint8_t kReg = 0x20;
constexpr uint8_t kValue = 0x55;

enum Op { Read, Write, Word, Gpu };

int access(Op op, int chip_code, uint32_t bus_type, uint8_t slave)
{
    uint32_t value = 0;
    switch (op) {
    case Read: return smbus_byte_data_read(chip_code, bus_type, 0, slave, kReg, &value);
    case Write: return smbus_byte_data_write(bus_type, 0, slave, kReg, kValue);
    case Word: return smbus_word_data_read_HL(bus_type, 0, slave, kReg, &value);
    case Gpu: return smbus_byte_data_read_GPU(bus_type, 0, slave, kReg, &value);
    }
    return 0;
}

// Master Write-Read on private bus 2 (0x05) or 3 (0x07), and its OEM twin 0x30 0x22.
Sent mwr_read(uint8_t bus, uint8_t slave, uint8_t reg = kReg) { return {0x06, 0x52, {bus, uint8_t(slave * 2), 1, reg}}; }
Sent mwr_write(uint8_t bus, uint8_t slave) { return {0x06, 0x52, {bus, uint8_t(slave * 2), 0, kReg, kValue}}; }
Sent oem22_read(uint8_t slave, uint8_t reg = kReg) { return {0x30, 0x22, {0x05, uint8_t(slave * 2), 1, reg}}; }
Sent oem23_read(uint8_t slave) { return {0x30, 0x23, {0x05, uint8_t(slave * 2), 1, kReg}}; }
Sent oem22_write(uint8_t slave) { return {0x30, 0x22, {0x05, uint8_t(slave * 2), 0, kReg, kValue}}; }
// A word as two byte reads, high register first.
std::vector<Sent> mwr_word(uint8_t bus, uint8_t slave) { return {mwr_read(bus, slave), mwr_read(bus, slave, kReg + 1)}; }
std::vector<Sent> oem22_word(uint8_t slave) { return {oem22_read(slave), oem22_read(slave, kReg + 1)}; }

// What the BMC was sent.
std::vector<Sent> sent(const std::vector<sim::BmcRequest>& requests)
{
    std::vector<Sent> out;
    for (const sim::BmcRequest& r : requests) out.push_back({r.netfn, r.cmd, r.data});
    return out;
}

TEST_F(BmcTest, EachAccessSendsExactlyTheCommandsOfItsRow)
{
    const struct {
        const char* what;
        json bmc;
        Op op;
        int chip_code;
        uint32_t bus_type;
        uint8_t slave;
        std::vector<Sent> sent;  // empty: no command, and the access fails
    } cases[] = {
        // Byte reads.
        {"peppercon, slave 0x3A in range", openipmi("peppercon"), Read, 0, 0x01, 0x3A, {oem22_read(0x3A)}},
        {"peppercon, slave 0x5B at the range's top", openipmi("peppercon"), Read, 0, 0x01, 0x5B, {oem22_read(0x5B)}},
        {"peppercon, slave 0x2D out of range", openipmi("peppercon"), Read, 0, 0x01, 0x2D, {mwr_read(0x05, 0x2D)}},
        {"peppercon, slave 0x37 just below", openipmi("peppercon"), Read, 0, 0x01, 0x37, {mwr_read(0x05, 0x37)}},
        {"ob_winbond, slave 0x3F", openipmi("ob_winbond"), Read, 0, 0x01, 0x3F, {mwr_read(0x07, 0x3F)}},
        {"ob_winbond_aten, slave 0x58", openipmi("ob_winbond_aten"), Read, 0, 0x01, 0x58, {mwr_read(0x07, 0x58)}},
        {"ob_winbond, slave 0x5C just above", openipmi("ob_winbond"), Read, 0, 0x01, 0x5C, {mwr_read(0x05, 0x5C)}},
        {"ao_winbond, slave in range", openipmi("ao_winbond"), Read, 0, 0x01, 0x3A, {mwr_read(0x05, 0x3A)}},
        {"no kind, slave in range", openipmi("none"), Read, 0, 0x01, 0x3A, {mwr_read(0x05, 0x3A)}},
        {"BMC SMBus, another ChipCode", openipmi("peppercon"), Read, 5, 0x08, 0x3A, {{0x30, 0x0F, {}}}},
        {"both SMBus bits: host rows first", openipmi("peppercon"), Read, 29, 0x09, 0x3A, {oem22_read(0x3A)}},
        {"read, port bus only", openipmi("ob_winbond"), Read, 0, 0x02, 0x3A, {}},
        {"read, maker's driver", kMaker, Read, 29, 0x08, 0x2C, {mwr_read(0x05, 0x2C)}},
        // Byte writes.
        {"write, peppercon, SMBus", openipmi("peppercon"), Write, 0, 0x01, 0x3A, {oem22_write(0x3A)}},
        {"write, peppercon, BMC SMBus", openipmi("peppercon"), Write, 0, 0x08, 0x3A, {oem22_write(0x3A)}},
        {"write, ob_winbond_aten", openipmi("ob_winbond_aten"), Write, 0, 0x08, 0x58, {mwr_write(0x07, 0x58)}},
        {"write, ob_winbond, out of range", openipmi("ob_winbond"), Write, 0, 0x01, 0x2D, {mwr_write(0x05, 0x2D)}},
        {"write, renesas_ami, in range", openipmi("renesas_ami"), Write, 0, 0x01, 0x3A, {mwr_write(0x05, 0x3A)}},
        {"write, port bus only", openipmi("peppercon"), Write, 0, 0x02, 0x3A, {}},
        {"write, maker's driver", kMaker, Write, 0, 0x01, 0x2C, {mwr_write(0x05, 0x2C)}},
        // Word reads: two byte reads, or the OEM word read 0x30 0x23.
        {"word, SMBus, peppercon", openipmi("peppercon"), Word, 0, 0x01, 0x3A, oem22_word(0x3A)},
        {"word, SMBus, ob_winbond", openipmi("ob_winbond"), Word, 0, 0x01, 0x3A, mwr_word(0x07, 0x3A)},
        {"word, SMBus, no kind", openipmi("none"), Word, 0, 0x01, 0x2D, mwr_word(0x05, 0x2D)},
        {"word, BMC SMBus, peppercon", openipmi("peppercon"), Word, 0, 0x08, 0x2D, {oem23_read(0x2D)}},
        {"word, BMC SMBus, ob_winbond", openipmi("ob_winbond"), Word, 0, 0x08, 0x2D, {oem23_read(0x2D)}},
        {"word, BMC SMBus, ao_winbond", openipmi("ao_winbond"), Word, 0, 0x08, 0x2D, {oem23_read(0x2D)}},
        {"word, BMC SMBus, ob_winbond_aten", openipmi("ob_winbond_aten"), Word, 0, 0x08, 0x3A, mwr_word(0x05, 0x3A)},
        {"word, BMC SMBus, renesas_aten", openipmi("renesas_aten"), Word, 0, 0x08, 0x3A, mwr_word(0x05, 0x3A)},
        {"word, port bus only", openipmi("peppercon"), Word, 0, 0x02, 0x3A, {}},
        {"word, maker's driver", kMaker, Word, 0, 0x01, 0x2C, mwr_word(0x05, 0x2C)},
        // Graphics-card reads.
        {"GPU, host SMBus", openipmi("none"), Gpu, 0, 0x01, 0x4C, {}},
        {"GPU, maker's driver", kMaker, Gpu, 0, 0x08, 0x4C, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        detect(c.bmc);
        ::testing::internal::CaptureStderr();
        const int result = access(c.op, c.chip_code, c.bus_type, c.slave);
        ::testing::internal::GetCapturedStderr();
        EXPECT_THAT(sent(requests()), ::testing::ElementsAreArray(c.sent));
        if (c.sent.empty()) {
            EXPECT_EQ(result, -1);
        }
    }
}

// --- Index/data access through the BMC -------------------------------------------------

constexpr uint16_t kIndex = 0x295;
constexpr uint16_t kData = 0x296;

// A fan word through the BMC is turned into the fan count as the ports' own is.
TEST_F(BmcTest, IndexDataAccessGoesToTheBmcOnlyForTheKindsThatProxyPorts)
{
    const std::pair<json, bool> cases[] = {
        {openipmi("ob_winbond"), true},  {openipmi("ao_winbond"), true},   {openipmi("ob_winbond_aten"), true},
        {openipmi("renesas_ami"), true}, {openipmi("renesas_aten"), true}, {openipmi("peppercon"), false},
        {openipmi("none"), false},       {kMaker, false}};
    const std::vector<Sent> proxied{
        {0x30, 0x2C, {0x01, 2, 0x50}}, {0x30, 0x2C, {0x02, 2, 0x50}}, {0x30, 0x2C, {0x00, 2, 0x50, kValue}}};
    for (const auto& [kind, proxies] : cases) {
        SCOPED_TRACE(kind.dump());
        json bmc = kind;
        bmc["isa"] = {{"2", {{"0x50", "0x12"}, {"0x51", "0xE5"}}}};
        detect(bmc);
        uint32_t value = 0;
        ::testing::internal::CaptureStderr();
        isa_byte_data_read(kIndex, kData, 2, 0x50, &value);
        const int word = isa_word_data_read_NCT6776F_fan(kIndex, kData, 2, 0x50, &value);
        isa_byte_data_write(kIndex, kData, 2, 0x50, kValue);
        ::testing::internal::GetCapturedStderr();
        EXPECT_THAT(sent(requests()), ::testing::ElementsAreArray(proxies ? proxied : std::vector<Sent>{}));
        if (proxies) {
            EXPECT_EQ(word, 0);
            EXPECT_EQ(value, 581u);
        }
    }
}

}  // namespace
}  // namespace qv::test
