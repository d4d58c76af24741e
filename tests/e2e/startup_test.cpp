// The command line and the start-up checks, run as a user runs them: a user other than
// root, a broken profile, boards of other makers or without a product name, an SMBus
// profile without I2C device files, a profile or database that is not a regular file.
#include "e2e/run.h"

#include <sys/stat.h>

#include <gmock/gmock.h>

namespace qv::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TEST(CommandLine, PrintsBannerAndThenVersionOrUsageAndEndsWithZero)
{
    const std::string p = QUORVEL_SIM;
    const std::string usage = "Usage:\n" + p + "                         -> full function\n" + p +
                              " -t                      -> text mode, running only once\n" + p +
                              " -t -i 5                 -> text mode, running every 5 seconds\n" + p +
                              " -r \"Chassis Intrusion\"  -> reset the chassis intrusion\n" + p +
                              " -h                      -> showing this page\n" + p +
                              " -v                      -> showing version information\n\n";
    const std::string version = p + " version 2.87(120421)\n";
    const struct { std::vector<std::string> args; const std::string& tail; } cases[] = {
        {{"-h"}, usage},
        {{"-v"}, version},
        {{"-t", "-v"}, version},     // -v ends the parse before any report
        {{"-text", "-v"}, version},  // only the second character counts
        {{"-x", "-v"}, usage},       // the parse stops at the bad option
        {{"-t", "-i", "0"}, usage},  // an interval must be above 0
        {{"-t", "-i", "x"}, usage},  // and a number
        {{"-t", "-i"}, usage},       // and there
        {{"-r"}, usage},             // a reset needs a name
        {{"report"}, usage},         // arguments begin with "-"
        {{"-"}, usage},
        {{"-M", "-h"}, usage},  // -M is accepted and ignored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
        const RunResult r = run({}, c.args);
        EXPECT_EQ(r.out, banner() + c.tail);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.status, 0);
    }
}

// Each refusal comes after the banner and ends the start with 255; a profile the start
// did not generate stays as it was, and none is generated.
TEST(StartUp, RefusesWithItsMessageAndStatus255)
{
    const std::string broken = "Error: something wrong in file Quorvel.ini.\n";
    const std::string other = "Warn: This is not Tallowmere's motherboard!\n";
    const std::string nameless = "Warn: There is no Product name!\n";
    const std::string smbus_profile = "[System]\nBUSTYPE=01\n[Item]\nITEM_NAME=CPU Fan\nITEM_CAT=FAN\nBUSTYPE=01\n";
    const struct {
        std::string board;  // "": the built-in demo board
        const char* profile;  // nullptr: none, a first start
        std::string out, err;
        std::vector<std::string> more = {};
    } cases[] = {
        {"", nullptr, "Error: Can only be run as root.\n", "", {"--uid", "1000"}},
        // CR LF line ends, no item block, nothing at all.
        {"", "[System]\r\nBUSTYPE=02\r\n[Item]\r\nITEM_NAME=CPU Fan\r\nITEM_CAT=FAN\r\n", "", broken},
        {"", "[System]\nBUSTYPE=02\n[Parameter]\nPARAMETER=VOL1H\n", "", broken},
        {"", "", "", broken},
        // Another maker, no identity at all, an empty product name from either DMI source.
        {R"({"identity": {"vendor": "Acme", "product": "X1", "version": "1.0"}})", nullptr, "", other},
        {R"({"dmi": {"dmidecode": false}})", nullptr, "", other},
        {R"({"identity": {"vendor": "TALLOWMERE", "product": "", "version": "1.0"}})", nullptr, "", nameless},
        {R"({"identity": {"vendor": "Tallowmere", "product": "", "version": "1.0"}, "dmi": {"entry_point": false}})",
         nullptr, "", nameless},
        // An SMBus profile without I2C device files.
        {R"({"identity": {"vendor": "TALLOWMERE", "product": "SK5BN", "version": "2.0"},
             "smbus_controllers": [{"device": 31, "function": 3, "vendor": "0x8086", "device_id": "0x27DA",
                                    "base": "0x1100"}],
             "i2c": {"nodes": false, "adapters": [{"bus": 0, "name": "SMBus I801 adapter at 1100"}]}})",
         smbus_profile.c_str(), "", "Error: no i2c device files found. Please use mkdev.sh to create them.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err + (c.profile ? c.profile : "(first start)"));
        TempRoot root;
        if (c.profile != nullptr) root.write("root/etc/Quorvel.ini", c.profile);
        const std::string board = c.board.empty() ? "" : root.write("board.json", c.board);
        const RunResult r = run({.board = board, .root = root.str() + "/root", .more = c.more}, {"-t"});
        EXPECT_EQ(r.out, banner() + c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(root.exists("root/etc/Quorvel.ini"), c.profile != nullptr);
        EXPECT_EQ(root.read("root/etc/Quorvel.ini"), c.profile ? c.profile : "");
    }
}

TEST(StartUp, AnExistingProfileRunsOnABoardOfAnotherMaker)
{
    TempRoot root;
    root.write("etc/Quorvel.ini", "[System]\nBUSTYPE=02\nINDEXREG=295\nDATAREG=296\n"
                                  "[Item]\nITEM_NAME=CPU Fan\nITEM_CAT=FAN\nBUSTYPE=02\n");
    const std::string board =
        root.write("board.json", R"({"identity": {"vendor": "Acme", "product": "X1", "version": "1.0"}})");
    const RunResult r = run({.board = board, .root = root.str()}, {"-t"});
    EXPECT_EQ(r.err.find("Warn:"), std::string::npos) << r.err;
    EXPECT_EQ(r.status, 0);
}

// A FIFO or a link to an endless device is refused at once instead of hanging the start;
// the limit is long enough for a slow machine, and a run killed at it ends with -1.
RunResult run_text(const TempRoot& root) { return run({.root = root.str()}, {"-t"}, 10s); }

TEST(ProfileNotAFile, IsRefusedAtOnceWithTheLoadersError)
{
    for (const std::string kind : {"fifo", "link to an endless device", "folder"}) {
        SCOPED_TRACE(kind);
        TempRoot root;
        fs::create_directories(root.path() / "etc");
        const fs::path at = root.path() / "etc/Quorvel.ini";
        if (kind == "fifo") ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0);
        else if (kind.starts_with("link")) fs::create_symlink("/dev/zero", at);
        else fs::create_directory(at);
        const RunResult r = run_text(root);
        EXPECT_EQ(r.status, 255);
        EXPECT_THAT(r.out, HasSubstr("Error: the ini file is not found!\n"));
        EXPECT_EQ(r.err, "Error: something wrong in file Quorvel.ini.\n");
    }
}

TEST(ProfileLink, ToARegularFileIsReadThroughTheLink)
{
    TempRoot root;
    ASSERT_EQ(run_text(root).status, 0);
    const fs::path etc = root.path() / "etc";
    fs::rename(etc / "Quorvel.ini", etc / "Board.ini");
    fs::create_symlink(etc / "Board.ini", etc / "Quorvel.ini");
    const RunResult r = run_text(root);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(r.out, HasSubstr("Monitored Item"));
    EXPECT_TRUE(fs::is_symlink(etc / "Quorvel.ini")) << "a second start leaves the profile alone";
}

TEST(DatabaseNotAFile, FifoDatabasesOnAFirstStartAreRefusedAsMissingOnes)
{
    TempRoot root;
    const fs::path etc = root.path() / "etc";
    fs::create_directories(etc);
    for (const char* name : {"AllQuorvel.ini", "OldRevMB.ini", "OldRevMB_2.ini", "OldRevMB_3.ini"})
        ASSERT_EQ(::mkfifo((etc / name).c_str(), 0600), 0) << name;
    const RunResult r = run_text(root);
    EXPECT_EQ(r.status, 255);
    EXPECT_THAT(r.err, HasSubstr("Error: Cannot find the file '/etc/"));
    EXPECT_THAT(r.err, HasSubstr("Error: Cannot create the initial file for Quorvel!\n"));
    EXPECT_FALSE(fs::exists(etc / "Quorvel.ini"));
}

}  // namespace
}  // namespace qv::test
