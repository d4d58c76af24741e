// Parameter lookups by name, and the index that follows announced changes of the array
// it indexes; a profile path that leads nowhere.
#include "app/startup.h"
#include "profile/loader.h"
#include "sensors/parameters.h"
#include "sensors/reading.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

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

// Lookups take the first parameter of a name and the last one's mask, never an unnamed
// record nor a name that only begins alike, and follow announced edits.
TEST(ParameterLookups, FollowTheCounterWithAndWithoutAnIndex)
{
    std::vector<ItemSection> items(1);
    std::vector<ParameterSection> params(4);
    ItemSection& item = items[0];
    ParameterNames names;
    for (ParameterNames* index : {&names, static_cast<ParameterNames*>(nullptr)}) {
        SCOPED_TRACE(index != nullptr ? "indexed" : "scanned");
        const LoadedProfile profile{nullptr, items, params, index};
        set_text(item.ParaIndex1, "vol1h");
        set_text(item.ParaIndex2, "FAN1H");
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
        EXPECT_EQ(get_item_bitmask("FAN1H", params), 0x44);
        EXPECT_EQ(item_parameter(profile, item, "FAN1H"), &params[0]) << "a name from elsewhere";
        EXPECT_EQ(find_parameter("VOL1H", params), &params[1]);
        EXPECT_EQ(parameters_generation(), generation) << "lookups never count as changes";

        set_text(params[2].szKeyName, "");
        set_text(params[3].szKeyName, "SWITCH1A_LONGER");  // cut to the field's width
        set_text(item.ParaIndex1, "SWITCH1A_LONGER");
        set_text(item.ParaIndex2, "");
        parameters_changed();
        EXPECT_EQ(item_parameter(profile, item, item.ParaIndex1), nullptr);
        EXPECT_EQ(item_parameter(profile, item, item.ParaIndex2), nullptr);
        EXPECT_EQ(item_bitmask(profile, item, item.ParaIndex2), 0);
        set_text(params[3].szKeyName, "");
    }
}

// Other kinds of file at the profile's path are run whole by the program; a link to
// nothing is no profile at all, so the first start makes one.
TEST_F(ParameterIndex, ADanglingLinkIsNoProfile)
{
    const fs::path host = session().sandbox().map("/etc/Quorvel.ini");
    fs::create_directories(host.parent_path());
    fs::create_symlink(host.string() + ".gone", host);
    EXPECT_EQ(existFile("/etc/Quorvel.ini"), -1);
    EXPECT_EQ(open_regular_file("/etc/Quorvel.ini"), nullptr);
}

}  // namespace
}  // namespace qv::test
