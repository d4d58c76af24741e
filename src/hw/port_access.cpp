// The port privilege the kernel granted, and the refusal of ports it did not.
#include "hw/port_access.h"

#include "platform/os.h"

#include <bitset>
#include <cstdio>

namespace qv {

namespace {

struct Grants {
    int level = 0;
    std::bitset<65536> ports;
    bool refusal_reported = false;
};

Grants grants;

}  // namespace

int request_iopl(int level)
{
    const int result = platform::os().iopl(level);
    if (result == 0) grants.level = level;
    return result;
}

int request_ioperm(unsigned long from, unsigned long num, int turn_on)
{
    const int result = platform::os().ioperm(from, num, turn_on);
    if (result != 0) return result;
    for (unsigned long port = from; port < from + num && port < grants.ports.size(); ++port)
        grants.ports.set(port, turn_on != 0);
    return result;
}

bool ports_granted(std::initializer_list<uint16_t> ports)
{
    if (grants.level >= 3) return true;
    bool all = true;
    for (const uint16_t port : ports) all = all && grants.ports.test(port);
    if (!all && !grants.refusal_reported) {
        std::fputs("Error: no I/O port privilege; port accesses are refused.\n", stderr);
        grants.refusal_reported = true;
    }
    return all;
}

void reset_port_access() { grants = Grants{}; }

}  // namespace qv
