// One simulated machine installed as the program's Os, for quorvel-sim and for tests.
#pragma once

#include "sim/machine.h"
#include "sim/sim_os.h"

#include <string>

namespace qv::sim {

struct SessionOptions {
    json board;              // the board itself; null: read board_path (empty: the demo)
    std::string board_path;
    std::string root;        // empty: a temporary sandbox
    uid_t uid = 0;
    std::string trace_path;  // empty: no trace file
    bool fast = true;
};

class Session {
public:
    // Throws std::runtime_error when the board cannot be loaded or built.
    explicit Session(const SessionOptions& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Machine& machine() { return machine_; }
    Sandbox& sandbox() { return sandbox_; }
    Trace& trace() { return trace_; }
    VirtualClock& clock() { return clock_; }

private:
    Sandbox sandbox_;
    VirtualClock clock_;
    Trace trace_;
    Machine machine_;
    SimOs os_;
};

}  // namespace qv::sim
