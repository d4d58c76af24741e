// Start-up on boards of other makers, without a product name, and without I2C device
// files, run as a user runs the program.
#include "e2e/run.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct BoardRun {
    TempRoot root;
    TempRoot boards;

    RunResult start(const std::string& board)
    {
        boards.write("board.json", board);
        return run_sim({"--root", root.str(), "--board", (boards.path() / "board.json").string(), "--fast", "--", "-t"});
    }
};

// Another maker, no identity at all, an empty product name from either DMI source.
TEST(FirstStart, StopsBeforeGeneratingAProfile)
{
    const std::string other = "Warn: This is not Tallowmere's motherboard!\n";
    const std::string nameless = "Warn: There is no Product name!\n";
    const struct {
        const char* board;
        const std::string& message;
    } cases[] = {
        {R"({"identity": {"vendor": "Acme", "product": "X1", "version": "1.0"}})", other},
        {R"({"dmi": {"dmidecode": false}})", other},
        {R"({"identity": {"vendor": "TALLOWMERE", "product": "", "version": "1.0"}})", nameless},
        {R"({"identity": {"vendor": "Tallowmere", "product": "", "version": "1.0"}, "dmi": {"entry_point": false}})",
         nameless},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.board);
        BoardRun run;
        const RunResult r = run.start(c.board);
        EXPECT_EQ(r.out, banner());
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.status, 255);
        EXPECT_FALSE(run.root.exists("etc/Quorvel.ini"));
    }
}

constexpr const char* kIsaProfile =
    "[System]\nBUSTYPE=02\nINDEXREG=295\nDATAREG=296\n[Item]\nITEM_NAME=CPU Fan\nITEM_CAT=FAN\nBUSTYPE=02\n";

TEST(ExistingProfile, RunsOnABoardOfAnotherVendor)
{
    BoardRun run;
    run.root.write("etc/Quorvel.ini", kIsaProfile);
    const RunResult r = run.start(R"({"identity": {"vendor": "Acme", "product": "X1", "version": "1.0"}})");
    EXPECT_THAT(r.err, Not(HasSubstr("Warn:")));
    EXPECT_EQ(r.status, 0);
}

TEST(ExistingProfile, SmbusProfileWithoutI2cDeviceFilesEndsWith255)
{
    BoardRun run;
    const std::string profile = "[System]\nBUSTYPE=01\n[Item]\nITEM_NAME=CPU Fan\nITEM_CAT=FAN\nBUSTYPE=01\n";
    run.root.write("etc/Quorvel.ini", profile);
    const RunResult r = run.start(R"({"identity": {"vendor": "TALLOWMERE", "product": "SK5BN", "version": "2.0"},
                                      "smbus_controllers": [{"device": 31, "function": 3, "vendor": "0x8086",
                                                             "device_id": "0x27DA", "base": "0x1100"}],
                                      "i2c": {"nodes": false,
                                              "adapters": [{"bus": 0, "name": "SMBus I801 adapter at 1100"}]}})");
    EXPECT_EQ(r.out, banner());
    EXPECT_EQ(r.err, "Error: no i2c device files found. Please use mkdev.sh to create them.\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(run.root.read("etc/Quorvel.ini"), profile) << "a profile that was not generated in this run stays";
}

TEST(DemoBoard, IsATallowmereBoardWithItsSmbusAdapter)
{
    BoardRun run;
    run.root.write("etc/Quorvel.ini", "[System]\nBUSTYPE=01\n[Item]\nITEM_NAME=x\nITEM_CAT=FAN\nBUSTYPE=01\n");
    const RunResult r = run_sim({"--root", run.root.str(), "--fast", "--", "-t"});
    EXPECT_THAT(r.err, Not(HasSubstr("Error: no i2c")));
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(run.root.read("sys/class/i2c-dev/i2c-0/name"), "SMBus I801 adapter at 1100\n");
}

}  // namespace
}  // namespace qv::test
