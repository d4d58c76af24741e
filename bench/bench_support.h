// What every benchmark does around its measurement.
#pragma once

#include "app/prepare.h"

#include <cstdio>

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

}  // namespace qv::bench
