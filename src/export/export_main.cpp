// quorvel-export's run: the programs' shared start-up, then polls written out in the chosen format.
#include "export/export_main.h"

#include "app/prepare.h"
#include "app/report.h"
#include "export/formats.h"
#include "export/options.h"
#include "export/snapshot.h"
#include "export/textfile.h"
#include "ipmi/ipmi.h"
#include "platform/exit.h"
#include "platform/os.h"
#include "profile/availability.h"
#include "profile/paths.h"
#include "sensors/poll.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#ifndef QUORVEL_VERSION
#define QUORVEL_VERSION "unknown"
#endif

namespace qv::exporter {

namespace {

// Where the output goes. The engine and the first start print their messages on
// standard output; while this program runs those go to standard error instead.
FILE* output = nullptr;
Format chosen_format = Format::OpenMetrics;

class OutputGuard {
public:
    OutputGuard() : saved_(stdout)
    {
        output = stdout;
        stdout = stderr;
    }
    ~OutputGuard()
    {
        std::fflush(output);
        stdout = saved_;
    }
    OutputGuard(const OutputGuard&) = delete;
    OutputGuard& operator=(const OutputGuard&) = delete;

private:
    FILE* saved_;
};

std::string first_line(const char* message)
{
    std::string text(message);
    text = text.substr(0, text.find('\n'));
    return text;
}

constexpr const char* kUnreachable = "the hardware cannot be reached";

[[noreturn]] void start_failed(const char* message)
{
    if (message != nullptr) std::fputs(message, stderr);
    if (chosen_format == Format::Nagios) {
        const std::string why = message != nullptr ? first_line(message) : kUnreachable;
        std::fprintf(output, "QUORVEL UNKNOWN - %s\n", why.c_str());
        std::fflush(output);
        std::exit(kNagiosUnknown);
    }
    std::exit(-1);
}

// The layers below end the process where a failure leaves nothing to go on with; their
// statuses would read as WARNING or CRITICAL to a plugin's caller. They have said why.
void fatal_for_nagios(int) { start_failed(nullptr); }

int busy()
{
    if (chosen_format != Format::Nagios) return kPollBusyStatus;
    std::fputs("QUORVEL UNKNOWN - another poller holds the hardware\n", output);
    return kNagiosUnknown;
}

struct Rendered {
    std::string text;
    int status = 0;
};

Rendered render(const Snapshot& snapshot, Format format)
{
    switch (format) {
    case Format::Json: return {json_text(snapshot), 0};
    case Format::Nagios: {
        NagiosResult result = nagios_result(snapshot);
        return {std::move(result.line), result.status};
    }
    case Format::OpenMetrics: break;
    }
    return {openmetrics_text(snapshot), 0};
}

// "2 of 27 items not read: A, B"; empty when every item was read.
std::string unread_items(const Snapshot& snapshot)
{
    std::string names;
    std::size_t count = 0;
    for (const ItemSample& sample : snapshot.items) {
        if (sample.read) continue;
        const ItemDisplay& d = sample.display;
        names += (count++ == 0 ? "" : ", ") + std::string(d.name, strnlen(d.name, sizeof d.name));
    }
    if (count == 0) return {};
    return std::to_string(count) + " of " + std::to_string(snapshot.items.size()) + " items not read: " + names;
}

int poll_loop(const ExportOptions& options, std::vector<ItemDisplay>& displays, const LoadedProfile& profile)
{
    const BoardIdentity board = board_identity();
    const int write_failure = options.format == Format::Nagios ? kNagiosUnknown : 1;
    std::string last_unread;
    for (;;) {
        std::optional<Snapshot> snapshot;
        if (const PollLock lock; lock) snapshot = poll_items(displays, profile, board);
        if (!snapshot) {
            // The previous text file stays; a one-shot run says why it has nothing.
            if (options.interval <= 0) return busy();
            platform::os().sleep(static_cast<unsigned>(options.interval));
            continue;
        }
        // A chip that stops answering: one line each time the set of silent items changes.
        if (std::string unread = unread_items(*snapshot); unread != last_unread) {
            if (!unread.empty()) std::fprintf(stderr, "quorvel-export: %s\n", unread.c_str());
            last_unread = std::move(unread);
        }
        Rendered rendered = render(*snapshot, options.format);
        if (!options.textfile.empty()) {
            const std::string error = replace_file(options.textfile, rendered.text);
            if (!error.empty()) {
                std::fprintf(stderr, "quorvel-export: %s\n", error.c_str());
                rendered.status = write_failure;
            }
        } else {
            std::fputs(rendered.text.c_str(), output);
            std::fflush(output);
        }
        // A service keeps polling through a full disk; the next poll may have room again.
        if (options.interval <= 0) return rendered.status;
        platform::os().sleep(static_cast<unsigned>(options.interval));
    }
}

}  // namespace

int export_main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParseResult parsed = parse_export_options(args);
    switch (parsed.outcome) {
    case Parsed::Help: std::fputs(export_usage().c_str(), stdout); return 0;
    case Parsed::Version: std::printf("quorvel-export %s\n", QUORVEL_VERSION); return 0;
    case Parsed::Error:
        std::fprintf(stderr, "quorvel-export: %s\n%s", parsed.error.c_str(), export_usage().c_str());
        return 2;
    case Parsed::Run: break;
    }
    const ExportOptions& options = parsed.options;
    chosen_format = options.format;
    OutputGuard guard;
    if (chosen_format == Format::Nagios) platform::set_fatal_exit_hook(fatal_for_nagios);
    IpmiInit();
    if (platform::os().getuid() != 0) start_failed("Error: Can only be run as root.\n");
    const bool first_start = existFile(QUORVEL_INI) != 0;
    std::optional<PollLock> start(std::in_place);
    if (!*start) return busy();
    const PreparedProfile prepared = prepare_profile(first_start, start_failed);
    const LoadedProfile& profile = *prepared.profile;
    std::vector<ItemDisplay> displays = createItemDisps(profile);
    if (prepared.generated) detect_and_hide_nonactivated_items(displays, profile);
    start.reset();
    return poll_loop(options, displays, profile);
}

}  // namespace qv::exporter
