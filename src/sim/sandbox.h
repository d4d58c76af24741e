// The folder that stands for "/" on the simulated machine.
#pragma once

#include <string>
#include <string_view>

namespace qv::sim {

class Sandbox {
public:
    // An existing or new folder that is kept; or, with an empty root, a fresh one
    // (under $TMPDIR when set, else the working folder) that is removed again.
    explicit Sandbox(const std::string& root);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& root() const { return root_; }
    // Where an absolute path of the simulated machine lives on the host.
    std::string map(std::string_view path) const;

    bool exists(std::string_view path) const;
    // Writes a file of the simulated machine, creating its folders.
    bool write_file(std::string_view path, std::string_view content) const;
    bool read_file(std::string_view path, std::string& content) const;
    void make_dirs(std::string_view path) const;
    void remove(std::string_view path) const;

private:
    std::string root_;
    bool temporary_ = false;
};

}  // namespace qv::sim
