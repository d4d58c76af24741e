#include "bench_support.h"

#include "ipmi/ipmi.h"
#include "profile/paths.h"

#include <unistd.h>

#include <ctime>
#include <stdexcept>

namespace qv::bench {

double cpu_us()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

PreparedProfile start_up()
{
    IpmiInit();
    return prepare_profile(existFile(QUORVEL_INI) != 0, [](const char* message) {
        throw std::runtime_error(message != nullptr ? message : "the board cannot start");
    });
}

FILE* divert_stdout()
{
    std::fflush(stdout);
    FILE* results = fdopen(dup(fileno(stdout)), "w");
    if (results == nullptr || std::freopen("/dev/null", "w", stdout) == nullptr)
        throw std::runtime_error("cannot divert standard output");
    return results;
}

}  // namespace qv::bench
