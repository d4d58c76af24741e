// The installed machine and the fatal exit.
#include "platform/os.h"
#include "platform/exit.h"

#include <cstdlib>

namespace qv::platform {

namespace {
Os* current = nullptr;
}

Os& os()
{
    if (current == nullptr) {
        std::fputs("Error: no machine installed.\n", stderr);
        std::abort();
    }
    return *current;
}

void set_os(Os* machine) { current = machine; }

namespace {
void (*fatal_hook)(int) = nullptr;
}

void fatal_exit(int status)
{
    if (fatal_hook != nullptr) fatal_hook(status);
    std::exit(status);
}

void set_fatal_exit_hook(void (*hook)(int status)) { fatal_hook = hook; }

}  // namespace qv::platform
