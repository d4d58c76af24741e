// Copying a board's block of a database into the profile: block search and copy, and
// bad databases.
#include "profile/generator.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::test {
namespace {

const std::string kDatabase =
    ";; test database\n"
    "[_AB1_]\n"
    ";; AB1, a board before ours\n"
    "[SYSTEM]\nBUSTYPE=02\n"
    "[_SK5XX_]\n"
    ";; the board we look for\n"
    "lines before the system block are skipped\n"
    "[SYSTEM]\n"
    "BUSTYPE=02\n"
    ";; a comment inside the block is not copied\n"
    "[Item]\nITEM_NAME=CPU Fan\nMONITOR=TRUE\n"
    "[Parameter]\nPARAMETER=FAN1H\n"
    "[_ZZ9_]\n"
    "[SYSTEM]\nBUSTYPE=01\n[Item]\nITEM_NAME=Last\n";

class Generator : public SimTest {
protected:
    int copy(const char* database, const char* product)
    {
        testing::internal::CaptureStderr();
        const int result = copy_board_block(database, product);
        err = testing::internal::GetCapturedStderr();
        return result;
    }
    bool exists(const std::string& path) { return session().sandbox().exists(path); }
    std::string err;
};

TEST_F(Generator, BlockCopyRunsFromSystemToTheNextBoardWithoutComments)
{
    const std::string middle =
        "[SYSTEM]\nBUSTYPE=02\n[Item]\nITEM_NAME=CPU Fan\nMONITOR=TRUE\n[Parameter]\nPARAMETER=FAN1H\n";
    std::string crlf;
    for (char c : kDatabase) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const struct {
        std::string database;
        const char* product;
        std::string profile;
    } cases[] = {{kDatabase, "sk5xx", middle},
                 {kDatabase, "ZZ9", "[SYSTEM]\nBUSTYPE=01\n[Item]\nITEM_NAME=Last\n"},
                 {crlf, "SK5XX", middle},
                 // ';;' and its newline make a comment; a bare ';;' at the end does not.
                 {"[_Q1_]\n[SYSTEM]\n;;\n;;", "Q1", "[SYSTEM]\n;;\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        write("/etc/AllQuorvel.ini", c.database);
        ASSERT_EQ(copy("/etc/AllQuorvel.ini", c.product), 0) << err;
        EXPECT_EQ(err, "");
        EXPECT_EQ(read("/etc/Quorvel.ini"), c.profile);
        EXPECT_FALSE(exists("/etc/Quorvel.ini.new"));
    }
}

// A block without [SYSTEM] leaves an empty profile, never the next board's.
TEST_F(Generator, BoardWithoutABlockToCopyIsNotFound)
{
    const struct {
        std::string database;
        const char* product;
        bool profile_left;
    } cases[] = {{"[_Q1_]\nBUSTYPE=02\n[_Q2_]\n[SYSTEM]\nBUSTYPE=01\n", "Q1", true}, {kDatabase, "SK5", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.product);
        boot();
        write("/etc/AllQuorvel.ini", c.database);
        EXPECT_EQ(copy("/etc/AllQuorvel.ini", c.product), -1);
        EXPECT_EQ(err, "Error: The initial file for this motherboard is not found!\n");
        EXPECT_EQ(exists("/etc/Quorvel.ini"), c.profile_left);
        EXPECT_EQ(read("/etc/Quorvel.ini"), "");
    }
}

TEST_F(Generator, MissingDatabaseIsNamed)
{
    session().sandbox().remove("/etc/OldRevMB_2.ini");
    EXPECT_EQ(copy("/etc/OldRevMB_2.ini", "SK5BN"), -1);
    EXPECT_EQ(err, "Error: Cannot find the file '/etc/OldRevMB_2.ini'. \n");
    EXPECT_FALSE(exists("/etc/Quorvel.ini"));
}

}  // namespace
}  // namespace qv::test
