// The cost of starting with a large profile: loading it and the first report, for a
// profile of N items and one of 2N, with the ratio of the two (2 when the cost is linear).
//
//   qv_profile_bench [--items N]
//
// The profile repeats the demo board's block (fans, voltages, temperatures, switches)
// until it has N items, each copy with parameters of its own names, as a board with
// many chips would have. The report runs against the simulated machine in its fast mode.
#include "app/report.h"
#include "hw/dmi.h"
#include "hw/i2c_discovery.h"
#include "hw/port_io.h"
#include "hw/state.h"
#include "ipmi/ipmi.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "sim/board.h"
#include "sim/session.h"
#include "bench_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace qv;

constexpr double kTargetSeconds = 1.0;
constexpr int kTargetItems = 20000;

struct Blocks {
    std::string system;
    std::vector<std::string> items;
    std::vector<std::string> params;
};

Blocks split_blocks(const std::string& profile)
{
    Blocks blocks;
    std::string* current = nullptr;
    std::istringstream in(profile);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("[")) {
            std::vector<std::string>* kind = line == "[Item]"        ? &blocks.items
                                             : line == "[Parameter]" ? &blocks.params
                                                                     : nullptr;
            current = kind != nullptr ? &kind->emplace_back() : &blocks.system;
        }
        if (current != nullptr && !line.empty()) *current += line + "\n";
    }
    return blocks;
}

// Every parameter name of one copy replaced by a name of its own.
std::string renamed(std::string block, const std::map<std::string, std::string>& names)
{
    std::string result;
    std::istringstream in(block);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) {
            const std::string key = line.substr(0, eq);
            const auto it = names.find(line.substr(eq + 1));
            if ((key == "PARAINDEX1" || key == "PARAINDEX2" || key == "PARAMETER") && it != names.end())
                line = key + "=" + it->second;
        }
        result += line + "\n";
    }
    return result + "\n";
}

std::string value_of(const std::string& block, const std::string& key)
{
    const auto at = block.find("\n" + key + "=");
    if (at == std::string::npos) return "";
    const auto from = at + key.size() + 2;
    return block.substr(from, block.find('\n', from) - from);
}

std::string large_profile(const Blocks& demo, int count)
{
    std::string profile = demo.system + "\n";
    std::string params;
    const int per_copy = static_cast<int>(demo.items.size());
    for (int copy = 0; copy * per_copy < count; ++copy) {
        std::map<std::string, std::string> names;
        for (std::size_t i = 0; i < demo.params.size(); ++i) {
            char name[12];
            std::snprintf(name, sizeof name, "P%05X", static_cast<unsigned>(copy * demo.params.size() + i));
            names[value_of("\n" + demo.params[i], "PARAMETER")] = name;
        }
        std::map<std::string, bool> used;
        for (int i = 0; i < per_copy && copy * per_copy + i < count; ++i) {
            const std::string item = "\n" + demo.items[static_cast<std::size_t>(i)];
            used[value_of(item, "PARAINDEX1")] = used[value_of(item, "PARAINDEX2")] = true;
            profile += renamed(demo.items[static_cast<std::size_t>(i)], names);
        }
        // Only the parameters of the items copied: the loader has room for two per item.
        for (const std::string& block : demo.params)
            if (used.contains(value_of("\n" + block, "PARAMETER"))) params += renamed(block, names);
    }
    return profile + params;
}

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Figures {
    int items = 0;
    double load = 0;
    double report = 0;
};

Figures measure(const std::string& profile, FILE* results)
{
    sim::SessionOptions options;
    options.board = sim::load_board("");
    options.fast = true;
    sim::Session session(options);
    session.sandbox().write_file(QUORVEL_INI, profile);
    reset_hw_state();  // a new machine: nothing of the last one's adapters is valid
    IpmiInit();

    Figures f;
    ProfileStore store;
    auto start = std::chrono::steady_clock::now();
    f.items = loadQuorvelINI_and_getItemCount(store);
    f.load = seconds_since(start);
    if (f.items <= 0) throw std::runtime_error("the generated profile does not load");
    const LoadedProfile loaded = store.view();
    if ((loaded.system->BusType & kBusSmbus) != 0 && ipmi_state().hDevice == 0 && i2cdetect() < 0)
        throw std::runtime_error("the board's I2C adapters cannot be prepared");
    io_open(*loaded.system);

    start = std::chrono::steady_clock::now();
    std::vector<ItemDisplay> displays = createItemDisps(loaded);
    text_build_Items(displays, loaded);
    std::fflush(stdout);
    f.report = seconds_since(start);
    std::fprintf(results, "%6d items: load %.3f s, first report %.3f s, together %.3f s\n", f.items, f.load, f.report,
                 f.load + f.report);
    return f;
}

std::string demo_profile()
{
    sim::SessionOptions options;
    options.board = sim::load_board("");
    options.fast = true;
    sim::Session session(options);
    reset_hw_state();
    IpmiInit();
    char vendor[kIdentitySize] = {};
    char product[kIdentitySize] = {};
    char version[kIdentitySize] = {};
    get_mb_info(vendor, product, version);
    if (produce_quorvel_ini(product, version) != 0) throw std::runtime_error("no profile for the demo board");
    std::string profile;
    session.sandbox().read_file(QUORVEL_INI, profile);
    return profile;
}

int run(int items)
{
    FILE* results = bench::divert_stdout();
    const Blocks demo = split_blocks(demo_profile());
    if (demo.items.empty()) throw std::runtime_error("the demo profile has no items");
    std::fprintf(results, "== Start-up with a large profile (%zu-item demo block repeated)\n", demo.items.size());
    const Figures half = measure(large_profile(demo, items / 2), results);
    const Figures full = measure(large_profile(demo, items), results);
    const double ratio = (full.load + full.report) / std::max(half.load + half.report, 1e-9);
    std::fprintf(results, "  %d / %d items: time ratio %.2f (linear: 2, quadratic: 4)\n", full.items, half.items, ratio);
    if (items == kTargetItems)
        std::fprintf(results, "  %d items, load and first report: %.3f s (target < %.0f s)\n", full.items,
                     full.load + full.report, kTargetSeconds);
    std::fclose(results);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int items = kTargetItems;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--items" && i + 1 < argc) items = std::max(2, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: qv_profile_bench [--items N]\n");
            return 2;
        }
    }
    return qv::bench::guarded_main("qv_profile_bench", [&] { return run(items); });
}
