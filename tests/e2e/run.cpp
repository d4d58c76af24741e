#include "e2e/run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace qv::test {

namespace {

// Reads both pipes to their end; kills the child when it outlives the limit (0: none)
// or when its output so far is enough.
void drain(int out_fd, int err_fd, std::string& out, std::string& err, pid_t child, std::chrono::milliseconds limit,
           const Enough& enough)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool killed = false;
    std::array<pollfd, 2> fds{{{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}}};
    std::array<std::string*, 2> sinks{&out, &err};
    int open_count = 2;
    char buffer[4096];
    while (open_count > 0) {
        int wait_ms = -1;
        if (limit.count() > 0 && !killed) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            wait_ms = static_cast<int>(std::max<long long>(left.count(), 0));
        }
        const int ready = ::poll(fds.data(), fds.size(), wait_ms);
        if (ready < 0) break;
        if (ready == 0) {
            ::kill(child, SIGKILL);
            killed = true;
            continue;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
                if (!killed && enough && i == 0 && enough(out)) killed = ::kill(child, SIGKILL) == 0;
                continue;
            }
            ::close(fds[i].fd);
            fds[i].fd = -1;
            --open_count;
        }
    }
}

std::string source_file_path(const std::string& relative) { return (fs::path(QUORVEL_SOURCE_DIR) / relative).string(); }

std::vector<std::string> options(const Sim& sim)
{
    std::vector<std::string> args = sim.more;
    if (sim.fast) args.push_back("--fast");
    if (!sim.board.empty())
        args.insert(args.end(), {"--board", sim.board.find('/') == std::string::npos
                                                ? source_file_path("boards/" + sim.board + ".json")
                                                : sim.board});
    if (!sim.root.empty()) args.insert(args.end(), {"--root", sim.root});
    if (!sim.trace.empty()) args.insert(args.end(), {"--trace", sim.trace});
    return args;
}

}  // namespace

RunResult run(const Sim& sim, const std::vector<std::string>& args, std::chrono::milliseconds limit,
              const Enough& enough)
{
    int out_pipe[2];
    int err_pipe[2];
    if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) throw std::runtime_error("pipe");
#ifdef QUORVEL_EMULATOR
    std::vector<std::string> argv{QUORVEL_EMULATOR, QUORVEL_SIM};
#else
    std::vector<std::string> argv{QUORVEL_SIM};
#endif
    const std::vector<std::string> sim_args = options(sim);
    argv.insert(argv.end(), sim_args.begin(), sim_args.end());
    argv.push_back("--");
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out_pipe[1], 1);
        ::dup2(err_pipe[1], 2);
        ::close(out_pipe[0]);
        ::close(err_pipe[0]);
        ::execv(cargv[0], cargv.data());
        ::_exit(126);
    }
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    RunResult result;
    drain(out_pipe[0], err_pipe[0], result.out, result.err, child, limit, enough);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

RunResult run_export(Sim sim, const std::vector<std::string>& args, std::chrono::milliseconds limit,
                     const Enough& enough)
{
    sim.more.insert(sim.more.end(), {"--program", "export"});
    return run(sim, args, limit, enough);
}

TempRoot::TempRoot()
{
    std::string pattern = (fs::current_path() / "sandbox-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

TempRoot::~TempRoot()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempRoot::write(const std::string& relative, const std::string& content) const
{
    const fs::path target = path_ / relative;
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << content;
    return target.string();
}

std::string TempRoot::read(const std::string& relative) const { return read_file(path_ / relative); }

bool TempRoot::exists(const std::string& relative) const { return fs::exists(path_ / relative); }

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string source_file(const std::string& relative)
{
    if (!fs::exists(source_file_path(relative))) throw std::runtime_error("missing test file " + relative);
    return read_file(source_file_path(relative));
}

json board_json(const std::string& name)
{
    return json::parse(source_file("boards/" + name + ".json"), nullptr, true, true);
}

std::vector<std::string> board_names()
{
    std::vector<std::string> names{""};
    for (const auto& entry : fs::directory_iterator(source_file_path("boards")))
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string mask_time(const std::string& text)
{
    static const std::regex stamp("(-{45} )[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}");
    return std::regex_replace(text, stamp, "$1<time>");
}

std::string banner()
{
    const std::string rule(77, '*');
    return "\n" + rule + "\n Quorvel II - Linux version 2.87(120421)\n" + rule + "\n";
}

int count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string test_name(std::string text)
{
    for (char& c : text)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return text;
}

}  // namespace qv::test
