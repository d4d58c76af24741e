// A simulated machine with a BMC, the program's BMC state reset around each test.
#pragma once

#include "ipmi/ipmi.h"
#include "sim/devices/bmc.h"
#include "support/sim_fixture.h"

#include <string>
#include <vector>

namespace qv::test {

class BmcTest : public SimTest {
protected:
    void SetUp() override
    {
        reset_ipmi_state();
        SimTest::SetUp();
    }
    void TearDown() override { reset_ipmi_state(); }

    // A new machine, and the program's BMC state forgotten: tests may start several.
    void start(const sim::json& board)
    {
        reset_ipmi_state();
        boot(board);
    }
    void boot_bmc(const sim::json& bmc) { start({{"bmc", bmc}}); }
    // Boots and detects the BMC, then forgets the detection's requests.
    void detect(const sim::json& bmc)
    {
        boot_bmc(bmc);
        ASSERT_EQ(IpmiInit(), 0);
        this->bmc().clear_log();
    }

    sim::Bmc& bmc() { return *sim::find_bmc(session().machine()); }
    const std::vector<sim::BmcRequest>& requests() { return bmc().requests(); }

    // "device NetFn:Cmd" of each request, in order.
    std::vector<std::string> request_names()
    {
        std::vector<std::string> names;
        for (const sim::BmcRequest& r : requests()) {
            char name[64];
            std::snprintf(name, sizeof name, "%s %02X:%02X", r.device.c_str(), r.netfn, r.cmd);
            names.emplace_back(name);
        }
        return names;
    }
};

}  // namespace qv::test
