// Reading and chart-extreme paths that decide without touching the hardware, and
// references between switches that lead back to themselves.
#include "sensors/convert.h"
#include "sensors/limits.h"
#include "sensors/reading.h"
#include "support/engine_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

class NoAccess : public EngineTest {};

TEST_F(NoAccess, ItemsWhoseBusDoesNotFitFailWithoutTouchingAnything)
{
    load(profile_text("01",
                      "[Item]\nITEM_NAME=ISA fan\nITEM_CAT=FAN\nBUSTYPE=02\nCHIPCODE=3\nSLAVE=2d\nOFFSET=20\n\n"
                      "[Item]\nITEM_NAME=SMBus fan\nITEM_CAT=FAN\nBUSTYPE=01\nCHIPCODE=1c\nSLAVE=0\nOFFSET=28\n\n"
                      "[Item]\nITEM_NAME=GPU\nITEM_CAT=TEMP\nBUSTYPE=01\nCHIPCODE=1a\nSLAVE=4c\nOFFSET=0\n\n"
                      "[Item]\nITEM_NAME=ISA volt\nITEM_CAT=VOLTAGE\nBUSTYPE=02\nCHIPCODE=1\nSLAVE=0\nOFFSET=21\n\n"
                      "[Item]\nITEM_NAME=IT fan\nITEM_CAT=FAN\nBUSTYPE=01\nCHIPCODE=19\nSLAVE=0\nOFFSET=0d\n\n"
                      "[Item]\nITEM_NAME=NCT fan\nITEM_CAT=FAN\nBUSTYPE=02\nCHIPCODE=1e\nSLAVE=2d\nOFFSET=80\n\n"
                      "[Item]\nITEM_NAME=BMC sensor\nITEM_CAT=TEMP\nBUSTYPE=08\nCHIPCODE=22\nSLAVE=0\nOFFSET=3\n"));
    for (const char* name : {"ISA fan", "SMBus fan", "GPU", "ISA volt", "IT fan", "NCT fan", "BMC sensor"}) {
        int32_t value = 4711;
        EXPECT_EQ(get_item_readingImpl(profile_, item(name), &value), -1) << name;
        EXPECT_EQ(value, 4711) << name << ": a failed read writes nothing";
    }
    EXPECT_EQ(all_accesses(), 0u);
}

TEST_F(NoAccess, ChartExtremesOfEveryCategory)
{
    load(profile_text("02",
                      "[Item]\nITEM_NAME=Fan\nITEM_CAT=FAN\nBUSTYPE=01\nCHIPCODE=3\nPARAINDEX1=Divisor1\n\n"
                      "[Item]\nITEM_NAME=Fan8\nITEM_CAT=FAN\nBUSTYPE=01\nCHIPCODE=8\nPARAINDEX1=Divisor1\n\n"
                      "[Item]\nITEM_NAME=Fan17\nITEM_CAT=FAN\nBUSTYPE=01\nCHIPCODE=11\nPARAINDEX1=Divisor1\n\n"
                      "[Item]\nITEM_NAME=12V\nITEM_CAT=VOLTAGE\nVOL_FUNC=P12V\nCHIPCODE=c\n\n"
                      "[Item]\nITEM_NAME=-12V\nITEM_CAT=VOLTAGE\nVOL_FUNC=N12V\nCHIPCODE=9\n\n"
                      "[Item]\nITEM_NAME=Temp\nITEM_CAT=TEMP\nCHIPCODE=1\n\n"
                      "[Item]\nITEM_NAME=Switch\nITEM_CAT=SWITCH\nCHIPCODE=5\n\n"
                      "[Parameter]\nPARAMETER=Divisor1\nSLAVE=2d\nOFFSET=47\nBITMASK=30\n"));
    const struct { const char* name; int32_t max, min; } extremes[] = {
        {"Fan", 21093, 0},       {"Fan8", 21093, 0},  {"Fan17", 1350000, 0}, {"12V", 13463, 0},
        {"-12V", -7110, -13299}, {"Temp", 127, -127}, {"Switch", 1, 0}};
    for (const auto& c : extremes) {
        int32_t max = -1;
        int32_t min = -1;
        EXPECT_EQ(get_item_max_reading(profile_, item(c.name), &max), 0) << c.name;
        EXPECT_EQ(get_item_min_reading(profile_, item(c.name), &min), 0) << c.name;
        EXPECT_EQ(std::pair(max, min), std::pair(c.max, c.min)) << c.name;
    }
    EXPECT_EQ(all_accesses(), 0u);
}

class BrokenProfile : public EngineTest {};

// Two placeholder switches that name each other and one that names nothing: each read
// ends, with reference 0 where the chain would close.
TEST_F(BrokenProfile, ReferenceCyclesEnd)
{
    const char* params = "[Parameter]\nPARAMETER=SWITCH1A\nSLAVE=0\nOFFSET=0\nBITMASK=1\n\n"
                         "[Parameter]\nPARAMETER=SWITCH1C\nSLAVE=0\nOFFSET=0\nBITMASK=1\n";
    auto sw = [](const char* name, const char* id, const char* ref) {
        return "[Item]\nITEM_NAME=" + std::string(name) + "\nITEM_CAT=SWITCH\nBUSTYPE=00\nCHIPCODE=1b\nITEM_ID=" + id +
               "\nREF_ITEM_ID=" + ref + "\nPARAINDEX1=SWITCH1A\nPARAINDEX2=SWITCH1C\n\n";
    };
    load(profile_text("00", sw("A", "a", "b") + sw("B", "b", "a") + sw("Lost", "l", "gone") + params));
    struct Case { const char* name; const char* message; };
    const Case cases[] = {{"A", "Error: Ref_Item_ID 'a' leads back to 'B'.\n"},
                          {"Lost", "Error: Unknown Ref_Item_ID 'gone'.\n"}};
    for (const auto& c : cases) {
        int32_t value = 4711;
        CaptureStderr();
        EXPECT_EQ(get_item_reading(profile_, item(c.name), &value), 0) << c.name;
        EXPECT_EQ(GetCapturedStderr(), c.message);
        EXPECT_EQ(value, 0) << c.name;
    }
}

}  // namespace
}  // namespace qv::test
