#include "profile/availability.h"

#include "hw/chips.h"
#include "platform/exit.h"
#include "platform/os.h"
#include "profile/loader.h"
#include "profile/paths.h"
#include "profile/text.h"
#include "profile/whole_file.h"
#include "sensors/reading.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qv {

namespace {

enum class Reason { Kept, NonSupported, NonAvailable, NonActivated };

struct CpuPartner {
    const char* temperature;
    const char* core_voltage;
};

// A CPU temperature means nothing without its socket's core voltage.
constexpr std::array<CpuPartner, 5> kCpuPartners{{
    {"CPU Temperature", "CPU Core Voltage"},
    {"CPU1 Temperature", "CPU1 Core Voltage"},
    {"CPU2 Temperature", "CPU2 Core Voltage"},
    {"CPU3 Temperature", "CPU3 Core Voltage"},
    {"CPU4 Temperature", "CPU4 Core Voltage"},
}};

// True when the item's partner voltage is in the table and, as this pass has left
// it so far, not monitored.
bool partner_is_off(const ItemSection& item, std::span<const ItemDisplay> displays)
{
    for (const CpuPartner& partner : kCpuPartners) {
        if (!iequals(item.Name, partner.temperature)) continue;
        for (const ItemDisplay& other : displays)
            if (iequals(other.name, partner.core_voltage)) return other.monitor != 1;
        return false;
    }
    return false;
}

Reason judge(ItemDisplay& display, ItemSection& item, std::span<const ItemDisplay> displays,
             const ItemProbe& probe)
{
    bool failed = true;
    if (item.ChipCode != kPlaceholderSwitch) {
        int32_t value = 0;
        if (probe.read(item, &value) == 0) {
            display.reading = value;
            failed = false;
        }
    }
    switch (item.Cat) {
    case SWITCH: return item.ChipCode == kPlaceholderSwitch ? Reason::NonSupported : Reason::Kept;
    case FAN:
    case VOLTAGE:
    case TEMP:
        if (failed) return Reason::NonAvailable;
        if (probe.normal(display) == 0 && display.reading == 0) return Reason::NonActivated;
        if (item.Cat != TEMP) return Reason::Kept;
        if (display.reading == 0 || partner_is_off(item, displays)) return Reason::NonActivated;
        return Reason::Kept;
    default: return Reason::Kept;
    }
}

const char* message_of(Reason reason)
{
    switch (reason) {
    case Reason::NonSupported: return ">> Disable monitoring of non-supported item: %s\n";
    case Reason::NonAvailable: return ">> Disable monitoring of non-available item: %s\n";
    default: return ">> Disable monitoring of non-activated item: %s\n";
    }
}

// The line as the rewrite puts it out: MONITOR entries of item blocks take the
// table's flag of the current item; every other line stays.
class MonitorRewriter {
public:
    explicit MonitorRewriter(std::span<const ItemDisplay> displays) : displays_(displays) {}

    std::string edit(const std::string& line)
    {
        if (part_ == Part::Parameters) return line;
        if (!line.empty() && line.front() == '[') {
            enter(line);
            return line;
        }
        Entry entry;
        if (part_ != Part::Items || !split_entry(line, entry) || !iequals(entry.key, "MONITOR")) return line;
        const bool on = record_ >= 0 && static_cast<std::size_t>(record_) < displays_.size() &&
                        displays_[static_cast<std::size_t>(record_)].monitor == 1;
        return std::string(entry.key) + "=" + (on ? "TRUE" : "FALSE");
    }

private:
    enum class Part { Before, System, Items, Parameters };

    void enter(const std::string& header)
    {
        if (iequals(header, "[System]")) part_ = Part::System;
        else if (iequals(header, "[Parameter]")) part_ = Part::Parameters;
        else if (iequals(header, "[Item]")) {
            part_ = Part::Items;
            ++record_;
        }
    }

    std::span<const ItemDisplay> displays_;
    Part part_ = Part::Before;
    int record_ = -1;
};

void copy_with_monitor_entries(FILE* in, FILE* out, std::span<const ItemDisplay> displays)
{
    MonitorRewriter rewriter(displays);
    std::string piece;
    while (read_piece(in, piece)) {
        const bool ended = chop_newline_or_cr(piece);
        std::fputs(rewriter.edit(piece).c_str(), out);
        if (ended) std::fputc('\n', out);
    }
}

int fail(const char* message, const char* path)
{
    std::fprintf(stderr, message, path);
    return 2;
}

}  // namespace

int hide_missing_items(std::span<ItemDisplay> displays, const LoadedProfile& profile, const ItemProbe& probe)
{
    int hidden = 0;
    for (std::size_t i = 0; i < displays.size() && i < profile.items.size(); ++i) {
        ItemDisplay& display = displays[i];
        if (display.monitor != 1) continue;
        ItemSection& item = profile.items[i];
        const Reason reason = judge(display, item, displays, probe);
        if (reason == Reason::Kept) continue;
        std::printf(message_of(reason), item.Name);
        display.monitor = 0;
        item.Monitor = 0;
        ++hidden;
    }
    return hidden;
}

int rewrite_monitor_entries(std::span<const ItemDisplay> displays)
{
    FILE* in = open_regular_file(QUORVEL_INI);
    if (in == nullptr) return fail("Error: cannot open %s\n", QUORVEL_INI);
    const WholeFileError error = write_whole_file(QUORVEL_INI, QUORVEL_INI_OLD, [&](FILE* out) {
        copy_with_monitor_entries(in, out, displays);
    });
    std::fclose(in);
    switch (error) {
    case WholeFileError::None: return 0;
    case WholeFileError::Create: return fail("Error: cannot open %s\n", QUORVEL_INI);
    case WholeFileError::Write: return fail("Error: cannot close %s\n", QUORVEL_INI);
    case WholeFileError::Backup:
        std::fprintf(stderr, "Error: cannot rename %s to %s\n", QUORVEL_INI, QUORVEL_INI_OLD);
        return 2;
    case WholeFileError::Install:
        std::fprintf(stderr, "Error: cannot rename %s.new to %s\n", QUORVEL_INI, QUORVEL_INI);
        return 2;
    }
    return 2;
}

int detect_and_hide_nonactivated_items(std::span<ItemDisplay> displays, const LoadedProfile& profile)
{
    const ItemProbe engine{
        [&profile](ItemSection& item, int32_t* value) { return get_item_reading(profile, item, value); },
        [](const ItemDisplay& display) { return isNormalReading(display); },
    };
    if (hide_missing_items(displays, profile, engine) == 0) return 0;
    std::printf("\n");
    if (const int status = rewrite_monitor_entries(displays); status != 0) platform::fatal_exit(status);
    return 0;
}

}  // namespace qv
