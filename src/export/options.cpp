#include "export/options.h"

#include <charconv>
#include <optional>

namespace qv::exporter {

namespace {

std::optional<Format> format_named(std::string_view name)
{
    if (name == "openmetrics") return Format::OpenMetrics;
    if (name == "json") return Format::Json;
    if (name == "nagios") return Format::Nagios;
    return std::nullopt;
}

std::optional<int> seconds(std::string_view text)
{
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

ParseResult error(std::string text)
{
    ParseResult result;
    result.outcome = Parsed::Error;
    result.error = std::move(text);
    return result;
}

}  // namespace

ParseResult parse_export_options(std::span<const std::string> args)
{
    ParseResult result;
    ExportOptions& options = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "-h" || name == "--help") return {Parsed::Help, options, {}};
        if (name == "--version") return {Parsed::Version, options, {}};
        if (name != "--format" && name != "--textfile" && name != "--interval")
            return error("unknown option '" + args[i] + "'");
        if (!value) {
            if (i + 1 == args.size()) return error("option '" + name + "' needs a value");
            value = args[++i];
        }
        if (name == "--format") {
            const std::optional<Format> format = format_named(*value);
            if (!format) return error("unknown format '" + *value + "' (openmetrics, json or nagios)");
            options.format = *format;
        } else if (name == "--textfile") {
            if (value->empty()) return error("--textfile needs a file name");
            options.textfile = *value;
        } else {
            const std::optional<int> interval = seconds(*value);
            if (!interval) return error("--interval needs a whole number of seconds, at least 1");
            options.interval = *interval;
        }
    }
    return result;
}

std::string export_usage()
{
    return "usage: quorvel-export [--format openmetrics|json|nagios] [--textfile PATH] [--interval N]\n"
           "  --format F      openmetrics (default), json, or nagios (one plugin line and its status)\n"
           "  --textfile PATH write each poll to PATH, replaced whole, instead of standard output\n"
           "  --interval N    poll every N seconds until killed\n"
           "  -h, --help      this text\n"
           "  --version       the program's version\n";
}

}  // namespace qv::exporter
