// What every benchmark does around its measurement.
#pragma once

#include "app/prepare.h"

#include <cstdio>
#include <functional>
#include <string>

namespace qv::bench {

// CPU time of this process, in microseconds.
double cpu_us();

// Start-up as the programs do it before their first poll: BMC detection, the profile
// (written from the board databases first when the board has none), the hardware made
// ready. Throws when the board cannot start.
PreparedProfile start_up();

// The program's output goes to /dev/null; the returned stream is the original standard
// output, for the results.
FILE* divert_stdout();

// The command line the board benchmarks share: --board FILE, a count of polls under
// the benchmark's own flag (--reports, --ticks, --polls) and, where allowed, --untimed.
struct Command {
    std::string board;
    int count;
    bool timed = true;
};
Command parse_command(int argc, char** argv, const char* count_flag, int count, bool untimed_allowed, const char* usage);

// A board's name for the results.
inline const char* board_name(const Command& command)
{
    return command.board.empty() ? "built-in demo" : command.board.c_str();
}

// Runs a benchmark; what it throws is printed as "NAME: message" and ends it with status 2.
int guarded_main(const char* name, const std::function<int()>& body);

}  // namespace qv::bench
