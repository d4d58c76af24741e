#include "tape_os.h"

#include "bench_support.h"

#include <sys/ioctl.h>

#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <linux/ipmi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace qv::bench {

namespace {

// What an ioctl wrote for its caller, by request: the SMBus data of a transfer, the
// message of an IPMI receive.
std::vector<uint8_t> written_by(unsigned long request, const void* arg)
{
    std::vector<uint8_t> bytes;
    if (request == I2C_SMBUS) {
        const auto* data = static_cast<const i2c_smbus_ioctl_data*>(arg)->data;
        if (data != nullptr) bytes.assign(reinterpret_cast<const uint8_t*>(data), reinterpret_cast<const uint8_t*>(data + 1));
    } else if (request == IPMICTL_RECEIVE_MSG || request == IPMICTL_RECEIVE_MSG_TRUNC) {
        const auto* recv = static_cast<const ipmi_recv*>(arg);
        const auto* head = reinterpret_cast<const uint8_t*>(recv);
        bytes.assign(head, head + sizeof *recv);
        bytes.insert(bytes.end(), recv->addr, recv->addr + recv->addr_len);
        bytes.insert(bytes.end(), recv->msg.data, recv->msg.data + recv->msg.data_len);
    }
    return bytes;
}

void write_back(unsigned long request, void* arg, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty()) return;
    if (request == I2C_SMBUS) {
        std::memcpy(static_cast<i2c_smbus_ioctl_data*>(arg)->data, bytes.data(), sizeof(i2c_smbus_data));
        return;
    }
    auto* recv = static_cast<ipmi_recv*>(arg);
    ipmi_recv recorded;
    std::memcpy(&recorded, bytes.data(), sizeof recorded);
    const uint8_t* addr = bytes.data() + sizeof recorded;
    const uint8_t* data = addr + recorded.addr_len;
    std::memcpy(recv->addr, addr, recorded.addr_len);
    std::memcpy(recv->msg.data, data, recorded.msg.data_len);
    recv->recv_type = recorded.recv_type;
    recv->addr_len = recorded.addr_len;
    recv->msgid = recorded.msgid;
    recv->msg.netfn = recorded.msg.netfn;
    recv->msg.cmd = recorded.msg.cmd;
    recv->msg.data_len = recorded.msg.data_len;
}

// The arguments that tell two ioctls apart: the request and its slave, register or
// direction.
uint64_t ioctl_key(unsigned long request, const void* arg)
{
    if (request == I2C_SLAVE || request == I2C_SLAVE_FORCE) return reinterpret_cast<uintptr_t>(arg);
    if (request == I2C_SMBUS) {
        const auto* d = static_cast<const i2c_smbus_ioctl_data*>(arg);
        return static_cast<uint64_t>(d->read_write) << 8 | d->command;
    }
    return 0;
}

}  // namespace

int RecordingOs::iopl(int level)
{
    const int result = inner_.iopl(level);
    tape.push_back({Method::Iopl, static_cast<uint64_t>(level), 0, result, {}});
    return result;
}

int RecordingOs::ioperm(unsigned long from, unsigned long num, int on)
{
    const int result = inner_.ioperm(from, num, on);
    tape.push_back({Method::Ioperm, from, num, result, {}});
    return result;
}

uint8_t RecordingOs::inb(uint16_t port)
{
    const uint8_t value = inner_.inb(port);
    tape.push_back({Method::Inb, port, 0, value, {}});
    return value;
}

void RecordingOs::outb(uint8_t value, uint16_t port)
{
    inner_.outb(value, port);
    tape.push_back({Method::Outb, port, value, 0, {}});
}

uint32_t RecordingOs::inl(uint16_t port)
{
    const uint32_t value = inner_.inl(port);
    tape.push_back({Method::Inl, port, 0, value, {}});
    return value;
}

void RecordingOs::outl(uint32_t value, uint16_t port)
{
    inner_.outl(value, port);
    tape.push_back({Method::Outl, port, value, 0, {}});
}

int RecordingOs::ioctl(int fd, unsigned long request, void* arg)
{
    const uint64_t key = ioctl_key(request, arg);
    const int result = inner_.ioctl(fd, request, arg);
    tape.push_back({Method::Ioctl, request, key, result, written_by(request, arg)});
    return result;
}

int RecordingOs::select_read(int fd, timeval* timeout)
{
    const int result = inner_.select_read(fd, timeout);
    tape.push_back({Method::SelectRead, static_cast<uint64_t>(fd), 0, result, {}});
    return result;
}

time_t RecordingOs::time(time_t* out)
{
    const time_t now = inner_.time(out);
    tape.push_back({Method::Time, 0, 0, now, {}});
    return now;
}

void replay_calls(const std::vector<Call>& tape, platform::Os& os)
{
    i2c_smbus_data data{};
    uint8_t addr[sizeof(ipmi_addr)] = {};
    uint8_t message[IPMI_MAX_MSG_LENGTH] = {};
    for (const Call& call : tape) {
        switch (call.method) {
        case Method::Iopl: os.iopl(static_cast<int>(call.a)); break;
        case Method::Ioperm: os.ioperm(call.a, call.b, 1); break;
        case Method::Inb: os.inb(static_cast<uint16_t>(call.a)); break;
        case Method::Outb: os.outb(static_cast<uint8_t>(call.b), static_cast<uint16_t>(call.a)); break;
        case Method::Inl: os.inl(static_cast<uint16_t>(call.a)); break;
        case Method::Outl: os.outl(static_cast<uint32_t>(call.b), static_cast<uint16_t>(call.a)); break;
        case Method::SelectRead: os.select_read(static_cast<int>(call.a), nullptr); break;
        case Method::Time: os.time(nullptr); break;
        case Method::Other: break;
        case Method::Ioctl: {
            if (call.a == I2C_SMBUS) {
                i2c_smbus_ioctl_data request{static_cast<uint8_t>(call.b >> 8), static_cast<uint8_t>(call.b & 0xFF),
                                             I2C_SMBUS_BYTE_DATA, &data};
                os.ioctl(0, call.a, &request);
            } else if (call.a == I2C_SLAVE || call.a == I2C_SLAVE_FORCE) {
                os.ioctl(0, call.a, reinterpret_cast<void*>(static_cast<uintptr_t>(call.b)));
            } else if (call.a == IPMICTL_SEND_COMMAND) {
                ipmi_req request{};
                request.addr = addr;
                request.addr_len = sizeof addr;
                request.msg.data = message;
                os.ioctl(0, call.a, &request);
            } else {
                ipmi_recv recv{};
                recv.addr = addr;
                recv.addr_len = sizeof addr;
                recv.msg.data = message;
                recv.msg.data_len = sizeof message;
                os.ioctl(0, call.a, &recv);
            }
            break;
        }
        }
    }
}

const Call& PlaybackOs::answer(Method method, uint64_t a, uint64_t b)
{
    if (next_ >= tape_.size()) return refuse(), missing_;
    const Call& call = tape_[next_++];
    if (call.method != method || call.a != a || call.b != b) diverged_ = true;
    return call;
}

int PlaybackOs::ioctl(int, unsigned long request, void* arg)
{
    const Call& call = answer(Method::Ioctl, request, ioctl_key(request, arg));
    if (diverged_) return static_cast<int>(call.result);
    // An answer carries the message id of its request, which differs from report to report.
    if (request == IPMICTL_SEND_COMMAND) sent_msgid_ = static_cast<const ipmi_req*>(arg)->msgid;
    write_back(request, arg, call.written);
    if ((request == IPMICTL_RECEIVE_MSG || request == IPMICTL_RECEIVE_MSG_TRUNC) && !call.written.empty())
        static_cast<ipmi_recv*>(arg)->msgid = sent_msgid_;
    return static_cast<int>(call.result);
}

time_t PlaybackOs::time(time_t* out)
{
    const time_t now = answer(Method::Time, 0, 0).result;
    if (out != nullptr) *out = now;
    return now;
}

namespace {

// CPU time per run of body, the best of kTimingBatches batches of per_batch runs; stops
// early when done() says so.
double best_per_run(int per_batch, const std::function<void()>& body, const std::function<bool()>& done)
{
    double best = std::numeric_limits<double>::infinity();
    for (int batch = 0; batch < kTimingBatches && !done(); ++batch) {
        const double start = cpu_us();
        for (int i = 0; i < per_batch && !done(); ++i) body();
        std::fflush(stdout);
        best = std::min(best, (cpu_us() - start) / per_batch);
    }
    return best;
}

}  // namespace

PlaybackTiming time_against_playback(const std::vector<Call>& tape, int runs, const std::function<void()>& poll)
{
    const int per_batch = std::max(1, runs / kTimingBatches);
    PlaybackTiming timing;
    platform::Os& machine = platform::os();
    PlaybackOs playback(tape);
    platform::set_os(&playback);
    const double best = best_per_run(
        per_batch,
        [&] {
            playback.rewind();
            poll();
        },
        [&] { return playback.diverged(); });
    platform::set_os(&machine);
    if (playback.diverged()) {
        timing.note = "the program did not repeat its calls: not timed";
        return timing;
    }
    // The playback's own part, taken out: the same calls made without the program.
    PlaybackOs alone(tape);
    timing.playback_us = best_per_run(
        per_batch,
        [&] {
            alone.rewind();
            replay_calls(tape, alone);
        },
        [] { return false; });
    timing.own_us = std::max(0.0, best - timing.playback_us);
    return timing;
}

}  // namespace qv::bench
