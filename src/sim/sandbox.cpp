#include "sim/sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace qv::sim {

namespace {

std::string make_temporary()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base != nullptr && *base != '\0') ? std::string(base) : fs::current_path().string();
    pattern += "/.quorvel-sim-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a sandbox in " + pattern);
    return pattern;
}

}  // namespace

Sandbox::Sandbox(const std::string& root) : root_(root), temporary_(root.empty())
{
    if (temporary_) root_ = make_temporary();
    fs::create_directories(root_);
    root_ = fs::canonical(root_).string();
    for (const char* dir : {"/etc", "/dev", "/proc", "/tmp", "/sys", "/run/lock"}) make_dirs(dir);
}

Sandbox::~Sandbox()
{
    if (!temporary_) return;
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string Sandbox::map(std::string_view path) const
{
    std::string mapped = root_;
    if (path.empty() || path.front() != '/') mapped += '/';
    mapped += path;
    return mapped;
}

bool Sandbox::exists(std::string_view path) const
{
    std::error_code ignored;
    return fs::exists(map(path), ignored);
}

bool Sandbox::write_file(std::string_view path, std::string_view content) const
{
    const fs::path target = map(path);
    std::error_code ignored;
    fs::create_directories(target.parent_path(), ignored);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out);
}

bool Sandbox::read_file(std::string_view path, std::string& content) const
{
    std::ifstream in(map(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
    return true;
}

void Sandbox::make_dirs(std::string_view path) const
{
    std::error_code ignored;
    fs::create_directories(map(path), ignored);
}

void Sandbox::remove(std::string_view path) const
{
    std::error_code ignored;
    fs::remove(map(path), ignored);
}

}  // namespace qv::sim
