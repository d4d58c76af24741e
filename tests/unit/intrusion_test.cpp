// Chassis-intrusion reset on simulated chips: the refusals, the register writes of each
// clear method over the SMBus, the ISA ports, the Super I/O, the NS87427's own block
// and the BMC, the read-back, and latches that are not set.
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/state.h"
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

// A board with the host SMBus and a monitor behind 0x295/0x296 (plus what a test adds),
// and a profile of one "Chassis Intrusion" item.
class Reset : public HwTest {
protected:
    void start(const std::string& item, const std::string& status, const std::string& clear,
               sim::json slaves = sim::json::array(), sim::json more = sim::json::object())
    {
        sim::json board = {
            {"smbus_controllers",
             {{{"bus", 0}, {"device", 31}, {"function", 3}, {"vendor", "0x8086"}, {"device_id", "0x27DA"},
               {"base", "0x1100"}}}},
            {"i2c", {{"adapters", {{{"bus", 0}, {"name", "SMBus I801 adapter at 1100"}, {"slaves", slaves}}}}}}};
        board.update(more);
        boot_board(board);
        hw_state().i2c_bus_list = {{"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}};
        hw_state().SMB_BASE_IO_ADDR = 0x1100;
        ASSERT_EQ(request_iopl(3), 0);
        write("/etc/Quorvel.ini", "[System]\nBUSTYPE=03\nINDEXREG=295\nDATAREG=296\n\n[Item]\nITEM_NAME=Chassis "
                                  "Intrusion\nACTIVATE=1\nPARAINDEX1=SWITCH1A\nPARAINDEX2=SWITCH1C\n" +
                                      item + "\n[Parameter]\nPARAMETER=SWITCH1A\n" + status +
                                      "\n[Parameter]\nPARAMETER=SWITCH1C\n" + clear + "\n");
        ASSERT_EQ(loadQuorvelINI_and_getItemCount(store), 1);
        profile = store.view();
        clear_trace();
    }
    int reset()
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int result = reset_Intrusion(profile, profile.items[0]);
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        return result;
    }
    std::vector<std::string> lines_with(const char* kind, const std::string& part)
    {
        std::vector<std::string> found;
        for (const std::string& line : trace(kind))
            if (line.find(part) != std::string::npos) found.push_back(line);
        return found;
    }

    ProfileStore store;
    LoadedProfile profile;
    std::string out, err;
};

const std::string kSwitch = "ITEM_CAT=SWITCH\n";
const std::string kSmbusItem = kSwitch + "BUSTYPE=01\nSLAVE=2C\nOFFSET=23\n";
const std::string kStatus = "SLAVE=2C\nOFFSET=23\nBITMASK=40";
const std::string kReadBack = "i2c-0 0x2C read  0x23 -> 0x40";

sim::json chip_2c(const sim::json& registers)
{
    return sim::json::array({{{"address", "0x2C"}, {"registers", registers}}});
}

TEST_F(Reset, RefusalsTouchNoChip)
{
    const std::string undefined = "Error: \"Chassis Intrusion\" is not defined.\n";
    const std::string not_allowed = "Warning: To reset \"Chassis Intrusion\" is not allowed.\n";
    const std::string clear = "SLAVE=2C\nOFFSET=00\nBITMASK=40";
    const struct { const char* what; std::string item, clear, message; } cases[] = {
        {"no clear parameter", kSmbusItem + "CHIPCODE=0D\nPARAINDEX2=SWITCH9C\n", clear, undefined},
        {"empty clear name", kSmbusItem + "CHIPCODE=0D\nPARAINDEX2=\n", clear, undefined},
        {"voltage item", "ITEM_CAT=VOLTAGE\nBUSTYPE=01\nCHIPCODE=0D\nPARAINDEX2=switch1c\n", clear, not_allowed},
        {"mask zero", kSmbusItem + "CHIPCODE=0D\n", "SLAVE=2C\nOFFSET=00\nBITMASK=0", not_allowed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start(c.item, kStatus, c.clear);
        EXPECT_EQ(reset(), -1);
        EXPECT_EQ(err, c.message);
        EXPECT_EQ(out, "");
        EXPECT_TRUE(session().trace().lines().empty());
    }
}

TEST_F(Reset, SmbusClearWritesTheClearRegisterAndReadsTheStatusBack)
{
    const struct {
        const char* what;
        std::string item, status, clear;
        sim::json registers;
        std::vector<std::string> tail;  // the clear and the read-back, after the reading
    } cases[] = {
        {"pulse", kSmbusItem + "CHIPCODE=0D\n", kStatus, "SLAVE=2C\nOFFSET=00\nBITMASK=40",
         {{"0x23", "0x40"}, {"0x00", "0x05"}},
         {"i2c-0 0x2C read  0x00 -> 0x05", "i2c-0 0x2C write 0x00 <- 0x45", "i2c-0 0x2C write 0x00 <- 0x05", kReadBack,
          kReadBack}},
        {"set bit", kSmbusItem + "CHIPCODE=00\n", kStatus, "SLAVE=2C\nOFFSET=46\nBITMASK=80",
         {{"0x23", "0x40"}, {"0x46", "0x01"}},
         {"i2c-0 0x2C read  0x46 -> 0x01", "i2c-0 0x2C write 0x46 <- 0x81", kReadBack, kReadBack}},
        // The chip's own status register 0xCA tells the latch; 0xD4 bit 7 clears it.
        {"NCT7904D without a BMC", kSmbusItem + "CHIPCODE=1E\n", "SLAVE=2C\nOFFSET=CA\nBITMASK=40",
         "SLAVE=2C\nOFFSET=00\nBITMASK=01", {{"0x23", "0x40"}, {"0xCA", "0x40"}, {"0xD4", "0x02"}},
         {"i2c-0 0x2C write 0xFF <- 0x00", "i2c-0 0x2C read  0xD4 -> 0x02", "i2c-0 0x2C write 0xD4 <- 0x82",
          "i2c-0 0x2C read  0xCA -> 0x40", "i2c-0 0x2C read  0xCA -> 0x40", kReadBack, kReadBack}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start(c.item, c.status, c.clear, chip_2c(c.registers));
        EXPECT_EQ(reset(), 0);
        EXPECT_EQ(out, "Done.\n");
        const auto lines = trace("smbus");
        ASSERT_GE(lines.size(), c.tail.size());
        EXPECT_THAT(std::vector<std::string>(lines.end() - static_cast<long>(c.tail.size()), lines.end()),
                    ElementsAreArray(c.tail));
    }
}

TEST_F(Reset, W83793GMovesTheItemToTheBmcBusForTheRestOfTheRun)
{
    start(kSmbusItem + "CHIPCODE=11\n", kStatus, "SLAVE=2C\nOFFSET=4C\nBITMASK=80",
          chip_2c({{"0x23", "0x40"}, {"0x4C", "0x00"}}));
    EXPECT_EQ(reset(), 0);
    EXPECT_THAT(lines_with("smbus", " write "), ElementsAreArray({"i2c-0 0x2C write 0x4C <- 0x80"}));
    EXPECT_EQ(profile.items[0].BusType, 0x08);
}

TEST_F(Reset, LatchThatIsNotSetIsOnlyReadBack)
{
    start(kSmbusItem + "CHIPCODE=0D\n", kStatus, "SLAVE=2C\nOFFSET=00\nBITMASK=40",
          chip_2c({{"0x23", "0x00"}, {"0x00", "0x05"}}));
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    EXPECT_TRUE(lines_with("smbus", " write ").empty());
}

TEST_F(Reset, ChipThatDoesNotAnswerIsStillTriedAndFails)
{
    start(kSmbusItem + "CHIPCODE=0D\n", kStatus, "SLAVE=2C\nOFFSET=00\nBITMASK=40",
          {{{"address", "0x2C"}, {"answers", false}}});
    EXPECT_NE(reset(), 0);
    EXPECT_EQ(out, "Failed.\n");
    EXPECT_EQ(lines_with("smbus", " write ").size(), 2u) << "the clear is tried although the status was not read";
}

TEST_F(Reset, PulseOnTheIsaPortsSetsThenClearsTheBit)
{
    start(kSwitch + "BUSTYPE=02\nSLAVE=00\nOFFSET=42\nCHIPCODE=1C\n", "SLAVE=00\nOFFSET=42\nBITMASK=10",
          "SLAVE=00\nOFFSET=46\nBITMASK=80", sim::json::array(),
          {{"hw_monitors", {{{"index", "0x295"}, {"data", "0x296"}, {"banks", {{"0", {{"0x42", "0x10"}, {"0x46", "0x01"}}}}}}}}});
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    const auto data = lines_with("port", "outb 0x0296");
    const auto set = std::find(data.begin(), data.end(), "outb 0x0296 <- 0x81");
    ASSERT_NE(set, data.end()) << "the bit is set";
    EXPECT_NE(std::find(set, data.end(), "outb 0x0296 <- 0x01"), data.end()) << "and cleared after";
}

std::vector<std::string> acpi_clear(const char* set, std::vector<std::string> before = {})
{
    for (const char* line : {"outb 0x002E <- 0x87", "outb 0x002E <- 0x87", "outb 0x002E <- 0x07", "outb 0x002F <- 0x0A",
                             "outb 0x002E <- 0xE6", "outb 0x002E <- 0xE6"})
        before.emplace_back(line);
    before.push_back(std::string("outb 0x002F <- ") + set);
    for (const char* line : {"outb 0x002E <- 0xE6", "outb 0x002F <- 0x11", "outb 0x002E <- 0xAA"})
        before.emplace_back(line);
    return before;
}

TEST_F(Reset, SuperIoClearGoesThroughTheAcpiDeviceWithASecondBeforeAndAfterTheClearBit)
{
    const std::vector<std::string> read_id{"outb 0x002E <- 0x87", "outb 0x002E <- 0x87", "outb 0x002E <- 0x07",
                                           "outb 0x002F <- 0x00", "outb 0x002E <- 0x20", "outb 0x002E <- 0x21",
                                           "outb 0x002E <- 0xAA"};
    // writes: to the configuration ports.
    const struct { const char *chip, *device_id; std::vector<std::string> writes; double seconds; } cases[] = {
        {"0C", "0x8863", acpi_clear("0x71"), 2.0},
        {"0A", "0x8863", acpi_clear("0x51"), 2.0},
        {"01", "0x5241", acpi_clear("0x51", read_id), 2.0},
        // Another Super I/O: the set-bit clear, which on bus type 0 has nothing to do.
        {"01", "0x5217", read_id, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chip) + " on " + c.device_id);
        start(kSwitch + "BUSTYPE=00\nCHIPCODE=" + c.chip + "\n", kStatus, "SLAVE=2C\nOFFSET=46\nBITMASK=80",
              sim::json::array(),
              {{"super_io", {{"device_id", c.device_id}, {"logical_devices", {{"10", {{"0xE6", "0x51"}}}}}}}});
        EXPECT_EQ(reset(), 0);
        EXPECT_EQ(out, "Done.\n");
        EXPECT_THAT(lines_with("port", "outb 0x002"), ElementsAreArray(c.writes));
        EXPECT_DOUBLE_EQ(session().clock().elapsed_s(), c.seconds);
    }
}

TEST_F(Reset, Ns87427SetsTheMaskInItsOwnStatusPortAndReadsBack)
{
    start(kSwitch + "BUSTYPE=02\nCHIPCODE=08\nSLAVE=03\nOFFSET=0A00\n", "SLAVE=03\nOFFSET=0A00\nBITMASK=01",
          "SLAVE=03\nOFFSET=0A00\nBITMASK=102", sim::json::array(),
          {{"io_block_chips", {{{"base", "0x0A00"}, {"switch", "0x01"}}}}});
    EXPECT_EQ(reset(), 0);
    EXPECT_EQ(out, "Done.\n");
    EXPECT_THAT(lines_with("port", "outb 0x0A0"), ElementsAreArray({"outb 0x0A0C <- 0x03", "outb 0x0A0F <- 0x03"}))
        << "only the low byte of the mask; then the read-back selects the item's bank";
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
