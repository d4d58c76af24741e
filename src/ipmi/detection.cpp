// Which driver reaches the BMC, and which kind of BMC firmware answers.
#include "ipmi/ipmi.h"
#include "ipmi/link.h"
#include "ipmi/openipmi.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

namespace qv {

namespace {

constexpr int kOpenIpmiMarker = 99;
constexpr uint8_t kNetFnApp = 0x06;
constexpr uint8_t kCmdGetSystemGuid = 0x37;

constexpr uint8_t kPepperconTail[] = {0x00, 0x00, 0xFF, 0xFE, 0x00, 0x00, 0x00};
constexpr uint8_t kWtTail[] = {0x30, 0x30, 0x31, 0x57, 0x54};  // "001WT"

// A kind is told by the first GUID byte and the bytes right after it.
struct GuidRule {
    int IpmiState::*flag;
    uint8_t first;
    std::span<const uint8_t> tail;
};

const std::array<GuidRule, 8> kGuidRules{{
    {&IpmiState::bPepperconIPMI, 0x02, kPepperconTail},
    {&IpmiState::bPepperconIPMI, 0x30, kWtTail},
    {&IpmiState::bOBWinbondIPMI, 0x35, kWtTail},
    {&IpmiState::bAOWinbondIPMI, 0x34, kWtTail},
    {&IpmiState::bOBWinbondATenIPMI, 0x37, kWtTail},
    {&IpmiState::bRenesasAMIIPMI, 0x39, kWtTail},
    {&IpmiState::bRenesasATenIPMI, 0x61, kWtTail},
    {&IpmiState::bRenesasATenIPMI, 0x62, kWtTail},
}};

// guid starts at the first GUID byte and holds only the bytes that arrived.
bool matches(const GuidRule& rule, std::span<const uint8_t> guid)
{
    if (guid.size() < 1 + rule.tail.size() || guid[0] != rule.first) return false;
    return std::equal(rule.tail.begin(), rule.tail.end(), guid.begin() + 1);
}

void clear_kind_flags()
{
    for (const GuidRule& rule : kGuidRules) ipmi_state().*rule.flag = 0;
}

}  // namespace

int checkAnyIPMI()
{
    std::size_t received = 0;
    if (ipmi_exchange(kNetFnApp, kCmdGetSystemGuid, 0, received) != 0) return 0;
    if (received < 1 || ipmi_state().recv_data[0] != 0) return 0;
    clear_kind_flags();
    const std::span<const uint8_t> guid(ipmi_state().recv_data + 1, received - 1);
    for (const GuidRule& rule : kGuidRules) {
        if (!matches(rule, guid)) continue;
        ipmi_state().*rule.flag = 1;
        return 1;
    }
    return 0;
}

int IpmiInit()
{
    const ipmi_link::DetectionScope detection;
    ipmi_state().hDevice = 0;
    ipmi_state().ipmi_driver_option = 0;
    if (open_imb()) {
        ipmi_state().ipmi_driver_option = 1;
    } else {
        if (!open_imb2()) {
            ipmi_state().hDevice = 0;
            return -1;
        }
        ipmi_state().hDevice = kOpenIpmiMarker;
        ipmi_state().ipmi_driver_option = 2;
        checkAnyIPMI();
    }
    ipmi_state().seqNo = 2;
    return 0;
}

bool bmc_proxies_isa()
{
    const IpmiState& s = ipmi_state();
    return s.bOBWinbondIPMI || s.bAOWinbondIPMI || s.bOBWinbondATenIPMI || s.bRenesasAMIIPMI || s.bRenesasATenIPMI;
}

IpmiState& ipmi_state()
{
    static IpmiState state;
    return state;
}

void reset_ipmi_state() { ipmi_state() = IpmiState{}; }

}  // namespace qv
