// Writing the profile from a board database: block search and copy, the database
// chosen by the revision rules, and bad databases.
#include "profile/generator.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::test {
namespace {

const std::string kNotFound = "Error: The initial file for this motherboard is not found!\n";

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
    // Runs the copy and keeps what it printed on standard error.
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
    const struct {
        const char* product;
        std::string profile;
    } cases[] = {{"SK5XX", middle},
                 {"sk5xx", middle},
                 {"AB1", "[SYSTEM]\nBUSTYPE=02\n"},
                 {"ZZ9", "[SYSTEM]\nBUSTYPE=01\n[Item]\nITEM_NAME=Last\n"}};
    write("/etc/AllQuorvel.ini", kDatabase);
    for (const auto& c : cases) {
        ASSERT_EQ(copy("/etc/AllQuorvel.ini", c.product), 0) << err;
        EXPECT_EQ(err, "");
        EXPECT_EQ(read("/etc/Quorvel.ini"), c.profile) << c.product;
        EXPECT_FALSE(exists("/etc/Quorvel.ini.new"));
    }
}

TEST_F(Generator, CrLfDatabaseGivesAProfileWithoutCarriageReturns)
{
    std::string crlf;
    for (char c : kDatabase) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    write("/etc/AllQuorvel.ini", crlf);
    ASSERT_EQ(copy("/etc/AllQuorvel.ini", "SK5XX"), 0) << err;
    EXPECT_EQ(read("/etc/Quorvel.ini"),
              "[SYSTEM]\nBUSTYPE=02\n[Item]\nITEM_NAME=CPU Fan\nMONITOR=TRUE\n[Parameter]\nPARAMETER=FAN1H\n");
}

TEST_F(Generator, ABareDoubleSemicolonAtTheEndIsALineNotAComment)
{
    write("/etc/AllQuorvel.ini", "[_Q1_]\n[SYSTEM]\n;;\n;;");
    ASSERT_EQ(copy("/etc/AllQuorvel.ini", "Q1"), 0);
    EXPECT_EQ(read("/etc/Quorvel.ini"), "[SYSTEM]\n;;\n") << "';;' and its newline make a comment";
}

TEST_F(Generator, BlockWithoutSystemLeavesAnEmptyProfileAndNeverTheNextBoard)
{
    write("/etc/AllQuorvel.ini", "[_Q1_]\nBUSTYPE=02\n[_Q2_]\n[SYSTEM]\nBUSTYPE=01\n");
    EXPECT_EQ(copy("/etc/AllQuorvel.ini", "Q1"), -1);
    EXPECT_EQ(err, kNotFound);
    EXPECT_TRUE(exists("/etc/Quorvel.ini"));
    EXPECT_EQ(read("/etc/Quorvel.ini"), "");
}

TEST_F(Generator, BoardNotInTheDatabaseWritesNothing)
{
    write("/etc/AllQuorvel.ini", kDatabase);
    EXPECT_EQ(copy("/etc/AllQuorvel.ini", "SK5"), -1);
    EXPECT_EQ(err, kNotFound);
    EXPECT_FALSE(exists("/etc/Quorvel.ini"));
}

TEST_F(Generator, MissingDatabaseIsNamed)
{
    session().sandbox().remove("/etc/OldRevMB_2.ini");
    EXPECT_EQ(copy("/etc/OldRevMB_2.ini", "SK5BN"), -1);
    EXPECT_EQ(err, "Error: Cannot find the file '/etc/OldRevMB_2.ini'. \n");
    EXPECT_FALSE(exists("/etc/Quorvel.ini"));
}

class NoHardware final : public RevisionInputs {
public:
    int gpio_high(int) override { return 1; }
    uint8_t bios_byte(uint32_t) override { return 0xFF; }
};

TEST_F(Generator, ProduceTakesTheBlockFromTheDatabaseTheRulesChoose)
{
    write("/etc/AllQuorvel.ini", "[_SK5BN_]\n[SYSTEM]\nPOLLING=1\n");
    write("/etc/OldRevMB_2.ini", "[_SK5BN_]\n[SYSTEM]\nPOLLING=2\n");
    NoHardware inputs;
    ASSERT_EQ(produce_quorvel_ini("SK5BN", "1.0", inputs), 0);
    EXPECT_EQ(read("/etc/Quorvel.ini"), "[SYSTEM]\nPOLLING=2\n");
}

}  // namespace
}  // namespace qv::test
