// Writes the seeds of the IPMI answers target: the simulated BMC of each kind and of
// each driver, asked every command once. Usage: qv_fuzz_ipmi_seeds BOARD.json DIR
#include "ipmi_answers.h"
#include "sim/session.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: qv_fuzz_ipmi_seeds BOARD.json DIR\n";
        return 2;
    }
    std::vector<qv::fuzz::Ask> script;
    for (uint8_t what = 0; what < 24; ++what) script.push_back({what, 0x2D, static_cast<uint8_t>(what % 2), 0x42, 1});
    qv::sim::json base = qv::sim::json::parse(std::ifstream(argv[1]));
    const std::pair<const char*, qv::sim::json> variants[] = {
        {"maker_driver", {{"maker_driver", true}}},
        {"peppercon", {{"kind", "peppercon"}}},
        {"ob_winbond", {{"kind", "ob_winbond"}}},
        {"renesas_aten", {{"kind", "renesas_aten"}}},
        {"stray_answers", {{"stray_answers", true}}},
        {"completion_code", {{"completion_code", 0xC1}}},
        {"silent", {{"silent_after", 3}}},
    };
    for (const auto& [name, change] : variants) {
        qv::sim::SessionOptions options;
        options.board = base;
        options.board["bmc"].update(change);
        qv::sim::Session session(options);
        qv::fuzz::Tape tape;
        qv::fuzz::TapeKernel kernel(tape, &qv::platform::os());
        qv::fuzz::run_tape(tape, script);
        std::ofstream(std::string(argv[2]) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(tape.written.data()), static_cast<std::streamsize>(tape.written.size()));
    }
    return 0;
}
