#include "ipmi/link.h"

#include <cstdio>

namespace qv::ipmi_link {

void report_no_answer(unsigned milliseconds)
{
    std::fprintf(stderr, "Error: no answer from the BMC within %u ms.\n", milliseconds);
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
