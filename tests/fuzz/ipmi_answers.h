// The BMC's answers of any length, completion code and timing, through both drivers:
// a kernel whose every outcome comes from one byte tape. Recording runs the same code
// against the simulated BMC and writes down what it answered, which makes the seeds.
#pragma once

#include "ipmi/ipmi.h"
#include "ipmi/maker_driver.h"
#include "memory_os.h"

#include <linux/ioctl.h>
#include <linux/ipmi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <span>
#include <vector>

namespace qv::fuzz {

// The fuzzer's input read byte by byte; or, when recording, the proposed bytes kept.
class Tape {
public:
    explicit Tape(std::span<const uint8_t> input) : input_(input) {}
    Tape() : recording_(true) {}

    bool recording() const { return recording_; }
    bool done() const { return !recording_ && input_.empty(); }
    uint8_t take(unsigned proposed)
    {
        if (recording_) return written.emplace_back(static_cast<uint8_t>(proposed));
        if (input_.empty()) return 0;
        const uint8_t b = input_.front();
        input_ = input_.subspan(1);
        return b;
    }
    void take(uint8_t* bytes, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i) bytes[i] = take(bytes[i]);
    }

    std::vector<uint8_t> written;

private:
    std::span<const uint8_t> input_;
    bool recording_ = false;
};

// The two device files and every call the drivers make on them. With inner, each call
// goes to that machine first and its outcome is what the tape is offered.
class TapeKernel final : public MemoryOs {
public:
    TapeKernel(Tape& tape, platform::Os* inner) : tape_(tape), inner_(inner) {}

    int open(const char* path, int flags, mode_t mode) override
    {
        const int real = inner_ ? inner_->open(path, flags, mode) : kFd;
        if (tape_.done() || !(tape_.take(real >= 0) & 1)) {
            if (inner_ && real >= 0) inner_->close(real);
            return fail(ENOENT);
        }
        return real;
    }
    int close(int fd) override { return inner_ ? inner_->close(fd) : 0; }
    int select_read(int fd, timeval* timeout) override
    {
        const int real = inner_ ? inner_->select_read(fd, timeout) : 1;
        if (tape_.done()) return 0;
        switch (tape_.take(real > 0 ? 0 : real == 0 ? 1 : errno == EINTR ? 2 : 3)) {
        case 1: return 0;
        case 2: return fail(EINTR);
        case 3: return fail(EBADF);
        default: return 1;
        }
    }
    int ioctl(int fd, unsigned long request, void* arg) override
    {
        const int real = inner_ ? inner_->ioctl(fd, request, arg) : 0;
        if (tape_.done()) return fail(EIO);
        const int error = error_of(tape_.take(real == 0 ? 0 : code_of(errno)));
        if (request == IPMICTL_SEND_COMMAND && error == 0)
            last_msgid_ = static_cast<ipmi_req*>(arg)->msgid;
        if (request == IPMICTL_RECEIVE_MSG && error == 0) return receive(*static_cast<ipmi_recv*>(arg));
        if (request == kMakerDriverIoctl && error == 0) return drive(*static_cast<ImbDriverBlock*>(arg));
        return error ? fail(error) : 0;
    }

private:
    static constexpr int kFd = 7;
    static constexpr std::array<int, 8> kErrors{0, EINTR, EAGAIN, EIO, EMSGSIZE, ETIMEDOUT, EBUSY, ENXIO};

    // Most bytes succeed; the last eight pick an errno.
    static int error_of(uint8_t b) { return b < 0xF8 ? 0 : kErrors[b - 0xF8]; }
    static unsigned code_of(int error)
    {
        const auto it = std::find(kErrors.begin() + 1, kErrors.end(), error);
        return it == kErrors.end() ? 0xFB : 0xF8 + static_cast<unsigned>(it - kErrors.begin());
    }

    int receive(ipmi_recv& message)
    {
        const unsigned capacity = inner_ ? kRecordCapacity : message.msg.data_len;
        const bool foreign = message.recv_type != IPMI_RESPONSE_RECV_TYPE;
        const uint8_t kind = tape_.take(foreign | (message.msgid != last_msgid_) << 1);
        message.recv_type = kind & 1 ? IPMI_ASYNC_EVENT_RECV_TYPE : IPMI_RESPONSE_RECV_TYPE;
        message.msgid = kind & 2 ? last_msgid_ + 1 : last_msgid_;
        const unsigned length = tape_.take(message.msg.data_len);
        tape_.take(message.msg.data, std::min(length, capacity));
        message.msg.data_len = static_cast<unsigned short>(length);
        // The kernel keeps an answer too long for the buffer and says so.
        return length > capacity ? fail(EMSGSIZE) : 0;
    }
    int drive(ImbDriverBlock& block)
    {
        auto* count = reinterpret_cast<uint32_t*>(block.count);
        *count = tape_.take(*count);
        tape_.take(reinterpret_cast<uint8_t*>(block.output), std::min<std::size_t>(*count, block.output_length));
        return 0;
    }

    // What the simulated BMC wrote is never cut short by the tape's view of the buffer.
    static constexpr unsigned kRecordCapacity = 0xFFFF;
    Tape& tape_;
    platform::Os* inner_;
    long last_msgid_ = 0;
};

// What the program asks, from the tape too: a command, its slave, bank, register, value.
struct Ask {
    uint8_t what, slave, bank, reg, value;
};

inline void ask(const Ask& a)
{
    uint32_t out = 0;
    switch (a.what % 24) {
    case 0: IpmiByteRead2_06_52_05(a.slave, a.reg, &out); break;
    case 1: IpmiByteWrite2_06_52_05(a.slave, a.reg, a.value); break;
    case 2: IpmiByteRead_OBWinbond_id3_06_52_07(a.slave, a.reg, &out); break;
    case 3: IpmiByteWrite_OBWinbond_id3_06_52_07(a.slave, a.reg, a.value); break;
    case 4: IpmiByteRead_Peppercon_oem_30_22_05(a.slave, a.reg, &out); break;
    case 5: IpmiByteWrite_Peppercon_oem_30_22_05(a.slave, a.reg, a.value); break;
    case 6: IpmiWordRead_oem_30_23(a.slave, a.reg, &out); break;
    case 7: IpmiByteRead2_oem_30_0F(a.slave, a.reg, &out); break;
    case 8: IpmiByteRead2_oem_30_70(a.slave, a.reg, &out); break;
    case 9: IpmiByteRead_ISA_30_2C(a.bank, a.reg, &out); break;
    case 10: IpmiWordRead_ISA_30_2C(a.bank, a.reg, &out); break;
    case 11: IpmiByteWrite_ISA_30_2C(a.bank, a.reg, a.value); break;
    case 12: IpmiByteRead_oem_30_92(a.slave, a.reg, &out); break;
    case 13: IpmiByteRead_oem_30_92_PWSFailure(a.slave, a.reg, &out); break;
    case 14: IpmiByteRead_oem_30_90(a.slave, a.bank, a.reg, &out); break;
    case 15: IpmiWordRead_oem_30_90(a.slave, a.bank, a.reg, &out); break;
    case 16: IpmiByteWrite_oem_30_91(a.slave, a.bank, a.reg, a.value); break;
    case 17: IpmiByteRead_oem_30_93(a.reg, &out); break;
    case 18: IpmiByteRead_oem_30_95(a.value, &out); break;
    case 19: IpmiRead(a.slave, a.reg, &out); break;
    case 20: IpmiWrite(a.slave, a.reg, a.value); break;
    case 21: checkAnyIPMI(); break;
    case 22: ipmi_begin_poll(); break;
    default: {
        // Any response buffer a caller may offer, the probe's request with data.
        std::array<uint8_t, 64> response{};
        int length = a.value % (response.size() + 1);
        int completion = 0;
        const ImbRequest request{a.reg, 0x20, 0, a.bank, 0, response.data(), a.slave % 80};
        SendTimedImbpRequest(&request, 400, response.data(), &length, &completion);
    }
    }
}

// Detection, then the asks until the tape ends (recording: the script's asks).
inline void run_tape(Tape& tape, std::span<const Ask> script = {})
{
    reset_ipmi_state();
    if (IpmiInit() == 0) {
        for (std::size_t i = 0; tape.recording() ? i < script.size() : !tape.done(); ++i) {
            Ask a = i < script.size() ? script[i] : Ask{};
            for (uint8_t* field : {&a.what, &a.slave, &a.bank, &a.reg, &a.value}) *field = tape.take(*field);
            ask(a);
        }
    }
    reset_ipmi_state();
}

}  // namespace qv::fuzz
