// The kernel's OpenIPMI device: opening it, sending a request, waiting for its answer.
#include "ipmi/ipmi.h"
#include "ipmi/link.h"
#include "ipmi/openipmi.h"

#include <linux/ioctl.h>  // the macros linux/ipmi.h builds its ioctl numbers with
#include <linux/ipmi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qv {

namespace {

using namespace ipmi_link;

constexpr const char* kDeviceNames[] = {"/dev/ipmidev/%d", "/dev/ipmi/%d", "/dev/ipmi%d"};
constexpr uint8_t kNetFnApp = 0x06;
constexpr uint8_t kCmdGetDeviceId = 0x01;
// Answers that are not ours (late answers to requests given up on, events) are
// skipped; this many at most before the wait counts as unanswered.
constexpr int kMaxReceives = 32;

// The address in the general form the kernel takes; false for a type it cannot carry.
bool make_address(ipmi_addr& address, int addr_type, short channel, uint8_t slave_addr, uint8_t lun)
{
    address = {};
    if (addr_type == IPMI_SYSTEM_INTERFACE_ADDR_TYPE) {
        const ipmi_system_interface_addr bmc{addr_type, channel, lun};
        std::memcpy(&address, &bmc, sizeof bmc);
        return true;
    }
    if (addr_type == IPMI_IPMB_ADDR_TYPE || addr_type == IPMI_IPMB_BROADCAST_ADDR_TYPE) {
        const ipmi_ipmb_addr ipmb{addr_type, channel, slave_addr, lun};
        std::memcpy(&address, &ipmb, sizeof ipmb);
        return true;
    }
    std::fprintf(stderr, "Error: wrong address type.\n");
    return false;
}

int ioctl_retrying(int descriptor, unsigned long request, void* arg)
{
    int result = -1;
    for (int attempt = 0; attempt < kTransientRetries; ++attempt) {
        result = platform::os().ioctl(descriptor, request, arg);
        if (result == 0 || !transient(errno)) break;
    }
    return result;
}

// A response the kernel could not hand over whole stays queued; take it off, cut short.
void discard_oversized(int descriptor, ipmi_recv& message)
{
    const int saved = errno;
    platform::os().ioctl(descriptor, IPMICTL_RECEIVE_MSG_TRUNC, &message);
    errno = saved;
}

// Waits for the answer to msgid; response gets at most capacity bytes.
int receive_answer(int descriptor, ipmi_addr& address, long msgid, int capacity, uint8_t* response,
                   std::size_t& received)
{
    timeval wait{kIpmiAnswerTimeoutMs / 1000, (kIpmiAnswerTimeoutMs % 1000) * 1000};
    for (int attempt = 0; attempt < kMaxReceives; ++attempt) {
        const int ready = platform::os().select_read(descriptor, &wait);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) {
            std::fprintf(stderr, "Error: select(), errno=%d\n", errno);
            return errno;
        }
        if (ready == 0) break;
        ipmi_recv message{};
        message.addr = reinterpret_cast<unsigned char*>(&address);
        message.addr_len = sizeof address;
        message.msg.data = response;
        message.msg.data_len = static_cast<unsigned short>(capacity);
        if (platform::os().ioctl(descriptor, IPMICTL_RECEIVE_MSG, &message) != 0) {
            if (transient(errno)) continue;
            if (errno == EMSGSIZE) discard_oversized(descriptor, message);
            return report_ioctl_failure(errno);
        }
        if (message.recv_type != IPMI_RESPONSE_RECV_TYPE || message.msgid != msgid) continue;
        received = std::min<std::size_t>(message.msg.data_len, static_cast<std::size_t>(capacity));
        note_answer();
        return 0;
    }
    report_no_answer(kIpmiAnswerTimeoutMs);
    return ETIMEDOUT;
}

int send_to_bmc(long msgid, uint8_t netfn, uint8_t cmd, int data_len)
{
    IpmiState& s = ipmi_state();
    return ipmi_cmd_req2(s.fd, IPMI_SYSTEM_INTERFACE_ADDR_TYPE, IPMI_BMC_CHANNEL, 0, 0, msgid, netfn, cmd, data_len,
                         s.req_data);
}

int receive_from_bmc(long msgid, std::size_t& received)
{
    ipmi_addr address{};
    make_address(address, IPMI_SYSTEM_INTERFACE_ADDR_TYPE, IPMI_BMC_CHANNEL, 0, 0);
    IpmiState& s = ipmi_state();
    return receive_answer(s.fd, address, msgid, sizeof s.recv_data, s.recv_data, received);
}

void step_message_id()
{
    ++ipmi_state().seqNo;
    if (ipmi_state().seqNo == 0) ipmi_state().seqNo = 2;
}

int open_first_device()
{
    for (const char* pattern : kDeviceNames) {
        char path[32];
        std::snprintf(path, sizeof path, pattern, 0);
        const int descriptor = platform::os().open(path, O_RDWR);
        if (descriptor >= 0) return descriptor;
    }
    return -1;
}

}  // namespace

int ipmi_cmd_req2(int descriptor, int addr_type, short channel, uint8_t slave_addr, uint8_t lun, long msgid,
                  uint8_t netfn, uint8_t cmd, int data_len, uint8_t* data)
{
    ipmi_addr address{};
    if (!make_address(address, addr_type, channel, slave_addr, lun)) return -1;
    if (data_len < 0 || data_len > IPMI_MAX_MSG_LENGTH) return report_ioctl_failure(EMSGSIZE);
    ipmi_req request{};
    request.addr = reinterpret_cast<unsigned char*>(&address);
    request.addr_len = sizeof address;
    request.msgid = msgid;
    request.msg.netfn = netfn;
    request.msg.cmd = cmd;
    request.msg.data_len = static_cast<unsigned short>(data_len);
    request.msg.data = data;
    if (ioctl_retrying(descriptor, IPMICTL_SEND_COMMAND, &request) != 0) return report_ioctl_failure(errno);
    return 0;
}

int ipmi_cmd_recv2(int descriptor, int addr_type, short channel, uint8_t slave_addr, uint8_t lun, long msgid,
                   uint8_t, uint8_t, int capacity, uint8_t* response)
{
    ipmi_addr address{};
    if (!make_address(address, addr_type, channel, slave_addr, lun)) return -1;
    std::size_t received = 0;
    return receive_answer(descriptor, address, msgid, std::max(capacity, 0), response, received);
}

int ipmi_exchange(uint8_t netfn, uint8_t cmd, int data_len, std::size_t& received)
{
    received = 0;
    if (ipmi_state().fd < 0) return -1;
    if (silent_this_poll()) return ETIMEDOUT;
    const long msgid = ipmi_state().seqNo;
    int result = send_to_bmc(msgid, netfn, cmd, data_len);
    if (result == 0) result = receive_from_bmc(msgid, received);
    step_message_id();
    return result;
}

int open_imb2()
{
    ProbeDescriptor device(open_first_device());
    if (!device.valid()) return 0;
    ipmi_state().fd = device.get();
    std::size_t received = 0;
    if (send_to_bmc(0, kNetFnApp, kCmdGetDeviceId, 0) != 0 || receive_from_bmc(0, received) != 0) {
        ipmi_state().fd = -1;
        return 0;
    }
    device.keep();
    return 1;
}

}  // namespace qv
