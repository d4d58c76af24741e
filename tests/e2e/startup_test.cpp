// The command line and the start-up checks, run as a user runs them.
#include "e2e/run.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

const std::string kProgram = QUORVEL_SIM;

std::string usage_text()
{
    const std::string& p = kProgram;
    return "Usage:\n" + p + "                         -> full function\n" + p +
           " -t                      -> text mode, running only once\n" + p +
           " -t -i 5                 -> text mode, running every 5 seconds\n" + p +
           " -r \"Chassis Intrusion\"  -> reset the chassis intrusion\n" + p +
           " -h                      -> showing this page\n" + p +
           " -v                      -> showing version information\n\n";
}

struct CommandLineCase {
    std::vector<std::string> args;
    bool version;  // else usage
    friend void PrintTo(const CommandLineCase& c, std::ostream* os)
    {
        for (const auto& a : c.args) *os << a << ' ';
    }
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, PrintsBannerAndThenVersionOrUsageAndEndsWithZero)
{
    std::vector<std::string> args{"--fast", "--"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const RunResult r = run_sim(args);
    const std::string tail = GetParam().version ? kProgram + " version 2.87(120421)\n" : usage_text();
    EXPECT_EQ(r.out, banner() + tail);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLine,
    ::testing::Values(CommandLineCase{{"-h"}, false}, CommandLineCase{{"-v"}, true},
                      CommandLineCase{{"-t", "-v"}, true},          // -v ends the parse before any report
                      CommandLineCase{{"-text", "-v"}, true},       // only the second character counts
                      CommandLineCase{{"-x", "-v"}, false},         // the parse stops at the bad option
                      CommandLineCase{{"-t", "-i", "0"}, false},    // an interval must be above 0
                      CommandLineCase{{"-t", "-i", "x"}, false},    // and a number
                      CommandLineCase{{"-t", "-i"}, false},         // and there
                      CommandLineCase{{"-r"}, false},               // a reset needs a name
                      CommandLineCase{{"report"}, false},           // arguments begin with "-"
                      CommandLineCase{{"-"}, false},
                      CommandLineCase{{"-M", "-h"}, false}));       // -M is accepted and ignored

TEST(StartUp, NonRootUserGetsTheBannerThenTheRefusal)
{
    const RunResult r = run_sim({"--uid", "1000", "--fast", "--", "-t"});
    EXPECT_EQ(r.out, banner() + "Error: Can only be run as root.\n");
    EXPECT_EQ(r.status, 255);
}

// CR LF line ends, no item block, nothing at all.
TEST(StartUp, ABrokenProfileEndsWithTheProfileErrorAndStatus255AndStaysAsItWas)
{
    for (const std::string profile : {"[System]\r\nBUSTYPE=02\r\n[Item]\r\nITEM_NAME=CPU Fan\r\nITEM_CAT=FAN\r\n",
                                      "[System]\nBUSTYPE=02\n[Parameter]\nPARAMETER=VOL1H\n", ""}) {
        SCOPED_TRACE(profile);
        TempRoot root;
        root.write("etc/Quorvel.ini", profile);
        const RunResult r = run_sim({"--root", root.str(), "--fast", "--", "-t"});
        EXPECT_EQ(r.out, banner());
        EXPECT_EQ(r.err, "Error: something wrong in file Quorvel.ini.\n");
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(root.read("etc/Quorvel.ini"), profile);
    }
}

}  // namespace
}  // namespace qv::test
