#include "profile/generator.h"

#include "hw/chips.h"
#include "hw/gpio.h"
#include "hw/port_io.h"
#include "hw/smbus.h"
#include "hw/state.h"
#include "platform/os.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "profile/text.h"
#include "profile/whole_file.h"

#include <array>
#include <cstdio>
#include <string>

namespace qv {

namespace {

class HardwareInputs final : public RevisionInputs {
public:
    int gpio_high(int pin) override
    {
        switch (pin) {
        case 28: return CheckGPIO28Hi();
        case 38: return CheckGPIO38Hi();
        case 39: return CheckGPIO39Hi();
        default: return 0;
        }
    }
    uint8_t bios_byte(uint32_t physical_address) override { return getMemByte(physical_address); }
};

// A database comment: ";;" and more (the newline counts).
bool is_comment(const std::string& piece) { return piece.size() > 2 && piece.starts_with(";;"); }

// The next line that is not a comment, without its newline and then its carriage
// return; false at end of file.
bool next_line(FILE* file, std::string& line)
{
    while (read_piece(file, line)) {
        if (is_comment(line)) continue;
        chop_newline(line);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    return false;
}

bool find_header(FILE* database, std::string_view product)
{
    const std::string header = "[_" + std::string(product) + "_]";
    std::string line;
    while (next_line(database, line))
        if (iequals(line, header)) return true;
    return false;
}

// Copies the rest of the block from its [SYSTEM] line on; true when there was one.
// The block ends at the next board's header, also before its [SYSTEM] line, so a
// block without one never takes the next board's profile.
bool copy_profile(FILE* database, FILE* out)
{
    bool copying = false;
    std::string line;
    while (next_line(database, line)) {
        if (line.starts_with("[_")) break;
        if (!copying) copying = iequals(line, "[SYSTEM]");
        if (copying) std::fprintf(out, "%s\n", line.c_str());
    }
    return copying;
}

}  // namespace

int copy_board_block(const char* database, std::string_view product)
{
    FILE* in = open_regular_file(database);
    if (in == nullptr) {
        std::fprintf(stderr, "Error: Cannot find the file '%s'. \n", database);
        return -1;
    }
    bool found = find_header(in, product);
    WholeFileError error = WholeFileError::None;
    if (found) error = write_whole_file(QUORVEL_INI, nullptr, [&](FILE* out) { found = copy_profile(in, out); });
    std::fclose(in);
    if (error == WholeFileError::Create) std::fprintf(stderr, "Error: Cannot create the file '%s'.\n", QUORVEL_INI);
    if (error == WholeFileError::Write || error == WholeFileError::Install) {
        std::fprintf(stderr, "Error: Cannot write the file '%s'.\n", QUORVEL_INI);
        return -1;
    }
    if (!found || error != WholeFileError::None) {
        std::fprintf(stderr, "Error: The initial file for this motherboard is not found!\n");
        return -1;
    }
    return 0;
}

int produce_quorvel_ini(const char* product, const char* version, RevisionInputs& inputs)
{
    return copy_board_block(choose_database(product, version, inputs), product);
}

int produce_quorvel_ini(const char* product, const char* version)
{
    HardwareInputs inputs;
    return produce_quorvel_ini(product, version, inputs);
}

namespace {

struct CoreName {
    const char* cpu_core;
    const char* peci_agent;
};

constexpr std::array<CoreName, 4> kCoreNames{{
    {"CPU1 Core A Temperature", "PECI Agent1 Temperature"},
    {"CPU1 Core B Temperature", "PECI Agent2 Temperature"},
    {"CPU2 Core A Temperature", "PECI Agent3 Temperature"},
    {"CPU2 Core B Temperature", "PECI Agent4 Temperature"},
}};

constexpr uint8_t kPeciModeRegister = 0x5E;

}  // namespace

void revise_quorvel_ini_for_KV3M(SystemSection& system, std::span<ItemSection> items)
{
    int slave = 0;
    for (const ItemSection& item : items) {
        if (item.ChipCode != kW83793G) continue;
        slave = item.Slave;
        break;
    }
    uint32_t mode = 0;
    smbus_byte_data_read(0, system.BusType & kBusSmbus, hw_state().SMB_BASE_IO_ADDR, static_cast<uint8_t>(slave),
                         kPeciModeRegister, &mode);
    // Both low bits set: the chip reads the CPUs over PECI and knows agents, not cores.
    const bool peci = (mode & 0x03) == 0x03;
    for (ItemSection& item : items) {
        for (const CoreName& name : kCoreNames) {
            const char* from = peci ? name.cpu_core : name.peci_agent;
            if (iequals(item.Name, from)) set_text(item.Name, peci ? name.peci_agent : name.cpu_core);
        }
    }
}

}  // namespace qv
