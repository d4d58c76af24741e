// A simulated machine with a profile loaded, for tests of the sensor engine.
#pragma once

#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "profile/loader.h"
#include "support/sim_fixture.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv::test {

class EngineTest : public SimTest {
protected:
    // Boots the board (with no profile of its own) and loads profile into the records.
    LoadedProfile load(const std::string& profile, const sim::json& board = sim::json::object())
    {
        boot(board);
        reset_hw_state();
        hDevice = 0;
        write("/etc/Quorvel.ini", profile);
        if (loadQuorvelINI_and_getItemCount(store_) <= 0) throw std::runtime_error("test profile did not load");
        profile_ = store_.view();
        session().trace().reset_counts();
        return profile_;
    }

    ItemSection& item(std::string_view name)
    {
        for (ItemSection& candidate : profile_.items)
            if (candidate.Name == name) return candidate;
        throw std::runtime_error("no item " + std::string(name));
    }

    uint64_t accesses(sim::Access kind) { return session().trace().count(kind); }
    uint64_t all_accesses()
    {
        uint64_t total = 0;
        for (std::size_t k = 0; k < sim::kAccessKinds; ++k) total += accesses(static_cast<sim::Access>(k));
        return total;
    }

    LoadedProfile profile_;

private:
    ProfileStore store_;
};

// A [System] block, then the blocks given.
inline std::string profile_text(std::string_view system_bus, std::string_view blocks)
{
    return "[System]\nBUSTYPE=" + std::string(system_bus) + "\nINDEXREG=295\nDATAREG=296\nPOLLING=5\n\n" +
           std::string(blocks);
}

}  // namespace qv::test
