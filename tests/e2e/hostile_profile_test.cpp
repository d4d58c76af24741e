// Profiles no database holds, on the simulated boards: long chains of switch references
// and register offsets at the ends of the 32-bit range.
#include "e2e/run.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The board's own profile, or the database block its first start copies.
std::string board_profile(const std::string& board)
{
    TempRoot root;
    run({.board = board, .root = root.str()}, {"-t"});
    return root.read("etc/Quorvel.ini");
}

// ---- switch references ----

struct ChainCase {
    const char* what;
    const char* board;  // empty: the built-in demo board
    const char* item;   // the fields that make one link a switch of that board
    friend void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.what; }
};

// Hardware accesses of a run on the board's [System] block and a chain of links, each
// referring to the next.
std::size_t run_chain(const ChainCase& c, int links, RunResult& r)
{
    const std::string profile = board_profile(c.board);
    std::string text = profile.substr(0, profile.find("[Item]"));
    for (int i = 0; i < links; ++i) {
        const std::string n = std::to_string(i);
        text += "[Item]\nITEM_NAME=Link " + n + "\nITEM_CAT=SWITCH\n" + c.item + "MONITOR=TRUE\nITEM_ID=L" + n + "\n";
        if (i + 1 < links) text += "REF_ITEM_ID=L" + std::to_string(i + 1) + "\n";
        text += "PARAINDEX1=SW1\nPARAINDEX2=SW2\n\n";
    }
    TempRoot root;
    root.write("etc/Quorvel.ini", text + "[Parameter]\nPARAMETER=SW1\nSLAVE=0\nOFFSET=0\nBITMASK=1\n\n"
                                         "[Parameter]\nPARAMETER=SW2\nSLAVE=0\nOFFSET=0\nBITMASK=1\n");
    r = run({.board = c.board, .root = root.str(), .trace = root.str() + "/trace"}, {"-t"}, 30s);
    return lines_of(root.read("trace")).size();
}

class ReferenceChain : public ::testing::TestWithParam<ChainCase> {};

// Every link is out of its normal state, so each of its three attempts used to read the
// rest of the chain again: 30 links did not end.
TEST_P(ReferenceChain, SixtyLinksEndWithTheDepthMessageAndLinearWork)
{
    RunResult r;
    const std::size_t thirty = run_chain(GetParam(), 30, r);
    const std::size_t sixty = run_chain(GetParam(), 60, r);
    ASSERT_EQ(r.status, 0) << r.err.substr(0, 400);
    EXPECT_THAT(r.err, HasSubstr("Error: Ref_Item_ID 'L9' of 'Link 8' is more than 8 references deep.\n"));
    EXPECT_THAT(r.err, HasSubstr("Error: Ref_Item_ID 'L59' of 'Link 58' is more than 8 references deep.\n"));
    EXPECT_THAT(r.out, HasSubstr("Link 59"));
    // Twice the links, at most about twice the accesses.
    EXPECT_LE(sixty, thirty * 9 / 4) << thirty << " then " << sixty;
    EXPECT_LT(sixty, 60u * 1000u);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, ReferenceChain,
    ::testing::Values(ChainCase{"placeholders", "ka7de", "BUSTYPE=00\nCHIPCODE=1B\nACTIVATE=00\n"},
                      ChainCase{"southbridge_gpio", "ka7de", "BUSTYPE=00\nCHIPCODE=0B\nSLAVE=00\nOFFSET=7E\nACTIVATE=00\n"},
                      ChainCase{"smbus_status_register", "", "BUSTYPE=01\nCHIPCODE=1E\nSLAVE=2D\nOFFSET=CA\nACTIVATE=01\n"}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- register offsets at the ends of the range ----

class OffsetExtremes : public ::testing::TestWithParam<std::string> {};

// Every item and parameter of the board's profile at once, so each chip path meets the
// value; the run ends as it does with the board's own offsets.
TEST_P(OffsetExtremes, EveryItemAndLimitOfTheBoardRunsClean)
{
    const std::string profile = board_profile(GetParam());
    ASSERT_THAT(profile, HasSubstr("OFFSET="));
    TempRoot usual_root;
    usual_root.write("etc/Quorvel.ini", profile);
    const int usual = run({.board = GetParam(), .root = usual_root.str()}, {"-t"}).status;
    for (const std::string value : {"7FFFFFFF", "80000000", "FFFFFFFF", "7FFFFFF5", "-1", "-80000000", "-7FFFFFFF"}) {
        std::string changed;
        for (std::string line : lines_of(profile)) {
            if (line.starts_with("OFFSET=")) line = "OFFSET=" + value + (line.ends_with('\r') ? "\r" : "");
            changed += line + "\n";
        }
        TempRoot root;
        root.write("etc/Quorvel.ini", changed);
        const RunResult r = run({.board = GetParam(), .root = root.str()}, {"-t"}, 60s);
        EXPECT_EQ(r.status, usual) << value;
        for (const char* mark : {"runtime error", "Sanitizer"}) EXPECT_THAT(r.err, Not(HasSubstr(mark))) << value;
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, OffsetExtremes, ::testing::ValuesIn(board_names()),
                         [](const auto& info) { return test_name(info.param.empty() ? "builtin_demo" : info.param); });

}  // namespace
}  // namespace qv::test
