// The availability pass: which items are turned off and why, and the rewrite of the
// MONITOR entries through the backup, also on a full or read-only /etc.
#include "profile/availability.h"
#include "profile/records.h"
#include "support/sim_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace qv::test {
namespace {

struct Probe {
    int code = 0;
    int32_t value = 0;
    int normal = 1;
};

struct Row {
    const char* name;
    int32_t cat;
    int32_t chip;
    int32_t monitor;
};

// A profile of rows; each item reads what probes says for its name.
class Deciding : public ::testing::Test {
protected:
    void build(const std::vector<Row>& rows)
    {
        items.assign(rows.size(), ItemSection{});
        displays.assign(rows.size(), ItemDisplay{});
        for (std::size_t i = 0; i < rows.size(); ++i) {
            set_text(items[i].Name, rows[i].name);
            items[i].Cat = rows[i].cat;
            items[i].ChipCode = rows[i].chip;
            items[i].Monitor = rows[i].monitor;
            set_text(displays[i].name, rows[i].name);
            displays[i].monitor = rows[i].monitor;
        }
        profile = LoadedProfile{&system, items, params};
    }
    int run()
    {
        const ItemProbe probe{
            [this](ItemSection& item, int32_t* value) {
                read_names += std::string(item.Name) + ";";
                const Probe p = probes[item.Name];
                if (p.code == 0) *value = p.value;
                return p.code;
            },
            [this](const ItemDisplay& d) { return probes[d.name].normal; },
        };
        testing::internal::CaptureStdout();
        const int hidden = hide_missing_items(displays, profile, probe);
        out = testing::internal::GetCapturedStdout();
        return hidden;
    }

    SystemSection system;
    std::vector<ItemSection> items;
    std::vector<ParameterSection> params;
    std::vector<ItemDisplay> displays;
    LoadedProfile profile;
    std::map<std::string, Probe> probes;
    std::string read_names;
    std::string out;
};

TEST_F(Deciding, EachReasonWithItsMessageInTableOrder)
{
    build({{"CPU Fan", FAN, 0x16, 1},
           {"System Fan", FAN, 0x16, 1},
           {"Vcore", VOLTAGE, 0x16, 1},
           {"+12V", VOLTAGE, 0x16, 1},
           {"Board Temperature", TEMP, 0x16, 1},
           {"Chassis Intrusion", SWITCH, 0x1B, 1},
           {"Power Failure", SWITCH, 0x16, 1},
           {"Disk", DRIVE, 0x16, 1},
           {"Spare Fan", FAN, 0x16, 0}});
    probes["CPU Fan"] = {-1, 0, 0};
    probes["System Fan"] = {0, 0, 0};     // not normal and 0: no fan on the header
    probes["Vcore"] = {0, 1200, 1};
    probes["+12V"] = {0, 0, 1};           // normal (limits of 0) and 0 is kept
    probes["Board Temperature"] = {0, 0, 1};
    probes["Power Failure"] = {-1, 0, 0}; // switches other than the placeholder stay
    probes["Disk"] = {-1, 0, 0};
    EXPECT_EQ(run(), 4);
    EXPECT_EQ(out,
              ">> Disable monitoring of non-available item: CPU Fan\n"
              ">> Disable monitoring of non-activated item: System Fan\n"
              ">> Disable monitoring of non-activated item: Board Temperature\n"
              ">> Disable monitoring of non-supported item: Chassis Intrusion\n");
    const std::vector<int32_t> monitor{0, 0, 1, 1, 0, 0, 1, 1, 0};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].Monitor, monitor[i]) << items[i].Name;
        EXPECT_EQ(displays[i].monitor, monitor[i]) << items[i].Name;
    }
    EXPECT_EQ(read_names, "CPU Fan;System Fan;Vcore;+12V;Board Temperature;Power Failure;Disk;")
        << "the placeholder switch and unmonitored items are never read";
    EXPECT_EQ(displays[2].reading, 1200);
}

TEST_F(Deciding, CpuTemperatureFollowsAPartnerVoltageTurnedOffBeforeIt)
{
    build({{"CPU2 Core Voltage", VOLTAGE, 0x16, 1},
           {"CPU2 Temperature", TEMP, 0x16, 1},
           {"cpu1 temperature", TEMP, 0x16, 1},
           {"CPU1 Core Voltage", VOLTAGE, 0x16, 1},
           {"CPU3 Temperature", TEMP, 0x16, 1},
           {"CPU Temperature", TEMP, 0x16, 1},
           {"CPU Core Voltage", VOLTAGE, 0x16, 0}});
    probes["CPU2 Core Voltage"] = {-1, 0, 0};
    probes["CPU2 Temperature"] = {0, 35, 1};
    probes["cpu1 temperature"] = {0, 36, 1};
    probes["CPU1 Core Voltage"] = {-1, 0, 0};
    probes["CPU3 Temperature"] = {0, 37, 1};
    probes["CPU Temperature"] = {0, 38, 1};
    EXPECT_EQ(run(), 4);
    EXPECT_EQ(out,
              ">> Disable monitoring of non-available item: CPU2 Core Voltage\n"
              ">> Disable monitoring of non-activated item: CPU2 Temperature\n"
              ">> Disable monitoring of non-available item: CPU1 Core Voltage\n"
              ">> Disable monitoring of non-activated item: CPU Temperature\n")
        << "a partner decided later does not count; a missing partner keeps the temperature";
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

const std::string kProfile =
    "[SYSTEM]\nBUSTYPE=02\nMONITOR=TRUE\n"
    "[Item]\nITEM_NAME=A\nmonitor=TRUE\n\n"
    "[Item]\nITEM_NAME=B (no MONITOR entry)\n"
    "[Item]\nITEM_NAME=C\nMONITOR=bogus\n"
    "[Item]\nITEM_NAME=D\nMonitor=FALSE\n"
    "[Parameter]\nPARAMETER=VOL1H\nMONITOR=TRUE\n";

TEST_F(Rewrite, EveryMonitorEntryOfTheItemBlocksTakesTheTablesFlag)
{
    write("/etc/Quorvel.ini", kProfile);
    ASSERT_EQ(rewrite(flags({0, 1, 1, 0})), 0) << err;
    EXPECT_EQ(read("/etc/Quorvel.ini"),
              "[SYSTEM]\nBUSTYPE=02\nMONITOR=TRUE\n"
              "[Item]\nITEM_NAME=A\nmonitor=FALSE\n\n"
              "[Item]\nITEM_NAME=B (no MONITOR entry)\n"
              "[Item]\nITEM_NAME=C\nMONITOR=TRUE\n"
              "[Item]\nITEM_NAME=D\nMonitor=FALSE\n"
              "[Parameter]\nPARAMETER=VOL1H\nMONITOR=TRUE\n");
    EXPECT_EQ(read("/etc/Quorvel.ini.old"), kProfile);
    EXPECT_FALSE(exists("/etc/Quorvel.ini.new"));
}

TEST_F(Rewrite, AReadOnlyOrFullEtcEndsWithStatus2AndKeepsBothFilesAsTheyWere)
{
    const struct {
        const char* board;
        std::string message;
    } cases[] = {{R"({"filesystem": {"read_only": ["/etc"]}})", "Error: cannot open /etc/Quorvel.ini\n"},
                 {R"({"filesystem": {"free_bytes": 40}})", "Error: cannot close /etc/Quorvel.ini\n"}};
    for (const auto& c : cases) {
        boot(sim::json::parse(c.board));
        write("/etc/Quorvel.ini", kProfile);
        write("/etc/Quorvel.ini.old", "an older backup\n");
        EXPECT_EQ(rewrite(flags({0, 0, 0, 0})), 2);
        EXPECT_EQ(err, c.message);
        EXPECT_EQ(read("/etc/Quorvel.ini"), kProfile);
        EXPECT_EQ(read("/etc/Quorvel.ini.old"), "an older backup\n");
        EXPECT_FALSE(exists("/etc/Quorvel.ini.new"));
    }
}

TEST_F(Rewrite, MissingProfileIsNamed)
{
    EXPECT_EQ(rewrite(flags({0})), 2);
    EXPECT_EQ(err, "Error: cannot open /etc/Quorvel.ini\n");
}

}  // namespace
}  // namespace qv::test
