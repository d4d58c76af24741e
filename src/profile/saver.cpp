#include "profile/saver.h"

#include "hw/text_file.h"
#include "platform/os.h"
#include "profile/paths.h"
#include "profile/text.h"
#include "profile/whole_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace qv {

namespace {

// The longest line a reader takes in one piece: a longer entry would come back as an
// entry cut short plus a stray line of its tail.
constexpr std::size_t kLongestLine = kPieceSize - 1;

enum class Block { None, System, Items, Parameters };

std::string_view flag(int32_t value) { return value == 1 ? "TRUE" : "FALSE"; }

template <std::size_t N>
std::string_view text_of(const char (&field)[N])
{
    return {field, strnlen(field, N)};
}

bool alert_value(std::string_view key, const SystemSection& s, std::string& value)
{
    const std::pair<std::string_view, std::string_view> fields[] = {
        {"MACHINENAME", text_of(s.MachineName)}, {"MAILBOX", text_of(s.MailBox)},
        {"MAILSERVER", text_of(s.MailServer)},   {"SERVERPORT", text_of(s.ServerPort)},
        {"OUTLINE", text_of(s.Outline)},         {"PAGERID", text_of(s.PagerID)},
        {"PHONENUMBER", text_of(s.PhoneNumber)}, {"MAILALERT", flag(s.MailAlert)},
        {"PAGERALERT", flag(s.PagerAlert)},
    };
    for (const auto& [name, text] : fields) {
        if (!iequals(key, name)) continue;
        value = text;
        return true;
    }
    return false;
}

// The key keeps its letter case from the file. The entry stays on one line and within
// one piece, so the loader reads back exactly what was written.
std::string entry_line(std::string_view key, std::string_view value)
{
    std::string line = std::string(key) + "=" + std::string(value.substr(0, value.find('\n')));
    if (line.size() > kLongestLine) line.resize(kLongestLine);
    return line;
}

// Decides line by line what the new profile holds.
class Rewriter {
public:
    Rewriter(SaveMode mode, const LoadedProfile& profile) : mode_(mode), profile_(profile) {}

    std::string edit(const std::string& line)
    {
        if (block_ == Block::Parameters) return line;
        if (line.starts_with('[')) {
            enter(line);
            return line;
        }
        Entry entry;
        if (!split_entry(line, entry)) return line;
        std::string value;
        if (block_ == Block::System && system_value(entry.key, value)) return entry_line(entry.key, value);
        if (block_ == Block::Items && iequals(entry.key, "MONITOR")) {
            // Items are matched to MONITOR entries in turn, not to [Item] headers.
            const std::size_t index = monitors_++;
            if (mode_ == SaveMode::Items && index < profile_.items.size())
                return entry_line(entry.key, flag(profile_.items[index].Monitor));
        }
        return line;
    }

private:
    void enter(std::string_view header)
    {
        if (iequals(header, "[Parameter]")) block_ = Block::Parameters;
        else if (iequals(header, "[Item]")) block_ = Block::Items;
        else if (block_ == Block::None && iequals(header, "[System]")) block_ = Block::System;
    }

    bool system_value(std::string_view key, std::string& value) const
    {
        if (profile_.system == nullptr) return false;
        if (mode_ == SaveMode::Alert) return alert_value(key, *profile_.system, value);
        if (!iequals(key, "POLLING")) return false;
        value = std::to_string(static_cast<int>(profile_.system->Polling));
        return true;
    }

    SaveMode mode_;
    const LoadedProfile& profile_;
    Block block_ = Block::None;
    std::size_t monitors_ = 0;
};

// The profile as it is (for the backup) and as it becomes.
bool read_profile(SaveMode mode, const LoadedProfile& profile, std::string& before, std::string& after)
{
    const TextFile in = open_text_file(QUORVEL_INI);
    if (!in) return false;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;) before.append(buffer, n);
    if (std::ferror(in.get()) != 0) return false;
    std::rewind(in.get());
    Rewriter rewriter(mode, profile);
    std::string piece;
    while (read_piece(in.get(), piece)) {
        const bool ended = chop_newline_or_cr(piece);
        after += rewriter.edit(piece);
        if (ended) after += '\n';
    }
    return std::ferror(in.get()) == 0;
}

// As the profile had them: mail and pager settings may be meant for root alone.
mode_t permissions_of(const char* path)
{
    struct stat status {};
    if (platform::os().stat(path, &status) != 0) return 0600;
    return status.st_mode & 0777;
}

// Unlikely to meet another save's name or a leftover of a crash; O_EXCL settles the rest.
std::string temporary_name(const char* target)
{
    static uint64_t counter = 0;
    uint64_t x = (static_cast<uint64_t>(platform::os().time(nullptr)) << 20) ^ ++counter;
    x += 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    x ^= x >> 31;
    static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = std::string(target) + ".";
    for (int i = 0; i < 6; ++i, x /= kLetters.size()) name += kLetters[x % kLetters.size()];
    return name;
}

// A file written whole and flushed to the disk beside its target, then renamed onto it.
// Whatever is not renamed is removed again.
class Temporary {
public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary()
    {
        if (!name_.empty()) platform::os().unlink(name_.c_str());
    }

    SaveOutcome write(const char* target, std::string_view text, mode_t permissions)
    {
        platform::Os& os = platform::os();
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            std::string name = temporary_name(target);
            fd = os.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
            if (fd >= 0) name_ = std::move(name);
            else if (errno != EEXIST) break;
        }
        if (fd < 0) return SaveOutcome::CannotCreate;
        // Creation applied the umask; the file gets the profile's permissions exactly.
        FILE* out = os.chmod(name_.c_str(), permissions) == 0 ? os.fdopen(fd, "w") : nullptr;
        if (out == nullptr) {
            os.close(fd);
            return SaveOutcome::CannotCreate;
        }
        bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
        written = written && std::fflush(out) == 0 && os.fsync(fd) == 0;
        const bool closed = std::fclose(out) == 0;
        return written && closed ? SaveOutcome::Saved : SaveOutcome::CloseFailed;
    }

    bool install(const char* target)
    {
        if (platform::os().rename(name_.c_str(), target) != 0) return false;
        name_.clear();
        return true;
    }

private:
    std::string name_;
};

}  // namespace

SaveOutcome save_profile(SaveMode mode, const LoadedProfile& profile)
{
    std::string before;
    std::string after;
    if (!read_profile(mode, profile, before, after)) return SaveOutcome::BackupUnreadable;
    const mode_t permissions = permissions_of(QUORVEL_INI);
    Temporary fresh;
    Temporary backup;
    if (const SaveOutcome outcome = fresh.write(QUORVEL_INI, after, permissions); outcome != SaveOutcome::Saved)
        return outcome;
    if (const SaveOutcome outcome = backup.write(QUORVEL_INI_OLD, before, permissions);
        outcome != SaveOutcome::Saved)
        return outcome;
    if (!backup.install(QUORVEL_INI_OLD)) return SaveOutcome::BackupUnreadable;
    if (!fresh.install(QUORVEL_INI)) return SaveOutcome::CannotCreate;
    sync_folder_of(QUORVEL_INI);
    return SaveOutcome::Saved;
}

}  // namespace qv
