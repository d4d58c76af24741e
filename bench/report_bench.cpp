// The cost of one text report on a simulated board: the hardware accesses it makes by
// kind, the time the buses need for them, and the program's own CPU time next to it.
//
//   qv_report_bench [--board FILE] [--reports N] [--untimed]
//
// Without --board the built-in demo board is measured. --untimed leaves out the timing
// of the machine's calls (for runs under callgrind, which counts instructions instead).
#include "app/report.h"
#include "hw/i2c_discovery.h"
#include "hw/port_io.h"
#include "ipmi/ipmi.h"
#include "profile/loader.h"
#include "sim/board.h"
#include "sim/session.h"
#include "timed_os.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <string>

namespace {

using namespace qv;

struct Options {
    std::string board;
    int reports = 200;
    bool timed = true;
};

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--board" && i + 1 < argc) options.board = argv[++i];
        else if (arg == "--reports" && i + 1 < argc) options.reports = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--untimed") options.timed = false;
        else throw std::runtime_error("usage: qv_report_bench [--board FILE] [--reports N] [--untimed]");
    }
    return options;
}

uint64_t cpu_ns()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
}

// What one steady_clock reading costs: each timed call of the machine leaves about one
// reading outside the interval it measures.
double clock_reading_ns()
{
    constexpr int kReadings = 1000000;
    const uint64_t start = cpu_ns();
    int64_t sink = 0;
    for (int i = 0; i < kReadings; ++i) sink += std::chrono::steady_clock::now().time_since_epoch().count();
    const uint64_t spent = cpu_ns() - start;
    return sink == 0 ? 0 : static_cast<double>(spent) / kReadings;
}

// Start-up as the program does it before its first report.
LoadedProfile start_up(ProfileStore& store)
{
    IpmiInit();
    if (loadQuorvelINI_and_getItemCount(store) <= 0) throw std::runtime_error("the board carries no usable profile");
    LoadedProfile profile = store.view();
    if ((profile.system->BusType & kBusSmbus) != 0 && hDevice == 0 && i2cdetect() < 0)
        throw std::runtime_error("the board's I2C adapters cannot be prepared");
    io_open(*profile.system);
    return profile;
}

// The program's output goes to /dev/null; the results to the original standard output.
FILE* divert_stdout()
{
    std::fflush(stdout);
    FILE* results = fdopen(dup(fileno(stdout)), "w");
    if (results == nullptr || std::freopen("/dev/null", "w", stdout) == nullptr)
        throw std::runtime_error("cannot divert standard output");
    return results;
}

void print_results(FILE* out, const Options& options, const LoadedProfile& profile, sim::Trace& trace,
                   double cpu_per_report_us, double machine_per_report_us)
{
    const double n = options.reports;
    std::fprintf(out, "board: %s\n", options.board.empty() ? "built-in demo" : options.board.c_str());
    std::fprintf(out, "items: %d, reports: %d\n", profile.itemCount(), options.reports);
    std::fprintf(out, "accesses per report:");
    for (std::size_t k = 0; k < sim::kAccessKinds; ++k) {
        const auto kind = static_cast<sim::Access>(k);
        if (trace.count(kind) != 0) std::fprintf(out, " %s %.1f", sim::access_name(kind), trace.count(kind) / n);
    }
    const double bus_us = trace.bus_time_us() / n;
    std::fprintf(out, "\nmodelled bus time per report: %.1f us\n", bus_us);
    if (cpu_per_report_us < 0) return;
    std::fprintf(out, "simulated machine's CPU time per report (left out): %.1f us\n", machine_per_report_us);
    std::fprintf(out, "program's own CPU time per report: %.2f us\n", cpu_per_report_us);
    std::fprintf(out, "own cost / bus time: %.4f%% (target < 1%%)\n", 100.0 * cpu_per_report_us / bus_us);
}

int run(const Options& options)
{
    sim::SessionOptions session_options;
    session_options.board = sim::load_board(options.board);
    session_options.fast = true;
    sim::Session session(session_options);
    bench::TimedOs timed(platform::os());
    if (options.timed) platform::set_os(&timed);

    ProfileStore store;
    const LoadedProfile profile = start_up(store);
    std::vector<ItemDisplay> displays = createItemDisps(profile);
    FILE* results = divert_stdout();
    text_build_Items(displays, profile);  // warm caches and the adapter file

    const double reading_ns = options.timed ? clock_reading_ns() : 0;
    session.trace().reset_counts();
    timed.reset();
    const uint64_t start = cpu_ns();
    for (int i = 0; i < options.reports; ++i) text_build_Items(displays, profile);
    std::fflush(stdout);
    const uint64_t spent = cpu_ns() - start;

    double own_us = -1;
    double machine_us = 0;
    if (options.timed) {
        const double machine_ns = static_cast<double>(timed.inside_ns()) + reading_ns * static_cast<double>(timed.calls());
        machine_us = machine_ns / 1000.0 / options.reports;
        own_us = (static_cast<double>(spent) - machine_ns) / 1000.0 / options.reports;
    }
    print_results(results, options, profile, session.trace(), own_us, machine_us);
    std::fclose(results);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return run(parse(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qv_report_bench: %s\n", e.what());
        return 2;
    }
}
