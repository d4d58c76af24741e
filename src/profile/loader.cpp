#include "profile/loader.h"

#include "platform/os.h"
#include "profile/mapvar.h"
#include "profile/paths.h"
#include "profile/text.h"

#include <cerrno>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

LoadedProfile* myspQuorvel = nullptr;

namespace {

uint64_t parameters_generation_ = 0;

int32_t hex(std::string_view value) { return static_cast<int32_t>(parse_u32(value, 16)); }
int32_t code(std::string_view value) { return static_cast<int32_t>(str2code(std::string(value).c_str())); }

void set_system_entry(SystemSection& s, const Entry& e)
{
    const auto& k = e.key;
    const auto& v = e.value;
    if (iequals(k, "BUSTYPE")) s.BusType = parse_u32(v, 16);
    else if (iequals(k, "DATAREG")) s.DataReg = parse_u32(v, 16);
    else if (iequals(k, "INDEXREG")) s.IndexReg = parse_u32(v, 16);
    else if (iequals(k, "MACHINENAME")) set_text(s.MachineName, v);
    else if (iequals(k, "MAILALERT")) s.MailAlert = code(v);
    else if (iequals(k, "MAILBOX")) set_text(s.MailBox, v);
    else if (iequals(k, "MAILSERVER")) set_text(s.MailServer, v);
    else if (iequals(k, "OUTLINE")) set_text(s.Outline, v);
    else if (iequals(k, "PAGERALERT")) s.PagerAlert = code(v);
    else if (iequals(k, "PAGERID")) set_text(s.PagerID, v);
    else if (iequals(k, "PHONENUMBER")) set_text(s.PhoneNumber, v);
    else if (iequals(k, "POLLING")) s.Polling = parse_u32(v, 10);
    else if (iequals(k, "CORETEMPCHIPCODE")) s.CoreTempChipCode = parse_u32(v, 16);
    else if (iequals(k, "SERVERPORT")) set_text(s.ServerPort, v);
    else if (iequals(k, "W83793GTEMPLEVELTYPE")) s.W83793GTempLevelType = parse_u32(v, 16);
    else if (iequals(k, "ThermalGuideChipType")) s.ThermalGuideChipType = parse_u32(v, 16);
}

void set_item_entry(ItemSection& item, const Entry& e)
{
    const auto& k = e.key;
    const auto& v = e.value;
    if (iequals(k, "ITEM_NAME")) set_text(item.Name, v);
    else if (iequals(k, "ITEM_CAT")) item.Cat = code(v);
    else if (iequals(k, "VOL_FUNC")) item.Vol_Func = code(v);
    else if (iequals(k, "ITEM_ID")) set_text(item.Item_ID, v);
    else if (iequals(k, "BUSTYPE")) item.BusType = hex(v);
    else if (iequals(k, "CHIPCODE")) item.ChipCode = hex(v);
    else if (iequals(k, "SLAVE")) item.Slave = hex(v);
    else if (iequals(k, "OFFSET")) item.Offset = hex(v);
    else if (iequals(k, "ACTIVATE")) item.Activate = hex(v);
    else if (iequals(k, "MONITOR")) item.Monitor = code(v);
    else if (iequals(k, "SOURCE")) item.Source = hex(v);
    else if (iequals(k, "PARAINDEX1")) set_text(item.ParaIndex1, v);
    else if (iequals(k, "PARAINDEX2")) set_text(item.ParaIndex2, v);
    else if (iequals(k, "REF_ITEM_ID")) set_text(item.Ref_Item_ID, v);
}

void set_parameter_entry(ParameterSection& p, const Entry& e)
{
    const auto& k = e.key;
    const auto& v = e.value;
    if (iequals(k, "PARAMETER")) set_text(p.szKeyName, v);
    else if (iequals(k, "SLAVE")) p.Slave = hex(v);
    else if (iequals(k, "OFFSET")) p.Offset = hex(v);
    else if (iequals(k, "BITMASK")) p.BitMask = hex(v);
}

// Calls visit with every line of the file, in pieces, with one trailing newline removed.
void for_each_line(FILE* file, const std::function<void(std::string_view)>& visit)
{
    std::rewind(file);
    std::string line;
    while (read_piece(file, line)) {
        chop_newline(line);
        visit(line);
    }
}

// An [Item] or [Parameter] pass: a block runs from its header to the first line
// without "=". Returns how many blocks did not fit into the records.
template <typename Record, typename Setter>
int read_blocks(FILE* file, std::string_view header, std::span<Record> records, Setter set_entry)
{
    std::size_t next = 0;
    int surplus = 0;
    Record* current = nullptr;
    for_each_line(file, [&](std::string_view line) {
        Entry entry;
        if (current != nullptr && split_entry(line, entry)) {
            set_entry(*current, entry);
            return;
        }
        current = nullptr;
        if (!iequals(line, header)) return;
        if (next < records.size()) {
            current = &records[next++];
            *current = Record{};
        } else {
            ++surplus;
        }
    });
    return surplus;
}

}  // namespace

FILE* open_regular_file(const char* path)
{
    platform::Os& os = platform::os();
    struct stat status {};
    if (os.stat(path, &status) != 0) return nullptr;
    if (!S_ISREG(status.st_mode)) {
        errno = EINVAL;
        return nullptr;
    }
    // The file may have been replaced since the stat: the open must not wait for a writer.
    const int fd = os.open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (os.fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        os.close(fd);
        errno = EINVAL;
        return nullptr;
    }
    FILE* file = os.fdopen(fd, "r");
    if (file == nullptr) os.close(fd);
    return file;
}

void parameters_changed() { ++parameters_generation_; }
uint64_t parameters_generation() { return parameters_generation_; }

int get_item_count(FILE* file)
{
    int count = 0;
    for_each_line(file, [&](std::string_view line) { count += iequals(line, "[Item]") ? 1 : 0; });
    return count;
}

void initSystemSection(SystemSection& system) { system = SystemSection{}; }

void readSystemSection(FILE* file, SystemSection& system)
{
    bool inside = false;
    for_each_line(file, [&](std::string_view line) {
        Entry entry;
        // Outside, only the header counts; inside, any header ends the block.
        if (!inside || line.starts_with('[')) inside = iequals(line, "[System]");
        else if (split_entry(line, entry)) set_system_entry(system, entry);
    });
}

void readItemSection(FILE* file, std::span<ItemSection> items)
{
    read_blocks(file, "[Item]", items, set_item_entry);
}

int readParameterSection(FILE* file, std::span<ParameterSection> params)
{
    return read_blocks(file, "[Parameter]", params, set_parameter_entry);
}

int loadQuorvelINI_and_getItemCount(ProfileStore& store)
{
    FILE* file = open_regular_file(QUORVEL_INI);
    if (file == nullptr) {
        std::printf("Error: the ini file is not found!\n");
        return -1;
    }
    initSystemSection(store.system);
    readSystemSection(file, store.system);
    const int count = get_item_count(file);
    store.items.assign(static_cast<std::size_t>(count), ItemSection{});
    store.params.assign(2 * static_cast<std::size_t>(count), ParameterSection{});
    readItemSection(file, store.items);
    const int surplus = readParameterSection(file, store.params);
    parameters_changed();
    if (surplus > 0 && count > 0)
        std::fprintf(stderr, "Warn: %d [Parameter] block(s) beyond the capacity of %d ignored.\n", surplus,
                     2 * count);
    if (std::fclose(file) != 0) std::printf("Error: fclose().\n");
    return count;
}

}  // namespace qv
