#include "gui/mail.h"

#include "platform/os.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace qv {

namespace {

constexpr std::string_view kAlertSubject = "Alert: system health warning!";
constexpr std::string_view kTestSubject = "Alert: E-mail Test!";

// A record field's text: it need not end in a NUL when the field is full.
template <std::size_t N>
std::string_view field(const char (&text)[N])
{
    return {text, ::strnlen(text, N)};
}

bool ascii_alnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool blank(char c) { return c == ' ' || c == '\t'; }

bool plain_address(std::string_view word)
{
    if (word.front() == '-') return false;
    const std::size_t at = word.find('@');
    if (at != std::string_view::npos &&
        (at == 0 || at + 1 == word.size() || word.find('@', at + 1) != std::string_view::npos))
        return false;
    for (char c : word)
        if (!ascii_alnum(c) && std::string_view("._%+-@").find(c) == std::string_view::npos) return false;
    return true;
}

// The delimiter of the here-document is unquoted, so bash would expand $ and ` and
// eat backslashes; escaped they stay literal. A control character would start a new
// script line (or garble the mail) and becomes a blank; the body keeps its line breaks.
std::string escaped(std::string_view text, bool keep_line_breaks)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '$' || c == '`' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n' && keep_line_breaks) {
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

// The body as script lines, each with its line break but maybe the last. A line that
// is exactly EOT would end the here-document, so it gets a leading blank.
std::vector<std::string> body_lines(std::string_view body)
{
    std::vector<std::string> lines;
    const std::string text = escaped(body, true);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        if (line == "EOT\n" || line == "EOT") line.insert(0, 1, ' ');
        lines.push_back(std::move(line));
        start = end;
    }
    return lines;
}

// Header and body within kMailBufferSize - 1 characters. When the body does not fit,
// its first lines are kept while they fit, then the cut note and the body's last line
// (the time stamp).
std::string script_text(std::string_view subject, std::string_view mailbox, std::string_view machine, std::string_view body)
{
    std::string script = "#!/bin/bash\nmail -s \"";
    script.append(subject).append("\" ").append(mailbox).append(" <<EOT\nThe system '");
    script.append(escaped(machine, false)).append("' has the following health information:\n");

    const std::size_t limit = kMailBufferSize - 1;
    std::vector<std::string> lines = body_lines(body);
    std::size_t total = script.size();
    for (const std::string& line : lines) total += line.size();
    if (total <= limit || lines.empty()) {
        for (const std::string& line : lines) script += line;
        return script;
    }
    std::string last = lines.back();
    lines.pop_back();
    if (!last.ends_with('\n')) last += '\n';
    if (script.size() + kMailCutNote.size() + last.size() > limit) last.clear();
    const std::size_t room = limit - std::min(limit, script.size() + kMailCutNote.size() + last.size());
    std::size_t used = 0;
    for (const std::string& line : lines) {
        if (used + line.size() > room) break;
        script += line;
        used += line.size();
    }
    if (script.size() + kMailCutNote.size() <= limit) script.append(kMailCutNote);
    return script + last;
}

bool write_all(platform::Os& os, int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = os.write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

MailOutcome send(std::string_view subject, const SystemSection& system, std::string_view body)
{
    const std::string_view mailbox = field(system.MailBox);
    // The recipients stand unquoted on the command line: only plain addresses may.
    if (!valid_recipients(mailbox)) return MailOutcome::NoScript;
    const std::string script = script_text(subject, mailbox, field(system.MachineName), body);
    if (script.size() >= kMailBufferSize) return MailOutcome::NoScript;

    // /tmp is writable by everyone: whatever lies at the path is removed, never followed,
    // and a file raced in between makes the exclusive create fail.
    platform::Os& os = platform::os();
    os.unlink(kMailScriptPath);
    const int fd = os.open(kMailScriptPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
    if (fd < 0) return MailOutcome::NoScript;
    bool complete = write_all(os, fd, script);
    if (os.close(fd) != 0) complete = false;
    if (!complete) {
        // Run half written, the script could mail a cut command line.
        os.unlink(kMailScriptPath);
        return MailOutcome::NoScript;
    }
    os.chmod(kMailScriptPath, 0100);

    int status = 0;
    switch (os.spawn_and_wait({kMailScriptPath}, 0, &status)) {
    case platform::SpawnResult::ForkFailed: return MailOutcome::ForkFailed;
    case platform::SpawnResult::WaitFailed: return MailOutcome::WaitFailed;
    case platform::SpawnResult::Waited: break;
    }
    return MailOutcome::Sent;
}

}  // namespace

MailOutcome mail_alert(const SystemSection& system, std::string_view body) { return send(kAlertSubject, system, body); }

MailOutcome mail_test(const SystemSection& system, time_t now)
{
    return send(kTestSubject, system, "E-mail Test!\n" + mail_time_line(now));
}

bool valid_recipients(std::string_view text)
{
    if (text.size() >= sizeof(SystemSection::MailBox)) return false;
    bool any = false;
    std::size_t start = 0;
    while (start < text.size()) {
        if (blank(text[start])) {
            ++start;
            continue;
        }
        std::size_t end = start;
        while (end < text.size() && !blank(text[end])) ++end;
        if (!plain_address(text.substr(start, end - start))) return false;
        any = true;
        start = end;
    }
    return any;
}

std::string_view mail_outcome_message(MailOutcome outcome)
{
    switch (outcome) {
    case MailOutcome::ForkFailed: return "fork() error!\n";
    case MailOutcome::WaitFailed: return "waitpid() error!\n";
    case MailOutcome::Sent:
    case MailOutcome::NoScript: break;
    }
    return {};
}

std::string mail_item_line(std::string_view name, bool good)
{
    return std::string(name) + (good ? " OK(Good)!\n" : " Failed(Bad)!\n");
}

std::string mail_time_line(time_t now)
{
    char stamp[64] = {};
    // ctime_r fails only for years of more than four digits.
    if (::ctime_r(&now, stamp) == nullptr) return "at ?\n";
    return std::string("at ") + stamp;
}

}  // namespace qv
