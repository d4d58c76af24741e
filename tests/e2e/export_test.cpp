// quorvel-export on the simulated boards: its JSON agrees with the text report, its
// Nagios statuses, the OpenMetrics text, the text file replaced whole, the unit file.
#include "e2e/run.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace qv::test {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// A right-aligned column of ten of a report row, counted from the end of the line.
std::string column(const std::string& row, std::size_t from_end)
{
    std::string cell = row.substr(row.size() - from_end * 11 - 10, 10);
    return cell.erase(0, cell.find_first_not_of(' '));
}

std::vector<std::string> report_rows(const std::string& out)
{
    std::vector<std::string> rows;
    bool inside = false;
    for (const std::string& line : lines_of(out)) {
        if (line.starts_with("-----")) {
            if (inside) break;
            inside = true;
        } else if (inside && !line.starts_with("Error: ")) {  // the engine's own messages fall between the rows
            rows.push_back(line);
        }
    }
    return rows;
}

std::string volts(int millivolts)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<float>(millivolts / 1000.0));
    return text;
}

class ExportAgreesWithReport : public ::testing::TestWithParam<std::string> {};

TEST_P(ExportAgreesWithReport, EveryItemHasTheReportsValueLimitsAndWords)
{
    const RunResult report = run({.board = GetParam()}, {"-t"});
    const RunResult exported = run_export({.board = GetParam()}, {"--format", "json"});
    ASSERT_EQ(report.status, 0);
    ASSERT_EQ(exported.status, 0) << exported.err;
    const json document = json::parse(exported.out);
    const std::vector<std::string> rows = report_rows(report.out);
    ASSERT_EQ(document.at("items").size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const json& item = document["items"][i];
        const json& value = item.at("value");
        const std::string& row = rows[i];
        const std::string category = item.at("category");
        SCOPED_TRACE(row);
        ASSERT_THAT(row, StartsWith(item.at("name").get<std::string>()));
        EXPECT_EQ(item.at("warning"), column(row, 0));
        EXPECT_EQ(item.at("status"), column(row, 1));
        EXPECT_EQ(item.at("normal"), column(row, 0).empty());
        if (item.at("read_failed") == true && category != "unknown") {
            EXPECT_TRUE(value.is_null());
            EXPECT_EQ(column(row, 1), "N/A");
        }
        if (category == "fan") {
            EXPECT_EQ(std::to_string(item.at("low_limit").get<int>()), column(row, 2));
            if (!value.is_null()) {
                EXPECT_EQ(std::to_string(value.get<int>()), item.at("status"));
            }
        } else if (category == "voltage") {
            EXPECT_EQ(volts(item.at("high_limit")), column(row, 3));
            EXPECT_EQ(volts(item.at("low_limit")), column(row, 2));
            if (!value.is_null()) {
                EXPECT_EQ(volts(value), item.at("status"));
            }
        } else if (category == "temperature") {
            EXPECT_THAT(column(row, 3), StartsWith(std::to_string(item.at("high_limit").get<int>()) + "/"));
        }
    }
    EXPECT_FALSE(document.at("board").at("vendor").get<std::string>().empty());
    EXPECT_GT(document.at("time").get<long>(), 0);
}

INSTANTIATE_TEST_SUITE_P(Boards, ExportAgreesWithReport, ::testing::ValuesIn(board_names()),
                         [](const auto& info) { return test_name(info.param.empty() ? "builtin" : info.param); });

// The board written into the test's folder; the sandbox beside it.
Sim on(const TempRoot& root, const json& board)
{
    return {.board = root.write("board.json", board.dump()), .root = root.str() + "/sandbox"};
}

TEST(Nagios, StatusAndOneLine)
{
    json foreign = board_json("demo");
    foreign["identity"]["vendor"] = "OTHERWORKS";
    const struct { json board; std::vector<std::string> more; int status; const char* line_start; } cases[] = {
        {board_json("demo"), {}, 2, "QUORVEL CRITICAL - 1 of 27 items abnormal: REAR FAN3 |"},
        {foreign, {}, 3, "QUORVEL UNKNOWN - Warn: This is not Tallowmere's"},
        {board_json("demo"), {"--uid", "1000"}, 3, "QUORVEL UNKNOWN - Error: Can only be run as root."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line_start);
        TempRoot root;
        Sim sim = on(root, c.board);
        sim.more = c.more;
        const RunResult r = run_export(sim, {"--format", "nagios"});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_THAT(r.out, StartsWith(c.line_start));
        EXPECT_EQ(lines_of(r.out).size(), 1u) << r.out;
    }
}

// The demo board without its slow fan: a first run writes the profile, which then
// stops monitoring that fan.
TEST(Nagios, OkGivesEveryMonitoredItemsPerformanceData)
{
    TempRoot root;
    const Sim sim{.board = "demo", .root = root.str()};
    const RunResult first = run_export(sim, {"--format", "json"});
    ASSERT_EQ(first.status, 0);
    std::string profile = root.read("etc/Quorvel.ini");
    profile.replace(profile.find("MONITOR=TRUE", profile.find("ITEM_NAME=REAR FAN3")), 12, "MONITOR=FALSE");
    root.write("etc/Quorvel.ini", profile);

    const RunResult r = run_export(sim, {"--format", "nagios"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.out, StartsWith("QUORVEL OK - 26 items normal | "));
    const json polled = json::parse(first.out);  // kept: the loop walks into it
    for (const json& item : polled.at("items")) {
        const std::string name = item.at("name");
        if (name == "REAR FAN3") EXPECT_THAT(r.out, Not(HasSubstr("'" + name + "'")));
        else EXPECT_THAT(r.out, HasSubstr(" '" + name + "'="));
    }
}

TEST(OpenMetrics, IntervalPollsAgainUntilKilled)
{
    const RunResult r = run_export({}, {"--interval", "5"}, 60s, [](const std::string& out) {
        return count(out, "# EOF\n") >= 2;
    });
    EXPECT_EQ(r.status, -1);
    EXPECT_THAT(r.out, HasSubstr("# EOF\n# HELP quorvel_fan_speed_rpm"));
}

const std::string kTarget = "/var/lib/node-exporter/quorvel.prom";
const std::vector<std::string> kToTextfile{"--textfile", kTarget};
const std::vector<std::string> kNagios{"--format", "nagios"};

struct FailureCase {
    const char* name;
    const char* board;
    json fault;  // values set in the board, by JSON pointer, after a first run has written the profile
    std::vector<std::string> args;
    int status;
    const char* err;      // nullptr: nothing said
    const char* written;  // in the new text file; nullptr: the previous one is left as it was
    const char* out = "";
    bool first_start = false;
    bool locked = false;  // another poller holds the lock throughout
};

class Failures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Failures, ClearMessageStatusAndTheTextFileWholeOrAsItWas)
{
    const FailureCase& c = GetParam();
    TempRoot root;
    json board = board_json(c.board);
    ASSERT_EQ(run_export(on(root, board), {"--format", "json"}).status, 0);
    root.write("sandbox" + kTarget, "previous\n");
    if (c.first_start) std::filesystem::remove(root.path() / "sandbox/etc/Quorvel.ini");
    for (const auto& [pointer, value] : c.fault.items()) board[json::json_pointer(pointer)] = value;
    const int lock = ::open((root.str() + "/sandbox/run/lock/quorvel.lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    if (c.locked) {
        ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    }
    const RunResult r = run_export(on(root, board), c.args);
    ::close(lock);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_THAT(r.out, StartsWith(c.out));
    if (c.err == nullptr) EXPECT_EQ(r.err, "");
    else EXPECT_THAT(r.err, HasSubstr(c.err));
    const std::string written = root.read("sandbox" + kTarget);
    if (c.written == nullptr) EXPECT_EQ(written, "previous\n");
    else EXPECT_THAT(written, ::testing::AllOf(HasSubstr(c.written), EndsWith("# EOF\n")));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(root.path() / "sandbox/var/lib/node-exporter"))
        left.push_back(entry.path().filename().string());
    EXPECT_THAT(left, ::testing::ElementsAre("quorvel.prom"));
}

const char* const kBusy = "Warning: another poller has held /run/lock/quorvel.lock for 5 s; this poll is skipped.\n";
const char* const kUnreachable = "QUORVEL UNKNOWN - the hardware cannot be reached\n";
const json kDeadBmc = {{"/bmc/silent_after", 0}};

INSTANTIATE_TEST_SUITE_P(
    Faults, Failures,
    ::testing::Values(
        FailureCase{"Writable", "demo", json::object(), kToTextfile, 0, nullptr, "# HELP quorvel_fan_speed_rpm"},
        FailureCase{"ReadOnly", "demo", {{"/filesystem/read_only", {"/var/lib/node-exporter"}}}, kToTextfile, 1,
                    "quorvel-export: cannot create a file in /var/lib/node-exporter: Read-only file system", nullptr},
        FailureCase{"DiskFull", "demo", {{"/filesystem/free_bytes", 64}}, kToTextfile, 1,
                    "quorvel-export: cannot write /var/lib/node-exporter/quorvel.prom: No space left on device", nullptr},
        FailureCase{"DeadBmc", "sk6bm", kDeadBmc, kToTextfile, 255, "Error: no answer from the BMC within 5000 ms.", nullptr},
        FailureCase{"DeadBmcNagios", "sk6bm", kDeadBmc, kNagios, 3, "Error: no answer", nullptr, kUnreachable},
        FailureCase{"ChipStopsMidPoll", "demo", {{"/i2c/adapters/0/slaves/0/silent_after", 200}}, kToTextfile, 0,
                    "quorvel-export: 11 of 27 items not read: FRNT FAN4, REAR FAN1,",
                    "quorvel_read_failed{name=\"FRNT FAN4\",chip=\"30\",category=\"fan\"} 1\n"},
        FailureCase{"Busy", "demo", json::object(), kToTextfile, 75, kBusy, nullptr, "", false, true},
        FailureCase{"BusyNagios", "demo", json::object(), kNagios, 3, kBusy, nullptr,
                    "QUORVEL UNKNOWN - another poller holds the hardware\n", false, true},
        FailureCase{"DeepFailureNagios", "demo", {{"/identity/vendor", "OTHERWORKS"}, {"/memory/dev_mem", "read_only"}},
                    kNagios, 3, "Error at line", nullptr, kUnreachable, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportCommandLine, StatusAndOutput)
{
    const struct {
        std::vector<std::string> args;
        int status;
        const char* out_start;  // nullptr: nothing on standard output, an error on standard error
    } cases[] = {
        {{"--help"}, 0, "usage: quorvel-export"}, {{"--version"}, 0, "quorvel-export 2.87\n"}, {{"-t"}, 2, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const RunResult r = run_export({}, c.args);
        EXPECT_EQ(r.status, c.status);
        if (c.out_start != nullptr) EXPECT_THAT(r.out, StartsWith(c.out_start));
        else {
            EXPECT_EQ(r.out, "");
            EXPECT_THAT(r.err, StartsWith("quorvel-export: "));
        }
    }
}

// The unit, pointed at the built program, as systemd itself checks it.
TEST(ServiceUnit, PassesSystemdVerification)
{
    if (std::system("command -v systemd-analyze >/dev/null 2>&1") != 0) GTEST_SKIP() << "no systemd-analyze";
    std::string unit;
    for (const std::string& line : lines_of(read_file(QUORVEL_EXPORT_UNIT)))
        unit +=
            (line.starts_with("ExecStart=") ? "ExecStart=" QUORVEL_EXPORT + line.substr(line.find(' ')) : line) + "\n";
    EXPECT_THAT(unit, HasSubstr("CAP_SYS_RAWIO"));
    EXPECT_THAT(unit, Not(HasSubstr("PrivateDevices=yes")));
    TempRoot root;
    const std::string command =
        "systemd-analyze verify " + root.write("quorvel-export.service", unit) + " >" + root.str() + "/said 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << root.read("said");
    EXPECT_EQ(root.read("said"), "");
}

}  // namespace
}  // namespace qv::test
