// The text report on the simulated boards, compared whole with reports worked out by
// hand from the boards' registers; the interval mode in virtual time.
#include "e2e/run.h"

#include <gtest/gtest.h>

#include <ctime>
#include <iomanip>
#include <sstream>

namespace qv::test {
namespace {

TEST(Report, IsTheReportWorkedOutFromTheRegisters)
{
    for (const std::string board : {"", "ka7de", "ki5m", "sw4hd", "sw8qd", "sk6bm", "faulty"}) {
        SCOPED_TRACE(board);
        const std::string expected = "tests/e2e/expected/" + (board.empty() ? "demo" : board);
        const RunResult r = run({.board = board}, {"-t"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(mask_time(r.out), source_file(expected + ".txt"));
        EXPECT_EQ(r.err, board == "faulty" ? source_file(expected + ".err") : "");
    }
}

const std::string kClosing = std::string(45, '-') + " ";

// The time stamps of the reports' closing lines, as seconds.
std::vector<time_t> stamps(const std::string& out)
{
    std::vector<time_t> times;
    for (const std::string& line : lines_of(out)) {
        if (!line.starts_with(kClosing)) continue;
        std::tm t{};
        std::istringstream(line.substr(kClosing.size())) >> std::get_time(&t, "%a %b %d %H:%M:%S %Y");
        t.tm_isdst = -1;
        times.push_back(std::mktime(&t));
    }
    return times;
}

std::string fan_row(const char* reading, const char* warning)
{
    char row[100];
    std::snprintf(row, sizeof row, "%-25s %10s %10s %10s %10s\n", "CPU FAN", "", "3375", reading, warning);
    return row;
}

// A fan that stops at the fourth virtual second: a report every two seconds, each the
// single report again, until the fan's row shows it stopped, once and for all.
TEST(ReportInterval, OneReportEveryIntervalInVirtualTimeAsTheBoardIsThen)
{
    TempRoot root;
    const Sim sim{.board = root.write("fan.json", R"({
      "identity": {"vendor": "TALLOWMERE", "product": "KA7DE", "version": "1.0"},
      "hw_monitors": [{"index": "0x295", "data": "0x296",
                       "banks": {"0": {"0x28": {"at": [[0, "0x87"], [4, "0xFF"]]}, "0x3B": "0xC8", "0x47": "0x5F"}}}],
      "files": {"/etc/Quorvel.ini": "[SYSTEM]\nBUSTYPE=02\nINDEXREG=295\nDATAREG=296\n\n[Item]\nITEM_NAME=CPU FAN\nITEM_CAT=FAN\nBUSTYPE=02\nCHIPCODE=01\nSLAVE=00\nOFFSET=28\nMONITOR=TRUE\nPARAINDEX1=Divisor1\nPARAINDEX2=FAN1H\n\n[Parameter]\nPARAMETER=Divisor1\nSLAVE=00\nOFFSET=47\nBITMASK=30\n\n[Parameter]\nPARAMETER=FAN1H\nSLAVE=00\nOFFSET=3B\n"}
    })")};
    const std::string single = mask_time(run(sim, {"-t"}).out);
    const std::string running = single.substr(single.find("Monitored Item"));
    std::string stopped = running;
    ASSERT_EQ(count(running, fan_row("5000", "")), 1) << running;
    stopped.replace(stopped.find(fan_row("5000", "")), fan_row("5000", "").size(), fan_row("0", "Warning!"));

    const RunResult r =
        run(sim, {"-t", "-i", "2"}, 60s, [](const std::string& out) { return count(out, kClosing) >= 4; });
    const std::vector<time_t> times = stamps(r.out);
    ASSERT_GE(times.size(), 4u) << r.out << r.err;
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 2);
    const std::string masked = mask_time(r.out);
    EXPECT_EQ(count(masked, running), 2) << masked;  // seconds 0 and 2
    EXPECT_GE(count(masked, stopped), 2) << masked;  // seconds 4 and 6
    EXPECT_LT(masked.rfind(running), masked.find(stopped));
}

}  // namespace
}  // namespace qv::test
