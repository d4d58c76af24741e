#include "app/startup.h"

#include "app/cli.h"
#include "app/prepare.h"
#include "app/report.h"
#include "gui/window.h"
#include "hw/dmi.h"
#include "hw/i2c_discovery.h"
#include "hw/port_io.h"
#include "ipmi/ipmi.h"
#include "platform/os.h"
#include "profile/availability.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "profile/text.h"
#include "sensors/intrusion.h"
#include "sensors/poll.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace qv {

namespace {

[[noreturn]] void fail(const char* message)
{
    if (message != nullptr) std::fputs(message, stderr);
    std::exit(-1);
}

int run_text_report(std::vector<ItemDisplay>& displays, const LoadedProfile& profile, int interval)
{
    for (;;) {
        bool polled = false;
        if (const PollLock lock; lock) {
            text_build_Items(displays, profile);
            polled = true;
        }
        if (interval <= 0) return polled ? 0 : kPollBusyStatus;
        std::fflush(stdout);
        platform::os().sleep(static_cast<unsigned>(interval));
    }
}

int run_reset(const LoadedProfile& profile, const char* name)
{
    for (ItemSection& item : profile.items) {
        if (item.Cat != SWITCH || !iequals(item.Name, name)) continue;
        const PollLock lock;
        if (!lock) return kPollBusyStatus;
        begin_item_poll();
        if (reset_Intrusion(profile, item) == 0) std::printf("\"%s\" is reset!\n\n", name);
        else std::printf("\"%s\" is NOT reset!\n\n", name);
        return 0;
    }
    std::fprintf(stderr, "Warning! \"%s\" is not found.\n\n", name);
    return 0;
}

// Lives as long as the window: the pages and their callbacks read it until the end.
std::vector<ItemDisplay> window_displays;

int run_window(int argc, char** argv, const LoadedProfile& profile, int generated, std::optional<PollLock>& start)
{
    open_windows(argc, argv);
    window_displays = createItemDisps(profile);
    if (generated) detect_and_hide_nonactivated_items(window_displays, profile);
    start_pages(window_displays, profile);
    start.reset();
    run_main_loop();
    return 0;
}

}  // namespace

int quorvel_main(int argc, char** argv)
{
    IpmiInit();
    RunOptions options;
    if (parse_command_line(argc, argv, options) == ParseOutcome::Done) return 0;
    headline();
    if (platform::os().getuid() != 0) {
        std::printf("Error: Can only be run as root.\n");
        std::exit(-1);
    }
    const bool first_start = existFile(QUORVEL_INI) != 0;
    // A window that cannot open must not leave a first start half done behind it.
    if (first_start && options.text == 0) init_window_toolkit(argc, argv);
    // Start-up up to the first values is one poll, a first start's probing included.
    std::optional<PollLock> start(std::in_place);
    if (!*start) return kPollBusyStatus;
    const PreparedProfile prepared = prepare_profile(first_start, fail);
    const LoadedProfile& profile = *prepared.profile;
    const int generated = prepared.generated ? 1 : 0;
    if (options.text == 0) return run_window(argc, argv, profile, generated, start);
    auto displays = createItemDisps(profile);
    if (generated) detect_and_hide_nonactivated_items(displays, profile);
    start.reset();
    if (options.reset) return run_reset(profile, options.resetName);
    return run_text_report(displays, profile, options.interval);
}

}  // namespace qv
