// The command line, the banner and the usage text.
#pragma once

namespace qv {

struct RunOptions {
    int text = 0;        // 1: text report or reset, 0: the window
    int reset = 0;       // 1: reset the switch item named resetName
    const char* resetName = nullptr;
    int interval = 0;    // seconds between reports; 0: one report
};

enum class ParseOutcome { Run, Done };

void headline();
void usage(const char* program);

// Reads the options; prints banner and usage or version where the options ask for it
// or are wrong, and then says Done.
ParseOutcome parse_command_line(int argc, char** argv, RunOptions& options);

}  // namespace qv
