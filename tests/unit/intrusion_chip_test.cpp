// Chassis-intrusion clears on the chips themselves: the register writes of each method
// over the SMBus and the ISA ports, the read-back, and latches that are not set.
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "profile/loader.h"
#include "sensors/intrusion.h"
#include "support/bmc_fixture.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qv::test {
namespace {

using ::testing::ElementsAreArray;

// A board with the host SMBus and a monitor behind 0x295/0x296, and a profile of one
// "Chassis Intrusion" switch.
class ChipReset : public HwTest {
protected:
    void start(const std::string& item, const std::string& status, const std::string& clear, sim::json slaves,
               sim::json isa_banks = sim::json::object())
    {
        sim::json board = {
            {"smbus_controllers",
             {{{"bus", 0}, {"device", 31}, {"function", 3}, {"vendor", "0x8086"}, {"device_id", "0x27DA"},
               {"base", "0x1100"}}}},
            {"i2c", {{"adapters", {{{"bus", 0}, {"name", "SMBus I801 adapter at 1100"}, {"slaves", slaves}}}}}},
            {"hw_monitors", {{{"index", "0x295"}, {"data", "0x296"}, {"banks", isa_banks}}}}};
        boot_board(board);
        i2c_bus_list = {{"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}};
        SMB_BASE_IO_ADDR = 0x1100;
        ASSERT_EQ(request_iopl(3), 0);
        write("/etc/Quorvel.ini", "[System]\nBUSTYPE=03\nINDEXREG=295\nDATAREG=296\n\n[Item]\nITEM_NAME=Chassis "
                                  "Intrusion\nITEM_CAT=SWITCH\nACTIVATE=1\nPARAINDEX1=SWITCH1A\nPARAINDEX2=SWITCH1C\n" +
                                      item + "\n[Parameter]\nPARAMETER=SWITCH1A\n" + status +
                                      "\n[Parameter]\nPARAMETER=SWITCH1C\n" + clear + "\n");
        ASSERT_EQ(loadQuorvelINI_and_getItemCount(store), 1);
        profile = store.view();
        clear_trace();
    }
    int reset()
    {
        testing::internal::CaptureStdout();
        const int result = reset_Intrusion(profile, profile.items[0]);
        out = testing::internal::GetCapturedStdout();
        return result;
    }
    std::vector<std::string> smbus_writes()
    {
        std::vector<std::string> writes;
        for (const std::string& line : trace("smbus"))
            if (line.find(" write ") != std::string::npos) writes.push_back(line);
        return writes;
    }

    ProfileStore store;
    LoadedProfile profile;
    std::string out;
};

struct SmbusCase {
    const char* what;
    std::string item, status, clear;
    sim::json registers;
    std::vector<std::string> tail;  // the clear and the read-back, after the reading
};

class SmbusClear : public ChipReset, public ::testing::WithParamInterface<SmbusCase> {};

TEST_P(SmbusClear, WritesTheClearRegisterAndReadsTheStatusBack)
{
    const SmbusCase& c = GetParam();
    start(c.item, c.status, c.clear, {{{"address", "0x2C"}, {"registers", c.registers}}});
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    const auto lines = trace("smbus");
    ASSERT_GE(lines.size(), c.tail.size());
    EXPECT_THAT(std::vector<std::string>(lines.end() - static_cast<long>(c.tail.size()), lines.end()),
                ElementsAreArray(c.tail));
}

const std::string kReadBack = "i2c-0 0x2C read  0x23 -> 0x40";

const std::string kSmbusItem = "BUSTYPE=01\nSLAVE=2C\nOFFSET=23\n";
const std::string kStatus = "SLAVE=2C\nOFFSET=23\nBITMASK=40";

INSTANTIATE_TEST_SUITE_P(
    Methods, SmbusClear,
    ::testing::Values(
        SmbusCase{"pulse", kSmbusItem + "CHIPCODE=0D\n", kStatus, "SLAVE=2C\nOFFSET=00\nBITMASK=40",
                  {{"0x23", "0x40"}, {"0x00", "0x05"}},
                  {"i2c-0 0x2C read  0x00 -> 0x05", "i2c-0 0x2C write 0x00 <- 0x45", "i2c-0 0x2C write 0x00 <- 0x05",
                   kReadBack, kReadBack}},
        SmbusCase{"set_bit", kSmbusItem + "CHIPCODE=00\n", kStatus, "SLAVE=2C\nOFFSET=46\nBITMASK=80",
                  {{"0x23", "0x40"}, {"0x46", "0x01"}},
                  {"i2c-0 0x2C read  0x46 -> 0x01", "i2c-0 0x2C write 0x46 <- 0x81", kReadBack, kReadBack}},
        // The chip's own status register 0xCA tells the latch; 0xD4 bit 7 clears it.
        SmbusCase{"nct7904d_without_bmc", kSmbusItem + "CHIPCODE=1E\n", "SLAVE=2C\nOFFSET=CA\nBITMASK=40",
                  "SLAVE=2C\nOFFSET=00\nBITMASK=01", {{"0x23", "0x40"}, {"0xCA", "0x40"}, {"0xD4", "0x02"}},
                  {"i2c-0 0x2C write 0xFF <- 0x00", "i2c-0 0x2C read  0xD4 -> 0x02", "i2c-0 0x2C write 0xD4 <- 0x82",
                   "i2c-0 0x2C read  0xCA -> 0x40", "i2c-0 0x2C read  0xCA -> 0x40", kReadBack, kReadBack}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(ChipReset, W83793GMovesTheItemToTheBmcBusForTheRestOfTheRun)
{
    start("BUSTYPE=01\nSLAVE=2C\nOFFSET=23\nCHIPCODE=11\n", kStatus, "SLAVE=2C\nOFFSET=4C\nBITMASK=80",
          {{{"address", "0x2C"}, {"registers", {{"0x23", "0x40"}, {"0x4C", "0x00"}}}}});
    EXPECT_EQ(reset(), 0);
    EXPECT_THAT(smbus_writes(), ElementsAreArray({"i2c-0 0x2C write 0x4C <- 0x80"}));
    EXPECT_EQ(profile.items[0].BusType, 0x08);
}

TEST_F(ChipReset, LatchThatIsNotSetIsOnlyReadBack)
{
    start(kSmbusItem + "CHIPCODE=0D\n", kStatus, "SLAVE=2C\nOFFSET=00\nBITMASK=40",
          {{{"address", "0x2C"}, {"registers", {{"0x23", "0x00"}, {"0x00", "0x05"}}}}});
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    EXPECT_TRUE(smbus_writes().empty());
}

TEST_F(ChipReset, ChipThatDoesNotAnswerIsStillTriedAndFails)
{
    start(kSmbusItem + "CHIPCODE=0D\n", kStatus, "SLAVE=2C\nOFFSET=00\nBITMASK=40",
          {{{"address", "0x2C"}, {"answers", false}}});
    EXPECT_NE(reset(), 0);
    EXPECT_EQ(out, "Failed.\n");
    EXPECT_EQ(smbus_writes().size(), 2u) << "the clear is tried although the status could not be read";
}

TEST_F(ChipReset, PulseOnTheIsaPortsSetsThenClearsTheBit)
{
    start("BUSTYPE=02\nSLAVE=00\nOFFSET=42\nCHIPCODE=1C\n", "SLAVE=00\nOFFSET=42\nBITMASK=10",
          "SLAVE=00\nOFFSET=46\nBITMASK=80", sim::json::array(),
          {{"0", {{"0x42", "0x10"}, {"0x46", "0x01"}}}});
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    std::vector<std::string> data_writes;
    for (const std::string& line : trace("port"))
        if (line.starts_with("outb 0x0296")) data_writes.push_back(line.substr(12));
    const auto set = std::find(data_writes.begin(), data_writes.end(), "<- 0x81");
    ASSERT_NE(set, data_writes.end()) << "the bit is set";
    EXPECT_NE(std::find(set, data_writes.end(), "<- 0x01"), data_writes.end()) << "and cleared after";
}

class BmcReset : public BmcTest {};

TEST_F(BmcReset, Nct7904dBehindTheBmcIsClearedWithTheOemCommands)
{
    detect({{"openipmi", "/dev/ipmi0"},
            {"buses", {{"2", {{"0x2D", {{"banks", {{"0", {{"0xD4", "0x02"}, {"0xCA", "0x80"}}}}}}}}}}}});
    reset_hw_state();
    write("/etc/Quorvel.ini",
          "[System]\nBUSTYPE=09\n\n[Item]\nITEM_NAME=Chassis Intrusion\nITEM_CAT=SWITCH\nBUSTYPE=09\nCHIPCODE=1E\n"
          "SLAVE=2D\nOFFSET=CA\nACTIVATE=1\nPARAINDEX1=SWITCH1A\nPARAINDEX2=SWITCH1C\n\n"
          "[Parameter]\nPARAMETER=SWITCH1A\nSLAVE=2D\nOFFSET=CA\nBITMASK=80\n\n"
          "[Parameter]\nPARAMETER=SWITCH1C\nSLAVE=2D\nOFFSET=D4\nBITMASK=80\n");
    ProfileStore store;
    ASSERT_EQ(loadQuorvelINI_and_getItemCount(store), 1);
    const LoadedProfile profile = store.view();
    bmc().clear_log();
    testing::internal::CaptureStdout();
    EXPECT_EQ(reset_Intrusion(profile, profile.items[0]), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Done.\n");
    // After the reading: 0xD4 read and written with bit 7, 0xCA read twice, then the
    // status read back over the BMC's master write-read.
    const auto names = request_names();
    ASSERT_GE(names.size(), 6u);
    EXPECT_THAT(std::vector<std::string>(names.end() - 6, names.end()),
                ElementsAreArray({"/dev/ipmi0 30:90", "/dev/ipmi0 30:91", "/dev/ipmi0 30:90", "/dev/ipmi0 30:90",
                                  "/dev/ipmi0 06:52", "/dev/ipmi0 06:52"}));
    const sim::BmcRequest& write_request = requests()[requests().size() - 5];
    ASSERT_GE(write_request.data.size(), 2u);
    EXPECT_EQ(write_request.data[write_request.data.size() - 2], 0xD4);
    EXPECT_EQ(write_request.data.back(), 0x82);
}

}  // namespace
}  // namespace qv::test
