// The cost of one quorvel-export poll on a simulated board: the items read and written
// out as OpenMetrics text, timed against a playback of one recorded poll (as the report's
// benchmark does), next to the bus time the poll's accesses model.
//
//   qv_export_bench [--board FILE] [--polls N]
#include "app/report.h"
#include "export/formats.h"
#include "export/snapshot.h"
#include "sim/board.h"
#include "sim/session.h"
#include "bench_support.h"
#include "tape_os.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

using namespace qv;

int run(const bench::Command& options)
{
    sim::SessionOptions session_options;
    session_options.board = sim::load_board(options.board);
    session_options.fast = true;
    sim::Session session(session_options);

    const LoadedProfile profile = *bench::start_up().profile;
    std::vector<ItemDisplay> displays = createItemDisps(profile);
    FILE* results = bench::divert_stdout();
    const exporter::BoardIdentity board = exporter::board_identity();
    std::size_t bytes = 0;
    auto poll = [&] { bytes = exporter::openmetrics_text(exporter::poll_items(displays, profile, board)).size(); };
    poll();  // the first poll opens what later ones reuse

    platform::Os& machine = platform::os();
    bench::RecordingOs recording(machine);
    session.trace().reset_counts();
    platform::set_os(&recording);
    poll();
    platform::set_os(&machine);
    const double bus_us = session.trace().bus_time_us();
    std::fprintf(results, "board: %s (%d items, %zu bytes of OpenMetrics)\n",
                 bench::board_name(options), profile.itemCount(), bytes);
    std::fprintf(results, "  modelled bus time per poll: %.1f us\n", bus_us);
    if (!recording.complete) {
        std::fprintf(results, "  the poll makes calls the playback cannot answer: not timed\n");
        return 1;
    }

    const bench::PlaybackTiming timing = bench::time_against_playback(recording.tape, options.count, poll);
    if (timing.own_us < 0) {
        std::fprintf(results, "  %s\n", timing.note);
        return 1;
    }
    std::fprintf(results, "  export's own CPU time per poll: %.2f us (best of %d batches of %d polls; %zu machine calls"
                          " each, playback %.2f us not counted)\n",
                 timing.own_us, bench::kTimingBatches, options.count / bench::kTimingBatches, recording.tape.size(),
                 timing.playback_us);
    std::fprintf(results, "  own cost / bus time: %.3f%% (target < 1%%)\n", 100.0 * timing.own_us / bus_us);
    std::fclose(results);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return qv::bench::guarded_main("qv_export_bench", [&] {
        return run(qv::bench::parse_command(argc, argv, "--polls", 2000, false, "usage: qv_export_bench [--board FILE] [--polls N]"));
    });
}
