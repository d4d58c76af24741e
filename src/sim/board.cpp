#include "sim/board.h"

#include "sim/devices.h"
#include "sim/embedded.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qv::sim {

namespace {

std::string_view embedded(std::string_view name)
{
    for (const EmbeddedFile& file : embedded_files())
        if (file.name == name) return file.content;
    throw std::runtime_error("the simulator was built without " + std::string(name));
}

void build_filesystem(Machine& m, const json& board)
{
    const json& fs = section(board, "filesystem");
    for (const auto& dir : section(fs, "read_only")) m.read_only_dirs.push_back(dir.get<std::string>());
    if (fs.contains("free_bytes")) m.free_bytes = fs.at("free_bytes").get<int64_t>();
}

void build_files(Machine& m, const json& board)
{
    for (const auto& [path, content] : section(board, "files").items())
        if (!m.sandbox.exists(path)) m.sandbox.write_file(path, content.get<std::string>());
}

void build_costs(Machine& m, const json& board)
{
    for (const auto& [name, cost] : section(board, "bus_cost_us").items()) {
        bool known = false;
        for (std::size_t k = 0; k < kAccessKinds; ++k) {
            if (name != access_name(static_cast<Access>(k))) continue;
            m.trace.set_cost_us(static_cast<Access>(k), cost.get<double>());
            known = true;
        }
        if (!known) throw std::runtime_error("bus_cost_us: no access kind \"" + name + "\"");
    }
}

void build_privilege(Machine& m, const json& board) { m.io_privilege_granted = board.value("io_privilege", true); }

}  // namespace

json load_board(const std::string& path)
{
    std::string text;
    if (path.empty()) {
        text = embedded("demo.json");
    } else {
        std::ifstream in(path);
        if (!in) throw std::runtime_error("cannot read the board file " + path);
        std::ostringstream content;
        content << in.rdbuf();
        text = content.str();
    }
    try {
        json board = json::parse(text, nullptr, true, true);
        if (!board.is_object()) throw std::runtime_error("a board file holds one JSON object");
        return board;
    } catch (const json::exception& e) {
        throw std::runtime_error("board file " + (path.empty() ? std::string("demo") : path) + ": " + e.what());
    }
}

void build_board(Machine& machine, const json& board)
{
    try {
        build_privilege(machine, board);
        build_costs(machine, board);
        build_filesystem(machine, board);
        build_files(machine, board);
        add_standard_commands(machine);
        build_devices(machine, board);
    } catch (const json::exception& e) {
        throw std::runtime_error(std::string("board: ") + e.what());
    }
}

void install_system_files(const Sandbox& sandbox)
{
    for (const EmbeddedFile& file : embedded_files()) {
        std::string path;
        if (file.name.ends_with(".ini")) path = "/etc/" + std::string(file.name);
        else if (file.name == "idr_main.ico") path = "/usr/local/share/pixmaps/quorvel/idr_main.ico";
        else continue;
        if (!sandbox.exists(path)) sandbox.write_file(path, file.content);
    }
}

}  // namespace qv::sim
