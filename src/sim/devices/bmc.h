// The simulated BMC: its firmware, which answers the requests, and the log of what it
// received, which tests read. It is reached through the OpenIPMI device and through
// the maker's driver device (bmc_openipmi.cpp, bmc_maker_driver.cpp).
#pragma once

#include "sim/devices/bmc_registers.h"
#include "sim/machine.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qv::sim {

using Bytes = std::vector<uint8_t>;

enum class BmcDriver { OpenIpmi, Maker };

// One request as the BMC received it.
struct BmcRequest {
    std::string device;  // the device file it came through
    BmcDriver driver = BmcDriver::OpenIpmi;
    long msgid = 0;      // OpenIPMI: the message id
    int addr_type = 0;   // OpenIPMI: the address it was sent to
    int channel = 0;
    int slave = 0;       // responder slave address (maker's driver, IPMB)
    int lun = 0;
    uint8_t netfn = 0;
    uint8_t cmd = 0;
    Bytes data;
    Bytes input;               // maker's driver: the whole input buffer handed over
    std::size_t output_length = 0;  // maker's driver: the output buffer's size
};

// Calls of the drivers that fail with a chosen errno before they work normally.
enum class FaultPoint : std::size_t { Send, Select, Receive, Driver, Count_ };

class Bmc {
public:
    Bmc(Machine& machine, const json& section);

    // Logs and traces the request; the response (completion code first), or nothing
    // when the BMC does not answer it.
    std::optional<Bytes> exchange(const BmcRequest& request);

    const std::vector<BmcRequest>& requests() const { return log_; }
    void clear_log() { log_.clear(); }
    Machine& machine() { return machine_; }

    // The errno the next call at this point fails with, or 0.
    int take_fault(FaultPoint point);
    // Makes a later call at this point fail once with error (after those queued before).
    void add_fault(FaultPoint point, int error) { faults_[static_cast<std::size_t>(point)].push_back(error); }
    // Answers again: the next n requests (none: all of them), as silent_after does.
    void answer_again(std::optional<uint64_t> n = std::nullopt)
    {
        silent_after_ = n;
        answered_ = 0;
    }
    // Every answer is preceded by one to another message id.
    bool stray_answers() const { return stray_answers_; }
    // Waits the virtual time a caller gives up after when no answer comes.
    void wait_in_vain(const char* device, uint64_t microseconds);

private:
    void read_oem_values(const json& oem);
    Bytes answer(const BmcRequest& request);
    // The firmware's own answer to a command (bmc_commands.cpp).
    Bytes respond(uint8_t netfn, uint8_t cmd, const Bytes& data);
    std::optional<Bytes> chosen_answer(const BmcRequest& request) const;
    // The chip behind a Master Write-Read bus id and 8-bit slave address.
    ChipRegisters* chip(uint8_t bus_id, uint8_t slave8);
    // The chip of a banked OEM access: private bus 2 first, then bus 3.
    ChipRegisters* banked_chip(uint8_t slave8);
    double now() const;
    void trace(const BmcRequest& request, const std::optional<Bytes>& response);

    Bytes get_device_id(const Bytes& data);
    Bytes get_system_guid(const Bytes& data);
    Bytes master_write_read(const Bytes& data);
    Bytes word_read_23(const Bytes& data);
    Bytes value_0f(const Bytes& data);
    Bytes value_70(const Bytes& data);
    Bytes isa_proxy(const Bytes& data);
    Bytes block_92(const Bytes& data);
    Bytes banked_read(const Bytes& data);
    Bytes banked_write(const Bytes& data);
    Bytes query_93(const Bytes& data);
    Bytes query_95(const Bytes& data);

    Machine& machine_;
    Bytes device_id_;
    Bytes guid_;
    std::optional<uint8_t> maker_device_id_cc_;
    std::optional<uint8_t> completion_code_;
    std::map<uint16_t, uint8_t> completion_codes_;
    std::map<uint16_t, Bytes> responses_;
    std::optional<uint64_t> silent_after_;
    uint64_t answered_ = 0;
    bool stray_answers_ = false;
    std::array<std::deque<int>, static_cast<std::size_t>(FaultPoint::Count_)> faults_;
    std::map<uint8_t, ChipsBySlave> buses_;
    ChipRegisters isa_;
    std::optional<Register> value_0f_;
    std::map<uint8_t, Register> values_70_;
    std::map<int, std::vector<Register>> blocks_92_;  // by slave; -1: the request without data
    std::map<uint8_t, Register> values_93_;
    std::optional<Register> value_95_;
    std::vector<BmcRequest> log_;
};

// The "bmc" section: the BMC and its device files.
void build_bmc(Machine& machine, const json& board);

// The machine's BMC, or nullptr when the board has none.
Bmc* find_bmc(Machine& machine);

// Device files that reach a BMC.
class BmcNode : public DeviceNode {
public:
    explicit BmcNode(std::shared_ptr<Bmc> bmc) : bmc_(std::move(bmc)) {}
    Bmc& bmc() { return *bmc_; }

protected:
    std::shared_ptr<Bmc> bmc_;
};

std::shared_ptr<BmcNode> make_openipmi_node(std::shared_ptr<Bmc> bmc, const std::string& path);
std::shared_ptr<BmcNode> make_maker_driver_node(std::shared_ptr<Bmc> bmc);

}  // namespace qv::sim
