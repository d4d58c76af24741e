// The board's identity: the DMI base-board record found in the BIOS area, or forced.
#include "hw/dmi.h"

#include "hw/descriptor.h"
#include "hw/fatal.h"
#include "platform/os.h"
#include "profile/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qv {

namespace {

constexpr uint32_t kPageSize = 4096;
constexpr uint32_t kSearchWindow = 8192;
constexpr std::size_t kParagraph = 16;
constexpr std::size_t kCommandOutput = 255;

constexpr const char* kDmidecodeVendor =
    "dmidecode|grep -i 'DMI type 2,' -A 6 | grep Manufacturer | sed 's/Manufacturer: //g' | sed 's/\t//g'";
constexpr const char* kDmidecodeProduct =
    "dmidecode|grep -i 'DMI type 2,' -A 6 | grep Product | sed 's/Product Name: //g' | sed 's/\t//g'";
constexpr const char* kDmidecodeVersion =
    "dmidecode|grep -i 'DMI type 2,' -A 6 | grep Version | sed 's/Version: //g' | sed 's/\t//g'";

void copy_identity(char* buffer, std::string_view text)
{
    const std::size_t n = std::min(text.size(), kIdentitySize - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

void copy_board(const BoardStrings& board, char* vendor, char* product, char* version)
{
    copy_identity(vendor, trim(board.vendor));
    copy_identity(product, trim(board.product));
    copy_identity(version, trim(board.version));
}

enum class TableRead { Ok, Failed };

// Copies the structure table out of physical memory; reports its own failures.
TableRead read_table(int mem, const DmiEntryPoint& entry, std::vector<uint8_t>& table)
{
    table.clear();
    if (entry.table_length == 0) return TableRead::Ok;
    const uint64_t page = entry.table_address & ~uint64_t{kPageSize - 1};
    const std::size_t length = static_cast<std::size_t>(entry.table_address + uint64_t{entry.table_length} - page);
    platform::Os& os = platform::os();
    Mapping map(os.mmap(nullptr, length, PROT_READ, MAP_SHARED, mem, static_cast<off_t>(page)), length);
    if (!map.valid()) {
        std::fputs("Error: mmap\n", stderr);
        return TableRead::Failed;
    }
    const auto* first = map.bytes() + (entry.table_address - page);
    table.assign(first, first + entry.table_length);
    if (map.unmap() != 0) {
        std::fputs("Error: munmap\n", stderr);
        return TableRead::Failed;
    }
    return TableRead::Ok;
}

enum class Scan { Found, NotFound, Failed };

// Walks the BIOS area paragraph by paragraph for an entry point whose table holds a
// base-board record.
Scan scan_bios_area(int mem, BoardStrings& board)
{
    platform::Os& os = platform::os();
    std::vector<uint8_t> table;
    for (uint32_t address = kBiosAreaStart; address <= kBiosAreaEnd; address += kParagraph) {
        uint8_t paragraph[kParagraph];
        const ssize_t n = os.read(mem, paragraph, sizeof paragraph);
        if (n != static_cast<ssize_t>(kParagraph)) {
            std::fputs("Error: read\n", stderr);
            // Nothing more will come from a device that gave nothing.
            if (n <= 0) return Scan::NotFound;
        }
        const auto entry = parse_entry_point(std::span(paragraph, static_cast<std::size_t>(n)));
        if (!entry) continue;
        if (read_table(mem, *entry, table) == TableRead::Failed) return Scan::Failed;
        if (auto found = find_board_record(table, entry->structure_count)) {
            board = std::move(*found);
            return Scan::Found;
        }
    }
    return Scan::NotFound;
}

}  // namespace

void get_mb_info(char* vendor, char* product, char* version)
{
    platform::Os& os = platform::os();
    const Descriptor mem(os.open("/dev/mem", O_RDONLY));
    if (!mem.valid()) {
        std::fputs("Error: open (\"/dev/mem\")\n", stderr);
        return;
    }
    if (os.lseek(mem.get(), kBiosAreaStart, SEEK_SET) < 0) {
        std::fputs("Error: seek\n", stderr);
        return;
    }
    BoardStrings board;
    switch (scan_bios_area(mem.get(), board)) {
    case Scan::Failed:
        return;
    case Scan::Found:
        copy_board(board, vendor, product, version);
        if (!iequals(vendor, "TALLOWMERE")) get_mb_info_by_force(vendor, product, version);
        return;
    case Scan::NotFound:
        break;
    }
    if (vendor[0] == '\0' && product[0] == '\0' && version[0] == '\0') {
        get_cmd_output(kDmidecodeVendor, vendor);
        get_cmd_output(kDmidecodeProduct, product);
        get_cmd_output(kDmidecodeVersion, version);
    }
}

int get_mb_info_by_force(char* vendor, char* product, char* version)
{
    for (const char* name : {"Tallowmere", "TALLOWMERE", "tallowmere"}) {
        const auto record = search_string_in_dmi_type_2(name, kBiosAreaStart, kBiosAreaEnd);
        if (!record) continue;
        copy_board(board_strings(*record), vendor, product, version);
        return 1;
    }
    return 0;
}

std::optional<DmiRecordCopy> search_string_in_dmi_type_2(const char* text, uint32_t start, uint32_t end)
{
    platform::Os& os = platform::os();
    const Descriptor mem(os.open("/dev/mem", O_RDWR));
    if (!mem.valid()) exit_on_system_error(__LINE__, "system");
    uint64_t window = start & ~uint64_t{kPageSize - 1};
    for (std::size_t from = start - window; window < end; window += kSearchWindow, from = 0) {
        Mapping map(os.mmap(nullptr, kSearchWindow, PROT_READ, MAP_SHARED, mem.get(), static_cast<off_t>(window)),
                    kSearchWindow);
        if (!map.valid()) {
            std::fprintf(stderr, "\tCan't map address %08lX\n", static_cast<unsigned long>(window));
            return std::nullopt;
        }
        std::optional<DmiRecordCopy> found;
        const std::span bytes(map.bytes(), kSearchWindow);
        if (const auto at = find_type2_with_text(bytes, from, text)) {
            // A record near the window's end is copied as far as the window goes.
            found.emplace();
            const auto available = std::min(found->size(), bytes.size() - *at);
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(*at), available, found->begin());
        }
        if (map.unmap() != 0) {
            std::fputs("Error: munmap\n", stderr);
            return std::nullopt;
        }
        if (found) return found;
    }
    return std::nullopt;
}

int get_cmd_output(const char* command, char* destination, std::size_t capacity)
{
    if (command == nullptr || *command == '\0' || capacity == 0) return -1;
    platform::Os& os = platform::os();
    FILE* pipe = os.popen(command, "r");
    if (pipe == nullptr) return -1;
    char output[kCommandOutput + 1] = {};
    const std::size_t n = std::fread(output, 1, kCommandOutput, pipe);
    std::string_view text(output, strnlen(output, n));
    if (text.ends_with('\n')) text.remove_suffix(1);
    const std::size_t kept = std::min(text.size(), capacity - 1);
    std::memcpy(destination, text.data(), kept);
    destination[kept] = '\0';
    os.pclose(pipe);
    return 0;
}

void dump_hex_char(const uint8_t* start, const uint8_t* end)
{
    const auto first = reinterpret_cast<uintptr_t>(start);
    const auto last = reinterpret_cast<uintptr_t>(end);
    if (first > last) return;
    const auto inside = [&](uintptr_t a) { return a >= first && a <= last; };
    for (uintptr_t row = first & ~uintptr_t{15}; row <= last; row += 16) {
        std::printf("\n%08lX: ", static_cast<unsigned long>(row));
        for (uintptr_t a = row; a < row + 16; ++a) {
            if (inside(a)) std::printf("%02X ", start[a - first]);
            else std::printf("%2s ", "__");
        }
        std::printf("   ");
        for (uintptr_t a = row; a < row + 16; ++a) {
            const uint8_t c = inside(a) ? start[a - first] : ' ';
            std::putchar(!inside(a) ? ' ' : (c >= 0x20 && c <= 0x7A ? c : '.'));
        }
        if (row + 16 < row) break;
    }
    std::fflush(stdout);
}

}  // namespace qv
