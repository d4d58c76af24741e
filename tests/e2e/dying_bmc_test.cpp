// quorvel-sim on boards whose BMC answers detection and then goes silent: a report or a
// reset waits one time-out per poll, marks the BMC's items failed and says so once.
#include "e2e/run.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace qv::test {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

constexpr char kStopped[] = "Warn: The BMC stopped answering; its items are not read until the next poll.\n";
constexpr auto kKillLimit = 60s;  // only a hang reaches it: the clock is virtual
constexpr int kOpenIpmiDetection = 2;  // Get Device ID, Get System GUID
constexpr int kMakersDetection = 1;    // Get Device ID

struct SimRun {
    RunResult result;
    double waited_s = 0;  // virtual seconds spent waiting for answers that did not come
};

SimRun run_board(const json& board, const std::vector<std::string>& program_args, bool first_start = false)
{
    TempRoot root;
    root.write("board.json", board.dump());
    std::vector<std::string> args{"--board", root.str() + "/board.json", "--trace", root.str() + "/trace", "--fast"};
    if (first_start) args.insert(args.end(), {"--root", root.str() + "/root"});
    args.push_back("--");
    args.insert(args.end(), program_args.begin(), program_args.end());
    SimRun run{run_sim(args, kKillLimit)};
    static const std::regex wait("^sleep .*waited ([0-9.]+) s$");
    std::istringstream trace(root.read("trace"));
    std::smatch m;
    for (std::string line; std::getline(trace, line);)
        if (std::regex_match(line, m, wait)) run.waited_s += std::stod(m[1]);
    return run;
}

json board_file(const std::string& name) { return json::parse(source_file("boards/" + name)); }

json silent_after(json board, int answers)
{
    board["bmc"]["silent_after"] = answers;
    return board;
}

TEST(DyingBmc, TheReportAndTheResetMarkTheItemsFailedWithinOneBoundAPoll)
{
    const json board = silent_after(board_file("sk6bm.json"), kOpenIpmiDetection);
    const SimRun report = run_board(board, {"-t"});
    EXPECT_EQ(mask_time(report.result.out), source_file("tests/e2e/expected/sk6bm-silent-bmc.txt"));
    const SimRun reset = run_board(board, {"-r", "Chassis Intrusion"});
    EXPECT_THAT(reset.result.out, ::testing::HasSubstr("\"Chassis Intrusion\" is NOT reset!"));
    for (const SimRun& run : {report, reset}) {
        EXPECT_EQ(run.result.status, 0);
        EXPECT_EQ(run.result.err, kStopped);
        EXPECT_LE(run.waited_s, 10.0);  // the first fill and the poll: one time-out each
    }
}

// --- Every board with a BMC, silent after each number of answers --------------------

struct SilenceCase {
    std::string board;
    bool makers_driver;
    int answers;
    bool first_start;
    friend void PrintTo(const SilenceCase& c, std::ostream* os)
    {
        *os << c.board << (c.makers_driver ? " maker's driver" : " OpenIPMI") << " silent after " << c.answers
            << (c.first_start ? " at the first start" : "");
    }
};

std::vector<SilenceCase> silence_cases()
{
    std::vector<SilenceCase> cases;
    for (const auto& entry : std::filesystem::directory_iterator(source_file_path("boards"))) {
        std::ifstream in(entry.path());
        const json board = json::parse(in, nullptr, false);
        if (board.is_discarded() || !board.contains("bmc")) continue;
        const json& bmc = board["bmc"];
        const std::string name = entry.path().filename().string();
        std::vector<bool> transports;
        if (bmc.contains("openipmi")) transports.push_back(false);
        // Its own driver is tried first, so a board that has only OpenIPMI gets it added as well.
        transports.push_back(true);
        for (const bool makers : transports)
            for (int answers = 0; answers <= (makers ? kMakersDetection : kOpenIpmiDetection) + 3; ++answers)
                for (const bool first_start : {false, true}) cases.push_back({name, makers, answers, first_start});
    }
    return cases;
}

class SilentAfter : public ::testing::TestWithParam<SilenceCase> {};

TEST_P(SilentAfter, TheReportEndsWithAtMostOneTimeOutAPoll)
{
    const SilenceCase& c = GetParam();
    json board = silent_after(board_file(c.board), c.answers);
    if (c.makers_driver && !board["bmc"].contains("maker_driver")) board["bmc"]["maker_driver"] = true;
    const SimRun run = run_board(board, {"-t"}, c.first_start);
    ASSERT_NE(run.result.status, -1) << "killed after " << kKillLimit.count() << " s";
    // Without any answer there is no BMC, and this board then has no way to its chips.
    if (c.answers > 0) {
        EXPECT_EQ(run.result.status, 0);
        EXPECT_THAT(run.result.out, ::testing::HasSubstr(std::string(45, '-') + " "));
    }
    EXPECT_LE(count(run.result.err, "stopped answering"), 1);
    // Detection's own waits (at most the probe and one OpenIPMI exchange), then one per poll:
    // the first fill and the report.
    EXPECT_LE(run.waited_s, 0.4 + 5.0 + 2 * 5.0);
}

INSTANTIATE_TEST_SUITE_P(Boards, SilentAfter, ::testing::ValuesIn(silence_cases()), [](const auto& info) {
    const SilenceCase& c = info.param;
    std::string name = c.board.substr(0, c.board.find('.')) + (c.makers_driver ? "_MakersDriver_" : "_OpenIpmi_") +
                       std::to_string(c.answers) + (c.first_start ? "_FirstStart" : "");
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

}  // namespace
}  // namespace qv::test
