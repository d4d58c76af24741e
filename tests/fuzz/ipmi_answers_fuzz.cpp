// The BMC's answers through both drivers, from detection on (ipmi_answers.h).
#include "ipmi_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qv::fuzz::Tape tape({data, size});
    qv::fuzz::TapeKernel kernel(tape, nullptr);
    qv::fuzz::run_tape(tape);
    return 0;
}
