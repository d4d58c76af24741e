// Profiles no database holds, on the simulated boards: long chains of switch references
// and register offsets at the ends of the 32-bit range.
#include "e2e/run.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace qv::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::vector<std::string> board_args(const std::string& board, const TempRoot& root, const std::string& trace = "")
{
    std::vector<std::string> args{"--fast", "--root", root.str()};
    if (!board.empty()) args.insert(args.end(), {"--board", source_file_path("boards/" + board + ".json")});
    if (!trace.empty()) args.insert(args.end(), {"--trace", trace});
    args.insert(args.end(), {"--", "-t"});
    return args;
}

// The board's own profile, or the database block its first start copies.
std::string board_profile(const std::string& board)
{
    TempRoot root;
    run_sim(board_args(board, root));
    return root.read("etc/Quorvel.ini");
}

std::size_t lines(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

constexpr const char* kSanitizerMarks[] = {"runtime error", "Sanitizer"};

// ---- switch references ----

struct ChainCase {
    const char* what;
    const char* board;  // empty: the built-in demo board
    const char* item;   // the fields that make one link a switch of that board
    friend void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.what; }
};

std::string chain_profile(const std::string& system, const char* item, int links)
{
    std::string text = system;
    for (int i = 0; i < links; ++i) {
        text += "[Item]\nITEM_NAME=Link " + std::to_string(i) + "\nITEM_CAT=SWITCH\n" + item + "MONITOR=TRUE\nITEM_ID=L" +
                std::to_string(i) + "\n";
        if (i + 1 < links) text += "REF_ITEM_ID=L" + std::to_string(i + 1) + "\n";
        text += "PARAINDEX1=SW1\nPARAINDEX2=SW2\n\n";
    }
    return text + "[Parameter]\nPARAMETER=SW1\nSLAVE=0\nOFFSET=0\nBITMASK=1\n\n"
                  "[Parameter]\nPARAMETER=SW2\nSLAVE=0\nOFFSET=0\nBITMASK=1\n";
}

struct ChainRun {
    RunResult result;
    std::size_t accesses = 0;
};

ChainRun run_chain(const ChainCase& c, int links)
{
    const std::string profile = board_profile(c.board);
    TempRoot root;
    root.write("etc/Quorvel.ini", chain_profile(profile.substr(0, profile.find("[Item]")), c.item, links));
    ChainRun run;
    run.result = run_sim(board_args(c.board, root, root.str() + "/trace"), std::chrono::seconds(30));
    run.accesses = lines(root.read("trace"));
    return run;
}

class ReferenceChain : public ::testing::TestWithParam<ChainCase> {};

// Every link is out of its normal state, so each of its three attempts used to read the
// rest of the chain again: 30 links did not end.
TEST_P(ReferenceChain, SixtyLinksEndWithTheDepthMessageAndLinearWork)
{
    const ChainRun thirty = run_chain(GetParam(), 30);
    const ChainRun sixty = run_chain(GetParam(), 60);
    ASSERT_EQ(sixty.result.status, 0) << sixty.result.err.substr(0, 400);
    EXPECT_THAT(sixty.result.err, HasSubstr("Error: Ref_Item_ID 'L9' of 'Link 8' is more than 8 references deep.\n"));
    EXPECT_THAT(sixty.result.err, HasSubstr("Error: Ref_Item_ID 'L59' of 'Link 58' is more than 8 references deep.\n"));
    EXPECT_THAT(sixty.result.out, HasSubstr("Link 59"));
    // Twice the links, at most about twice the accesses.
    EXPECT_LE(sixty.accesses, thirty.accesses * 9 / 4) << thirty.accesses << " then " << sixty.accesses;
    EXPECT_LT(sixty.accesses, 60u * 1000u);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, ReferenceChain,
    ::testing::Values(ChainCase{"placeholders", "ka7de", "BUSTYPE=00\nCHIPCODE=1B\nACTIVATE=00\n"},
                      ChainCase{"southbridge_gpio", "ka7de", "BUSTYPE=00\nCHIPCODE=0B\nSLAVE=00\nOFFSET=7E\nACTIVATE=00\n"},
                      ChainCase{"smbus_status_register", "", "BUSTYPE=01\nCHIPCODE=1E\nSLAVE=2D\nOFFSET=CA\nACTIVATE=01\n"}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- register offsets at the ends of the range ----

std::string with_offsets(const std::string& profile, const std::string& value)
{
    std::istringstream in(profile);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("OFFSET=", 0) == 0) line = "OFFSET=" + value + (line.ends_with('\r') ? "\r" : "");
        out += line + "\n";
    }
    return out;
}

std::vector<std::string> boards()
{
    std::vector<std::string> names{""};
    for (const auto& entry : std::filesystem::directory_iterator(source_file_path("boards")))
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class OffsetExtremes : public ::testing::TestWithParam<std::string> {};

// Every item and parameter of the board's profile at once, so each chip path meets the
// value; the run ends as it does with the board's own offsets.
TEST_P(OffsetExtremes, EveryItemAndLimitOfTheBoardRunsClean)
{
    const std::string profile = board_profile(GetParam());
    ASSERT_THAT(profile, HasSubstr("OFFSET="));
    TempRoot usual_root;
    usual_root.write("etc/Quorvel.ini", profile);
    const int usual = run_sim(board_args(GetParam(), usual_root)).status;
    for (const char* value : {"7FFFFFFF", "80000000", "FFFFFFFF", "7FFFFFF5", "-1", "-80000000", "-7FFFFFFF"}) {
        TempRoot root;
        root.write("etc/Quorvel.ini", with_offsets(profile, value));
        const RunResult r = run_sim(board_args(GetParam(), root), std::chrono::seconds(60));
        EXPECT_EQ(r.status, usual) << value;
        for (const char* mark : kSanitizerMarks) EXPECT_THAT(r.err, Not(HasSubstr(mark))) << value;
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, OffsetExtremes, ::testing::ValuesIn(boards()), [](const auto& info) {
    std::string name = info.param.empty() ? "builtin_demo" : info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

}  // namespace
}  // namespace qv::test
