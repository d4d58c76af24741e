// quorvel-sim: the program on a simulated machine.
#include "app/startup.h"
#include "export/export_main.h"
#include "sim/session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Lives until exit(), which the program may call from anywhere: its destructor then
// closes the trace and removes a temporary sandbox.
std::unique_ptr<qv::sim::Session> session;

enum class Program { Quorvel, Export };

void sim_usage()
{
    std::fprintf(stderr,
                 "usage: quorvel-sim [--board FILE] [--root DIR] [--uid N] [--trace FILE] [--fast] "
                 "[--program quorvel|export] [--] [program options]\n");
}

// Reads the simulator's own options; index of the first program argument, or -1.
int parse_sim_options(int argc, char** argv, qv::sim::SessionOptions& options, Program& program)
{
    options.fast = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--") return i + 1;
        if (arg == "--fast") options.fast = true;
        else if (arg == "--board" && has_value) options.board_path = argv[++i];
        else if (arg == "--root" && has_value) options.root = argv[++i];
        else if (arg == "--trace" && has_value) options.trace_path = argv[++i];
        else if (arg == "--uid" && has_value) options.uid = static_cast<uid_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--program" && has_value) {
            const std::string name = argv[++i];
            if (name == "export") program = Program::Export;
            else if (name != "quorvel") return -1;
        } else if (arg.starts_with("--")) return -1;
        else break;
    }
    return i;
}

}  // namespace

int main(int argc, char** argv)
{
    qv::sim::SessionOptions options;
    Program program = Program::Quorvel;
    const int first = parse_sim_options(argc, argv, options, program);
    if (first < 0) {
        sim_usage();
        return 2;
    }
    try {
        session = std::make_unique<qv::sim::Session>(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvel-sim: %s\n", e.what());
        return 2;
    }
    std::vector<char*> program_args{argv[0]};
    for (int i = first; i < argc; ++i) program_args.push_back(argv[i]);
    program_args.push_back(nullptr);
    const int count = static_cast<int>(program_args.size()) - 1;
    const int status = program == Program::Export ? qv::exporter::export_main(count, program_args.data())
                                                  : qv::quorvel_main(count, program_args.data());
    std::fflush(stdout);
    return status;
}
