// Saving a window page into the profile: which lines change, the backup, and a profile
// that stays whole on a read-only or full /etc.
#include "profile/loader.h"
#include "profile/saver.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

using Edit = void (*)(ProfileStore&);
void no_edit(ProfileStore&) {}

const std::string kProfile =
    "; rack 7\n[System]\nBusType=02\nMachineName=rack-7\nMailAlert=TRUE\nMailBox=ops@example.org\n"
    "MailServer=mail.example.org\nServerPort=25\nOutline=9\nPagerAlert=FALSE\nPagerID=4711\n"
    "PhoneNumber=5550100\nPolling=10\n"
    "[Item]\nItem_Name=CPU Fan\nMonitor=TRUE\n\n"
    "[Item]\nItem_Name=Vcore\nMonitor=TRUE\n"
    "[Item]\nItem_Name=Spare\nMonitor=FALSE\n"
    "[Parameter]\nParameter=VOL1H\nMonitor=TRUE\n";

class Saver : public SimTest {
protected:
    SaveOutcome load_and_save(const std::string& profile, SaveMode mode, Edit edit)
    {
        write("/etc/Quorvel.ini", profile);
        EXPECT_GE(loadQuorvelINI_and_getItemCount(store), 0);
        edit(store);
        return save_profile(mode, store.view());
    }
    // The profile's files in /etc: a temporary left behind shows here.
    std::set<std::string> profile_files()
    {
        std::set<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(session().sandbox().map("/etc"), error))
            if (entry.path().filename().string().starts_with("Quorvel.ini"))
                names.insert(entry.path().filename().string());
        return names;
    }
    const std::set<std::string> kBoth{"Quorvel.ini", "Quorvel.ini.old"};
    ProfileStore store;
};

std::string replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& changes)
{
    for (const auto& [from, to] : changes) {
        const auto at = text.find(from);
        EXPECT_TRUE(at != std::string::npos && text.find(from, at + 1) == std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

void all_off(ProfileStore& s)
{
    for (ItemSection& item : s.items) item.Monitor = 0;
    s.system.Polling = 42;
}
void item_1_on(ProfileStore& s)
{
    all_off(s);
    s.items[1].Monitor = 1;
}

const std::string k79(79, 'c');
const std::string k99(99, 'm');

TEST_F(Saver, APageRewritesItsEntriesPieceByPieceAndKeepsTheFileBefore)
{
    const struct { const char* what; std::string before; SaveMode mode; Edit edit; std::string after; } cases[] = {
        {"items_uncheck_leaves_unsaved_mail_settings", kProfile, SaveMode::Items,
         [](ProfileStore& s) { s.items[1].Monitor = s.system.MailAlert = 0, set_text(s.system.MailBox, "x@y.org"); },
         replaced(kProfile, {{"Vcore\nMonitor=TRUE", "Vcore\nMonitor=FALSE"}})},
        {"items_check_polling_and_only_1_is_true", kProfile, SaveMode::Items,
         [](ProfileStore& s) { s.items[0].Monitor = 7, s.items[2].Monitor = 1, s.system.Polling = 30; },
         replaced(kProfile, {{"Fan\nMonitor=TRUE", "Fan\nMonitor=FALSE"}, {"Polling=10", "Polling=30"},
                             {"Spare\nMonitor=FALSE", "Spare\nMonitor=TRUE"}})},
        {"alert_every_field_but_not_unsaved_monitors", kProfile, SaveMode::Alert,
         [](ProfileStore& s) {
             SystemSection& y = s.system;
             set_text(y.MachineName, "rack 8"), set_text(y.MailBox, ""), set_text(y.MailServer, "smtp");
             set_text(y.ServerPort, "587"), set_text(y.Outline, "0"), set_text(y.PagerID, "42");
             set_text(y.PhoneNumber, "5550199");
             y.MailAlert = 2, y.PagerAlert = 1, y.Polling = 99, s.items[0].Monitor = 0;
         },
         replaced(kProfile, {{"MachineName=rack-7", "MachineName=rack 8"}, {"MailBox=ops@example.org", "MailBox="},
                             {"MailServer=mail.example.org", "MailServer=smtp"}, {"ServerPort=25", "ServerPort=587"},
                             {"Outline=9", "Outline=0"}, {"PagerID=4711", "PagerID=42"},
                             {"PhoneNumber=5550100", "PhoneNumber=5550199"}, {"MailAlert=TRUE", "MailAlert=FALSE"},
                             {"PagerAlert=FALSE", "PagerAlert=TRUE"}})},
        {"sections_and_monitor_entries_in_turn",
         "Polling=1\nMonitor=TRUE\n[Items]\nPolling=2\n[system]\nPolling=3\n[Other]\npolling=4\n"
         "Monitor=TRUE\n[item]\nPolling=5\nMonitor=TRUE\n[System]\nPolling=6\nmonitor=FALSE\n[Item]\n"
         "MONITOR=TRUE\nMonitor=TRUE\n[PARAMETER]\nMonitor=TRUE\n[System]\nPolling=7\n[Item]\nMonitor=TRUE",
         SaveMode::Items, item_1_on,
         "Polling=1\nMonitor=TRUE\n[Items]\nPolling=2\n[system]\nPolling=42\n[Other]\npolling=42\n"
         "Monitor=TRUE\n[item]\nPolling=5\nMonitor=FALSE\n[System]\nPolling=6\nmonitor=TRUE\n[Item]\n"
         "MONITOR=FALSE\nMonitor=TRUE\n[PARAMETER]\nMonitor=TRUE\n[System]\nPolling=7\n[Item]\nMonitor=TRUE"},
        {"alert_keys_keep_their_case", "[SYSTEM]\nmailbox=a\nmailALERT=TRUE\n", SaveMode::Alert,
         [](ProfileStore& s) { set_text(s.system.MailBox, "b"), s.system.MailAlert = 0; },
         "[SYSTEM]\nmailbox=b\nmailALERT=FALSE\n"},
        {"crlf_headers_are_not_headers", "[System]\r\nPolling=10\r\n[Item]\r\nMonitor=TRUE\r\n", SaveMode::Items,
         all_off, "[System]\r\nPolling=10\r\n[Item]\r\nMonitor=TRUE\r\n"},
        {"crlf_entries_lose_the_cr_when_replaced",
         "[System]\nPolling=10\r\nMailBox=ops\r\n[Item]\nMonitor=TRUE\r\n[Item]\nMonitor=TRUE\r", SaveMode::Items,
         item_1_on, "[System]\nPolling=42\nMailBox=ops\r\n[Item]\nMonitor=FALSE\n[Item]\nMonitor=TRUE\n"},
        {"crlf_unchanged_text_field_keeps_its_cr", "[System]\nMailBox=ops\r\nPolling=10\r\n", SaveMode::Alert, no_edit,
         "[System]\nMailBox=ops\r\nPolling=10\r\n"},
        {"long_line_copied_whole", "[Item]\n;" + k79 + k79 + "\nMonitor=TRUE\n", SaveMode::Items, all_off,
         "[Item]\n;" + k79 + k79 + "\nMonitor=FALSE\n"},
        {"long_line_tail_read_as_a_header", "[Item]\n;" + k79.substr(1) + "[Parameter]\nMonitor=TRUE\n",
         SaveMode::Items, all_off, "[Item]\n;" + k79.substr(1) + "[Parameter]\nMonitor=TRUE\n"},
        {"long_replaced_line_keeps_its_tail", "[Item]\nMonitor=TRUE;" + k79 + "\n", SaveMode::Items, all_off,
         "[Item]\nMonitor=FALSE" + k79.substr(66) + "\n"},
        {"long_unchanged_field_stays_whole", "[System]\nMailBox=" + k99 + "\n", SaveMode::Alert, no_edit,
         "[System]\nMailBox=" + k99 + "\n"},
        {"long_new_field_cut_to_one_piece", "[System]\nMailBox=a\nServerPort=25\n", SaveMode::Alert,
         [](ProfileStore& s) { set_text(s.system.MailBox, k99), set_text(s.system.ServerPort, std::string(83, 'p')); },
         "[System]\nMailBox=" + k99.substr(0, 71) + "\nServerPort=" + std::string(68, 'p') + "\n"},
        {"new_field_stays_on_its_line", "[System]\nMachineName=a\nPolling=1\n", SaveMode::Alert,
         [](ProfileStore& s) { set_text(s.system.MachineName, "b\n[Item]"); }, "[System]\nMachineName=b\nPolling=1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot();
        store = ProfileStore{};
        ASSERT_EQ(load_and_save(c.before, c.mode, c.edit), SaveOutcome::Saved);
        EXPECT_EQ(read("/etc/Quorvel.ini"), c.after);
        EXPECT_EQ(read("/etc/Quorvel.ini.old"), c.before);
        EXPECT_EQ(profile_files(), kBoth);
    }
}

TEST_F(Saver, SecondSaveBacksUpTheFirst)
{
    ASSERT_EQ(load_and_save(kProfile, SaveMode::Items, [](ProfileStore& s) { s.items[0].Monitor = 0; }),
              SaveOutcome::Saved);
    const std::string first = read("/etc/Quorvel.ini");
    set_text(store.system.MailBox, "night@example.org");
    ASSERT_EQ(save_profile(SaveMode::Alert, store.view()), SaveOutcome::Saved);
    EXPECT_EQ(read("/etc/Quorvel.ini.old"), first);
    EXPECT_EQ(read("/etc/Quorvel.ini"), replaced(first, {{"ops@", "night@"}}));
    EXPECT_EQ(profile_files(), kBoth);
}

TEST_F(Saver, NewFilesTakeTheProfilesPermissions)
{
    for (const auto perms : {fs::perms(0600), fs::perms(0640), fs::perms(0644)}) {
        write("/etc/Quorvel.ini", kProfile);
        fs::permissions(session().sandbox().map("/etc/Quorvel.ini"), perms);
        ASSERT_EQ(save_profile(SaveMode::Items, store.view()), SaveOutcome::Saved);
        for (const char* path : {"/etc/Quorvel.ini", "/etc/Quorvel.ini.old"})
            EXPECT_EQ(fs::status(session().sandbox().map(path)).permissions(), perms) << path;
    }
}

TEST_F(Saver, MissingProfileCreatesNothing)
{
    EXPECT_EQ(save_profile(SaveMode::Items, store.view()), SaveOutcome::BackupUnreadable);
    EXPECT_TRUE(profile_files().empty());
}

TEST_F(Saver, AFailureLeavesTheProfileWholeAndNoTemporaries)
{
    const struct { const char* what; sim::json filesystem; bool backup_is_a_folder; SaveOutcome outcome; } cases[] = {
        {"read-only", {{"read_only", {"/etc"}}}, false, SaveOutcome::CannotCreate},
        {"full before the new profile", {{"free_bytes", 16}}, false, SaveOutcome::CloseFailed},
        {"full before the backup", {{"free_bytes", kProfile.size() + 16}}, false, SaveOutcome::CloseFailed},
        {"backup name taken by a folder", sim::json::object(), true, SaveOutcome::BackupUnreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot({{"filesystem", c.filesystem}});
        if (c.backup_is_a_folder) write("/etc/Quorvel.ini.old/keep", "");
        else write("/etc/Quorvel.ini.old", "an older backup\n");
        EXPECT_EQ(load_and_save(kProfile, SaveMode::Items, all_off), c.outcome);
        EXPECT_EQ(read("/etc/Quorvel.ini"), kProfile);
        if (!c.backup_is_a_folder) {
            EXPECT_EQ(read("/etc/Quorvel.ini.old"), "an older backup\n");
        }
        EXPECT_EQ(profile_files(), kBoth);
    }
}

}  // namespace
}  // namespace qv::test
