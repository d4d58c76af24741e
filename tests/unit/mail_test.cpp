// Alert mail on the simulated machine: the script's exact text and mode, delivery
// through the simulator's bash reading of it, text that must stay literal, links and
// races at the script's path, the recipients' check, the cut of a long body, and the
// failures of fork and wait.
#include "gui/mail.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

constexpr time_t kNow = 1700000000;
const std::string kHeaderEnd = "' has the following health information:\n";

std::string stamp()
{
    char text[64] = {};
    return std::string("at ") + ::ctime_r(&kNow, text);
}

// Another process at work on /tmp: it may plant a link right after the program's
// unlink, and the modes the program creates files with are noted.
class RacingOs : public sim::SimOs {
public:
    RacingOs(sim::Machine& machine, std::string target) : SimOs(machine), machine(machine), target(std::move(target)) {}
    int unlink(const char* path) override
    {
        const int result = SimOs::unlink(path);
        fs::create_symlink(target, machine.sandbox.map(path));
        return result;
    }
    int open(const char* path, int flags, mode_t mode) override
    {
        return created_modes.push_back(mode), SimOs::open(path, flags, mode);
    }
    using SimOs::open;
    sim::Machine& machine;
    std::string target;
    std::vector<mode_t> created_modes;
};

class Mail : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        session().trace().keep_lines();
        set("web01", "root");
    }
    void set(const std::string& machine, const std::string& mailbox)
    {
        system = SystemSection{};
        set_text(system.MachineName, machine);
        set_text(system.MailBox, mailbox);
    }
    fs::path script_path() { return session().sandbox().map(kMailScriptPath); }
    // The script as written; its mode must be owner-execute alone.
    std::string script()
    {
        EXPECT_EQ(fs::status(script_path()).permissions(), fs::perms::owner_exec);
        fs::permissions(script_path(), fs::perms::owner_read, fs::perm_options::add);
        return read(kMailScriptPath);
    }
    bool trace_mentions(const std::string& text)
    {
        const auto& lines = session().trace().lines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }

    SystemSection system;
};

// Several recipients are several arguments of mail.
TEST_F(Mail, BothFormsAreWrittenExactlyAndDelivered)
{
    const std::string body = mail_item_line("CPU Fan", false) + mail_item_line("Vcore", true) + stamp();
    EXPECT_EQ(body, "CPU Fan Failed(Bad)!\nVcore OK(Good)!\n" + stamp());
    const struct {
        bool test;
        std::string mailbox, to, subject, body;
    } cases[] = {{false, "root", "root", "Alert: system health warning!", body},
                 {true, "a@b.c  ops+alerts@x.org", "a@b.c, ops+alerts@x.org", "Alert: E-mail Test!",
                  "E-mail Test!\n" + stamp()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subject);
        session().sandbox().remove("/var/mail/outbox");
        set("web01", c.mailbox);
        EXPECT_EQ(c.test ? mail_test(system, kNow) : mail_alert(system, body), MailOutcome::Sent);
        EXPECT_EQ(script(), "#!/bin/bash\nmail -s \"" + c.subject + "\" " + c.mailbox + " <<EOT\nThe system 'web01" +
                                kHeaderEnd + c.body);
        EXPECT_EQ(read("/var/mail/outbox"),
                  "To: " + c.to + "\nSubject: " + c.subject + "\n\nThe system 'web01" + kHeaderEnd + c.body + "\n");
    }
}

TEST_F(Mail, HostileTextArrivesLiterally)
{
    const struct { std::string machine, machine_out, body, body_out; } cases[] = {
        {"$(reboot)", "$(reboot)", "$(reboot) OK(Good)!\n", "$(reboot) OK(Good)!\n"},
        {"`id`", "`id`", "`id` Failed(Bad)!\n$HOME $1 ${X}\n", "`id` Failed(Bad)!\n$HOME $1 ${X}\n"},
        {"a\\b", "a\\b", "a\\b\\\nends in a backslash\\\n", "a\\b\\\nends in a backslash\\\n"},
        {"EOT", "EOT", "x\nEOT\nreboot\n", "x\n EOT\nreboot\n"},
        {"web\nEOT\nreboot", "web EOT reboot", "tab\there\r\n", "tab here \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.machine);
        session().sandbox().remove("/var/mail/outbox");
        set(c.machine, "root");
        ASSERT_EQ(mail_alert(system, c.body), MailOutcome::Sent);
        EXPECT_EQ(read("/var/mail/outbox"), "To: root\nSubject: Alert: system health warning!\n\nThe system '" +
                                                c.machine_out + kHeaderEnd + c.body_out + "\n");
    }
    EXPECT_FALSE(trace_mentions("shell expansion"));
    EXPECT_FALSE(trace_mentions("ends early"));
}

// The simulator must notice what bash would do with unescaped text, or the test above
// proves nothing.
TEST_F(Mail, SimulatorShowsWhatBashWouldExpand)
{
    const struct { std::string body, delivered, trace; } cases[] = {
        {"$(reboot) x\n", " x\n", "shell expansion $(reboot)"},
        {"`id` $HOME \\$ok\n", "  $ok\n", "shell expansion `id`"},
        {"a\nEOT\nreboot\n", "a\n", "1 more line(s) would run as commands"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        session().sandbox().remove("/var/mail/outbox");
        write(kMailScriptPath, "#!/bin/bash\nmail -s \"S\" root <<EOT\n" + c.body);
        fs::permissions(script_path(), fs::perms::owner_exec);
        int status = -1;
        EXPECT_EQ(platform::os().spawn_and_wait({kMailScriptPath}, 0, &status), platform::SpawnResult::Waited);
        EXPECT_EQ(read("/var/mail/outbox"), "To: root\nSubject: S\n\n" + c.delivered + "\n");
        EXPECT_TRUE(trace_mentions(c.trace));
    }
    fs::permissions(script_path(), fs::perms::owner_read);
    EXPECT_EQ(platform::os().run_and_wait({kMailScriptPath}), 126);
    EXPECT_TRUE(trace_mentions("permission denied"));
}

TEST_F(Mail, LinkAtThePathIsNeverWrittenThrough)
{
    const std::string profile = "[System]\nMACHINENAME=web01\n";
    write("/etc/Quorvel.ini", profile);
    fs::create_symlink(session().sandbox().map("/etc/Quorvel.ini"), script_path());
    ASSERT_EQ(mail_test(system, kNow), MailOutcome::Sent);
    EXPECT_FALSE(fs::is_symlink(script_path()));
    EXPECT_EQ(read("/etc/Quorvel.ini"), profile);
    EXPECT_EQ(script().substr(0, 12), "#!/bin/bash\n");
}

TEST_F(Mail, RacedInLinkStopsTheMail)
{
    write("/etc/Quorvel.ini", "[System]\n");
    RacingOs racing(session().machine(), session().sandbox().map("/etc/Quorvel.ini"));
    platform::set_os(&racing);
    EXPECT_EQ(mail_test(system, kNow), MailOutcome::NoScript);
    EXPECT_EQ(read("/etc/Quorvel.ini"), "[System]\n");
    EXPECT_FALSE(session().sandbox().exists("/var/mail/outbox"));
    ASSERT_EQ(racing.created_modes.size(), 1u);
    EXPECT_EQ(racing.created_modes[0] & 077, 0u);
}

TEST(MailRecipients, OnlyPlainAddresses)
{
    const struct { std::string text; bool valid; } cases[] = {
        {"root", true},        {"a@b.c d@e.f", true},   {"ops+alerts@x.org", true},   {" a_b%c@x-y.z\t", true},
        {std::string(99, 'a'), true},                   {std::string(100, 'a'), false},
        {"", false},           {"   ", false},         {"a;rm -rf /", false},        {"$(x)", false},
        {"`x`", false},        {"-f x", false},         {"x -f", false},              {"a@", false},
        {"@b", false},         {"a@@b", false},         {"a@b@c", false},             {"a,b", false},
        {"a|b", false},        {"a>b", false},          {"a\nb", false},              {"'a'", false},
        {"a*", false},         {"~root", false},        {"\xC3\xA9@x.org", false},   {"root\"@x", false},
    };
    for (const auto& c : cases) EXPECT_EQ(valid_recipients(c.text), c.valid) << '"' << c.text << '"';
}

TEST_F(Mail, UnusableRecipientsOrFolderGiveNoScript)
{
    const uint64_t commands = session().trace().count(sim::Access::Command);
    set("web01", "root;reboot");
    EXPECT_EQ(mail_alert(system, "x\n"), MailOutcome::NoScript);
    EXPECT_FALSE(session().sandbox().exists(kMailScriptPath));
    EXPECT_EQ(session().trace().count(sim::Access::Command), commands);

    boot({{"filesystem", {{"read_only", {"/tmp"}}}}});
    set("web01", "root");
    EXPECT_EQ(mail_alert(system, "x\n"), MailOutcome::NoScript);
    EXPECT_FALSE(session().sandbox().exists("/var/mail/outbox"));
}

TEST_F(Mail, LongBodyIsCutAtAWholeLine)
{
    const std::string header_line = "#!/bin/bash\nmail -s \"Alert: system health warning!\" root <<EOT\n";
    const std::size_t room = kMailBufferSize - 1 - header_line.size() - std::string("The system 'web01").size() - kHeaderEnd.size();
    const std::string fits = std::string(room - 1, 'x') + "\n";
    EXPECT_EQ(mail_alert(system, fits), MailOutcome::Sent);
    EXPECT_EQ(script().size(), kMailBufferSize - 1);

    std::string body;
    for (int i = 0; i < 40; ++i) body += mail_item_line("Fan " + std::to_string(i), false);
    body += stamp();
    const std::string exact = std::string(room - kMailCutNote.size() - stamp().size() - 1, 'x') + "\n";
    const std::string more = std::string(kMailCutNote.size(), 'z') + "\n";
    // Worst case for the header: the longest mailbox and a name that doubles when escaped.
    const struct { std::string machine, mailbox, body; std::optional<std::string> kept_lines; } cases[] = {
        {"web01", "root", fits + "y\n", ""},
        {"web01", "root", exact + more + stamp(), exact},
        {"web01", "root", "x" + exact + more + stamp(), ""},
        {"web01", "root", body, std::nullopt},
        {std::string(39, '$'), std::string(99, 'r'), body, std::nullopt},
    };
    for (const auto& c : cases) {
        set(c.machine, c.mailbox);
        ASSERT_EQ(mail_alert(system, c.body), MailOutcome::Sent);
        const std::string text = script();
        EXPECT_LT(text.size(), kMailBufferSize);
        const std::string kept = text.substr(text.find(kHeaderEnd) + kHeaderEnd.size());
        const std::string last = c.body.substr(c.body.rfind('\n', c.body.size() - 2) + 1);
        const std::string cut_part = kept.substr(0, kept.size() - kMailCutNote.size() - last.size());
        EXPECT_EQ(kept, cut_part + std::string(kMailCutNote) + last);
        EXPECT_TRUE(c.body.starts_with(cut_part));
        EXPECT_TRUE(cut_part.empty() || cut_part.ends_with('\n'));
        if (c.kept_lines) {
            EXPECT_EQ(cut_part, *c.kept_lines);
        }
    }
}

TEST_F(Mail, ForkAndWaitFailures)
{
    const struct {
        const char* key;
        MailOutcome outcome;
        bool delivered;
        std::string message;
    } cases[] = {{"fork_fails", MailOutcome::ForkFailed, false, "fork() error!\n"},
                 {"wait_fails", MailOutcome::WaitFailed, true, "waitpid() error!\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        boot({{"mail", {{c.key, true}}}});
        EXPECT_EQ(mail_test(system, kNow), c.outcome);
        EXPECT_EQ(session().sandbox().exists("/var/mail/outbox"), c.delivered);
        EXPECT_EQ(mail_outcome_message(c.outcome), c.message);
    }
    EXPECT_EQ(mail_outcome_message(MailOutcome::Sent), "");
}

}  // namespace
}  // namespace qv::test
