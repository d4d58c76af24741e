// quorvel-sim on boards with a BMC: detection's exchanges in the trace, a BMC that never
// answers, and one that answers detection and then goes silent: a report or a reset
// waits one time-out per poll, marks the BMC's items failed and says so once.
#include "e2e/run.h"

#include <gmock/gmock.h>

#include <regex>

namespace qv::test {
namespace {

using ::testing::HasSubstr;

constexpr int kOpenIpmiDetection = 2;  // Get Device ID, Get System GUID
constexpr int kMakersDetection = 1;    // Get Device ID

struct BmcRun {
    RunResult result;
    std::string trace;
    double waited_s = 0;  // spent waiting for answers that did not come
};

BmcRun run_board(const json& board, const std::vector<std::string>& args, bool fast = true, bool first_start = false)
{
    TempRoot root;
    BmcRun r;
    // Far above the program's own 5-second bound, so only a hang reaches it.
    r.result = run({.board = root.write("board.json", board.dump()),
                    .root = first_start ? root.str() + "/root" : "",
                    .trace = root.str() + "/trace",
                    .fast = fast},
                   args, 60s);
    r.trace = root.read("trace");
    static const std::regex wait("^sleep .*waited ([0-9.]+) s$");
    std::smatch m;
    for (const std::string& line : lines_of(r.trace))
        if (std::regex_match(line, m, wait)) r.waited_s += std::stod(m[1]);
    return r;
}

TEST(Bmc, DetectionIsTracedExchangeByExchangeAndASilentBmcEndsItWithTheTimeOutMessage)
{
    const std::string silent = R"({"openipmi": "/dev/ipmi0", "silent_after": 0})";
    const std::string silent_trace = "ipmi    /dev/ipmi0 msgid 0 netfn 0x06 cmd 0x01 data -> no answer\n"
                                     "sleep   /dev/ipmi0: no answer, waited 5.000 s\n";
    const std::string timed_out = "Error: no answer from the BMC within 5000 ms.\n";
    const struct {
        std::string bmc;
        bool fast;  // else the program really waits
        std::string err, trace;
    } cases[] = {
        {R"({"openipmi": "/dev/ipmi0", "kind": "ob_winbond"})", true, "",
         "ipmi    /dev/ipmi0 msgid 0 netfn 0x06 cmd 0x01 data -> 00 20 01 01 00 02 BF 00 00 00 00 00 00 00 00 00\n"
         "ipmi    /dev/ipmi0 msgid 0 netfn 0x06 cmd 0x37 data -> 00 35 30 30 31 57 54 4D 43 00 30 48 8F 21 43 65 87\n"},
        // The maker's driver refuses: OpenIPMI takes over.
        {R"({"maker_driver": {"device_id_cc": "0xC1"}, "openipmi": "/dev/ipmidev/0", "kind": "peppercon"})", true, "",
         "ipmi    /dev/tmbmc netfn 0x06 cmd 0x01 data -> C1\n"
         "ipmi    /dev/ipmidev/0 msgid 0 netfn 0x06 cmd 0x01 data -> 00 20 01 01 00 02 BF 00 00 00 00 00 00 00 00 00\n"
         "ipmi    /dev/ipmidev/0 msgid 0 netfn 0x06 cmd 0x37 data -> "
         "00 02 00 00 FF FE 00 00 00 4B 1D 20 07 00 00 00 01\n"},
        {silent, true, timed_out, silent_trace},
        {silent, false, timed_out, silent_trace},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bmc + (c.fast ? " fast" : " real time"));
        const BmcRun r = run_board({{"bmc", json::parse(c.bmc)}}, {"-v"}, c.fast);
        EXPECT_EQ(r.result.status, 0);
        EXPECT_EQ(r.result.err, c.err);
        EXPECT_THAT(r.result.out, HasSubstr("version 2.87"));
        EXPECT_EQ(r.trace, c.trace);
    }
}

json silent_after(json board, int answers)
{
    board["bmc"]["silent_after"] = answers;
    return board;
}

TEST(DyingBmc, TheReportAndTheResetMarkTheItemsFailedWithinOneBoundAPoll)
{
    const json board = silent_after(board_json("sk6bm"), kOpenIpmiDetection);
    const BmcRun report = run_board(board, {"-t"});
    EXPECT_EQ(mask_time(report.result.out), source_file("tests/e2e/expected/sk6bm-silent-bmc.txt"));
    const BmcRun reset = run_board(board, {"-r", "Chassis Intrusion"});
    EXPECT_THAT(reset.result.out, HasSubstr("\"Chassis Intrusion\" is NOT reset!"));
    for (const BmcRun& r : {report, reset}) {
        EXPECT_EQ(r.result.status, 0);
        EXPECT_EQ(r.result.err, "Warn: The BMC stopped answering; its items are not read until the next poll.\n");
        EXPECT_LE(r.waited_s, 10.0);  // the first fill and the poll: one time-out each
    }
}

struct SilenceCase {
    std::string board;
    bool makers_driver;
    int answers;
    bool first_start;
    std::string name() const
    {
        return test_name(board + (makers_driver ? "_MakersDriver_" : "_OpenIpmi_") + std::to_string(answers) +
                         (first_start ? "_FirstStart" : ""));
    }
    friend void PrintTo(const SilenceCase& c, std::ostream* os) { *os << c.name(); }
};

// Every board with a BMC, silent after each number of answers, through each driver.
std::vector<SilenceCase> silence_cases()
{
    std::vector<SilenceCase> cases;
    for (const std::string& name : board_names()) {
        const json board = name.empty() ? json() : board_json(name);
        if (!board.contains("bmc")) continue;
        // Its own driver is tried first, so a board that has only OpenIPMI gets it added as well.
        for (const bool makers : {false, true}) {
            if (!makers && !board["bmc"].contains("openipmi")) continue;
            for (int answers = 0; answers <= (makers ? kMakersDetection : kOpenIpmiDetection) + 3; ++answers)
                for (const bool first_start : {false, true}) cases.push_back({name, makers, answers, first_start});
        }
    }
    return cases;
}

class SilentAfter : public ::testing::TestWithParam<SilenceCase> {};

TEST_P(SilentAfter, TheReportEndsWithAtMostOneTimeOutAPoll)
{
    const SilenceCase& c = GetParam();
    json board = silent_after(board_json(c.board), c.answers);
    if (c.makers_driver && !board["bmc"].contains("maker_driver")) board["bmc"]["maker_driver"] = true;
    const BmcRun r = run_board(board, {"-t"}, true, c.first_start);
    ASSERT_NE(r.result.status, -1) << "killed: it hung";
    // Without any answer there is no BMC, and this board then has no way to its chips.
    if (c.answers > 0) {
        EXPECT_EQ(r.result.status, 0);
        EXPECT_THAT(r.result.out, HasSubstr(std::string(45, '-') + " "));
    }
    EXPECT_LE(count(r.result.err, "stopped answering"), 1);
    // Detection's own waits (at most the probe and one OpenIPMI exchange), then one per poll:
    // the first fill and the report.
    EXPECT_LE(r.waited_s, 0.4 + 5.0 + 2 * 5.0);
}

INSTANTIATE_TEST_SUITE_P(Boards, SilentAfter, ::testing::ValuesIn(silence_cases()),
                         [](const auto& info) { return info.param.name(); });

}  // namespace
}  // namespace qv::test
