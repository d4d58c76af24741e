#include "hw/port_io.h"

namespace qv {

// Port access is not built yet: nothing is opened.
int io_open(const SystemSection&) { return -1; }

}  // namespace qv
