// A profile of any content: the three passes of the loader over one file, then the
// parameter lookups of its items.
#include "memory_os.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "sensors/parameters.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qv::fuzz::MemoryOs machine;
    machine.files[qv::QUORVEL_INI].assign(reinterpret_cast<const char*>(data), size);
    qv::ProfileStore store;
    const int count = qv::loadQuorvelINI_and_getItemCount(store);
    if (count < 0 || static_cast<std::size_t>(count) != store.items.size()) __builtin_trap();
    const qv::LoadedProfile profile = store.view();
    for (const qv::ItemSection& item : store.items) {
        (void)qv::item_parameter(profile, item, item.ParaIndex1);
        (void)qv::item_bitmask(profile, item, item.ParaIndex2);
        (void)qv::find_parameter(item.ParaIndex1, store.params);
    }
    return 0;
}
