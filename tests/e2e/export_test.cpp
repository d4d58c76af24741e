// quorvel-export on the simulated boards: its JSON agrees with the text report, its
// Nagios statuses, the OpenMetrics text, the text file replaced whole, the unit file.
#include "e2e/run.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace qv::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::vector<std::string> board_args(const std::string& board)
{
    std::vector<std::string> args{"--fast"};
    if (!board.empty()) args.insert(args.end(), {"--board", source_file_path("boards/" + board + ".json")});
    return args;
}

json board_json(const std::string& name) { return json::parse(source_file("boards/" + name + ".json"), nullptr, true, true); }

// A board written into the sandbox, for the cases no board file in the tree covers.
std::vector<std::string> custom_board(const TempRoot& root, const json& board)
{
    root.write("board.json", board.dump());
    return {"--fast", "--root", root.str() + "/sandbox", "--board", root.str() + "/board.json"};
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string trim(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The report's rows: a right-aligned column of ten, counted from the end of the line.
std::string column_from_end(const std::string& row, int index)
{
    const std::size_t end = row.size() - static_cast<std::size_t>(index) * 11;
    return trim(row.substr(end - 10, 10));
}

std::vector<std::string> report_rows(const std::string& out)
{
    std::vector<std::string> rows;
    bool inside = false;
    for (const std::string& line : lines_of(out)) {
        if (line.starts_with("-----")) {
            if (inside) break;
            inside = true;
            continue;
        }
        // The engine's own messages fall between the rows.
        if (inside && !line.starts_with("Error: ")) rows.push_back(line);
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
    const RunResult report = run_sim([&] {
        auto args = board_args(GetParam());
        args.insert(args.end(), {"--", "-t"});
        return args;
    }());
    const RunResult exported = run_export(board_args(GetParam()), {"--format", "json"});
    ASSERT_EQ(report.status, 0);
    ASSERT_EQ(exported.status, 0) << exported.err;
    const json document = json::parse(exported.out);
    const json& items = document.at("items");
    const std::vector<std::string> rows = report_rows(report.out);
    ASSERT_EQ(items.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const json& item = items[i];
        const std::string& row = rows[i];
        const std::string name = item.at("name");
        SCOPED_TRACE(name);
        const std::string category = item.at("category");
        ASSERT_THAT(row, StartsWith(name));
        EXPECT_EQ(item.at("warning"), column_from_end(row, 0));
        EXPECT_EQ(item.at("status"), column_from_end(row, 1));
        EXPECT_EQ(item.at("normal"), column_from_end(row, 0).empty());
        const std::string low = column_from_end(row, 2);
        const std::string high = column_from_end(row, 3);
        if (item.at("read_failed") == true && category != "unknown") {
            EXPECT_TRUE(item.at("value").is_null());
            EXPECT_EQ(column_from_end(row, 1), "N/A");
        }
        if (category == "fan") {
            EXPECT_EQ(std::to_string(item.at("low_limit").get<int>()), low);
            if (!item.at("value").is_null()) {
                EXPECT_EQ(std::to_string(item.at("value").get<int>()), item.at("status"));
            }
        } else if (category == "voltage") {
            EXPECT_EQ(volts(item.at("high_limit")), high);
            EXPECT_EQ(volts(item.at("low_limit")), low);
            if (!item.at("value").is_null()) {
                EXPECT_EQ(volts(item.at("value")), item.at("status"));
            }
        } else if (category == "temperature") {
            EXPECT_THAT(high, StartsWith(std::to_string(item.at("high_limit").get<int>()) + "/"));
        }
    }
    EXPECT_FALSE(document.at("board").at("vendor").get<std::string>().empty());
    EXPECT_GT(document.at("time").get<long>(), 0);
}

INSTANTIATE_TEST_SUITE_P(Boards, ExportAgreesWithReport,
                         ::testing::Values("", "ka7de", "ki5m", "kv3mgy", "kv3mrb-rev-a", "lgt7w-rev2", "mv3qe-rev1",
                                           "sk5bn-1.1", "sk5mm-oka", "sk6bm", "sw4hd", "sw8qd", "faulty"),
                         [](const auto& info) {
                             std::string name = info.param.empty() ? "demo" : info.param;
                             for (char& c : name)
                                 if (c == '-' || c == '.') c = '_';
                             return name;
                         });

// A small profile on the faulty board: a good voltage, a fan whose chip never answers.
const char* kOneFailingProfile =
    "[SYSTEM]\nBUSTYPE=03\nDATAREG=296\nINDEXREG=295\nPOLLING=5\n\n"
    "[Item]\nITEM_NAME=Say \"hi\" \\ there\nITEM_CAT=VOLTAGE\nVOL_FUNC=P33V\nBUSTYPE=02\nCHIPCODE=01\nSLAVE=00\n"
    "OFFSET=22\nMONITOR=TRUE\nPARAINDEX1=VOL1H\nPARAINDEX2=VOL1L\n\n"
    "[Item]\nITEM_NAME=Silent FAN\nITEM_CAT=FAN\nBUSTYPE=01\nCHIPCODE=03\nSLAVE=2E\nOFFSET=20\nMONITOR=TRUE\n"
    "PARAINDEX1=Divisor3\nPARAINDEX2=FAN3H\n\n"
    "[Parameter]\nPARAMETER=VOL1H\nSLAVE=00\nOFFSET=2D\n\n[Parameter]\nPARAMETER=VOL1L\nSLAVE=00\nOFFSET=2E\n\n"
    "[Parameter]\nPARAMETER=Divisor3\nSLAVE=2E\nOFFSET=47\nBITMASK=30\n\n"
    "[Parameter]\nPARAMETER=FAN3H\nSLAVE=2E\nOFFSET=40\n";

json one_failing_board()
{
    json board = board_json("faulty");
    board["files"]["/etc/Quorvel.ini"] = kOneFailingProfile;
    return board;
}

enum class Board { Demo, OneFailing, Foreign };

struct NagiosCase {
    const char* name;
    Board board;
    std::vector<std::string> sim_args;
    int status;
    const char* line_start;
};

class Nagios : public ::testing::TestWithParam<NagiosCase> {};

TEST_P(Nagios, StatusAndLine)
{
    const NagiosCase& c = GetParam();
    TempRoot root;
    json board = board_json("demo");
    if (c.board == Board::OneFailing) board = one_failing_board();
    if (c.board == Board::Foreign) board["identity"]["vendor"] = "OTHERWORKS";
    std::vector<std::string> args = custom_board(root, board);
    args.insert(args.end(), c.sim_args.begin(), c.sim_args.end());
    const RunResult r = run_export(args, {"--format", "nagios"});
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_THAT(r.out, StartsWith(c.line_start));
    EXPECT_EQ(lines_of(r.out).size(), 1u) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Boards, Nagios,
    ::testing::Values(NagiosCase{"SlowFan", Board::Demo, {}, 2, "QUORVEL CRITICAL - 1 of 27 items abnormal: REAR FAN3 |"},
                      NagiosCase{"FailedRead", Board::OneFailing, {}, 1, "QUORVEL WARNING - 1 of 2 items not read: Silent FAN |"},
                      NagiosCase{"NotTallowmere", Board::Foreign, {}, 3, "QUORVEL UNKNOWN - Warn: This is not Tallowmere's"},
                      NagiosCase{"NotRoot", Board::Demo, {"--uid", "1000"}, 3, "QUORVEL UNKNOWN - Error: Can only be run as root."}),
    [](const auto& info) { return std::string(info.param.name); });

// The demo board without its slow fan: a first run writes the profile, which then
// stops monitoring that fan.
TEST(NagiosOk, NormalItemsAndEveryItemsPerformanceData)
{
    TempRoot root;
    const json board = board_json("demo");
    const RunResult first = run_export(custom_board(root, board), {"--format", "json"});
    ASSERT_EQ(first.status, 0);
    std::string profile = root.read("sandbox/etc/Quorvel.ini");
    const auto item = profile.find("ITEM_NAME=REAR FAN3");
    ASSERT_NE(item, std::string::npos);
    const auto monitor = profile.find("MONITOR=TRUE", item);
    ASSERT_NE(monitor, std::string::npos);
    profile.replace(monitor, 12, "MONITOR=FALSE");
    root.write("sandbox/etc/Quorvel.ini", profile);

    const RunResult r = run_export(custom_board(root, board), {"--format", "nagios"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.out, StartsWith("QUORVEL OK - 26 items normal | "));
    const json items = json::parse(first.out).at("items");
    for (const json& entry : items) {
        const std::string name = entry.at("name");
        if (name == "REAR FAN3") EXPECT_THAT(r.out, Not(HasSubstr("'" + name + "'")));
        else EXPECT_THAT(r.out, HasSubstr(" '" + name + "'="));
    }
}

TEST(OpenMetrics, FamiliesEscapingFailedReadsAndTheEnd)
{
    TempRoot root;
    const RunResult r = run_export(custom_board(root, one_failing_board()), {});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = lines_of(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "# EOF");
    EXPECT_EQ(r.out.back(), '\n');
    const std::string voltage = "{name=\"Say \\\"hi\\\" \\\\ there\",chip=\"1\"}";
    EXPECT_THAT(r.out, HasSubstr("# TYPE quorvel_voltage_volts gauge\nquorvel_voltage_volts" + voltage + " "));
    EXPECT_THAT(r.out, HasSubstr("quorvel_read_failed{name=\"Silent FAN\",chip=\"3\",category=\"fan\"} 1\n"));
    EXPECT_THAT(r.out, HasSubstr("quorvel_item_normal{name=\"Silent FAN\",chip=\"3\",category=\"fan\"} 0\n"));
    EXPECT_THAT(r.out, Not(HasSubstr("quorvel_fan_speed_rpm{name=\"Silent FAN\"")));
    // Every sample follows its own family's TYPE line, and each family is declared once.
    std::set<std::string> declared;
    std::string current;
    for (const std::string& line : lines) {
        if (line.starts_with("# TYPE ")) {
            current = line.substr(7, line.find(' ', 7) - 7);
            EXPECT_TRUE(declared.insert(current).second) << line;
            EXPECT_THAT(line, ::testing::EndsWith(" gauge"));
        } else if (!line.starts_with("#")) {
            EXPECT_EQ(line.substr(0, line.find('{')), current) << line;
        }
    }
}

TEST(OpenMetrics, IntervalPollsAgainUntilKilled)
{
    const RunResult r = run_sim_until({"--fast", "--program", "export", "--", "--interval", "5"},
                                      [](const std::string& out) {
                                          std::size_t n = 0;
                                          for (auto at = out.find("# EOF\n"); at != std::string::npos; at = out.find("# EOF\n", at + 1)) ++n;
                                          return n >= 2;
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
    ASSERT_EQ(run_export(custom_board(root, board), {"--format", "json"}).status, 0);
    root.write("sandbox" + kTarget, "previous\n");
    if (c.first_start) std::filesystem::remove(root.path() / "sandbox/etc/Quorvel.ini");
    for (const auto& [pointer, value] : c.fault.items()) board[json::json_pointer(pointer)] = value;
    const int lock = ::open((root.str() + "/sandbox/run/lock/quorvel.lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    if (c.locked) {
        ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    }
    const RunResult r = run_export(custom_board(root, board), c.args);
    ::close(lock);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_THAT(r.out, StartsWith(c.out));
    if (c.err == nullptr) EXPECT_EQ(r.err, "");
    else EXPECT_THAT(r.err, HasSubstr(c.err));
    const std::string written = root.read("sandbox" + kTarget);
    if (c.written == nullptr) EXPECT_EQ(written, "previous\n");
    else EXPECT_THAT(written, ::testing::AllOf(HasSubstr(c.written), ::testing::EndsWith("# EOF\n")));
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

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* out_start;  // nullptr: nothing on standard output
};

class ExportOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ExportOptions, StatusAndOutput)
{
    const OptionCase& c = GetParam();
    const RunResult r = run_export({"--fast"}, c.args);
    EXPECT_EQ(r.status, c.status);
    if (c.out_start != nullptr) EXPECT_THAT(r.out, StartsWith(c.out_start));
    else {
        EXPECT_EQ(r.out, "");
        EXPECT_THAT(r.err, StartsWith("quorvel-export: "));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Export, ExportOptions,
    ::testing::Values(OptionCase{"Help", {"--help"}, 0, "usage: quorvel-export"},
                      OptionCase{"Version", {"--version"}, 0, "quorvel-export 2.87\n"},
                      OptionCase{"QuorvelsTextOption", {"-t"}, 2, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// The unit, pointed at the built program, as systemd itself checks it.
TEST(ServiceUnit, PassesSystemdVerification)
{
    if (std::system("command -v systemd-analyze >/dev/null 2>&1") != 0) GTEST_SKIP() << "no systemd-analyze";
    TempRoot root;
    std::ifstream in(QUORVEL_EXPORT_UNIT);
    std::ostringstream installed;
    installed << in.rdbuf();
    std::string unit;
    for (const std::string& line : lines_of(installed.str())) {
        if (line.starts_with("ExecStart=")) unit += "ExecStart=" QUORVEL_EXPORT + line.substr(line.find(' ')) + "\n";
        else unit += line + "\n";
    }
    EXPECT_THAT(unit, HasSubstr("CAP_SYS_RAWIO"));
    EXPECT_THAT(unit, Not(HasSubstr("PrivateDevices=yes")));
    root.write("quorvel-export.service", unit);
    const std::string command = "systemd-analyze verify " + root.str() + "/quorvel-export.service 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string said;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) said += buffer;
    EXPECT_EQ(::pclose(pipe), 0) << said;
    EXPECT_EQ(said, "");
}

}  // namespace
}  // namespace qv::test
