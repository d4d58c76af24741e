// The kernel's OpenIPMI device in front of the simulated BMC: requests in with
// IPMICTL_SEND_COMMAND, answers queued per open file and taken with IPMICTL_RECEIVE_MSG.
#include "sim/devices/bmc.h"

#include <linux/ioctl.h>
#include <linux/ipmi.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>

namespace qv::sim {

namespace {

constexpr long kStrayIdOffset = 0x100;

struct Answer {
    long msgid;
    ipmi_system_interface_addr from;
    uint8_t netfn;
    uint8_t cmd;
    Bytes data;
};

int fail(int error)
{
    errno = error;
    return -1;
}

// The kernel's checks of a request's address; 0 or the errno it refuses with.
int check_address(const ipmi_req& request, ipmi_addr& address)
{
    if (request.addr == nullptr || request.addr_len > sizeof(ipmi_addr) || request.addr_len < sizeof(int))
        return EINVAL;
    std::memcpy(&address, request.addr, request.addr_len);
    if (address.addr_type == IPMI_SYSTEM_INTERFACE_ADDR_TYPE) {
        ipmi_system_interface_addr bmc{};
        std::memcpy(&bmc, &address, sizeof bmc);
        if (request.addr_len < sizeof bmc || bmc.channel != IPMI_BMC_CHANNEL || bmc.lun > 3) return EINVAL;
        return 0;
    }
    if (address.addr_type == IPMI_IPMB_ADDR_TYPE || address.addr_type == IPMI_IPMB_BROADCAST_ADDR_TYPE)
        return request.addr_len < sizeof(ipmi_ipmb_addr) ? EINVAL : 0;
    return EINVAL;
}

BmcRequest logged(const std::string& path, const ipmi_req& request, const ipmi_addr& address)
{
    BmcRequest entry;
    entry.device = path;
    entry.driver = BmcDriver::OpenIpmi;
    entry.msgid = request.msgid;
    entry.addr_type = address.addr_type;
    entry.channel = address.channel;
    if (address.addr_type == IPMI_SYSTEM_INTERFACE_ADDR_TYPE) {
        ipmi_system_interface_addr bmc{};
        std::memcpy(&bmc, &address, sizeof bmc);
        entry.lun = bmc.lun;
    } else {
        ipmi_ipmb_addr ipmb{};
        std::memcpy(&ipmb, &address, sizeof ipmb);
        entry.slave = ipmb.slave_addr;
        entry.lun = ipmb.lun;
    }
    entry.netfn = request.msg.netfn;
    entry.cmd = request.msg.cmd;
    entry.data.assign(request.msg.data, request.msg.data + request.msg.data_len);
    return entry;
}

class OpenIpmiFile final : public OpenFile {
public:
    OpenIpmiFile(std::shared_ptr<Bmc> bmc, std::string path) : bmc_(std::move(bmc)), path_(std::move(path)) {}

    int ioctl(unsigned long request, void* arg) override
    {
        if (request == IPMICTL_SEND_COMMAND) return send(*static_cast<ipmi_req*>(arg));
        if (request == IPMICTL_RECEIVE_MSG) return receive(*static_cast<ipmi_recv*>(arg), false);
        if (request == IPMICTL_RECEIVE_MSG_TRUNC) return receive(*static_cast<ipmi_recv*>(arg), true);
        return fail(ENOTTY);
    }

    int select_read(timeval* timeout) override
    {
        if (const int error = bmc_->take_fault(FaultPoint::Select)) return fail(error);
        if (!answers_.empty()) return 1;
        if (timeout == nullptr) {
            std::fprintf(stderr, "sim: select() without a time-out on %s, which will not answer\n", path_.c_str());
            return 0;
        }
        bmc_->wait_in_vain(path_.c_str(), static_cast<uint64_t>(timeout->tv_sec) * 1000000u +
                                              static_cast<uint64_t>(timeout->tv_usec));
        *timeout = {0, 0};
        return 0;
    }

private:
    int send(const ipmi_req& request)
    {
        if (const int error = bmc_->take_fault(FaultPoint::Send)) return fail(error);
        ipmi_addr address{};
        if (const int error = check_address(request, address)) return fail(error);
        if (request.msg.data_len > IPMI_MAX_MSG_LENGTH) return fail(EMSGSIZE);
        if (request.msg.data_len > 0 && request.msg.data == nullptr) return fail(EFAULT);
        const BmcRequest entry = logged(path_, request, address);
        const std::optional<Bytes> response = bmc_->exchange(entry);
        if (!response) return 0;
        const ipmi_system_interface_addr from{IPMI_SYSTEM_INTERFACE_ADDR_TYPE, IPMI_BMC_CHANNEL, 0};
        const auto netfn = static_cast<uint8_t>(entry.netfn | 1);
        if (bmc_->stray_answers()) answers_.push_back({entry.msgid + kStrayIdOffset, from, netfn, entry.cmd, {0xC0}});
        answers_.push_back({entry.msgid, from, netfn, entry.cmd, *response});
        return 0;
    }

    int receive(ipmi_recv& message, bool truncate)
    {
        if (const int error = bmc_->take_fault(FaultPoint::Receive)) return fail(error);
        if (answers_.empty()) return fail(EAGAIN);
        Answer& answer = answers_.front();
        if (message.addr == nullptr || message.addr_len < sizeof answer.from) return fail(EINVAL);
        std::memcpy(message.addr, &answer.from, sizeof answer.from);
        message.addr_len = sizeof answer.from;
        message.recv_type = IPMI_RESPONSE_RECV_TYPE;
        message.msgid = answer.msgid;
        message.msg.netfn = answer.netfn;
        message.msg.cmd = answer.cmd;
        const bool too_long = answer.data.size() > message.msg.data_len;
        if (too_long && !truncate) return fail(EMSGSIZE);
        const std::size_t size = too_long ? message.msg.data_len : answer.data.size();
        if (size > 0) std::memcpy(message.msg.data, answer.data.data(), size);
        message.msg.data_len = static_cast<unsigned short>(size);
        answers_.pop_front();
        return too_long ? fail(EMSGSIZE) : 0;
    }

    std::shared_ptr<Bmc> bmc_;
    std::string path_;
    std::deque<Answer> answers_;
};

class OpenIpmiNode final : public BmcNode {
public:
    OpenIpmiNode(std::shared_ptr<Bmc> bmc, std::string path) : BmcNode(std::move(bmc)), path_(std::move(path)) {}
    std::unique_ptr<OpenFile> open(int) override { return std::make_unique<OpenIpmiFile>(bmc_, path_); }

private:
    std::string path_;
};

}  // namespace

std::shared_ptr<BmcNode> make_openipmi_node(std::shared_ptr<Bmc> bmc, const std::string& path)
{
    return std::make_shared<OpenIpmiNode>(std::move(bmc), path);
}

}  // namespace qv::sim
