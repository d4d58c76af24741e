// The hardware layer's one fatal report and exit.
#include "hw/fatal.h"

#include "platform/exit.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

void exit_on_system_error(int line, const char* unit)
{
    const int error = errno;
    std::fprintf(stderr, "Error at line %d, file %s (%d) [%s]\n", line, unit, error, std::strerror(error));
    platform::fatal_exit(1);
}

}  // namespace qv
