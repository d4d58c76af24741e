// The four board databases as installed: every block copies into a profile that
// loads, names only parameters it has, fits the parameter capacity and keeps the
// layout the availability pass and the saver rely on; every board of a revision
// rule is in the database the rule sends it to.
#include "profile/generator.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "profile/revision_rules.h"
#include "profile/text.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace qv::test {
namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> boards_in(const std::string& database)
{
    std::vector<std::string> boards;
    for (const std::string& line : lines_of(database))
        if (line.starts_with("[_") && line.ends_with("_]")) boards.push_back(line.substr(2, line.size() - 4));
    return boards;
}

class Database : public SimTest, public ::testing::WithParamInterface<const char*> {
protected:
    std::string text() { return read(GetParam()); }

    // [SYSTEM] first, then item blocks with one MONITOR entry each, then parameter blocks.
    void check_layout(const std::string& profile)
    {
        const auto lines = lines_of(profile);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "[SYSTEM]");
        std::vector<int> monitors;  // of each item block
        bool parameters = false;
        for (const std::string& line : lines) {
            if (iequals(line, "[Item]")) {
                EXPECT_FALSE(parameters) << "an item block after the parameters";
                monitors.push_back(0);
            } else if (iequals(line, "[Parameter]")) {
                parameters = true;
            } else if (!parameters && !monitors.empty() && istarts_with(line, "MONITOR=")) {
                ++monitors.back();
            }
        }
        for (int n : monitors) EXPECT_EQ(n, 1) << "MONITOR entries of an item block";
    }

    void check_references(const ProfileStore& store)
    {
        std::set<std::string> params, ids;
        for (const ParameterSection& p : store.params)
            if (p.szKeyName[0] != '\0') params.insert(p.szKeyName);
        std::size_t with_id = 0;
        for (const ItemSection& item : store.items)
            if (item.Item_ID[0] != '\0') ids.insert(item.Item_ID), ++with_id;
        EXPECT_EQ(ids.size(), with_id) << "ITEM_IDs are unique";
        for (const ItemSection& item : store.items) {
            SCOPED_TRACE(item.Name);
            EXPECT_LT(std::string(item.Name).size(), 40u) << "fits the display's name";
            EXPECT_TRUE(item.Cat >= FAN && item.Cat <= SWITCH);
            EXPECT_TRUE(item.ChipCode >= 0 && item.ChipCode <= 34);
            EXPECT_TRUE(item.Monitor == 0 || item.Monitor == 1);
            EXPECT_TRUE(item.Cat != VOLTAGE || (item.Vol_Func >= 0 && item.Vol_Func <= 8));
            EXPECT_TRUE(params.contains(item.ParaIndex1)) << item.ParaIndex1;
            EXPECT_TRUE(params.contains(item.ParaIndex2)) << item.ParaIndex2;
            EXPECT_TRUE(item.Ref_Item_ID[0] == '\0' || ids.contains(item.Ref_Item_ID)) << item.Ref_Item_ID;
        }
    }
};

TEST_P(Database, EveryLineIsReadWholeAndNoBoardTwice)
{
    const std::string database = text();
    for (const std::string& line : lines_of(database)) {
        EXPECT_LT(line.size(), 79u) << line;
        EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    }
    const auto boards = boards_in(database);
    EXPECT_EQ(std::set<std::string>(boards.begin(), boards.end()).size(), boards.size());
}

TEST_P(Database, EveryBlockGivesAProfileThatLoadsWhole)
{
    const auto boards = boards_in(text());
    ASSERT_FALSE(boards.empty());
    for (const std::string& board : boards) {
        SCOPED_TRACE(board);
        ASSERT_EQ(copy_board_block(GetParam(), board), 0);
        const std::string profile = read(QUORVEL_INI);
        EXPECT_EQ(profile.find(";;"), std::string::npos) << "comments stay in the database";
        check_layout(profile);
        ProfileStore store;
        testing::internal::CaptureStderr();
        const int count = loadQuorvelINI_and_getItemCount(store);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "every name is known, every block fits";
        ASSERT_GT(count, 0);
        EXPECT_GT(store.system.Polling, 0u);
        check_references(store);
    }
}

TEST_P(Database, HoldsEveryBoardTheRulesSendToIt)
{
    const auto boards = boards_in(text());
    const std::set<std::string> present(boards.begin(), boards.end());
    for (const RevisionRule& rule : kRevisionRules) {
        const bool here = std::string(rule.database) == GetParam() || std::string(GetParam()) == ALL_QUORVEL_INI;
        EXPECT_TRUE(!here || present.contains(std::string(rule.board))) << rule.board;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Database,
                         ::testing::Values(ALL_QUORVEL_INI, OLD_REV_MB_INI, OLD_REV_MB_2_INI, OLD_REV_MB_3_INI));

}  // namespace
}  // namespace qv::test
