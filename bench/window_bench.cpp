// The cost of the window's polling tick on a simulated board: the modelled bus time of
// the tick's reads, the CPU time of the reads and of the window's own work, and the
// process's memory once the window is up.
//
//   qv_window_bench [--board FILE] [--ticks N]
//
// Needs a display. Without --board the built-in demo board is measured. One tick is
// recorded against the simulated machine; the ticks are then timed against a playback
// of that recording, so that the CPU clock measures the program and not the simulator.
// The window's own part is a full tick less the same reads made alone.
#include "app/report.h"
#include "app/startup.h"
#include "gui/globals.h"
#include "gui/pages.h"
#include "gui/window.h"
#include "hw/dmi.h"
#include "hw/i2c_discovery.h"
#include "hw/port_io.h"
#include "ipmi/ipmi.h"
#include "profile/availability.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "sensors/reading.h"
#include "sensors/thermal.h"
#include "sim/board.h"
#include "sim/session.h"
#include "bench_support.h"
#include "tape_os.h"

#include <gtk/gtk.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace qv;
using bench::cpu_us;
using bench::divert_stdout;

struct Memory {
    long rss_kb = -1;
    long hwm_kb = -1;
};

// This process's own figures.
Memory memory_now()
{
    Memory m;
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return m;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        std::sscanf(line, "VmRSS: %ld", &m.rss_kb);
        std::sscanf(line, "VmHWM: %ld", &m.hwm_kb);
    }
    std::fclose(status);
    return m;
}

// The redraw and layout a tick queues, done as the main loop would do them.
void settle()
{
    while (gtk_events_pending()) gtk_main_iteration();
}

// As the program opens its window, less the polling timer: the ticks are the bench's.
void open_window(std::vector<ItemDisplay>& displays, LoadedProfile& profile, bool generated)
{
    static char program[] = "qv_window_bench";
    char* argv[] = {program, nullptr};
    open_windows(1, argv);
    myspQuorvel = &profile;
    displays = createItemDisps(profile);
    if (generated) detect_and_hide_nonactivated_items(displays, profile);
    start_pages(displays, profile);
    gtk_timeout_remove(static_cast<guint>(timer));
    timer = 0;
    settle();
}

// What updateAll reads, without the pages: the sensor engine's part of a tick.
void read_items(const LoadedProfile& profile, std::span<ItemDisplay> displays)
{
    const std::size_t count = std::min(displays.size(), profile.items.size());
    for (std::size_t i = 0; i < count; ++i) {
        int32_t value = 0;
        if (get_item_reading(profile, profile.items[i], &value) == 0) displays[i].reading = value;
        if (displays[i].thermalFlag == 0) continue;
        char text[kThermalTextSize] = {};
        if (getThermalText(*profile.system, profile.items[i], text) == 0)
            std::memcpy(displays[i].thermalText, text, sizeof text);
    }
}

struct Measurement {
    std::array<uint64_t, sim::kAccessKinds> accesses{};
    double bus_us = 0;
    std::size_t calls = 0;
    bool timed = false;
    const char* note = "";
    // CPU time per tick; the playback's own part is taken out of every figure.
    double playback_us = 0;
    double reads_us = 0;
    double tick_us = 0;    // updateAll, reads included
    double redraw_us = 0;  // the main loop's work after it
    Memory built;
    Memory ticked;
};

bench::RecordingOs record_tick(sim::Session& session, Measurement& m)
{
    platform::Os& machine = platform::os();
    bench::RecordingOs recording(machine);
    session.trace().reset_counts();
    platform::set_os(&recording);
    updateAll(nullptr);
    platform::set_os(&machine);
    settle();
    for (std::size_t k = 0; k < sim::kAccessKinds; ++k) m.accesses[k] = session.trace().count(static_cast<sim::Access>(k));
    m.bus_us = session.trace().bus_time_us();
    m.calls = recording.tape.size();
    return recording;
}

// Full ticks against the playback, each followed by the redraw it queues; false when
// the window did not repeat the recorded calls.
bool time_ticks(const std::vector<bench::Call>& tape, int ticks, Measurement& m)
{
    bench::PlaybackOs playback(tape);
    platform::Os& machine = platform::os();
    platform::set_os(&playback);
    double tick = 0;
    double redraw = 0;
    for (int i = 0; i < ticks && !playback.diverged(); ++i) {
        playback.rewind();
        const double start = cpu_us();
        updateAll(nullptr);
        const double between = cpu_us();
        settle();
        tick += between - start;
        redraw += cpu_us() - between;
    }
    platform::set_os(&machine);
    m.tick_us = tick / ticks;
    m.redraw_us = redraw / ticks;
    return !playback.diverged();
}

bool time_reads(const std::vector<bench::Call>& tape, std::span<ItemDisplay> displays, const LoadedProfile& profile,
                int ticks, Measurement& m)
{
    bench::PlaybackOs playback(tape);
    platform::Os& machine = platform::os();
    platform::set_os(&playback);
    const double start = cpu_us();
    for (int i = 0; i < ticks && !playback.diverged(); ++i) {
        playback.rewind();
        read_items(profile, displays);
    }
    const double spent = cpu_us() - start;
    platform::set_os(&machine);
    m.reads_us = spent / ticks;
    return !playback.diverged();
}

void time_playback_alone(const std::vector<bench::Call>& tape, int ticks, Measurement& m)
{
    bench::PlaybackOs alone(tape);
    const double start = cpu_us();
    for (int i = 0; i < ticks; ++i) {
        alone.rewind();
        bench::replay_calls(tape, alone);
    }
    m.playback_us = (cpu_us() - start) / ticks;
}

void time_cpu(const bench::RecordingOs& recording, std::span<ItemDisplay> displays, const LoadedProfile& profile,
              int ticks, Measurement& m)
{
    if (!recording.complete) {
        m.note = "the tick makes calls the playback cannot answer: not timed";
        return;
    }
    // The reads first: a tick against playback leaves the displays as the reads would.
    if (!time_reads(recording.tape, displays, profile, ticks, m) || !time_ticks(recording.tape, ticks, m)) {
        m.note = "the program did not repeat its calls: not timed";
        return;
    }
    time_playback_alone(recording.tape, ticks, m);
    m.tick_us -= m.playback_us;
    m.reads_us = std::max(0.0, m.reads_us - m.playback_us);
    m.timed = true;
}

double mb(long kb) { return static_cast<double>(kb) / 1024.0; }

void print_memory(FILE* out, const char* when, const Memory& m)
{
    std::fprintf(out, "  memory %s: VmRSS %.1f MB, VmHWM %.1f MB (target < 40 MB)\n", when, mb(m.rss_kb),
                 mb(m.hwm_kb));
}

void print(FILE* out, const bench::Command& options, const LoadedProfile& profile, const Measurement& m)
{
    std::fprintf(out, "board: %s (%d items)\n", bench::board_name(options),
                 profile.itemCount());
    std::fprintf(out, "  accesses per tick:");
    for (std::size_t k = 0; k < sim::kAccessKinds; ++k)
        if (m.accesses[k] != 0) std::fprintf(out, " %s %llu", sim::access_name(static_cast<sim::Access>(k)),
                                             static_cast<unsigned long long>(m.accesses[k]));
    std::fprintf(out, "\n  modelled bus time per tick: %.1f us\n", m.bus_us);
    if (!m.timed) {
        std::fprintf(out, "  %s\n", m.note);
    } else {
        const double own = std::max(0.0, m.tick_us - m.reads_us);
        std::fprintf(out, "  reads' CPU time per tick: %.2f us (%d ticks; %zu machine calls each, whose playback took"
                          " %.2f us and is not counted)\n",
                     m.reads_us, options.count, m.calls, m.playback_us);
        std::fprintf(out, "  window's own CPU time per tick: %.2f us (updateAll %.2f us less the reads)\n", own,
                     m.tick_us);
        std::fprintf(out, "  window's own / bus time: %.2f%% (target < 5%%)\n", 100.0 * own / m.bus_us);
        std::fprintf(out, "  redraw the tick queues, run by the main loop: %.2f us per tick (not in the ratio)\n",
                     m.redraw_us);
    }
    print_memory(out, "after the window is built", m.built);
    print_memory(out, "after the ticks", m.ticked);
}

int run(const bench::Command& options)
{
    sim::SessionOptions session_options;
    session_options.board = sim::load_board(options.board);
    session_options.fast = true;
    sim::Session session(session_options);

    const PreparedProfile prepared = bench::start_up();
    LoadedProfile profile = *prepared.profile;
    const bool generated = prepared.generated;
    FILE* results = divert_stdout();
    std::vector<ItemDisplay> displays;
    open_window(displays, profile, generated);

    Measurement m;
    m.built = memory_now();
    // Two ticks first: the first ones open what later ones reuse.
    for (int i = 0; i < 2; ++i) {
        updateAll(nullptr);
        settle();
    }
    const bench::RecordingOs recording = record_tick(session, m);
    time_cpu(recording, displays, profile, options.count, m);
    m.ticked = memory_now();

    std::fflush(stdout);
    print(results, options, profile, m);
    std::fclose(results);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return qv::bench::guarded_main("qv_window_bench", [&] {
        return run(qv::bench::parse_command(argc, argv, "--ticks", 200, false, "usage: qv_window_bench [--board FILE] [--ticks N]"));
    });
}
