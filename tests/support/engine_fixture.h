// A simulated machine with a profile loaded and started as the program starts it, for
// tests of the sensor engine; the hardware accesses of each step can be read back.
#pragma once

#include "hw/i2c_discovery.h"
#include "hw/port_io.h"
#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "profile/loader.h"
#include "support/sim_fixture.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qv::test {

class EngineTest : public SimTest {
protected:
    void TearDown() override
    {
        reset_hw_state();
        reset_ipmi_state();
    }

    // Boots the board, loads profile into the records and prepares the buses as start-up
    // does (BMC detection, I2C adapters, the SMBus controller).
    LoadedProfile load(const std::string& profile, const sim::json& board = sim::json::object())
    {
        boot(board);
        reset_hw_state();
        reset_ipmi_state();
        write("/etc/Quorvel.ini", profile);
        if (loadQuorvelINI_and_getItemCount(store_) <= 0) throw std::runtime_error("test profile did not load");
        profile_ = store_.view();
        if (board.contains("bmc")) IpmiInit();
        if ((profile_.system->BusType & kBusSmbus) != 0 && ipmi_state().hDevice == 0 && board.contains("i2c"))
            i2cdetect();
        io_open(*profile_.system);
        trace_path_ = session().sandbox().map("/trace.txt");
        session().trace().open(trace_path_);
        session().trace().reset_counts();
        return profile_;
    }

    ItemSection& item(std::string_view name)
    {
        for (ItemSection& candidate : profile_.items)
            if (candidate.Name == name) return candidate;
        throw std::runtime_error("no item " + std::string(name));
    }

    uint64_t all_accesses()
    {
        uint64_t total = 0;
        for (std::size_t k = 0; k < sim::kAccessKinds; ++k) total += session().trace().count(static_cast<sim::Access>(k));
        return total;
    }

    // The trace lines that step writes.
    std::vector<std::string> traced(const std::function<void()>& step)
    {
        std::fflush(nullptr);
        const std::size_t before = trace_lines().size();
        step();
        std::fflush(nullptr);
        std::vector<std::string> lines = trace_lines();
        return {lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end()};
    }

    LoadedProfile profile_;

private:
    std::vector<std::string> trace_lines()
    {
        std::vector<std::string> lines;
        std::ifstream in(trace_path_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    ProfileStore store_;
    std::string trace_path_;
};

// A [System] block, then the blocks given.
inline std::string profile_text(std::string_view system_bus, std::string_view blocks)
{
    return "[System]\nBUSTYPE=" + std::string(system_bus) + "\nINDEXREG=295\nDATAREG=296\nPOLLING=5\n\n" +
           std::string(blocks);
}

}  // namespace qv::test
