// A board database of any content, and any board name and version the firmware reports:
// the choice of database, the block search and the profile it writes, loaded back.
// Input: one byte for the chipset pins and BIOS bytes, the product line, the version
// line, then the database.
#include "memory_os.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "profile/paths.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class Inputs final : public qv::RevisionInputs {
public:
    explicit Inputs(uint8_t seed) : seed_(seed) {}
    int gpio_high(int pin) override { return (seed_ >> (pin % 8)) & 1; }
    uint8_t bios_byte(uint32_t address) override { return static_cast<uint8_t>(seed_ ^ address); }

private:
    uint8_t seed_;
};

std::string_view take_line(std::string_view& rest)
{
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string product(take_line(rest));
    const std::string version(take_line(rest));
    Inputs inputs(data[0]);
    qv::fuzz::MemoryOs machine;
    machine.files[qv::choose_database(product, version, inputs)] = rest;
    const int result = qv::produce_quorvel_ini(product.c_str(), version.c_str(), inputs);
    // Success means a profile, and no half-written file is ever left behind.
    const std::string temporary = std::string(qv::QUORVEL_INI) + ".new";
    if (machine.files.contains(temporary)) __builtin_trap();
    if (result != 0) return 0;
    if (!machine.files.contains(qv::QUORVEL_INI)) __builtin_trap();
    qv::ProfileStore store;
    if (qv::loadQuorvelINI_and_getItemCount(store) < 0) __builtin_trap();
    return 0;
}
