// The end of the process from deep inside a layer, where the program itself may want a
// last word (a monitoring plugin's status line) before it goes.
#pragma once

namespace qv::platform {

// Runs the program's hook, if any (which may end the process itself), then exit(status).
[[noreturn]] void fatal_exit(int status);
void set_fatal_exit_hook(void (*hook)(int status));

}  // namespace qv::platform
