// The hardware layer's process-wide state, back to how a new process finds it.
#pragma once

namespace qv {

// Forgets the SMBus controller, the cached GPIO base, the granted I/O privilege, the
// adapter file (without closing it: the machine it came from may be gone) and the
// lists built at start-up.
void reset_hw_state();

}  // namespace qv
