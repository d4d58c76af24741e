// First starts on fresh sandboxes: the board is identified, its database chosen, the
// profile written from the board's block, the items the machine lacks turned off and
// the report printed; a second start uses the profile as it is. Also a full or
// read-only /etc and the reset of a switch item.
#include "e2e/run.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace qv::test {
namespace {

using ::testing::StartsWith;

// The board's block of a database as a profile: from [SYSTEM] to the next board,
// without comment lines.
std::string block_of(const std::string& database, const std::string& product)
{
    std::string profile;
    bool inside = false;
    bool copying = false;
    for (const std::string& line : lines_of(source_file("data/" + database))) {
        if (line.starts_with(";;")) continue;
        if (line.starts_with("[_")) {
            if (inside) break;
            inside = line == "[_" + product + "_]";
            continue;
        }
        copying = copying || (inside && line == "[SYSTEM]");
        if (copying) profile += line + "\n";
    }
    return profile;
}

struct Disabled { const char* reason; const char* name; };

std::string availability_lines(const std::vector<Disabled>& disabled)
{
    std::string text;
    for (const Disabled& d : disabled)
        text += ">> Disable monitoring of " + std::string(d.reason) + " item: " + d.name + "\n";
    return disabled.empty() ? text : text + "\n";
}

struct BoardCase {
    const char* board;
    const char* product;
    const char* database;
    bool peci;  // the chip reads the CPUs over PECI, and the items are shown by those names
    std::vector<Disabled> disabled;
    friend void PrintTo(const BoardCase& c, std::ostream* os) { *os << c.board; }
};

const BoardCase kBoards[] = {
    // BIOS byte 0xFFA41 = 03h; the chip reads the CPUs over PECI; one socket filled.
    {"kv3mgy", "KV3MGY", "AllQuorvel.ini", true,
     {{"non-activated", "CPU2 Core Voltage"}, {"non-activated", "PECI Agent3 Temperature"},
      {"non-activated", "PECI Agent4 Temperature"}, {"non-activated", "CPU2 Fan"},
      {"non-activated", "System Fan 3"}, {"non-activated", "System Fan 4"}}},
    // BIOS byte 0xFFA41 = 06h. The CPU2 diode floats at 27 C but goes with its core rail.
    {"kv3mrb-rev-a", "KV3MRB", "OldRevMB.ini", false,
     {{"non-activated", "CPU2 Core Voltage"}, {"non-activated", "CPU2 Temperature"},
      {"non-activated", "CPU2 Fan"}, {"non-activated", "System Fan 5"},
      {"non-activated", "System Fan 6"}}},
    // GPIO 28 low; every sensor there: nothing printed, nothing rewritten.
    {"mv3qe-rev1", "MV3QE", "OldRevMB.ini", false, {}},
    // GPIO 38 high, GPIO 39 low.
    {"lgt7w-rev2", "LGT7W", "OldRevMB_2.ini", false, {{"non-activated", "System Fan 2"}}},
    // DMI version 1.1.
    {"sk5bn-1.1", "SK5BN", "OldRevMB_3.ini", false,
     {{"non-activated", "System Fan 2"}, {"non-supported", "Chassis Intrusion"}}},
    // BMC sensors without a BMC.
    {"sk5mm-oka", "SK5MM-OKA", "AllQuorvel.ini", false,
     {{"non-available", "DIMM A Temperature"}, {"non-available", "DIMM B Temperature"}}},
    // The built-in demo board, DMI version 2.0; one of its fans has stopped.
    {"demo", "SK5BN", "AllQuorvel.ini", false, {{"non-activated", "SYS FAN2"}}}};

std::string availability_lines(const std::string& board)
{
    for (const BoardCase& c : kBoards)
        if (c.board == board) return availability_lines(c.disabled);
    throw std::invalid_argument(board);
}

class BoardFirstStart : public ::testing::TestWithParam<BoardCase> {};

TEST_P(BoardFirstStart, WritesTheBoardsBlockTurnsOffWhatIsMissingAndReportsTheRest)
{
    const BoardCase& c = GetParam();
    const std::string block = block_of(c.database, c.product);
    ASSERT_FALSE(block.empty());
    TempRoot root;
    const RunResult r = run({.board = c.board, .root = root.str()}, {"-t"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    const std::string head = banner() + availability_lines(c.disabled);
    ASSERT_THAT(r.out, StartsWith(head));
    const std::string report = r.out.substr(head.size());
    EXPECT_THAT(report, StartsWith("Monitored Item"));

    // Each item is shown unless turned off, and turned off in the profile's copy of its block.
    const std::map<std::string, std::string> peci{{"CPU1 Core A Temperature", "PECI Agent1 Temperature"},
                                                  {"CPU1 Core B Temperature", "PECI Agent2 Temperature"},
                                                  {"CPU2 Core A Temperature", "PECI Agent3 Temperature"},
                                                  {"CPU2 Core B Temperature", "PECI Agent4 Temperature"}};
    std::string expected;
    std::size_t off = 0;
    bool item_off = false;
    for (const std::string& line : lines_of(block)) {
        if (line.starts_with("ITEM_NAME=")) {
            std::string name = line.substr(10);
            if (c.peci && peci.contains(name)) name = peci.at(name);
            item_off =
                std::any_of(c.disabled.begin(), c.disabled.end(), [&](const Disabled& d) { return name == d.name; });
            off += item_off;
            EXPECT_EQ(report.find("\n" + name + " ") != std::string::npos, !item_off) << name;
        }
        expected += (item_off && line.starts_with("MONITOR=") ? std::string("MONITOR=FALSE") : line) + "\n";
    }
    EXPECT_EQ(off, c.disabled.size());
    const std::string profile = root.read("etc/Quorvel.ini");
    EXPECT_EQ(profile, expected);
    EXPECT_EQ(root.read("etc/Quorvel.ini.old"), off > 0 ? block : "") << "the backup is the profile as generated";
    EXPECT_EQ(root.exists("etc/Quorvel.ini.old"), off > 0);
    EXPECT_FALSE(root.exists("etc/Quorvel.ini.new"));

    const RunResult again = run({.board = c.board, .root = root.str()}, {"-t"});
    EXPECT_EQ(mask_time(again.out), mask_time(banner() + report)) << "the second start reads the same";
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(root.read("etc/Quorvel.ini"), profile);
}

INSTANTIATE_TEST_SUITE_P(Boards, BoardFirstStart, ::testing::ValuesIn(kBoards),
                         [](const auto& info) { return test_name(info.param.board); });

// A read-only or full /etc on the first start of LGT7W: generation stops without a
// profile; a disk with room for the generated profile only ends the rewrite with 2.
TEST(FirstStartOnABadDisk, LeavesNoTemporaryAndAtMostTheGeneratedProfile)
{
    const std::string block = block_of("OldRevMB_2.ini", "LGT7W");
    const std::string failed = "Error: Cannot create the initial file for Quorvel!\n";
    const struct { json filesystem; std::string out, err; int status; } cases[] = {
        {{{"read_only", {"/etc"}}}, "",
         "Error: Cannot create the file '/etc/Quorvel.ini'.\n"
         "Error: The initial file for this motherboard is not found!\n" + failed, 255},
        {{{"free_bytes", 100}}, "", "Error: Cannot write the file '/etc/Quorvel.ini'.\n" + failed, 255},
        {{{"free_bytes", block.size() + block.size() / 2}},
         ">> Disable monitoring of non-activated item: System Fan 2\n\n", "Error: cannot close /etc/Quorvel.ini\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filesystem.dump());
        TempRoot root;
        json board = board_json("lgt7w-rev2");
        board["filesystem"] = c.filesystem;
        const RunResult r =
            run({.board = root.write("board.json", board.dump()), .root = root.str() + "/root"}, {"-t"});
        EXPECT_EQ(r.out, banner() + c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(root.read("root/etc/Quorvel.ini"), c.status == 2 ? block : "");
        EXPECT_EQ(root.exists("root/etc/Quorvel.ini"), c.status == 2);
        EXPECT_FALSE(root.exists("root/etc/Quorvel.ini.old"));
        EXPECT_FALSE(root.exists("root/etc/Quorvel.ini.new"));
    }
}

// -r after a first start, by a name no switch has, and on a chip without a clear method.
TEST(Reset, SaysWhetherTheNamedSwitchWasReset)
{
    const std::string psu =
        "[System]\nBUSTYPE=02\nINDEXREG=295\nDATAREG=296\nPOLLING=5\n\n"
        "[Item]\nITEM_NAME=Power Supply Failure\nITEM_CAT=SWITCH\nBUSTYPE=08\nCHIPCODE=1F\nSLAVE=58\n"
        "OFFSET=79\nACTIVATE=01\nMONITOR=TRUE\nPARAINDEX1=SWITCH1A\nPARAINDEX2=SWITCH1C\n\n"
        "[Parameter]\nPARAMETER=SWITCH1A\nSLAVE=58\nOFFSET=79\nBITMASK=01\n\n"
        "[Parameter]\nPARAMETER=SWITCH1C\nSLAVE=58\nOFFSET=7A\nBITMASK=01\n";
    const std::string reset = "Done.\n\"chassis intrusion\" is reset!\n\n";
    const struct {
        const char* board;  // empty: the built-in demo board
        std::string profile, name, out, err;
    } cases[] = {
        {"kv3mrb-rev-a", "", "chassis intrusion", availability_lines("kv3mrb-rev-a") + reset, ""},
        // The demo board's latch is not set.
        {"", "", "chassis intrusion", availability_lines("demo") + reset, ""},
        {"lgt7w-rev2", "", "CPU Fan", availability_lines("lgt7w-rev2"), "Warning! \"CPU Fan\" is not found.\n\n"},
        {"", psu, "power supply failure", "Failed.\n\"power supply failure\" is NOT reset!\n\n",
         "Warning: Non-supported chipset \"Power Supply Failure\".\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempRoot root;
        if (!c.profile.empty()) root.write("etc/Quorvel.ini", c.profile);
        const RunResult r = run({.board = c.board, .root = root.str()}, {"-r", c.name});
        EXPECT_EQ(r.out, banner() + c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, 0);
    }
}

}  // namespace
}  // namespace qv::test
