// Running a mail script the program wrote: "#!/bin/bash", then
// `mail -s "SUBJECT" RECIPIENTS <<EOT` and a here-document to the end of the file.
// The simulator reads it as bash would and delivers the mail into /var/mail/outbox;
// whatever bash would expand or run instead of passing on is left out and named in
// the trace, so that a test sees text that reached the shell unescaped.
#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace qv::sim {

namespace {

constexpr const char* kOutbox = "/var/mail/outbox";

struct Mail {
    std::vector<std::string> to;
    std::string subject;
    std::string body;
};

class Shell {
public:
    explicit Shell(Trace& trace) : trace_(trace) {}

    // Text as bash passes it on: in a here-document with an unquoted delimiter
    // (here_document), between double quotes, or as an unquoted word.
    enum class Context { HereDocument, DoubleQuoted, Word };
    std::string expand(std::string_view text, Context context)
    {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\\' && i + 1 < text.size()) {
                const char next = text[i + 1];
                ++i;
                if (next == '\n') continue;
                if (context == Context::Word || next == '$' || next == '`' || next == '\\' ||
                    (context == Context::DoubleQuoted && next == '"')) {
                    out += next;
                } else {
                    out += '\\';
                    out += next;
                }
            } else if (c == '$') {
                const std::size_t end = expansion_end(text, i);
                if (end == i + 1) out += '$';
                else expanded(text.substr(i, end - i));
                i = end - 1;
            } else if (c == '`') {
                std::size_t end = i + 1;
                while (end < text.size() && text[end] != '`') end += text[end] == '\\' ? 2 : 1;
                end = std::min(end + 1, text.size());
                expanded(text.substr(i, end - i));
                i = end - 1;
            } else {
                out += c;
            }
        }
        return out;
    }

private:
    // One past a $ expansion starting at i; i + 1 when the $ stays literal.
    static std::size_t expansion_end(std::string_view text, std::size_t i)
    {
        std::size_t end = i + 1;
        if (end >= text.size()) return end;
        const char c = text[end];
        if (c == '(' || c == '{') {
            const char close = c == '(' ? ')' : '}';
            int depth = 0;
            for (; end < text.size(); ++end) {
                if (text[end] == c) ++depth;
                else if (text[end] == close && --depth == 0) return end + 1;
            }
            return end;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
            return end;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || std::string_view("@*#?$!-").find(c) != std::string_view::npos)
            return end + 1;
        return end;
    }

    void expanded(std::string_view what)
    {
        trace_.record(Access::Command, "mail: shell expansion %.*s", static_cast<int>(what.size()), what.data());
    }

    Trace& trace_;
};

std::vector<std::string> split_lines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

// The mail the script sends; false with the reason when it is not the one form.
bool read_script(std::string_view script, Shell& shell, Trace& trace, Mail& mail, std::string& why)
{
    const std::size_t first_end = script.find('\n');
    const std::size_t second_end = first_end == std::string_view::npos ? first_end : script.find('\n', first_end + 1);
    if (first_end == std::string_view::npos || script.substr(0, first_end) != "#!/bin/bash") {
        why = "no #!/bin/bash line";
        return false;
    }
    const std::string_view command =
        script.substr(first_end + 1, second_end == std::string_view::npos ? std::string_view::npos : second_end - first_end - 1);
    constexpr std::string_view kStart = "mail -s \"";
    constexpr std::string_view kHere = "<<EOT";
    std::size_t close = kStart.size();
    while (close < command.size() && command[close] != '"') close += command[close] == '\\' ? 2 : 1;
    if (!command.starts_with(kStart) || close >= command.size() || !command.ends_with(kHere)) {
        why = "not a mail -s \"SUBJECT\" RECIPIENTS <<EOT line";
        return false;
    }
    mail.subject = shell.expand(command.substr(kStart.size(), close - kStart.size()), Shell::Context::DoubleQuoted);

    const std::string_view recipients = command.substr(close + 1, command.size() - kHere.size() - close - 1);
    std::istringstream words{std::string(recipients)};
    for (std::string word; words >> word;) {
        if (word.find_first_of(";&|<>()'\"") != std::string::npos) {
            why = "shell syntax in the recipients: " + word;
            return false;
        }
        std::string value = shell.expand(word, Shell::Context::Word);
        if (!value.empty()) mail.to.push_back(std::move(value));
    }

    // The here-document ends at a line that is exactly EOT, or at the end of the file.
    const std::string_view rest = second_end == std::string_view::npos ? std::string_view() : script.substr(second_end + 1);
    std::string body;
    std::size_t line_start = 0;
    while (line_start < rest.size()) {
        std::size_t end = rest.find('\n', line_start);
        end = end == std::string_view::npos ? rest.size() : end + 1;
        const std::string_view line = rest.substr(line_start, end - line_start);
        line_start = end;
        if (line == "EOT\n" || line == "EOT") {
            const std::size_t commands = split_lines(rest.substr(line_start)).size();
            if (commands > 0)
                trace.record(Access::Command, "mail: the here-document ends early; %zu more line(s) would run as commands", commands);
            break;
        }
        body += line;
    }
    mail.body = shell.expand(body, Shell::Context::HereDocument);
    if (mail.to.empty()) {
        why = "no recipients";
        return false;
    }
    return true;
}

// The file's bytes; the simulated machine runs as root, so a mode without read
// permission does not stop it even when the host user is not root.
bool read_whole(const std::string& host_path, std::string& content)
{
    std::ifstream in(host_path, std::ios::binary);
    std::error_code error;
    const fs::perms before = fs::status(host_path, error).permissions();
    bool opened = static_cast<bool>(in);
    if (!opened) {
        fs::permissions(host_path, fs::perms::owner_read, fs::perm_options::add, error);
        in.open(host_path, std::ios::binary);
        opened = static_cast<bool>(in);
        fs::permissions(host_path, before, error);
    }
    if (!opened) return false;
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
    return true;
}

void deliver(Machine& machine, const Mail& mail)
{
    std::string to;
    for (const std::string& address : mail.to) to += (to.empty() ? "" : ", ") + address;
    std::string entry = "To: " + to + "\nSubject: " + mail.subject + "\n\n" + mail.body;
    if (!entry.ends_with('\n')) entry += '\n';
    entry += '\n';
    std::string outbox;
    machine.sandbox.read_file(kOutbox, outbox);
    machine.sandbox.write_file(kOutbox, outbox + entry);
    machine.trace.record(Access::Command, "mail \"%s\" to %s, %zu bytes", mail.subject.c_str(), to.c_str(), mail.body.size());
}

int run_script(Machine& machine, const std::string& path)
{
    const std::string host_path = machine.sandbox.map(path);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(host_path, error);
    // A link could lead out of the sandbox; the program never leaves one to run.
    if (!fs::is_regular_file(status)) {
        machine.trace.record(Access::Command, "exec %s: not a regular file", path.c_str());
        return 126;
    }
    if ((status.permissions() & fs::perms::owner_exec) == fs::perms::none) {
        machine.trace.record(Access::Command, "exec %s: permission denied", path.c_str());
        return 126;
    }
    std::string script;
    if (!read_whole(host_path, script)) return 126;
    Shell shell(machine.trace);
    Mail mail;
    std::string why;
    if (!read_script(script, shell, machine.trace, mail, why)) {
        machine.trace.record(Access::Command, "%s: not a script the simulator runs: %s", path.c_str(), why.c_str());
        return 127;
    }
    deliver(machine, mail);
    return 0;
}

}  // namespace

void build_mail(Machine& machine, const json& board)
{
    const json& mail = section(board, "mail");
    machine.fork_fails = member_or(mail, "fork_fails", false);
    machine.wait_fails = member_or(mail, "wait_fails", false);
    machine.add_command({
        [&machine](std::string_view command) {
            return command.starts_with('/') && command.find(' ') == std::string_view::npos && machine.sandbox.exists(command);
        },
        [&machine](std::string_view command, std::string&) { return run_script(machine, std::string(command)); },
    });
}

}  // namespace qv::sim
