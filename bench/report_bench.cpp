// The cost of one text report on a simulated board: the hardware accesses it makes by
// kind, the time the buses need for them, and the program's own CPU time next to it.
//
//   qv_report_bench [--board FILE] [--reports N] [--untimed]
//
// Without --board the built-in demo board is measured. One report is recorded against
// the simulated machine (its accesses and modelled bus time are the report's); then the
// report loop runs against a playback of that recording, so that the CPU clock measures
// the program and not the simulator. --untimed runs the loop against the simulated
// machine instead (for callgrind, which then separates the two by function; bench/run.sh
// does that).
#include "app/report.h"
#include "app/startup.h"
#include "hw/dmi.h"
#include "hw/i2c_discovery.h"
#include "hw/port_io.h"
#include "ipmi/ipmi.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "sim/board.h"
#include "sim/session.h"
#include "bench_support.h"
#include "tape_os.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <string>

namespace {

using namespace qv;
using bench::divert_stdout;

struct Measurement {
    std::array<uint64_t, sim::kAccessKinds> accesses{};
    double bus_us = 0;
    std::size_t calls = 0;
    double own_us = -1;  // per report; negative: not measured
    double playback_us = 0;
    const char* note = "";
};

// One report against the simulated machine, recorded.
bench::RecordingOs record_report(sim::Session& session, std::span<ItemDisplay> displays, const LoadedProfile& profile,
                                 Measurement& m)
{
    platform::Os& machine = platform::os();
    bench::RecordingOs recording(machine);
    session.trace().reset_counts();
    platform::set_os(&recording);
    text_build_Items(displays, profile);
    platform::set_os(&machine);
    for (std::size_t k = 0; k < sim::kAccessKinds; ++k) m.accesses[k] = session.trace().count(static_cast<sim::Access>(k));
    m.bus_us = session.trace().bus_time_us();
    m.calls = recording.tape.size();
    return recording;
}

void time_playback(const bench::RecordingOs& recording, std::span<ItemDisplay> displays, const LoadedProfile& profile,
                   int reports, Measurement& m)
{
    if (!recording.complete) {
        m.note = "the report makes calls the playback cannot answer: not timed";
        return;
    }
    const bench::PlaybackTiming timing =
        bench::time_against_playback(recording.tape, reports, [&] { text_build_Items(displays, profile); });
    m.own_us = timing.own_us;
    m.playback_us = timing.playback_us;
    m.note = timing.note;
}

void print(FILE* out, const bench::Command& options, const LoadedProfile& profile, const Measurement& m)
{
    std::fprintf(out, "board: %s (%d items)\n", bench::board_name(options),
                 profile.itemCount());
    std::fprintf(out, "  accesses per report:");
    for (std::size_t k = 0; k < sim::kAccessKinds; ++k)
        if (m.accesses[k] != 0) std::fprintf(out, " %s %llu", sim::access_name(static_cast<sim::Access>(k)),
                                             static_cast<unsigned long long>(m.accesses[k]));
    std::fprintf(out, "\n  modelled bus time per report: %.1f us\n", m.bus_us);
    if (!options.timed) return;
    if (m.own_us < 0) {
        std::fprintf(out, "  %s\n", m.note);
        return;
    }
    std::fprintf(out, "  program's own CPU time per report: %.2f us (best of %d batches of %d reports; %zu machine calls"
                      " each, whose playback took %.2f us and is not counted)\n",
                 m.own_us, bench::kTimingBatches, options.count / bench::kTimingBatches, m.calls, m.playback_us);
    std::fprintf(out, "  own cost / bus time: %.3f%% (target < 1%%)\n", 100.0 * m.own_us / m.bus_us);
}

int run(const bench::Command& options)
{
    sim::SessionOptions session_options;
    session_options.board = sim::load_board(options.board);
    session_options.fast = true;
    sim::Session session(session_options);

    const LoadedProfile profile = *bench::start_up().profile;
    std::vector<ItemDisplay> displays = createItemDisps(profile);
    FILE* results = divert_stdout();
    text_build_Items(displays, profile);  // the first report opens what later ones reuse

    Measurement m;
    if (options.timed) {
        const bench::RecordingOs recording = record_report(session, displays, profile, m);
        time_playback(recording, displays, profile, options.count, m);
    } else {
        // Against the simulated machine all along; callgrind tells the two apart.
        session.trace().reset_counts();
        for (int i = 0; i < options.count; ++i) text_build_Items(displays, profile);
        for (std::size_t k = 0; k < sim::kAccessKinds; ++k)
            m.accesses[k] = session.trace().count(static_cast<sim::Access>(k)) / static_cast<uint64_t>(options.count);
        m.bus_us = session.trace().bus_time_us() / options.count;
    }
    std::fflush(stdout);
    print(results, options, profile, m);
    std::fclose(results);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return qv::bench::guarded_main("qv_report_bench", [&] {
        return run(qv::bench::parse_command(argc, argv, "--reports", 2000, true, "usage: qv_report_bench [--board FILE] [--reports N] [--untimed]"));
    });
}
