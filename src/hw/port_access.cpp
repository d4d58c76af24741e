// The port privilege the kernel granted, and the refusal of ports it did not.
#include "hw/port_access.h"

#include "hw/state.h"
#include "platform/os.h"

#include <cstdio>

namespace qv {

int request_iopl(int level)
{
    const int result = platform::os().iopl(level);
    if (result == 0) hw_state().grants.level = level;
    return result;
}

int request_ioperm(unsigned long from, unsigned long num, int turn_on)
{
    const int result = platform::os().ioperm(from, num, turn_on);
    if (result != 0) return result;
    for (unsigned long port = from; port < from + num && port < hw_state().grants.ports.size(); ++port)
        hw_state().grants.ports.set(port, turn_on != 0);
    return result;
}

bool ports_granted(std::initializer_list<uint16_t> ports)
{
    if (hw_state().grants.level >= 3) return true;
    bool all = true;
    for (const uint16_t port : ports) all = all && hw_state().grants.ports.test(port);
    if (!all && !hw_state().grants.refusal_reported) {
        std::fputs("Error: no I/O port privilege; port accesses are refused.\n", stderr);
        hw_state().grants.refusal_reported = true;
    }
    return all;
}

}  // namespace qv
