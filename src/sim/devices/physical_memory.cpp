// /dev/mem over the board's physical memory: read with lseek and read, or mapped. The
// board may make it unreadable, readable only, or unmappable. The BIOS area holds the
// DMI entry point and tables (see dmi_tables.cpp) and any bytes the board places.
#include "sim/devices/physical_memory.h"

#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace qv::sim {

void write_dmi_tables(PhysicalMemory& memory, const json& board);

void PhysicalMemory::put(uint64_t address, std::span<const uint8_t> bytes)
{
    for (const uint8_t byte : bytes) {
        pages_[address / kPage].at(address % kPage) = byte;
        ++address;
    }
}

void PhysicalMemory::copy(uint64_t address, std::span<uint8_t> out) const
{
    for (uint8_t& byte : out) {
        const auto page = pages_.find(address / kPage);
        byte = page == pages_.end() ? 0 : page->second[address % kPage];
        ++address;
    }
}

namespace {

struct MemoryAccess {
    bool open = true;       // false: every open fails
    bool writable = true;   // false: only read-only opens succeed
    bool mappable = true;
};

class MemFile final : public OpenFile {
public:
    MemFile(Machine& machine, const PhysicalMemory& memory, bool mappable)
        : machine_(machine), memory_(memory), mappable_(mappable)
    {
    }

    off_t lseek(off_t offset, int whence) override
    {
        const off_t base = whence == SEEK_CUR ? position_ : 0;
        if ((whence != SEEK_SET && whence != SEEK_CUR) || base + offset < 0) {
            errno = EINVAL;
            return -1;
        }
        position_ = base + offset;
        return position_;
    }

    ssize_t read(void* buf, size_t count) override
    {
        memory_.copy(static_cast<uint64_t>(position_), std::span(static_cast<uint8_t*>(buf), count));
        machine_.trace.record(Access::Memory, "read 0x%08llX, %zu bytes", static_cast<unsigned long long>(position_),
                              count);
        position_ += static_cast<off_t>(count);
        return static_cast<ssize_t>(count);
    }

    bool map(off_t offset, size_t length, std::vector<uint8_t>& bytes) override
    {
        if (!mappable_ || offset < 0 || offset % 4096 != 0 || length == 0) {
            machine_.trace.record(Access::Memory, "mmap 0x%08llX, %zu bytes refused",
                                  static_cast<unsigned long long>(offset), length);
            errno = mappable_ ? EINVAL : EPERM;
            return false;
        }
        bytes.resize(length);
        memory_.copy(static_cast<uint64_t>(offset), bytes);
        machine_.trace.record(Access::Memory, "mmap 0x%08llX, %zu bytes", static_cast<unsigned long long>(offset),
                              length);
        return true;
    }

private:
    Machine& machine_;
    const PhysicalMemory& memory_;
    bool mappable_;
    off_t position_ = 0;
};

class MemNode final : public DeviceNode {
public:
    MemNode(Machine& machine, MemoryAccess access) : machine_(machine), access_(access) {}
    PhysicalMemory memory;

    std::unique_ptr<OpenFile> open(int flags) override
    {
        if (!access_.open || (!access_.writable && (flags & O_ACCMODE) != O_RDONLY)) {
            errno = EACCES;
            return nullptr;
        }
        return std::make_unique<MemFile>(machine_, memory, access_.mappable);
    }

private:
    Machine& machine_;
    MemoryAccess access_;
};

MemoryAccess access_of(const json& config)
{
    const auto dev_mem = member_or(config, "dev_mem", std::string("read_write"));
    if (dev_mem != "read_write" && dev_mem != "read_only" && dev_mem != "none")
        throw std::runtime_error("memory.dev_mem \"" + dev_mem + "\": read_write, read_only or none");
    return {dev_mem != "none", dev_mem == "read_write", member_or(config, "mappable", true)};
}

// A byte, a list of bytes, or a text placed from the address on.
std::vector<uint8_t> bytes_of(const json& value)
{
    std::vector<uint8_t> bytes;
    if (value.is_string() && !value.get<std::string>().starts_with("0x")) {
        for (const char c : value.get<std::string>()) bytes.push_back(static_cast<uint8_t>(c));
    } else if (value.is_array()) {
        for (const auto& b : value) bytes.push_back(static_cast<uint8_t>(to_u32(b)));
    } else {
        bytes.push_back(static_cast<uint8_t>(to_u32(value)));
    }
    return bytes;
}

}  // namespace

void build_physical_memory(Machine& machine, const json& board)
{
    const json& config = section(board, "memory");
    auto node = std::make_shared<MemNode>(machine, access_of(config));
    write_dmi_tables(node->memory, board);
    for (const auto& [address, value] : section(config, "bytes").items()) node->memory.put(key_u32(address), bytes_of(value));
    machine.add_node("/dev/mem", node);
}

}  // namespace qv::sim
