// Running the built quorvel-sim as a user would, with its output captured.
#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qv::test {

using nlohmann::json;
using namespace std::chrono_literals;

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;  // exit status; -1 when killed
};

using Enough = std::function<bool(const std::string& out)>;

// The simulator's own options.
struct Sim {
    std::string board = {};  // a board of the tree's boards/ by name, a board file, or "" for the built-in one
    std::string root = {};   // the sandbox standing for /; "" for a fresh one
    std::string trace = {};  // where the hardware accesses go; "" for nowhere
    bool fast = true;        // virtual time
    std::vector<std::string> more = {};
};

// quorvel-sim with those options, then the program's own args. It is killed when it
// outlives limit (0: no limit) or as soon as enough(its standard output so far) holds.
RunResult run(const Sim& sim, const std::vector<std::string>& args, std::chrono::milliseconds limit = {},
              const Enough& enough = nullptr);
// quorvel-export on the simulated machine.
RunResult run_export(Sim sim, const std::vector<std::string>& args, std::chrono::milliseconds limit = {},
                     const Enough& enough = nullptr);

// A sandbox folder of its own for one test, removed at the end of it.
class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Gives the file's path.
    std::string write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

// A file's content; "" when it is missing.
std::string read_file(const std::filesystem::path& path);
std::string source_file(const std::string& relative);
json board_json(const std::string& name);
// The names of the tree's boards, and "" for the built-in one.
std::vector<std::string> board_names();
// The whole output with the report's closing time stamp replaced by <time>.
std::string mask_time(const std::string& text);
// What every run prints first.
std::string banner();
int count(const std::string& text, const std::string& what);
std::vector<std::string> lines_of(const std::string& text);
// A name fit for a test: what is not a letter or a digit becomes '_'.
std::string test_name(std::string text);

}  // namespace qv::test
