// Chassis-intrusion reset: which chips have a clear method, the refusals, and the
// port sequences of the Super I/O and NS87427 clears.
#include "sensors/intrusion.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qv::test {
namespace {

TEST(ClearMethods, FollowTheChipCode)
{
    const std::map<int, ClearMethod> expected{
        {0, ClearMethod::SetBit},     {1, ClearMethod::ByDeviceId},       {2, ClearMethod::SetBit},
        {7, ClearMethod::SetBit},     {8, ClearMethod::Ns87427},          {10, ClearMethod::AcpiDevice},
        {12, ClearMethod::AcpiDevice}, {13, ClearMethod::Pulse},          {15, ClearMethod::Pulse},
        {17, ClearMethod::SetBitOverBmcBus}, {19, ClearMethod::Pulse},    {22, ClearMethod::Pulse},
        {23, ClearMethod::SetBitOverBmcBus}, {24, ClearMethod::Pulse},    {25, ClearMethod::SetBit},
        {28, ClearMethod::Pulse},     {30, ClearMethod::Nct7904d}};
    for (int code = -1; code <= 40; ++code) {
        const auto it = expected.find(code);
        EXPECT_EQ(clear_method(code), it == expected.end() ? ClearMethod::Unsupported : it->second) << code;
    }
}

// Ports that answer from a table and note every write as "port<-value".
class RecordingPorts final : public sim::PortDevice {
public:
    RecordingPorts(std::vector<uint16_t> ports, std::map<uint16_t, uint8_t> reads, std::string& log)
        : ports_(std::move(ports)), reads_(std::move(reads)), log_(log) {}
    bool owns(uint16_t port) const override
    {
        for (uint16_t p : ports_)
            if (p == port) return true;
        return false;
    }
    uint32_t in(uint16_t port, unsigned) override { return reads_[port]; }
    void out(uint16_t port, uint32_t value, unsigned) override
    {
        char text[24];
        std::snprintf(text, sizeof text, "%X<-%02X ", port, value);
        log_ += text;
    }

private:
    std::vector<uint16_t> ports_;
    std::map<uint16_t, uint8_t> reads_;
    std::string& log_;
};

// A Super I/O configuration space: the data port reads the selected register.
class SuperIo final : public sim::PortDevice {
public:
    SuperIo(std::map<uint8_t, uint8_t> registers, std::string& log) : registers_(std::move(registers)), log_(log) {}
    bool owns(uint16_t port) const override { return port == 0x2E || port == 0x2F; }
    uint32_t in(uint16_t port, unsigned) override { return port == 0x2F ? registers_[index_] : 0xFF; }
    void out(uint16_t port, uint32_t value, unsigned) override
    {
        if (port == 0x2E) index_ = static_cast<uint8_t>(value);
        char text[24];
        std::snprintf(text, sizeof text, "%X<-%02X ", port, value);
        log_ += text;
    }

private:
    std::map<uint8_t, uint8_t> registers_;
    uint8_t index_ = 0;
    std::string& log_;
};

class Reset : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        session().machine().io_privilege_level = 3;
        params.assign(2, ParameterSection{});
        set_text(params[0].szKeyName, "SWITCH1A");
        params[0].BitMask = 0x10;
        set_text(params[1].szKeyName, "SWITCH1C");
        params[1].BitMask = 0x40;
        set_text(item.Name, "Chassis Intrusion");
        item.Cat = SWITCH;
        item.BusType = 0;
        item.Activate = 1;
        set_text(item.ParaIndex1, "SWITCH1A");
        set_text(item.ParaIndex2, "SWITCH1C");
    }
    int reset()
    {
        const LoadedProfile profile{&system, std::span<ItemSection>(&item, 1), params};
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int result = reset_Intrusion(profile, item);
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        return result;
    }
    void add(std::unique_ptr<sim::PortDevice> device) { session().machine().add_port_device(std::move(device)); }
    double seconds() { return session().clock().elapsed_s(); }

    SystemSection system;
    ItemSection item;
    std::vector<ParameterSection> params;
    std::string out, err, ports;
};

struct RefusalCase {
    const char* what;
    int32_t cat;
    const char* clear_name;
    int32_t mask;
    std::string message;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }
};

class Refusal : public Reset, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusal, TouchesNoChip)
{
    item.Cat = GetParam().cat;
    set_text(item.ParaIndex2, GetParam().clear_name);
    params[1].BitMask = GetParam().mask;
    EXPECT_EQ(reset(), -1);
    EXPECT_EQ(err, GetParam().message);
    EXPECT_EQ(out, "");
    EXPECT_EQ(session().trace().count(sim::Access::Port), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Items, Refusal,
    ::testing::Values(
        RefusalCase{"no_clear_parameter", SWITCH, "SWITCH9C", 0x40, "Error: \"Chassis Intrusion\" is not defined.\n"},
        RefusalCase{"empty_clear_name", SWITCH, "", 0x40, "Error: \"Chassis Intrusion\" is not defined.\n"},
        RefusalCase{"voltage_item", VOLTAGE, "switch1c", 0x40,
                    "Warning: To reset \"Chassis Intrusion\" is not allowed.\n"},
        RefusalCase{"mask_zero", SWITCH, "SWITCH1C", 0, "Warning: To reset \"Chassis Intrusion\" is not allowed.\n"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Reset, UnsupportedChipWarnsAndFails)
{
    item.ChipCode = 3;
    EXPECT_NE(reset(), 0);
    EXPECT_EQ(err, "Warning: Non-supported chipset \"Chassis Intrusion\".\n");
    EXPECT_EQ(out, "Failed.\n");
}

TEST_F(Reset, AcpiDeviceClearWaitsASecondBeforeAndAfterTheClearBit)
{
    add(std::make_unique<SuperIo>(std::map<uint8_t, uint8_t>{{0xE6, 0x51}}, ports));
    item.ChipCode = 12;
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    EXPECT_EQ(ports, "2E<-87 2E<-87 2E<-07 2F<-0A 2E<-E6 2E<-E6 2F<-71 2E<-E6 2F<-11 2E<-AA ")
        << "bit 5 for ChipCode 12, then the value first read with bit 6 cleared";
    EXPECT_DOUBLE_EQ(seconds(), 2.0);
}

struct DeviceIdCase {
    uint8_t high, low;
    std::string ports;
    double seconds;
};

class DeviceId : public Reset, public ::testing::WithParamInterface<DeviceIdCase> {};

TEST_P(DeviceId, ChoosesTheAcpiClearOnlyFor5241)
{
    add(std::make_unique<SuperIo>(std::map<uint8_t, uint8_t>{{0x20, GetParam().high}, {0x21, GetParam().low},
                                                             {0xE6, 0x00}},
                                  ports));
    item.ChipCode = 1;
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    EXPECT_EQ(ports, GetParam().ports);
    EXPECT_DOUBLE_EQ(seconds(), GetParam().seconds);
}

const std::string kIdRead = "2E<-87 2E<-87 2E<-07 2F<-00 2E<-20 2E<-21 2E<-AA ";

INSTANTIATE_TEST_SUITE_P(
    Chips, DeviceId,
    ::testing::Values(
        DeviceIdCase{0x52, 0x41, kIdRead + "2E<-87 2E<-87 2E<-07 2F<-0A 2E<-E6 2E<-E6 2F<-40 2E<-E6 2F<-00 2E<-AA ", 2.0},
        // Another Super I/O: the set-bit clear, which on a bus type of 0 has nothing to do.
        DeviceIdCase{0x52, 0x17, kIdRead, 0.0}));

TEST_F(Reset, Ns87427SetsTheMaskInItsOwnStatusPortAndReadsBack)
{
    add(std::make_unique<RecordingPorts>(std::vector<uint16_t>{0x80C, 0x80F, 0x90C},
                                         std::map<uint16_t, uint8_t>{{0x80C, 0x10}, {0x90C, 0x01}}, ports));
    item.ChipCode = 8;
    item.Slave = 3;
    item.Offset = 0x800;
    params[1].Offset = 0x900;
    params[1].BitMask = 0x102;  // only the low byte is the mask
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    EXPECT_EQ(ports.substr(ports.find("90C")), "90C<-03 80F<-03 ") << "clear, then the status read-back";
}

}  // namespace
}  // namespace qv::test
