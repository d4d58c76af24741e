#include "app/prepare.h"

#include "hw/chips.h"
#include "hw/dmi.h"
#include "hw/i2c_discovery.h"
#include "hw/port_io.h"
#include "ipmi/ipmi.h"
#include "platform/os.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "profile/text.h"

#include <cstdlib>

namespace qv {

namespace {

// The window's pages keep pointing into these until the end of the process.
ProfileStore profile_store;
LoadedProfile loaded_profile;

struct Identity {
    char vendor[kIdentitySize] = {};
    char product[kIdentitySize] = {};
    char version[kIdentitySize] = {};
};

[[noreturn]] void end(StartFailure fail, const char* message)
{
    fail(message);
    std::exit(-1);
}

void generate_profile(StartFailure fail)
{
    Identity id;
    get_mb_info(id.vendor, id.product, id.version);
    if (!iequals(id.vendor, "TALLOWMERE")) end(fail, "Warn: This is not Tallowmere's motherboard!\n");
    if (id.product[0] == '\0') end(fail, "Warn: There is no Product name!\n");
    if (produce_quorvel_ini(id.product, id.version) != 0)
        end(fail, "Error: Cannot create the initial file for Quorvel!\n");
}

void load_profile(StartFailure fail)
{
    if (loadQuorvelINI_and_getItemCount(profile_store) <= 0) end(fail, "Error: something wrong in file Quorvel.ini.\n");
    loaded_profile = profile_store.view();
    myspQuorvel = &loaded_profile;
}

void prepare_hardware(const LoadedProfile& profile, bool generated, StartFailure fail)
{
    SystemSection& system = *profile.system;
    if ((system.BusType & kBusSmbus) != 0 && ipmi_state().hDevice == 0 && i2cdetect() < 0) {
        if (generated) platform::os().system("rm -f /etc/Quorvel.ini");
        end(fail, nullptr);
    }
    io_open(system);
    Identity id;
    get_mb_info(id.vendor, id.product, id.version);
    if (istarts_with(id.product, "KV3M") && system.CoreTempChipCode == kW83793G)
        revise_quorvel_ini_for_KV3M(system, profile.items);
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

PreparedProfile prepare_profile(bool first_start, StartFailure fail)
{
    if (first_start) generate_profile(fail);
    load_profile(fail);
    prepare_hardware(loaded_profile, first_start, fail);
    return {&loaded_profile, first_start};
}

}  // namespace qv
