// The profile loader: pieces, case rules, block state machines, numbers and defaults.
#include "profile/loader.h"
#include "profile/mapvar.h"
#include "profile/text.h"
#include "support/sim_fixture.h"

#include <gmock/gmock.h>

#include <string>

namespace qv::test {
namespace {

using ::testing::HasSubstr;

class Loader : public SimTest {
protected:
    int load(const std::string& profile)
    {
        write("/etc/Quorvel.ini", profile);
        return loadQuorvelINI_and_getItemCount(store);
    }
    ProfileStore store;
};

TEST_F(Loader, BlankLineEndsAnItemBlockAndLaterEntriesKeepDefaults)
{
    ASSERT_EQ(load("[Item]\nITEM_NAME=Fan 1\n\nITEM_CAT=FAN\nSLAVE=2d\n"), 1);
    EXPECT_STREQ(store.items[0].Name, "Fan 1");
    EXPECT_EQ(store.items[0].Cat, 255);
    EXPECT_EQ(store.items[0].Slave, 255);
    EXPECT_EQ(store.items[0].ParaIndex1[0], '\0');
}

TEST_F(Loader, SectionsComeInAnyOrderAndSystemRunsToTheNextHeaderAcrossBlankLines)
{
    ASSERT_EQ(load("[Parameter]\nPARAMETER=VOL1H\n[System]\nBUSTYPE=02\n\n; note\nPOLLING=10\nMACHINENAME=rack 7\n[Item]\nITEM_NAME=x\n"
                   "[System]\nDATAREG=2f\n"),
              1);
    EXPECT_EQ(store.system.BusType, 2u);
    EXPECT_EQ(store.system.Polling, 10u) << "POLLING is decimal";
    EXPECT_STREQ(store.system.MachineName, "rack 7");
    EXPECT_STREQ(store.params[0].szKeyName, "VOL1H");
    EXPECT_EQ(store.system.DataReg, 0x2Fu) << "a second [System] header enters again";
}

TEST_F(Loader, KeysIgnoreCaseButNotBlanksAroundTheEqualsSign)
{
    ASSERT_EQ(load("[item]\nmonitor=true\nitem_name=a\n[ITEM]\nMONITOR = TRUE\n"), 2);
    EXPECT_EQ(store.items[0].Monitor, 1);
    EXPECT_STREQ(store.items[0].Name, "a");
    EXPECT_EQ(store.items[1].Monitor, 255) << "the key 'MONITOR ' is not known";
}

TEST_F(Loader, HexValuesParseAsTheCLibraryDoes)
{
    const struct {
        const char* value;
        int32_t expected;
    } cases[] = {{"0x5A", 90}, {"5a", 90},  {"", 0},  {"  2d", 0x2D}, {"2dz", 0x2D},       {"0x", 0},
                 {"zz", 0},    {"-1", -1}, {"+10", 16}, {"FFFFFFFF", -1}, {"123456789", -1}};
    for (const auto& c : cases) {
        ASSERT_EQ(load(std::string("[Item]\nSLAVE=") + c.value + "\n"), 1);
        EXPECT_EQ(store.items[0].Slave, c.expected) << '"' << c.value << '"';
    }
}

TEST_F(Loader, LongLinesArriveIn79CharacterPieces)
{
    const std::string name(75, 'n');  // "ITEM_NAME=" + 75 = 85 characters
    ASSERT_EQ(load("[Item]\nITEM_NAME=" + name + "\nITEM_CAT=FAN\n"), 1);
    EXPECT_EQ(std::string(store.items[0].Name), name.substr(0, 69));
    EXPECT_EQ(store.items[0].Cat, 255) << "the rest of the line has no '=' and ends the block";
}

TEST_F(Loader, ParameterRecordsPastTheLastBlockHoldDefaults)
{
    ASSERT_EQ(load("[Item]\nITEM_NAME=a\n[Item]\nITEM_NAME=b\n[Parameter]\nPARAMETER=FAN1H\nSLAVE=2d\n"), 2);
    ASSERT_EQ(store.params.size(), 4u);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(store.params[i].szKeyName[0], '\0');
        EXPECT_EQ(store.params[i].Slave, 255);
        EXPECT_EQ(store.params[i].Offset, 255);
        EXPECT_EQ(store.params[i].BitMask, 255);
    }
}

TEST_F(Loader, SurplusParameterBlocksAreDroppedWithAWarning)
{
    std::string profile = "[Item]\nITEM_NAME=a\n";
    for (int i = 0; i < 5; ++i) profile += "[Parameter]\nPARAMETER=P" + std::to_string(i) + "\n";
    testing::internal::CaptureStderr();
    ASSERT_EQ(load(profile), 1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("3 [Parameter] block(s) beyond the capacity of 2"));
    EXPECT_STREQ(store.params[1].szKeyName, "P1");
}

TEST_F(Loader, OverlongTextsAreCutToTheirFields)
{
    ASSERT_EQ(load("[System]\nMACHINENAME=" + std::string(60, 'm') + "\n[Item]\n[Parameter]\nPARAMETER=DIVISOR12345\n"),
              1);
    EXPECT_EQ(std::string(store.system.MachineName), std::string(39, 'm'));
    EXPECT_STREQ(store.params[0].szKeyName, "DIVISOR1234");
}

TEST_F(Loader, UnknownNamesGetMinusOneWithTheMessage)
{
    testing::internal::CaptureStderr();
    ASSERT_EQ(load("[Item]\nITEM_CAT=FANS\nMONITOR=TRUE \n"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "str2code: Failure! FANS\nstr2code: Failure! TRUE \n");
    EXPECT_EQ(store.items[0].Cat, -1);
    EXPECT_EQ(store.items[0].Monitor, -1);
}

TEST(MapVar, HoldsEveryNameOnceWithItsCodeAndIsExactlyFull)
{
    const struct {
        const char* name;
        uint32_t code;
    } rows[] = {{"fan", 0},       {"TEMP", 2},        {"Voltage", 1},     {"DIVISOR", 6},      {"P5VSB", 8},
                {"Item_FAN16", 15}, {"Item_VOL1", 16}, {"Item_VOL60", 75}, {"Item_TEMP1", 76}, {"Item_TEMP16", 91},
                {"Item_SWITCH16", 107}, {"Divisor1", 0}, {"Divisor16", 15}, {"VOL1H", 16}, {"VOL1L", 17},
                {"VOL16L", 47},   {"TEMP1H", 136},    {"TEMP16L", 167},   {"FAN1H", 168},      {"FAN16H", 183},
                {"SWITCH1A", 184}, {"SWITCH1C", 185}, {"SWITCH16C", 215}, {"false", 0},        {"TRUE", 1}};
    for (const auto& row : rows) EXPECT_EQ(str2code(row.name), row.code) << row.name;
    EXPECT_EQ(MAPVar[253].name, std::string("TRUE"));
    EXPECT_EQ(MAPVar[254].name[0], '\0');
    EXPECT_EQ(MAPVar[254].code, kNoCode);
}

TEST(MapVar, MissReportsTheTextAndGivesAllOnes)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(str2code("VOL17H"), kNoCode);
    EXPECT_EQ(str2code(""), kNoCode) << "the terminator row is never a match";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "str2code: Failure! VOL17H\nstr2code: Failure! \n");
}

}  // namespace
}  // namespace qv::test
