// Which driver start-up opens, which BMC kind it recognises, and the message ids after it.
#include "support/bmc_fixture.h"

#include <gmock/gmock.h>

namespace qv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using sim::json;

enum class Open { None, Maker, OpenIpmi };

TEST_F(BmcTest, DetectionAsksTheFirstDriverThatAnswersAndSetsTheSharedState)
{
    const std::string no_file = "Error: ioctl(), errno=25\n";
    const struct {
        const char* what;
        json board;  // the whole board: some cases need plain files
        Open opened;
        std::vector<std::string> requests;
        std::string err;
    } cases[] = {
        {"no driver at all", json::object(), Open::None, {}, ""},
        {"maker's driver before OpenIPMI", {{"bmc", {{"maker_driver", true}, {"openipmi", "/dev/ipmidev/0"}}}},
         Open::Maker, {"/dev/tmbmc 06:01"}, ""},
        {"maker's probe answered 0xC1 falls back to OpenIPMI",
         {{"bmc", {{"maker_driver", {{"device_id_cc", "0xC1"}}}, {"openipmi", "/dev/ipmi0"}}}}, Open::OpenIpmi,
         {"/dev/tmbmc 06:01", "/dev/ipmi0 06:01", "/dev/ipmi0 06:37"}, ""},
        {"second name", {{"bmc", {{"openipmi", "/dev/ipmi/0"}}}}, Open::OpenIpmi,
         {"/dev/ipmi/0 06:01", "/dev/ipmi/0 06:37"}, ""},
        {"the first name that opens wins", {{"bmc", {{"openipmi", {"/dev/ipmi0", "/dev/ipmidev/0"}}}}},
         Open::OpenIpmi, {"/dev/ipmidev/0 06:01", "/dev/ipmidev/0 06:37"}, ""},
        {"a plain file under an OpenIPMI name", {{"files", {{"/dev/ipmi0", ""}}}}, Open::None, {}, no_file},
        {"a plain file as the maker's device", {{"files", {{"/dev/tmbmc", ""}}}, {"bmc", {{"openipmi", "/dev/ipmi0"}}}},
         Open::OpenIpmi, {"/dev/ipmi0 06:01", "/dev/ipmi0 06:37"}, no_file},
        {"a BMC that never answers, on either driver",
         {{"bmc", {{"maker_driver", true}, {"openipmi", "/dev/ipmi0"}, {"silent_after", 0}}}}, Open::None,
         {"/dev/tmbmc 06:01", "/dev/ipmi0 06:01"},
         "Error: no answer from the BMC within 400 ms.\nError: no answer from the BMC within 5000 ms.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start(c.board);
        CaptureStderr();
        const int result = IpmiInit();
        EXPECT_EQ(GetCapturedStderr(), c.err);
        EXPECT_EQ(result, c.opened == Open::None ? -1 : 0);
        EXPECT_EQ(ipmi_state().ipmi_driver_option, static_cast<int>(c.opened));
        EXPECT_EQ(ipmi_state().seqNo, c.opened == Open::None ? 0 : 2);
        const bool maker_descriptor = ipmi_state().hDevice != 0 && ipmi_state().hDevice != 99;
        EXPECT_EQ(ipmi_state().hDevice == 99, c.opened == Open::OpenIpmi);
        EXPECT_EQ(maker_descriptor, c.opened == Open::Maker);
        if (sim::find_bmc(session().machine()) == nullptr) continue;
        EXPECT_THAT(request_names(), ElementsAreArray(c.requests));
        for (const sim::BmcRequest& r : requests()) {
            if (r.driver != sim::BmcDriver::OpenIpmi) continue;
            // Message id 0, on the BMC's own address.
            EXPECT_EQ(std::vector<long>({r.msgid, r.addr_type, r.channel, r.lun}), std::vector<long>({0, 0x0C, 0x0F, 0}));
            EXPECT_TRUE(r.data.empty());
        }
    }
}

// --- BMC kinds ------------------------------------------------------------------------

enum Kind { Peppercon, OBWinbond, AOWinbond, OBWinbondATen, RenesasAMI, RenesasATen, NoKind };

json guid(std::vector<int> bytes) { return {{"guid", bytes}}; }

TEST_F(BmcTest, TheGuidRulesSetAtMostTheOneFlagOfTheFirstMatchingRule)
{
    // bmc: "kind" or "guid", and any answer the board chooses.
    const struct { const char* what; json bmc; Kind expected; } cases[] = {
        {"ao_winbond board", {{"kind", "ao_winbond"}}, AOWinbond},
        {"ob_winbond_aten board", {{"kind", "ob_winbond_aten"}}, OBWinbondATen},
        {"renesas_ami board", {{"kind", "renesas_ami"}}, RenesasAMI},
        {"an unknown firmware", {{"kind", "none"}}, NoKind},
        {"peppercon bytes 2 to 8 exactly", guid({0x02, 0, 0, 0xFF, 0xFE, 0, 0, 0}), Peppercon},
        {"peppercon near miss in byte 8", guid({0x02, 0, 0, 0xFF, 0xFE, 0, 0, 1}), NoKind},
        {"peppercon cut short before byte 8", guid({0x02, 0, 0, 0xFF, 0xFE, 0, 0}), NoKind},
        {"0x30 with 001WT", guid({0x30, 0x30, 0x30, 0x31, 0x57, 0x54}), Peppercon},
        {"0x35 with 001WT, whatever follows", guid({0x35, 0x30, 0x30, 0x31, 0x57, 0x54, 0xAA, 0xBB}), OBWinbond},
        {"0x35 with 001WU", guid({0x35, 0x30, 0x30, 0x31, 0x57, 0x55}), NoKind},
        {"0x35 with 001W only", guid({0x35, 0x30, 0x30, 0x31, 0x57}), NoKind},
        {"0x36 is no kind", guid({0x36, 0x30, 0x30, 0x31, 0x57, 0x54}), NoKind},
        {"0x62 is the second Renesas ATEN byte", guid({0x62, 0x30, 0x30, 0x31, 0x57, 0x54}), RenesasATen},
        {"no GUID bytes", guid({}), NoKind},
        {"Get System GUID refused", {{"kind", "ob_winbond"}, {"completion_codes", {{"0x06:0x37", "0xC1"}}}}, NoKind},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        json bmc = c.bmc;
        bmc["openipmi"] = "/dev/ipmi0";
        boot_bmc(bmc);
        ASSERT_EQ(IpmiInit(), 0);
        const IpmiState& s = ipmi_state();
        const int flags[] = {s.bPepperconIPMI,     s.bOBWinbondIPMI,  s.bAOWinbondIPMI,
                             s.bOBWinbondATenIPMI, s.bRenesasAMIIPMI, s.bRenesasATenIPMI};
        for (int k = 0; k < 6; ++k) EXPECT_EQ(flags[k], k == c.expected ? 1 : 0) << "flag " << k;
        EXPECT_EQ(bmc_proxies_isa(), c.expected != Peppercon && c.expected != NoKind);
    }
}

TEST_F(BmcTest, KindRecheckClearsTheFlagsOnlyWhenTheGuidCame)
{
    const struct { const char* what; json bmc; int result; bool preset_flag_survives; } cases[] = {
        {"refused", {{"completion_codes", {{"0x06:0x37", "0xC1"}}}}, 0, true},
        {"unanswered", {{"silent_after", 2}}, 0, true},
        {"unknown GUID", {{"kind", "none"}}, 0, false},
        {"another kind", {{"kind", "renesas_ami"}}, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        json bmc = c.bmc;
        bmc["openipmi"] = "/dev/ipmi0";
        detect(bmc);
        ipmi_state().bAOWinbondIPMI = 1;
        CaptureStderr();
        EXPECT_EQ(checkAnyIPMI(), c.result);
        GetCapturedStderr();
        EXPECT_EQ(ipmi_state().bAOWinbondIPMI, c.preset_flag_survives ? 1 : 0);
    }
}

// After detection (ids 2 on, as every command shows) ids step by one and wrap to 2,
// whether or not the exchange is answered.
TEST_F(BmcTest, MessageIdAfter0xFFFFIsTwoEvenWhenTheExchangeFails)
{
    detect({{"openipmi", "/dev/ipmi0"}, {"oem", {{"0x95", 1}}}, {"silent_after", 4}});
    ipmi_state().seqNo = 0xFFFE;
    uint32_t value = 0;
    CaptureStderr();
    for (int i = 0; i < 4; ++i) {
        ipmi_begin_poll();  // each its own poll, so the unanswered ones are still sent
        IpmiByteRead_oem_30_95(1, &value);
    }
    GetCapturedStderr();
    std::vector<long> ids;
    for (const sim::BmcRequest& r : requests()) ids.push_back(r.msgid);
    EXPECT_THAT(ids, ElementsAre(0xFFFE, 0xFFFF, 2, 3));
    EXPECT_EQ(ipmi_state().seqNo, 4);
}

}  // namespace
}  // namespace qv::test
