// The hardware layer's process-wide state reset to how a new process finds it.
#include "hw/state.h"

namespace qv {

namespace {

HwState state;

}  // namespace

HwState& hw_state() { return state; }

void reset_hw_state() { state = HwState{}; }

}  // namespace qv
