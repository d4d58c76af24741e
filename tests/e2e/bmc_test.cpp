// quorvel-sim on boards with a BMC: detection at start-up, its exchanges in the trace,
// and a BMC that never answers.
#include "e2e/run.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

// Far above the program's own 5-second bound, so only a hang reaches it.
constexpr auto kLimit = 60s;

struct BoardRun {
    RunResult result;
    std::string trace;
};

BoardRun run_board(const std::string& board, const std::vector<std::string>& program_args, bool fast = true)
{
    TempRoot root;
    root.write("board.json", board);
    std::vector<std::string> args{"--board", root.str() + "/board.json", "--root", root.str() + "/root", "--trace",
                                  root.str() + "/trace"};
    if (fast) args.push_back("--fast");
    args.push_back("--");
    args.insert(args.end(), program_args.begin(), program_args.end());
    BoardRun run{run_sim(args, kLimit), ""};
    run.trace = root.read("trace");
    return run;
}

TEST(Bmc, StartUpDetectsTheBmcAndTracesEachExchange)
{
    const BoardRun run = run_board(R"({"bmc": {"openipmi": "/dev/ipmi0", "kind": "ob_winbond"}})", {"-v"});
    EXPECT_EQ(run.result.status, 0);
    EXPECT_EQ(run.result.err, "");
    EXPECT_EQ(run.trace,
              "ipmi    /dev/ipmi0 msgid 0 netfn 0x06 cmd 0x01 data -> 00 20 01 01 00 02 BF 00 00 00 00 00 00 00 00 00\n"
              "ipmi    /dev/ipmi0 msgid 0 netfn 0x06 cmd 0x37 data -> "
              "00 35 30 30 31 57 54 4D 43 00 30 48 8F 21 43 65 87\n");
}

TEST(Bmc, StartUpFallsBackFromARefusingMakersDriverToOpenIpmi)
{
    const BoardRun run = run_board(
        R"({"bmc": {"maker_driver": {"device_id_cc": "0xC1"}, "openipmi": "/dev/ipmidev/0", "kind": "peppercon"}})",
        {"-v"});
    EXPECT_EQ(run.result.status, 0);
    EXPECT_THAT(run.trace, HasSubstr("ipmi    /dev/tmbmc netfn 0x06 cmd 0x01 data -> C1\n"
                                     "ipmi    /dev/ipmidev/0 msgid 0 netfn 0x06 cmd 0x01 data -> 00"));
    EXPECT_THAT(run.trace, HasSubstr("ipmi    /dev/ipmidev/0 msgid 0 netfn 0x06 cmd 0x37 data -> 00 02 00 00 FF FE"));
}

class SilentBmc : public ::testing::TestWithParam<bool> {};

TEST_P(SilentBmc, EndsTheExchangeWithTheTimeOutMessageAndGoesOn)
{
    const BoardRun run = run_board(R"({"bmc": {"openipmi": "/dev/ipmi0", "silent_after": 0}})", {"-v"}, GetParam());
    EXPECT_EQ(run.result.status, 0);
    EXPECT_EQ(run.result.err, "Error: no answer from the BMC within 5000 ms.\n");
    EXPECT_THAT(run.result.out, HasSubstr("version 2.87"));
    EXPECT_EQ(run.trace,
              "ipmi    /dev/ipmi0 msgid 0 netfn 0x06 cmd 0x01 data -> no answer\n"
              "sleep   /dev/ipmi0: no answer, waited 5.000 s\n");
}

// With --fast the virtual clock carries the wait; without it the program really waits.
INSTANTIATE_TEST_SUITE_P(Clocks, SilentBmc, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Fast" : "RealTime"); });

}  // namespace
}  // namespace qv::test
