// The text report on the simulated boards, compared whole with reports worked out by
// hand from the boards' registers; the interval mode in virtual time.
#include "e2e/run.h"

#include <gmock/gmock.h>

#include <ctime>
#include <iomanip>
#include <sstream>

namespace qv::test {
namespace {

std::vector<std::string> sim_args(const std::string& board, const std::string& root)
{
    std::vector<std::string> args{"--fast"};
    if (!board.empty()) args.insert(args.end(), {"--board", source_file_path("boards/" + board + ".json")});
    if (!root.empty()) args.insert(args.end(), {"--root", root});
    args.push_back("--");
    return args;
}

struct BoardCase {
    const char* board;  // empty: the built-in demo board
    const char* expected;
    const char* expected_err;  // nullptr: nothing on standard error
    friend void PrintTo(const BoardCase& c, std::ostream* os) { *os << (*c.board ? c.board : "demo"); }
};

class Report : public ::testing::TestWithParam<BoardCase> {};

TEST_P(Report, IsTheReportWorkedOutFromTheRegisters)
{
    const BoardCase& c = GetParam();
    auto args = sim_args(c.board, "");
    args.push_back("-t");
    const RunResult r = run_sim(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(mask_time(r.out), source_file(std::string("tests/e2e/expected/") + c.expected));
    EXPECT_EQ(r.err, c.expected_err ? source_file(std::string("tests/e2e/expected/") + c.expected_err) : "");
}

INSTANTIATE_TEST_SUITE_P(Boards, Report,
                         ::testing::Values(BoardCase{"", "demo.txt", nullptr}, BoardCase{"ka7de", "ka7de.txt", nullptr},
                                           BoardCase{"ki5m", "ki5m.txt", nullptr},
                                           BoardCase{"sw4hd", "sw4hd.txt", nullptr},
                                           BoardCase{"sw8qd", "sw8qd.txt", nullptr},
                                           BoardCase{"sk6bm", "sk6bm.txt", nullptr},
                                           BoardCase{"faulty", "faulty.txt", "faulty.err"}),
                         [](const auto& info) { return std::string(*info.param.board ? info.param.board : "demo"); });

const std::string kClosing = std::string(45, '-') + " ";

// The time stamps of the reports' closing lines, as seconds.
std::vector<time_t> stamps(const std::string& out)
{
    std::vector<time_t> times;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(kClosing, 0) != 0) continue;
        std::tm t{};
        std::istringstream(line.substr(kClosing.size())) >> std::get_time(&t, "%a %b %d %H:%M:%S %Y");
        t.tm_isdst = -1;
        times.push_back(std::mktime(&t));
    }
    return times;
}

TEST(ReportInterval, OneReportEveryIntervalInVirtualTime)
{
    TempRoot root;
    auto args = sim_args("", root.str());
    args.insert(args.end(), {"-t", "-i", "2"});
    const RunResult r = run_sim_until(args, [](const std::string& out) { return count(out, kClosing) >= 3; });
    const std::vector<time_t> times = stamps(r.out);
    ASSERT_GE(times.size(), 3u) << r.out << r.err;
    EXPECT_EQ(times[1] - times[0], 2);
    EXPECT_EQ(times[2] - times[1], 2);
    // Each report is the single report again.
    const std::string one = source_file("tests/e2e/expected/demo.txt");
    const std::string body = one.substr(one.find("Monitored Item"));
    const std::string masked = mask_time(r.out);
    EXPECT_EQ(count(masked, body), static_cast<int>(times.size()) - (masked.ends_with(body) ? 0 : 1));
}

// A fan that stops at the fourth virtual second: the report that sees it says so, and
// the records keep what the last report read.
TEST(ReportInterval, SeesTheBoardChangeOverTime)
{
    TempRoot root;
    TempRoot boards;
    boards.write("fan.json", R"({
      "identity": {"vendor": "TALLOWMERE", "product": "KA7DE", "version": "1.0"},
      "hw_monitors": [{"index": "0x295", "data": "0x296",
                       "banks": {"0": {"0x28": {"at": [[0, "0x87"], [4, "0xFF"]]}, "0x3B": "0xC8", "0x47": "0x5F"}}}],
      "files": {"/etc/Quorvel.ini": "[SYSTEM]\nBUSTYPE=02\nINDEXREG=295\nDATAREG=296\n\n[Item]\nITEM_NAME=CPU FAN\nITEM_CAT=FAN\nBUSTYPE=02\nCHIPCODE=01\nSLAVE=00\nOFFSET=28\nMONITOR=TRUE\nPARAINDEX1=Divisor1\nPARAINDEX2=FAN1H\n\n[Parameter]\nPARAMETER=Divisor1\nSLAVE=00\nOFFSET=47\nBITMASK=30\n\n[Parameter]\nPARAMETER=FAN1H\nSLAVE=00\nOFFSET=3B\n"}
    })");
    const RunResult r = run_sim_until({"--fast", "--root", root.str(), "--board", (boards.path() / "fan.json").string(),
                                       "--", "-t", "-i", "2"},
                                      [](const std::string& out) { return count(out, kClosing) >= 4; });
    char running[100];
    char stopped[100];
    std::snprintf(running, sizeof running, "%-25s %10s %10s %10s %10s\n", "CPU FAN", "", "3375", "5000", "");
    std::snprintf(stopped, sizeof stopped, "%-25s %10s %10s %10s %10s\n", "CPU FAN", "", "3375", "0", "Warning!");
    EXPECT_EQ(count(r.out, running), 2) << r.out;  // seconds 0 and 2
    EXPECT_GE(count(r.out, stopped), 2) << r.out;  // seconds 4 and 6
    EXPECT_LT(r.out.rfind(running), r.out.find(stopped)) << "the fan stops once and for all";
}

}  // namespace
}  // namespace qv::test
