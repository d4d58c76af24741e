// Who may touch which I/O port. The privilege the kernel grants (iopl, ioperm) is
// recorded here, so that an access the kernel would punish with a fault is refused
// up front with one clear message instead.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace qv {

// iopl through the seam; records the level on success.
int request_iopl(int level);
// ioperm through the seam; records the ports on success.
int request_ioperm(unsigned long from, unsigned long num, int turn_on);

// True when every port may be accessed. Otherwise prints, once per process,
// "Error: no I/O port privilege; port accesses are refused.\n" and gives false.
bool ports_granted(std::initializer_list<uint16_t> ports);

}  // namespace qv
