// The availability pass: which items are turned off and why, and a rewrite of the
// MONITOR entries that cannot finish.
#include "profile/availability.h"
#include "profile/records.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qv::test {
namespace {

// An item of the profile, what reading it gives, and its flag after the pass.
struct Row {
    const char* name;
    int32_t cat, chip, monitor;
    int code;  // of the read, then its value and whether it is normal
    int32_t value;
    int normal;
    int32_t kept;
};

class Deciding : public ::testing::Test {
protected:
    // Runs the pass and checks each item's flag in both records; gives what it printed.
    std::string decide(const std::vector<Row>& rows, int hidden)
    {
        SystemSection system;
        std::vector<ItemSection> items(rows.size());
        std::vector<ParameterSection> params;
        displays.assign(rows.size(), ItemDisplay{});
        for (std::size_t i = 0; i < rows.size(); ++i) {
            set_text(items[i].Name, rows[i].name);
            set_text(displays[i].name, rows[i].name);
            items[i].Cat = rows[i].cat;
            items[i].ChipCode = rows[i].chip;
            items[i].Monitor = displays[i].monitor = rows[i].monitor;
        }
        const auto row = [&](const char* name) -> const Row& {
            return *std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return std::string(r.name) == name; });
        };
        const ItemProbe probe{
            [&](ItemSection& item, int32_t* value) {
                read_names += std::string(item.Name) + ";";
                if (row(item.Name).code == 0) *value = row(item.Name).value;
                return row(item.Name).code;
            },
            [&](const ItemDisplay& d) { return row(d.name).normal; },
        };
        testing::internal::CaptureStdout();
        const int result = hide_missing_items(displays, LoadedProfile{&system, items, params}, probe);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(result, hidden);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(items[i].Monitor, rows[i].kept) << rows[i].name;
            EXPECT_EQ(displays[i].monitor, rows[i].kept) << rows[i].name;
        }
        return out;
    }

    std::vector<ItemDisplay> displays;
    std::string read_names;
};

TEST_F(Deciding, EachReasonWithItsMessageInTableOrder)
{
    const std::string out = decide({{"CPU Fan", FAN, 0x16, 1, -1, 0, 0, 0},
                                    {"System Fan", FAN, 0x16, 1, 0, 0, 0, 0},  // not normal and 0: no fan on the header
                                    {"Vcore", VOLTAGE, 0x16, 1, 0, 1200, 1, 1},
                                    {"+12V", VOLTAGE, 0x16, 1, 0, 0, 1, 1},  // normal (limits of 0) and 0 is kept
                                    {"Board Temperature", TEMP, 0x16, 1, 0, 0, 1, 0},
                                    {"Chassis Intrusion", SWITCH, 0x1B, 1, 0, 0, 1, 0},
                                    // Switches other than the placeholder stay.
                                    {"Power Failure", SWITCH, 0x16, 1, -1, 0, 0, 1},
                                    {"Disk", DRIVE, 0x16, 1, -1, 0, 0, 1},
                                    {"Spare Fan", FAN, 0x16, 0, 0, 0, 1, 0}},
                                   4);
    EXPECT_EQ(out,
              ">> Disable monitoring of non-available item: CPU Fan\n"
              ">> Disable monitoring of non-activated item: System Fan\n"
              ">> Disable monitoring of non-activated item: Board Temperature\n"
              ">> Disable monitoring of non-supported item: Chassis Intrusion\n");
    EXPECT_EQ(read_names, "CPU Fan;System Fan;Vcore;+12V;Board Temperature;Power Failure;Disk;")
        << "the placeholder switch and unmonitored items are never read";
    EXPECT_EQ(displays[2].reading, 1200);
}

// A partner decided later does not count; a missing partner keeps the temperature.
TEST_F(Deciding, CpuTemperatureFollowsAPartnerVoltageTurnedOffBeforeIt)
{
    EXPECT_EQ(decide({{"CPU2 Core Voltage", VOLTAGE, 0x16, 1, -1, 0, 0, 0},
                      {"CPU2 Temperature", TEMP, 0x16, 1, 0, 35, 1, 0},
                      {"cpu1 temperature", TEMP, 0x16, 1, 0, 36, 1, 1},
                      {"CPU1 Core Voltage", VOLTAGE, 0x16, 1, -1, 0, 0, 0},
                      {"CPU3 Temperature", TEMP, 0x16, 1, 0, 37, 1, 1},
                      {"CPU Temperature", TEMP, 0x16, 1, 0, 38, 1, 0},
                      {"CPU Core Voltage", VOLTAGE, 0x16, 0, 0, 0, 1, 0}},
                     4),
              ">> Disable monitoring of non-available item: CPU2 Core Voltage\n"
              ">> Disable monitoring of non-activated item: CPU2 Temperature\n"
              ">> Disable monitoring of non-available item: CPU1 Core Voltage\n"
              ">> Disable monitoring of non-activated item: CPU Temperature\n");
}

class Rewrite : public SimTest {
protected:
    std::vector<ItemDisplay> flags(std::initializer_list<int> monitor)
    {
        std::vector<ItemDisplay> d;
        for (int m : monitor) d.push_back(ItemDisplay{.monitor = m});
        return d;
    }
    int rewrite(const std::vector<ItemDisplay>& d)
    {
        testing::internal::CaptureStderr();
        const int status = rewrite_monitor_entries(d);
        err = testing::internal::GetCapturedStderr();
        return status;
    }
    bool exists(const std::string& path) { return session().sandbox().exists(path); }
    std::string err;
};

const std::string kProfile = "[SYSTEM]\nBUSTYPE=02\n[Item]\nITEM_NAME=A\nMONITOR=TRUE\n[Item]\nITEM_NAME=B\nMONITOR=TRUE\n";

TEST_F(Rewrite, AMissingProfileOrAReadOnlyOrFullEtcEndsWithStatus2AndKeepsBothFilesAsTheyWere)
{
    const struct {
        sim::json filesystem;
        std::string profile, message;
    } cases[] = {{sim::json::object(), "", "Error: cannot open /etc/Quorvel.ini\n"},
                 {{{"read_only", {"/etc"}}}, kProfile, "Error: cannot open /etc/Quorvel.ini\n"},
                 {{{"free_bytes", 40}}, kProfile, "Error: cannot close /etc/Quorvel.ini\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filesystem.dump());
        boot({{"filesystem", c.filesystem}});
        if (!c.profile.empty()) write("/etc/Quorvel.ini", c.profile);
        write("/etc/Quorvel.ini.old", "an older backup\n");
        EXPECT_EQ(rewrite(flags({0, 0})), 2);
        EXPECT_EQ(err, c.message);
        EXPECT_EQ(read("/etc/Quorvel.ini"), c.profile);
        EXPECT_EQ(read("/etc/Quorvel.ini.old"), "an older backup\n");
        EXPECT_FALSE(exists("/etc/Quorvel.ini.new"));
    }
}

}  // namespace
}  // namespace qv::test
