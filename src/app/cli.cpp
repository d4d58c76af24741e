#include "app/cli.h"

#include <cstdio>
#include <cstdlib>

namespace qv {

namespace {

constexpr const char* kVersion = "2.87";
constexpr const char* kBuild = "120421";

void rule() { std::printf("%s\n", "*****************************************************************************"); }

ParseOutcome show_usage(const char* program)
{
    headline();
    usage(program);
    return ParseOutcome::Done;
}

}  // namespace

void headline()
{
    std::printf("\n");
    rule();
    std::printf(" Quorvel II - Linux version %s(%s)\n", kVersion, kBuild);
    rule();
}

void usage(const char* program)
{
    std::printf("Usage:\n");
    std::printf("%s                         -> full function\n", program);
    std::printf("%s -t                      -> text mode, running only once\n", program);
    std::printf("%s -t -i 5                 -> text mode, running every 5 seconds\n", program);
    std::printf("%s -r \"Chassis Intrusion\"  -> reset the chassis intrusion\n", program);
    std::printf("%s -h                      -> showing this page\n", program);
    std::printf("%s -v                      -> showing version information\n", program);
    std::printf("\n");
}

ParseOutcome parse_command_line(int argc, char** argv, RunOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') return show_usage(argv[0]);
        switch (arg[1]) {
        case 't':
            options.text = 1;
            break;
        case 'i': {
            if (i + 1 >= argc) return show_usage(argv[0]);
            const long seconds = std::strtol(argv[++i], nullptr, 10);
            if (seconds <= 0 || seconds > 0x7FFFFFFF) return show_usage(argv[0]);
            options.interval = static_cast<int>(seconds);
            break;
        }
        case 'r':
            if (i + 1 >= argc) return show_usage(argv[0]);
            options.text = 1;
            options.reset = 1;
            options.resetName = argv[++i];
            break;
        case 'v':
            headline();
            std::printf("%s version %s(%s)\n", argv[0], kVersion, kBuild);
            return ParseOutcome::Done;
        case 'h':
            return show_usage(argv[0]);
        case 'M':
            break;
        default:
            return show_usage(argv[0]);
        }
    }
    return ParseOutcome::Run;
}

}  // namespace qv
