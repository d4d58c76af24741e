// First start on simulated hardware: the KV3M core temperatures are named after what
// the monitor chip reports.
#include "hw/i2c_discovery.h"
#include "hw/port_access.h"
#include "hw/port_io.h"
#include "hw/state.h"
#include "profile/generator.h"
#include "profile/loader.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

#include <optional>
#include <string>
#include <vector>

namespace qv::test {
namespace {

TEST_F(HwTest, Kv3mCoreTemperaturesAreNamedAfterRegister5EOfTheW83793G)
{
    // The first item is the W83793G's; names match in any case. Cores become agents on the
    // KV3MGY board's own first start.
    const std::vector<std::string> cores{"CPU1 Core A Temperature", "CPU1 Core B Temperature",
                                         "CPU2 Core A Temperature", "CPU2 Core B Temperature", "System Temperature"};
    const std::vector<std::string> agents{"PECI Agent1 Temperature", "peci agent2 temperature",
                                          "PECI Agent3 Temperature", "PECI Agent4 Temperature", "System Temperature"};
    // Register 0x5E of the chip at 0x2E; std::nullopt: it does not answer, which counts as 0.
    const struct { std::optional<const char*> mode; const std::vector<std::string> &before, &after; } cases[] = {
        {"0x01", agents, cores}, {"0x02", cores, cores}, {std::nullopt, agents, cores}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode.value_or("silent"));
        sim::json chip = {{"address", "0x2E"}, {"answers", c.mode.has_value()}};
        if (c.mode) chip["registers"] = {{"0x5E", *c.mode}};
        boot_board({{"i2c", {{"adapters", sim::json::array({{{"bus", 0}, {"name", "SMBus I801 adapter at 1100"},
                                                             {"slaves", sim::json::array({chip})}}})}}}});
        hw_state().i2c_bus_list = {{"0", "smbus", "SMBus I801 adapter at 1100", "SMBus adapter"}};
        hw_state().SMB_BASE_IO_ADDR = 0x1100;
        ASSERT_EQ(request_iopl(3), 0);
        SystemSection system;
        system.BusType = 0x03;
        std::vector<ItemSection> items(c.before.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            set_text(items[i].Name, c.before[i]);
            items[i].ChipCode = i == 0 ? 0x11 : 0x10;
            items[i].Slave = i == 0 ? 0x2E : 0x2D;
        }
        revise_quorvel_ini_for_KV3M(system, items);
        for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].Name, c.after[i]);
        EXPECT_THAT(trace("smbus"), ::testing::Contains(::testing::StartsWith("i2c-0 0x2E read  0x5E")));
    }
}

}  // namespace
}  // namespace qv::test
