// The window mode as a user starts it: without a display nothing is written; with one,
// a first start writes the profile and switches off what the board lacks.
#include "e2e/run.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qv::test {
namespace {

class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* display = std::getenv("DISPLAY")) saved_ = display;
        ::unsetenv("DISPLAY");
    }
    void TearDown() override
    {
        if (!saved_.empty()) ::setenv("DISPLAY", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};

TEST_F(NoDisplay, AFirstStartEndsWithGtksErrorAndWritesNothing)
{
    TempRoot root;
    const RunResult r = run_sim({"--root", root.str(), "--fast"}, std::chrono::seconds(60));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("display"), std::string::npos) << r.err;
    EXPECT_FALSE(root.exists("etc/Quorvel.ini"));
}

TEST_F(NoDisplay, AnExistingProfileIsLeftAsItWas)
{
    TempRoot root;
    const std::string profile = "[System]\nBUSTYPE=02\nINDEXREG=295\nDATAREG=296\nPOLLING=5\n\n"
                                "[Item]\nITEM_NAME=Chassis Intrusion\nITEM_CAT=SWITCH\nMONITOR=TRUE\n";
    root.write("etc/Quorvel.ini", profile);
    const RunResult r = run_sim({"--root", root.str(), "--fast"}, std::chrono::seconds(60));
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(root.read("etc/Quorvel.ini"), profile);
    EXPECT_FALSE(root.exists("etc/Quorvel.ini.old"));
}

// Runs under a private X server (see tests/CMakeLists.txt); skipped without a display.
TEST(WindowMode, AFirstStartRunsTheAvailabilityPassAndKeepsPolling)
{
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
    TempRoot root;
    const std::string disabled = ">> Disable monitoring of non-activated item: SYS FAN2";
    const RunResult r = run_sim_until({"--root", root.str(), "--fast"},
                                      [&](const std::string& out) { return out.find(disabled) != std::string::npos; });
    EXPECT_EQ(r.status, -1) << "the window ran until it was stopped";
    EXPECT_NE(r.out.find(disabled), std::string::npos) << r.out << r.err;
    const std::string profile = root.read("etc/Quorvel.ini");
    EXPECT_NE(profile.find("ITEM_NAME=SYS FAN2"), std::string::npos);
    EXPECT_TRUE(root.exists("etc/Quorvel.ini.old"));
}

}  // namespace
}  // namespace qv::test
