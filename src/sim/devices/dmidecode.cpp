// "dmidecode" and the pipelines the program builds on it: dmidecode's base-board
// section from the board's identity, then grep, grep -i ... -A N and sed 's/X/Y/g'
// stages as the shell would run them.
#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>
#include <vector>

namespace qv::sim {

namespace {

using Lines = std::vector<std::string>;

Lines dmidecode_output(const json& identity)
{
    return {"# dmidecode 2.12",
            "SMBIOS 2.6 present.",
            "",
            "Handle 0x0002, DMI type 2, 15 bytes",
            "Base Board Information",
            "\tManufacturer: " + identity.value("vendor", std::string()),
            "\tProduct Name: " + identity.value("product", std::string()),
            "\tVersion: " + identity.value("version", std::string()),
            "\tSerial Number: 0123456789",
            "\tAsset Tag: To be filled by O.E.M.",
            "\tFeatures:",
            "\t\tBoard is a hosting board",
            ""};
}

std::string trim_blanks(std::string_view s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string unquote(std::string s)
{
    if (s.size() >= 2 && s.front() == '\'' && s.back() == '\'') return s.substr(1, s.size() - 2);
    return s;
}

bool contains(std::string_view line, std::string_view pattern, bool ignore_case)
{
    if (!ignore_case) return line.find(pattern) != std::string_view::npos;
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    return std::search(line.begin(), line.end(), pattern.begin(), pattern.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != line.end();
}

// grep [-i] PATTERN [-A N]
std::optional<Lines> grep(const std::string& arguments, const Lines& in)
{
    std::string rest = arguments;
    const bool ignore_case = rest.starts_with("-i ");
    if (ignore_case) rest = rest.substr(3);
    std::size_t after = 0;
    if (const auto a = rest.rfind(" -A "); a != std::string::npos) {
        after = std::stoul(rest.substr(a + 4));
        rest = rest.substr(0, a);
    }
    const std::string pattern = unquote(trim_blanks(rest));
    Lines out;
    std::size_t print_until = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (contains(in[i], pattern, ignore_case)) print_until = i + after + 1;
        if (i < print_until) out.push_back(in[i]);
    }
    return out;
}

// sed 's/FROM/TO/g' with literal texts.
std::optional<Lines> sed(const std::string& arguments, Lines lines)
{
    const std::string script = unquote(trim_blanks(arguments));
    if (!script.starts_with("s/") || !script.ends_with("/g")) return std::nullopt;
    const std::string body = script.substr(2, script.size() - 4);
    const auto slash = body.find('/');
    if (slash == std::string::npos) return std::nullopt;
    const std::string from = body.substr(0, slash);
    const std::string to = body.substr(slash + 1);
    for (std::string& line : lines) {
        if (from.empty()) continue;
        for (std::size_t at = line.find(from); at != std::string::npos; at = line.find(from, at + to.size()))
            line.replace(at, from.size(), to);
    }
    return lines;
}

// Exit status of the pipeline; its output joined with newlines.
int run_pipeline(std::string_view command, const json& identity, std::string& output)
{
    std::vector<std::string> stages;
    std::stringstream split{std::string(command)};
    for (std::string stage; std::getline(split, stage, '|');) stages.push_back(trim_blanks(stage));
    if (stages.empty() || stages.front() != "dmidecode") return 127;
    std::optional<Lines> lines = dmidecode_output(identity);
    for (std::size_t i = 1; i < stages.size() && lines; ++i) {
        const std::string& stage = stages[i];
        if (stage.starts_with("grep ")) lines = grep(stage.substr(5), *lines);
        else if (stage.starts_with("sed ")) lines = sed(stage.substr(4), *lines);
        else lines.reset();
    }
    if (!lines) return 127;
    for (const std::string& line : *lines) output += line + "\n";
    return 0;
}

}  // namespace

void build_dmidecode(Machine& machine, const json& board)
{
    const json& identity = section(board, "identity");
    if (identity.is_null() || !member_or(section(board, "dmi"), "dmidecode", true)) return;
    machine.add_command({
        [](std::string_view command) { return command.starts_with("dmidecode"); },
        [identity](std::string_view command, std::string& output) { return run_pipeline(command, identity, output); },
    });
}

}  // namespace qv::sim
