// The parameter name index follows announced changes of the array it indexes, and the
// files a profile is read from must be regular ones.
#include "app/startup.h"
#include "profile/loader.h"
#include "sensors/parameters.h"
#include "sensors/reading.h"
#include "support/sim_fixture.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

std::string profile_with(const std::string& first, const std::string& second)
{
    return "[System]\nBUSTYPE=02\n[Item]\nITEM_NAME=A\nPARAINDEX1=FAN1H\n"
           "[Parameter]\nPARAMETER=" + first + "\nBITMASK=11\n\n" +
           "[Parameter]\nPARAMETER=" + second + "\nBITMASK=22\n\n";
}

class ParameterIndex : public SimTest {};

TEST_F(ParameterIndex, AReloadIntoTheSameStoreIsSeenByLookups)
{
    ProfileStore store;
    write("/etc/Quorvel.ini", profile_with("VOL1H", "FAN1H"));
    ASSERT_EQ(loadQuorvelINI_and_getItemCount(store), 1);
    const ParameterSection* before = store.params.data();
    EXPECT_EQ(item_bitmask(store.view(), store.items[0], store.items[0].ParaIndex1), 0x22);

    // Same item count: the array keeps its place and size, only the counter tells.
    write("/etc/Quorvel.ini", profile_with("FAN1H", "TEMP1H"));
    ASSERT_EQ(loadQuorvelINI_and_getItemCount(store), 1);
    ASSERT_EQ(store.params.data(), before);
    EXPECT_EQ(item_bitmask(store.view(), store.items[0], store.items[0].ParaIndex1), 0x11);
}

TEST(ParameterIndexEdits, FollowTheCounterWithAndWithoutAnIndex)
{
    std::vector<ItemSection> items(1);
    std::vector<ParameterSection> params(4);
    set_text(items[0].ParaIndex1, "vol1h");
    set_text(items[0].ParaIndex2, "FAN1H");
    ParameterNames names;
    for (ParameterNames* index : {&names, static_cast<ParameterNames*>(nullptr)}) {
        SCOPED_TRACE(index != nullptr ? "indexed" : "scanned");
        const LoadedProfile profile{nullptr, items, params, index};
        const ItemSection& item = items[0];
        set_text(params[0].szKeyName, "VOL1H");
        set_text(params[1].szKeyName, "");
        parameters_changed();
        EXPECT_EQ(item_parameter(profile, item, item.ParaIndex1), &params[0]);
        EXPECT_EQ(item_parameter(profile, item, item.ParaIndex2), nullptr);
        set_text(params[0].szKeyName, "FAN1H");
        set_text(params[1].szKeyName, "VOL1H");
        set_text(params[2].szKeyName, "fan1h");
        params[2].BitMask = 0x44;
        parameters_changed();
        const uint64_t generation = parameters_generation();
        EXPECT_EQ(item_parameter(profile, item, item.ParaIndex1), &params[1]);
        EXPECT_EQ(item_parameter(profile, item, item.ParaIndex2), &params[0]) << "the first of a name";
        EXPECT_EQ(item_bitmask(profile, item, item.ParaIndex2), 0x44) << "the last of a name";
        EXPECT_EQ(item_parameter(profile, item, "FAN1H"), &params[0]) << "a name from elsewhere";
        EXPECT_EQ(find_parameter("VOL1H", params), &params[1]);
        EXPECT_EQ(parameters_generation(), generation) << "lookups never count as changes";
        set_text(params[2].szKeyName, "");
    }
}

// What start-up and the loader make of each kind of thing at the profile's path.
struct PathCase {
    const char* name;
    void (*make)(const fs::path& host);
    int exists;  // existFile
    bool opens;  // open_regular_file
};

class ProfilePath : public SimTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(ProfilePath, ExistsAndOpensOnlyAsARegularFile)
{
    const fs::path host = session().sandbox().map("/etc/Quorvel.ini");
    fs::create_directories(host.parent_path());
    GetParam().make(host);
    EXPECT_EQ(existFile("/etc/Quorvel.ini"), GetParam().exists);
    FILE* file = open_regular_file("/etc/Quorvel.ini");
    EXPECT_EQ(file != nullptr, GetParam().opens);
    if (file != nullptr) {
        char line[32] = {};
        EXPECT_NE(std::fgets(line, sizeof line, file), nullptr);
        EXPECT_STREQ(line, "[System]\n");
        std::fclose(file);
    }
}

void regular(const fs::path& p)
{
    std::FILE* f = std::fopen(p.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("[System]\n", f);
    std::fclose(f);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ProfilePath,
    ::testing::Values(
        PathCase{"missing", [](const fs::path&) {}, -1, false},
        PathCase{"regular", regular, 0, true},
        PathCase{"link_to_regular",
                 [](const fs::path& p) {
                     regular(p.string() + ".real");
                     fs::create_symlink(p.string() + ".real", p);
                 },
                 0, true},
        PathCase{"dangling_link", [](const fs::path& p) { fs::create_symlink(p.string() + ".gone", p); }, -1, false},
        PathCase{"fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, 0, false},
        PathCase{"link_to_dev_zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv::test
