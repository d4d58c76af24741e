#include "platform/os.h"

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

}  // namespace qv::platform
