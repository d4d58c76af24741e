// The maker's BMC driver (/dev/tmbmc) in front of the simulated BMC: one ioctl whose
// argument block points to an input buffer with the request and an output buffer
// for the answer.
#include "sim/devices/bmc.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qv::sim {

namespace {

constexpr unsigned long kRequestCode = 0x1082;
constexpr std::size_t kHeader = 13;
constexpr std::size_t kMaxBuffer = 4096;

// The argument block as the driver reads it: ten words of the caller's width
// (40 bytes for a 32-bit caller, 80 for a 64-bit one).
struct ArgumentBlock {
    unsigned long reserved[3];
    unsigned long status;
    unsigned long input;
    unsigned long input_length;
    unsigned long output;
    unsigned long output_length;
    unsigned long count;
    unsigned long last;
};

// The driver's fixed pairs of buffer sizes: a timed request and an asynchronous one.
struct Kind {
    uint32_t flags;
    std::size_t size;
};
constexpr Kind kKinds[] = {{0, 64}, {1, 34}};

uint32_t le32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

int fail(int error)
{
    errno = error;
    return -1;
}

int refuse(const char* why)
{
    std::fprintf(stderr, "sim: /dev/tmbmc: %s\n", why);
    return fail(EINVAL);
}

bool sizes_fit(uint32_t flags, const ArgumentBlock& block)
{
    for (const Kind& kind : kKinds)
        if (kind.flags == flags) return block.input_length == kind.size && block.output_length == kind.size;
    return false;
}

class MakerDriverFile final : public OpenFile {
public:
    explicit MakerDriverFile(std::shared_ptr<Bmc> bmc) : bmc_(std::move(bmc)) {}

    int ioctl(unsigned long request, void* arg) override
    {
        if (request != kRequestCode || arg == nullptr) return fail(ENOTTY);
        if (const int error = bmc_->take_fault(FaultPoint::Driver)) return fail(error);
        const ArgumentBlock& block = *static_cast<const ArgumentBlock*>(arg);
        if (block.input == 0 || block.output == 0 || block.count == 0 || block.status == 0)
            return refuse("an address in the argument block is missing");
        if (block.input_length < kHeader || block.input_length > kMaxBuffer || block.output_length > kMaxBuffer)
            return refuse("a buffer length is out of range");
        const auto* input = reinterpret_cast<const uint8_t*>(block.input);
        if (kHeader + input[12] > block.input_length) return refuse("the data runs past the input buffer");
        if (!sizes_fit(le32(input), block)) return refuse("buffer sizes do not fit the request's flags");
        return exchange(block, input);
    }

private:
    int exchange(const ArgumentBlock& block, const uint8_t* input)
    {
        BmcRequest entry;
        entry.device = "/dev/tmbmc";
        entry.driver = BmcDriver::Maker;
        entry.slave = input[8];
        entry.cmd = input[9];
        entry.netfn = input[10];
        entry.lun = input[11];
        entry.data.assign(input + kHeader, input + kHeader + input[12]);
        entry.input.assign(input, input + block.input_length);
        entry.output_length = block.output_length;
        const std::optional<Bytes> response = bmc_->exchange(entry);
        if (!response) {
            bmc_->wait_in_vain("/dev/tmbmc", le32(input + 4));
            return fail(ETIMEDOUT);
        }
        const std::size_t size = std::min(response->size(), static_cast<std::size_t>(block.output_length));
        if (size > 0) std::memcpy(reinterpret_cast<uint8_t*>(block.output), response->data(), size);
        *reinterpret_cast<uint32_t*>(block.count) = static_cast<uint32_t>(size);
        return 0;
    }

    std::shared_ptr<Bmc> bmc_;
};

class MakerDriverNode final : public BmcNode {
public:
    using BmcNode::BmcNode;
    std::unique_ptr<OpenFile> open(int) override { return std::make_unique<MakerDriverFile>(bmc_); }
};

}  // namespace

std::shared_ptr<BmcNode> make_maker_driver_node(std::shared_ptr<Bmc> bmc)
{
    return std::make_shared<MakerDriverNode>(std::move(bmc));
}

}  // namespace qv::sim
