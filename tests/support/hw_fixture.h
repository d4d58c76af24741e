// A simulated machine for hardware-layer tests: the layer's state reset, no BMC, and
// the access trace kept in memory.
#pragma once

#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "support/sim_fixture.h"

#include <string>
#include <string_view>
#include <vector>

namespace qv::test {

class HwTest : public SimTest {
protected:
    void SetUp() override { boot_board(sim::json::object()); }

    void boot_board(const sim::json& board)
    {
        boot(board);
        reset_hw_state();
        reset_ipmi_state();
        session().trace().keep_lines();
    }

    // Trace lines of one kind ("port", "bind", "smbus", "memory", "command", "sleep"),
    // without the kind.
    std::vector<std::string> trace(std::string_view kind)
    {
        std::vector<std::string> lines;
        for (const std::string& line : session().trace().lines())
            if (line.starts_with(kind) && line.size() > kind.size() && line[kind.size()] == ' ')
                lines.push_back(line.substr(kind.size() + 1));
        return lines;
    }
    void clear_trace() { session().trace().clear_lines(); }
};

}  // namespace qv::test
