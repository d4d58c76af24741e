// A simulated machine for one test, installed as the program's Os.
#pragma once

#include "sim/session.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace qv::test {

class SimTest : public ::testing::Test {
protected:
    // The board for this test; an empty machine unless a test says otherwise.
    void boot(const sim::json& board = sim::json::object())
    {
        sim::SessionOptions options;
        options.board = board;
        // The old machine goes first: its end uninstalls whatever machine is installed.
        session_.reset();
        session_ = std::make_unique<sim::Session>(options);
    }
    void SetUp() override { boot(); }

    sim::Session& session() { return *session_; }
    void write(const std::string& path, const std::string& content) { session_->sandbox().write_file(path, content); }
    std::string read(const std::string& path)
    {
        std::string content;
        session_->sandbox().read_file(path, content);
        return content;
    }

private:
    std::unique_ptr<sim::Session> session_;
};

}  // namespace qv::test
