// The window mode as a user starts it: without a display nothing is written; with one,
// a first start writes the profile and switches off what the board lacks.
#include "e2e/run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace qv::test {
namespace {

// On a first start and over an existing profile.
TEST(NoDisplay, TheProgramEndsWithGtksErrorAndWritesNothing)
{
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    ::unsetenv("DISPLAY");
    const std::string profile = "[System]\nBUSTYPE=02\nINDEXREG=295\nDATAREG=296\nPOLLING=5\n\n"
                                "[Item]\nITEM_NAME=Chassis Intrusion\nITEM_CAT=SWITCH\nMONITOR=TRUE\n";
    for (const std::string& existing : {std::string(), profile}) {
        TempRoot root;
        if (!existing.empty()) root.write("etc/Quorvel.ini", existing);
        const RunResult r = run({.root = root.str()}, {}, 60s);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find("display"), std::string::npos) << r.err;
        EXPECT_EQ(root.read("etc/Quorvel.ini"), existing);
        EXPECT_FALSE(root.exists("etc/Quorvel.ini.old"));
    }
    if (!saved.empty()) ::setenv("DISPLAY", saved.c_str(), 1);
}

// Runs under a private X server (see tests/CMakeLists.txt); skipped without a display.
TEST(WindowMode, AFirstStartRunsTheAvailabilityPassAndKeepsPolling)
{
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
    TempRoot root;
    const std::string disabled = ">> Disable monitoring of non-activated item: SYS FAN2";
    const RunResult r = run({.root = root.str()}, {}, 60s, [&](const std::string& out) {
        return out.find(disabled) != std::string::npos;
    });
    EXPECT_EQ(r.status, -1) << "the window ran until it was stopped";
    EXPECT_NE(r.out.find(disabled), std::string::npos) << r.out << r.err;
    EXPECT_NE(root.read("etc/Quorvel.ini").find("ITEM_NAME=SYS FAN2"), std::string::npos);
    EXPECT_TRUE(root.exists("etc/Quorvel.ini.old"));
}

TEST(WindowMode, AFanThatStopsRaisesOneAlertAndOneMail)
{
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
    TempRoot root;
    // The demo board's profile with e-mail alerts on and a one-second poll; only the fan
    // that stops may raise an alert: the header without a fan and the slow fan are not watched.
    const std::string database = source_file("data/AllQuorvel.ini");
    const std::size_t begin = database.find("[SYSTEM]", database.find("[_SK5BN_]"));
    std::string profile = database.substr(begin, database.find("\n[_", begin) - begin + 1);
    for (const auto& [from, to] : {std::pair{"MAILALERT=FALSE", "MAILALERT=TRUE\nMAILBOX=root"},
                                   std::pair{"POLLING=5", "POLLING=1"}})
        profile.replace(profile.find(from), std::string(from).size(), to);
    for (const char* name : {"ITEM_NAME=SYS FAN2\n", "ITEM_NAME=REAR FAN3\n"})
        profile.replace(profile.find("MONITOR=TRUE", profile.find(name)), 12, "MONITOR=FALSE");
    root.write("etc/Quorvel.ini", profile);
    // CPU1 FAN stops two and a half seconds in.
    json board = board_json("demo");
    auto& bank = board["hw_monitors"][0]["banks"]["6"];
    bank["0x30"] = {{"at", {{0, "0x07"}, {2.5, "0xFF"}}}};
    bank["0x31"] = {{"at", {{0, "0x1A"}, {2.5, "0x1F"}}}};

    // In real time: the window polls every second.
    const RunResult r =
        run({.board = root.write("board.json", board.dump()), .root = root.str(), .fast = false}, {}, 8s);
    const std::string sent = "Send an alert through E-mail successfully.\n";
    ASSERT_NE(r.out.find(sent), std::string::npos) << r.out << r.err;
    EXPECT_EQ(count(r.out, sent), 1) << "one alert while the fan stays stopped";
    const std::string outbox = root.read("var/mail/outbox");
    EXPECT_NE(outbox.find("To: root\n"), std::string::npos) << outbox;
    EXPECT_NE(outbox.find("CPU1 FAN Failed(Bad)!\nat "), std::string::npos) << outbox;
    EXPECT_EQ(count(outbox, "Subject:"), 1) << outbox;
}

}  // namespace
}  // namespace qv::test
