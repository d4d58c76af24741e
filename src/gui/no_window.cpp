// The window mode of a build without GTK (the 32-bit one): a clear refusal instead of a
// program that does not link.
#include "gui/window.h"

#include <cstdio>
#include <cstdlib>

namespace qv {

namespace {

[[noreturn]] void refuse()
{
    std::fputs("Error: This build of Quorvel has no window; use -t or -r.\n", stderr);
    std::exit(-1);
}

}  // namespace

// Called before a first start writes anything, so the refusal leaves no profile behind.
void init_window_toolkit(int, char**) { refuse(); }
void open_windows(int, char**) { refuse(); }
void start_pages(std::span<ItemDisplay>, const LoadedProfile&) { refuse(); }
void run_main_loop() { refuse(); }

}  // namespace qv
