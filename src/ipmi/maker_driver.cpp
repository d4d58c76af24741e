// The maker's driver transport: the probe at start-up and Master Write-Read on the
// BMC's private bus 2.
#include "ipmi/maker_driver.h"

#include "ipmi/ipmi.h"
#include "ipmi/link.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

namespace qv {

namespace {

using namespace ipmi_link;

constexpr uint8_t kBmcSlave = 0x20;
constexpr uint8_t kNetFnApp = 0x06;
constexpr uint8_t kCmdGetDeviceId = 0x01;
constexpr uint8_t kCmdMasterWriteRead = 0x52;
constexpr uint8_t kPrivateBus2 = 0x05;
constexpr int kProbeTimeoutMs = 400;
constexpr int kProbeCapacity = 16;

void put_le32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Fills the input buffer; false when the request's data does not fit in it.
bool build_input(uint8_t* input, int size, uint32_t flags, uint32_t timeout_us, const ImbRequest& request)
{
    if (request.data_length < 0 || request.data_length > size - kImbHeaderSize) return false;
    if (request.data_length > 0 && request.data == nullptr) return false;
    put_le32(input, flags);
    put_le32(input + 4, timeout_us);
    input[8] = request.rs_sa;
    input[9] = request.cmd;
    input[10] = request.net_fn;
    input[11] = request.rs_lun;
    input[12] = static_cast<uint8_t>(request.data_length);
    if (request.data_length > 0) std::memcpy(input + kImbHeaderSize, request.data, request.data_length);
    return true;
}

// One driver call with equal input and output sizes; the number of output bytes, or
// -1 when the exchange failed or brought nothing.
int drive(uint8_t* input, uint8_t* output, int size, unsigned timeout_ms, const ImbRequest& request)
{
    if (silent_this_poll()) return -1;
    uint32_t count = 0;
    ImbDriverBlock block{};
    block.status = reinterpret_cast<unsigned long>(ipmi_state().NTstatus);
    block.input = reinterpret_cast<unsigned long>(input);
    block.input_length = static_cast<unsigned long>(size);
    block.output = reinterpret_cast<unsigned long>(output);
    block.output_length = static_cast<unsigned long>(size);
    block.count = reinterpret_cast<unsigned long>(&count);
    int result = -1;
    for (int attempt = 0; attempt < kTransientRetries; ++attempt) {
        count = static_cast<uint32_t>(size);
        result = platform::os().ioctl(ipmi_state().hDevice, kMakerDriverIoctl, &block);
        if (result >= 0 || !transient(errno)) break;
    }
    if (result < 0 && errno == ETIMEDOUT) report_no_answer(timeout_ms);
    else if (result < 0) report_ioctl_failure(errno);
    if (result != 0) return -1;
    note_answer();
    if (count == 0) {
        report_short_answer(request.net_fn, request.cmd, 0, 1);
        return -1;
    }
    return static_cast<int>(std::min<uint32_t>(count, static_cast<uint32_t>(size)));
}

// Master Write-Read on private bus 2 with the shared buffers; 0 when the BMC answered
// with completion code 0 and at least `needed` bytes.
int master_write_read(std::initializer_list<uint8_t> data, int needed)
{
    IpmiState& s = ipmi_state();
    if (s.ipmi_driver_option != 1) return -1;
    std::copy(data.begin(), data.end(), s.gBuf);
    s.imbData = {kCmdMasterWriteRead, kBmcSlave, 0, kNetFnApp, 0, s.gBuf, static_cast<int32_t>(data.size())};
    uint32_t sequence = 0;
    if (SendAsyncImbpRequest(&s.imbData, &sequence, s.RespBuf, &s.RespBufLen) != 0) return -1;
    if (s.RespBuf[0] != 0) return -1;
    if (s.RespBufLen < needed) {
        report_short_answer(kNetFnApp, kCmdMasterWriteRead, static_cast<std::size_t>(s.RespBufLen),
                            static_cast<std::size_t>(needed));
        return -1;
    }
    return 0;
}

uint8_t eight_bit(uint8_t slave) { return static_cast<uint8_t>(slave << 1); }

}  // namespace

int SendTimedImbpRequest(const ImbRequest* request, int timeout_ms, uint8_t* response, int* response_length,
                         int* completion_code)
{
    const auto timeout = static_cast<uint32_t>(std::max(timeout_ms, 0));
    std::array<uint8_t, kImbTimedBufferSize> input{};
    std::array<uint8_t, kImbTimedBufferSize> output{};
    if (!build_input(input.data(), kImbTimedBufferSize, 0, timeout * 1000u, *request)) return 1;
    const int count = drive(input.data(), output.data(), kImbTimedBufferSize, timeout, *request);
    if (count < 1) return 1;
    *completion_code = output[0];
    int copied = 0;
    if (count > 1 && response != nullptr && response_length != nullptr) {
        copied = std::min(count - 1, std::max(*response_length, 0));
        std::memcpy(response, output.data() + 1, static_cast<std::size_t>(copied));
    }
    if (response_length != nullptr) *response_length = copied;
    return 0;
}

int SendAsyncImbpRequest(const ImbRequest* request, uint32_t*, uint8_t* response, int* response_length)
{
    std::array<uint8_t, kImbAsyncBufferSize> input{};
    std::array<uint8_t, kImbAsyncBufferSize> output{};
    if (!build_input(input.data(), kImbAsyncBufferSize, 1, kImbAsyncTimeoutMs * 1000u, *request)) return 1;
    const int count = drive(input.data(), output.data(), kImbAsyncBufferSize, kImbAsyncTimeoutMs, *request);
    if (count < 1) return 1;
    std::memcpy(response, output.data(), static_cast<std::size_t>(count));
    *response_length = count;
    return 0;
}

int open_imb()
{
    if (ipmi_state().hDevice != 0) return 1;
    ipmi_link::ProbeDescriptor device(platform::os().open(kMakerDriverPath, O_RDWR));
    if (!device.valid()) {
        ipmi_state().hDevice = 0;
        return 0;
    }
    ipmi_state().hDevice = device.get();
    const ImbRequest probe{kCmdGetDeviceId, kBmcSlave, 0, kNetFnApp, 0, nullptr, 0};
    uint8_t response[kProbeCapacity];
    int length = sizeof response;
    int completion = 0;
    if (SendTimedImbpRequest(&probe, kProbeTimeoutMs, response, &length, &completion) != 0 || completion != 0) {
        ipmi_state().hDevice = 0;
        return 0;
    }
    device.keep();
    return 1;
}

int IpmiRead(uint8_t slave, uint8_t reg, uint32_t* value)
{
    if (master_write_read({kPrivateBus2, eight_bit(slave), 0x01, reg}, 2) != 0) return -1;
    *value = ipmi_state().RespBuf[1];
    return 0;
}

int IpmiWrite(uint8_t slave, uint8_t reg, uint8_t value)
{
    return master_write_read({kPrivateBus2, eight_bit(slave), 0x00, reg, value}, 1);
}

}  // namespace qv
