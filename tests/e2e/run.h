// Running the built quorvel-sim as a user would, with its output captured.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qv::test {

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;  // exit status; -1 when killed
};

// Runs quorvel-sim with args; each argument is passed as it stands.
RunResult run_sim(const std::vector<std::string>& args);
// The same, killing it when it runs longer than limit (its status is then -1).
RunResult run_sim(const std::vector<std::string>& args, std::chrono::milliseconds limit);
// The same for a run that does not end by itself: the program is killed as soon as
// enough(standard output so far) holds, or when it outlives the limit.
RunResult run_sim_until(const std::vector<std::string>& args, const std::function<bool(const std::string&)>& enough,
                        std::chrono::milliseconds limit = std::chrono::seconds(60));

// quorvel-export on the simulated machine: sim_args are the simulator's own options,
// args the program's.
RunResult run_export(std::vector<std::string> sim_args, const std::vector<std::string>& args,
                     std::chrono::milliseconds limit = std::chrono::milliseconds(0));

// A sandbox folder of its own for one test, removed at the end of it.
class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    void write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

std::string source_file(const std::string& relative);
// Where a file of the source tree lies.
std::string source_file_path(const std::string& relative);
// The whole output with the report's closing time stamp replaced by <time>.
std::string mask_time(const std::string& text);
// What every run prints first.
std::string banner();
// How often what occurs in text.
int count(const std::string& text, const std::string& what);

}  // namespace qv::test
