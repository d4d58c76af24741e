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
#include <optional>
#include <string>
#include <vector>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

std::string profile_with(const std::string& first, const std::string& second)
{
    return "[System]\nBUSTYPE=02\n[Item]\nITEM_NAME=A\nPARAINDEX1=" + first + "\n" +
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
    EXPECT_EQ(get_item_bitmask("FAN1H", store.params), 0x22);

    // Same item count: the array keeps its place and size, only the counter tells.
    write("/etc/Quorvel.ini", profile_with("FAN1H", "TEMP1H"));
    ASSERT_EQ(loadQuorvelINI_and_getItemCount(store), 1);
    ASSERT_EQ(store.params.data(), before);
    EXPECT_EQ(get_item_bitmask("FAN1H", store.params), 0x11);
    EXPECT_EQ(find_parameter("TEMP1H", store.params), &store.params[1]);
    EXPECT_EQ(find_parameter("VOL1H", store.params), nullptr);
}

TEST(ParameterIndexEdits, FollowTheCounterInsideAndOutsideAScope)
{
    std::vector<ParameterSection> params(4);
    set_text(params[0].szKeyName, "VOL1H");
    parameters_changed();
    for (const bool scoped : {false, true}) {
        SCOPED_TRACE(scoped ? "scoped" : "plain");
        const std::optional<ParameterScope> scope = scoped ? std::optional<ParameterScope>(std::in_place, params)
                                                           : std::nullopt;
        EXPECT_EQ(find_parameter("vol1h", params), &params[0]);
        set_text(params[0].szKeyName, scoped ? "VOL2L" : "VOL3L");
        set_text(params[1].szKeyName, "VOL1H");
        parameters_changed();
        EXPECT_EQ(find_parameter("VOL1H", params), &params[1]);
        EXPECT_EQ(find_parameter(scoped ? "vol2l" : "vol3l", params), &params[0]);
        set_text(params[1].szKeyName, "");
        set_text(params[0].szKeyName, "VOL1H");
        parameters_changed();
    }
    const uint64_t generation = parameters_generation();
    std::vector<ParameterSection> other(params.begin(), params.begin() + 1);
    set_text(other[0].szKeyName, "FAN1H");
    EXPECT_EQ(find_parameter("FAN1H", other), &other[0]) << "another array is indexed without a change";
    EXPECT_EQ(find_parameter("VOL1H", params), &params[0]);
    EXPECT_EQ(parameters_generation(), generation) << "lookups never count as changes";
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
