#include "sim/session.h"

#include "sim/board.h"

#include <stdexcept>

namespace qv::sim {

Session::Session(const SessionOptions& options)
    : sandbox_(options.root), clock_(options.fast), machine_(sandbox_, clock_, trace_), os_(machine_)
{
    if (!options.trace_path.empty() && !trace_.open(options.trace_path))
        throw std::runtime_error("cannot write the trace file " + options.trace_path);
    machine_.uid = options.uid;
    install_system_files(sandbox_);
    build_board(machine_, options.board.is_null() ? load_board(options.board_path) : options.board);
    platform::set_os(&os_);
}

Session::~Session() { platform::set_os(nullptr); }

}  // namespace qv::sim
