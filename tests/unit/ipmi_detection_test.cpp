// Which driver start-up opens, which BMC kind it recognises, and the message ids after it.
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using sim::json;

enum class Open { None, Maker, OpenIpmi };

struct DriverCase {
    const char* what;
    json board;  // the whole board: some cases need plain files
    Open opened;
    std::vector<std::string> requests;
    std::string err;
    friend void PrintTo(const DriverCase& c, std::ostream* os) { *os << c.what; }
};

class DriverOrder : public BmcTest, public ::testing::WithParamInterface<DriverCase> {};

TEST_P(DriverOrder, OpensTheFirstDriverThatAnswersAndSetsTheSharedState)
{
    const DriverCase& c = GetParam();
    boot(c.board);
    ::testing::internal::CaptureStderr();
    const int result = IpmiInit();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.err);
    EXPECT_EQ(result, c.opened == Open::None ? -1 : 0);
    EXPECT_EQ(ipmi_state().ipmi_driver_option, static_cast<int>(c.opened));
    EXPECT_EQ(ipmi_state().seqNo, c.opened == Open::None ? 0 : 2);
    const bool maker_descriptor = ipmi_state().hDevice != 0 && ipmi_state().hDevice != 99;
    EXPECT_EQ(ipmi_state().hDevice == 99, c.opened == Open::OpenIpmi);
    EXPECT_EQ(maker_descriptor, c.opened == Open::Maker);
    if (sim::find_bmc(session().machine()) != nullptr) {
        EXPECT_THAT(request_names(), ElementsAreArray(c.requests));
    }
}

const json kNotADevice = json{{"/dev/ipmi0", ""}};

INSTANTIATE_TEST_SUITE_P(
    Drivers, DriverOrder,
    ::testing::Values(
        DriverCase{"no driver at all", json::object(), Open::None, {}, ""},
        DriverCase{"maker's driver before OpenIPMI",
                   {{"bmc", {{"maker_driver", true}, {"openipmi", "/dev/ipmidev/0"}}}},
                   Open::Maker, {"/dev/tmbmc 06:01"}, ""},
        DriverCase{"maker's probe answered 0xC1 falls back to OpenIPMI",
                   {{"bmc", {{"maker_driver", {{"device_id_cc", "0xC1"}}}, {"openipmi", "/dev/ipmi0"}}}},
                   Open::OpenIpmi, {"/dev/tmbmc 06:01", "/dev/ipmi0 06:01", "/dev/ipmi0 06:37"}, ""},
        DriverCase{"first name", {{"bmc", {{"openipmi", "/dev/ipmidev/0"}}}}, Open::OpenIpmi,
                   {"/dev/ipmidev/0 06:01", "/dev/ipmidev/0 06:37"}, ""},
        DriverCase{"second name", {{"bmc", {{"openipmi", "/dev/ipmi/0"}}}}, Open::OpenIpmi,
                   {"/dev/ipmi/0 06:01", "/dev/ipmi/0 06:37"}, ""},
        DriverCase{"third name after the two others fail", {{"bmc", {{"openipmi", "/dev/ipmi0"}}}}, Open::OpenIpmi,
                   {"/dev/ipmi0 06:01", "/dev/ipmi0 06:37"}, ""},
        DriverCase{"the first name that opens wins", {{"bmc", {{"openipmi", {"/dev/ipmi0", "/dev/ipmidev/0"}}}}},
                   Open::OpenIpmi, {"/dev/ipmidev/0 06:01", "/dev/ipmidev/0 06:37"}, ""},
        DriverCase{"a plain file under an OpenIPMI name", {{"files", kNotADevice}}, Open::None, {},
                   "Error: ioctl(), errno=25\n"},
        DriverCase{"a plain file as the maker's device",
                   {{"files", {{"/dev/tmbmc", ""}}}, {"bmc", {{"openipmi", "/dev/ipmi0"}}}}, Open::OpenIpmi,
                   {"/dev/ipmi0 06:01", "/dev/ipmi0 06:37"}, "Error: ioctl(), errno=25\n"},
        DriverCase{"a BMC that never answers, on either driver",
                   {{"bmc", {{"maker_driver", true}, {"openipmi", "/dev/ipmi0"}, {"silent_after", 0}}}}, Open::None,
                   {"/dev/tmbmc 06:01", "/dev/ipmi0 06:01"},
                   "Error: no answer from the BMC within 400 ms.\nError: no answer from the BMC within 5000 ms.\n"}));

TEST_F(BmcTest, DetectionRunsWithMessageIdZeroOnTheBmcsOwnAddress)
{
    boot_bmc({{"openipmi", "/dev/ipmi0"}});
    ASSERT_EQ(IpmiInit(), 0);
    ASSERT_EQ(requests().size(), 2u);
    for (const sim::BmcRequest& r : requests()) {
        EXPECT_EQ(r.msgid, 0);
        EXPECT_EQ(r.addr_type, 0x0C);
        EXPECT_EQ(r.channel, 0x0F);
        EXPECT_EQ(r.lun, 0);
        EXPECT_TRUE(r.data.empty());
    }
}

// --- BMC kinds ------------------------------------------------------------------------

enum Kind { Peppercon, OBWinbond, AOWinbond, OBWinbondATen, RenesasAMI, RenesasATen, NoKind };

struct GuidCase {
    const char* what;
    json bmc;  // "kind" or "guid", and any answer the board chooses
    Kind expected;
    friend void PrintTo(const GuidCase& c, std::ostream* os) { *os << c.what; }
};

std::array<int*, 6> kind_flags()
{
    IpmiState& s = ipmi_state();
    return {&s.bPepperconIPMI, &s.bOBWinbondIPMI, &s.bAOWinbondIPMI, &s.bOBWinbondATenIPMI, &s.bRenesasAMIIPMI,
            &s.bRenesasATenIPMI};
}

class GuidRules : public BmcTest, public ::testing::WithParamInterface<GuidCase> {};

TEST_P(GuidRules, SetAtMostTheOneFlagOfTheFirstMatchingRule)
{
    json bmc = GetParam().bmc;
    bmc["openipmi"] = "/dev/ipmi0";
    boot_bmc(bmc);
    ASSERT_EQ(IpmiInit(), 0);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(*kind_flags()[k], k == GetParam().expected ? 1 : 0) << "flag " << k;
    EXPECT_EQ(bmc_proxies_isa(), GetParam().expected != Peppercon && GetParam().expected != NoKind);
}

json guid(std::vector<int> bytes) { return {{"guid", bytes}}; }

INSTANTIATE_TEST_SUITE_P(
    Kinds, GuidRules,
    ::testing::Values(
        GuidCase{"peppercon board", {{"kind", "peppercon"}}, Peppercon},
        GuidCase{"ob_winbond board", {{"kind", "ob_winbond"}}, OBWinbond},
        GuidCase{"ao_winbond board", {{"kind", "ao_winbond"}}, AOWinbond},
        GuidCase{"ob_winbond_aten board", {{"kind", "ob_winbond_aten"}}, OBWinbondATen},
        GuidCase{"renesas_ami board", {{"kind", "renesas_ami"}}, RenesasAMI},
        GuidCase{"renesas_aten board", {{"kind", "renesas_aten"}}, RenesasATen},
        GuidCase{"an unknown firmware", {{"kind", "none"}}, NoKind},
        GuidCase{"peppercon bytes 2 to 8 exactly", guid({0x02, 0, 0, 0xFF, 0xFE, 0, 0, 0}), Peppercon},
        GuidCase{"peppercon near miss in byte 8", guid({0x02, 0, 0, 0xFF, 0xFE, 0, 0, 1}), NoKind},
        GuidCase{"peppercon cut short before byte 8", guid({0x02, 0, 0, 0xFF, 0xFE, 0, 0}), NoKind},
        GuidCase{"0x30 with 001WT", guid({0x30, 0x30, 0x30, 0x31, 0x57, 0x54}), Peppercon},
        GuidCase{"0x35 with 001WT, whatever follows", guid({0x35, 0x30, 0x30, 0x31, 0x57, 0x54, 0xAA, 0xBB}), OBWinbond},
        GuidCase{"0x35 with 001WU", guid({0x35, 0x30, 0x30, 0x31, 0x57, 0x55}), NoKind},
        GuidCase{"0x35 with 001W only", guid({0x35, 0x30, 0x30, 0x31, 0x57}), NoKind},
        GuidCase{"0x36 is no kind", guid({0x36, 0x30, 0x30, 0x31, 0x57, 0x54}), NoKind},
        GuidCase{"0x62 is the second Renesas ATEN byte", guid({0x62, 0x30, 0x30, 0x31, 0x57, 0x54}), RenesasATen},
        GuidCase{"no GUID bytes", guid({}), NoKind},
        GuidCase{"Get System GUID refused", {{"kind", "ob_winbond"}, {"completion_codes", {{"0x06:0x37", "0xC1"}}}},
                 NoKind}));

struct RecheckCase {
    const char* what;
    json bmc;
    int result;
    bool preset_flag_survives;
    friend void PrintTo(const RecheckCase& c, std::ostream* os) { *os << c.what; }
};

class KindRecheck : public BmcTest, public ::testing::WithParamInterface<RecheckCase> {};

TEST_P(KindRecheck, ClearsTheFlagsOnlyWhenTheGuidCame)
{
    json bmc = GetParam().bmc;
    bmc["openipmi"] = "/dev/ipmi0";
    detect(bmc);
    ipmi_state().bAOWinbondIPMI = 1;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(checkAnyIPMI(), GetParam().result);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ipmi_state().bAOWinbondIPMI, GetParam().preset_flag_survives ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rechecks, KindRecheck,
    ::testing::Values(RecheckCase{"refused", {{"completion_codes", {{"0x06:0x37", "0xC1"}}}}, 0, true},
                      RecheckCase{"unanswered", {{"silent_after", 2}}, 0, true},
                      RecheckCase{"unknown GUID", {{"kind", "none"}}, 0, false},
                      RecheckCase{"another kind", {{"kind", "renesas_ami"}}, 1, false}));

// --- Message ids ---------------------------------------------------------------------

TEST_F(BmcTest, MessageIdsStartAtTwoAfterDetectionAndStepByOne)
{
    detect({{"openipmi", "/dev/ipmi0"}, {"oem", {{"0x95", 1}}}});
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) IpmiByteRead_oem_30_95(1, &value);
    std::vector<long> ids;
    for (const sim::BmcRequest& r : requests()) ids.push_back(r.msgid);
    EXPECT_THAT(ids, ElementsAre(2, 3, 4, 5));
}

TEST_F(BmcTest, MessageIdAfter0xFFFFIsTwoEvenWhenTheExchangeFails)
{
    detect({{"openipmi", "/dev/ipmi0"}, {"oem", {{"0x95", 1}}}, {"silent_after", 4}});
    ipmi_state().seqNo = 0xFFFE;
    uint32_t value = 0;
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 4; ++i) {
        ipmi_begin_poll();  // each its own poll, so the unanswered ones are still sent
        IpmiByteRead_oem_30_95(1, &value);
    }
    ::testing::internal::GetCapturedStderr();
    std::vector<long> ids;
    for (const sim::BmcRequest& r : requests()) ids.push_back(r.msgid);
    EXPECT_THAT(ids, ElementsAre(0xFFFE, 0xFFFF, 2, 3));
    EXPECT_EQ(ipmi_state().seqNo, 4);
}

}  // namespace
}  // namespace qv::test
