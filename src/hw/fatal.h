// The one fatal report of the hardware layer: physical memory that cannot be reached.
#pragma once

namespace qv {

// "Error at line %d, file %s (%d) [%s]\n" with errno and its text, then exit status 1.
[[noreturn]] void exit_on_system_error(int line, const char* unit);

}  // namespace qv
