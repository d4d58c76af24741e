#include "bench_support.h"

#include "ipmi/ipmi.h"
#include "profile/paths.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <exception>
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

Command parse_command(int argc, char** argv, const char* count_flag, int count, bool untimed_allowed, const char* usage)
{
    Command command{{}, count};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--board" && i + 1 < argc) command.board = argv[++i];
        else if (arg == count_flag && i + 1 < argc) command.count = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--untimed" && untimed_allowed) command.timed = false;
        else throw std::runtime_error(usage);
    }
    return command;
}

int guarded_main(const char* name, const std::function<int()>& body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 2;
    }
}

}  // namespace qv::bench
