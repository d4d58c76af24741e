#include "app/startup.h"

#include "app/cli.h"
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

namespace qv {

namespace {

ProfileStore profile_store;
LoadedProfile loaded_profile;

struct Identity {
    char vendor[kIdentitySize] = {};
    char product[kIdentitySize] = {};
    char version[kIdentitySize] = {};
};

[[noreturn]] void fail(const char* message)
{
    std::fputs(message, stderr);
    std::exit(-1);
}

// First start: write the profile from the board databases, or end the process.
void generate_profile()
{
    Identity id;
    get_mb_info(id.vendor, id.product, id.version);
    if (!iequals(id.vendor, "TALLOWMERE")) fail("Warn: This is not Tallowmere's motherboard!\n");
    if (id.product[0] == '\0') fail("Warn: There is no Product name!\n");
    if (produce_quorvel_ini(id.product, id.version) != 0)
        fail("Error: Cannot create the initial file for Quorvel!\n");
}

void load_profile()
{
    if (loadQuorvelINI_and_getItemCount(profile_store) <= 0) fail("Error: something wrong in file Quorvel.ini.\n");
    loaded_profile = profile_store.view();
    myspQuorvel = &loaded_profile;
}

void prepare_hardware(const LoadedProfile& profile, int generated)
{
    SystemSection& system = *profile.system;
    if ((system.BusType & kBusSmbus) != 0 && hDevice == 0 && i2cdetect() < 0) {
        if (generated) platform::os().system("rm -f /etc/Quorvel.ini");
        std::exit(-1);
    }
    io_open(system);
    Identity id;
    get_mb_info(id.vendor, id.product, id.version);
    if (istarts_with(id.product, "KV3M") && system.CoreTempChipCode == 0x11)
        revise_quorvel_ini_for_KV3M(system, profile.items);
}

int run_text_report(std::vector<ItemDisplay>& displays, const LoadedProfile& profile, int interval)
{
    for (;;) {
        text_build_Items(displays, profile);
        if (interval <= 0) return 0;
        std::fflush(stdout);
        platform::os().sleep(static_cast<unsigned>(interval));
    }
}

int run_reset(const LoadedProfile& profile, const char* name)
{
    for (ItemSection& item : profile.items) {
        if (item.Cat != SWITCH || !iequals(item.Name, name)) continue;
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

int run_window(int argc, char** argv, const LoadedProfile& profile, int generated)
{
    open_windows(argc, argv);
    window_displays = createItemDisps(profile);
    if (generated) detect_and_hide_nonactivated_items(window_displays, profile);
    start_pages(window_displays, profile);
    run_main_loop();
    return 0;
}

}  // namespace

int existFile(const char* path)
{
    platform::Os& os = platform::os();
    struct stat status {};
    if (os.stat(path, &status) != 0) return -1;
    // Opening a FIFO would wait for a writer. Something that is there is no first start;
    // the loader refuses it.
    if (!S_ISREG(status.st_mode)) return os.access(path, R_OK) == 0 ? 0 : -1;
    const int fd = os.open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    os.close(fd);
    return 0;
}

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
    int generated = 0;
    if (existFile(QUORVEL_INI) != 0) {
        // A window that cannot open must not leave a first start half done behind it.
        if (options.text == 0) init_window_toolkit(argc, argv);
        generate_profile();
        generated = 1;
    }
    load_profile();
    const LoadedProfile& profile = *myspQuorvel;
    prepare_hardware(profile, generated);
    if (options.text == 0) return run_window(argc, argv, profile, generated);
    auto displays = createItemDisps(profile);
    if (generated) detect_and_hide_nonactivated_items(displays, profile);
    if (options.reset) return run_reset(profile, options.resetName);
    return run_text_report(displays, profile, options.interval);
}

}  // namespace qv
