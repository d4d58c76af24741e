#include "ipmi/link.h"

#include "ipmi/ipmi.h"

#include <cstdio>

namespace qv::ipmi_link {

namespace {

IpmiState::Poll& poll_state() { return ipmi_state().poll; }

}  // namespace

DetectionScope::DetectionScope() { poll_state().detecting = true; }
DetectionScope::~DetectionScope() { poll_state().detecting = false; }

bool silent_this_poll() { return poll_state().silent && !poll_state().detecting; }

void note_answer() { poll_state().announced = false; }

void report_no_answer(unsigned milliseconds)
{
    if (poll_state().detecting) {
        std::fprintf(stderr, "Error: no answer from the BMC within %u ms.\n", milliseconds);
        return;
    }
    poll_state().silent = true;
    if (poll_state().announced) return;
    poll_state().announced = true;
    std::fputs("Warn: The BMC stopped answering; its items are not read until the next poll.\n", stderr);
}

void report_short_answer(uint8_t netfn, uint8_t cmd, std::size_t received, std::size_t needed)
{
    std::fprintf(stderr, "Error: the BMC answered NetFn 0x%02X Cmd 0x%02X with %zu of %zu bytes.\n", netfn, cmd,
                 received, needed);
}

int report_ioctl_failure(int error)
{
    std::fprintf(stderr, "Error: ioctl(), errno=%d\n", error);
    return error;
}

}  // namespace qv::ipmi_link

namespace qv {

void ipmi_begin_poll() { ipmi_state().poll.silent = false; }

}  // namespace qv
