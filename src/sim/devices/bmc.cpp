// The simulated BMC as a part of the machine: what the board says about it, the
// request log, the trace, the faults a board injects, and its device files.
#include "sim/devices/bmc.h"

#include <linux/ioctl.h>
#include <linux/ipmi.h>

#include <cerrno>
#include <stdexcept>

namespace qv::sim {

namespace {

constexpr uint8_t kCcTimeout = 0xC3;  // the kernel's answer when nobody on IPMB responds

// Get Device ID: device 0x20, revision 1, firmware 1.00, IPMI 2.0, all device support.
const Bytes kDeviceId{0x20, 0x01, 0x01, 0x00, 0x02, 0xBF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// A GUID that each kind of firmware answers with; "none" matches no kind.
const std::map<std::string, Bytes, std::less<>>& kind_guids()
{
    static const std::map<std::string, Bytes, std::less<>> guids{
        {"peppercon", {0x02, 0x00, 0x00, 0xFF, 0xFE, 0x00, 0x00, 0x00, 0x4B, 0x1D, 0x20, 0x07, 0x00, 0x00, 0x00, 0x01}},
        {"ob_winbond", {0x35, 0x30, 0x30, 0x31, 0x57, 0x54, 0x4D, 0x43, 0x00, 0x30, 0x48, 0x8F, 0x21, 0x43, 0x65, 0x87}},
        {"ao_winbond", {0x34, 0x30, 0x30, 0x31, 0x57, 0x54, 0x4D, 0x43, 0x00, 0x30, 0x48, 0x8F, 0x21, 0x43, 0x65, 0x87}},
        {"ob_winbond_aten", {0x37, 0x30, 0x30, 0x31, 0x57, 0x54, 0x4D, 0x43, 0x00, 0x30, 0x48, 0x8F, 0x21, 0x43, 0x65, 0x87}},
        {"renesas_ami", {0x39, 0x30, 0x30, 0x31, 0x57, 0x54, 0x4D, 0x43, 0x00, 0x30, 0x48, 0x8F, 0x21, 0x43, 0x65, 0x87}},
        {"renesas_aten", {0x61, 0x30, 0x30, 0x31, 0x57, 0x54, 0x4D, 0x43, 0x00, 0x30, 0x48, 0x8F, 0x21, 0x43, 0x65, 0x87}},
        {"none", {0x7C, 0x1E, 0x52, 0xA0, 0x3B, 0x44, 0x11, 0xE0, 0x9F, 0x02, 0x00, 0x25, 0x90, 0x1A, 0xC4, 0x3E}},
    };
    return guids;
}

const std::map<std::string, int, std::less<>>& errno_names()
{
    static const std::map<std::string, int, std::less<>> names{
        {"EINTR", EINTR}, {"EAGAIN", EAGAIN}, {"EIO", EIO}, {"EBUSY", EBUSY}, {"ETIMEDOUT", ETIMEDOUT}, {"ENXIO", ENXIO},
    };
    return names;
}

int errno_from(const json& value)
{
    if (!value.is_string()) return static_cast<int>(to_u32(value));
    const auto it = errno_names().find(value.get<std::string>());
    if (it == errno_names().end()) throw std::runtime_error("bmc: unknown errno " + value.dump());
    return it->second;
}

uint8_t byte_from(const json& value) { return static_cast<uint8_t>(to_u32(value)); }

Bytes bytes_from(const json& list)
{
    if (!list.is_array()) throw std::runtime_error("bmc: a list of bytes was expected, not " + list.dump());
    Bytes bytes;
    for (const auto& b : list) bytes.push_back(byte_from(b));
    return bytes;
}

// "0x30:0x90": NetFn and Cmd.
uint16_t command_key(const std::string& text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos) throw std::runtime_error("bmc: a command is \"NetFn:Cmd\", not \"" + text + "\"");
    return static_cast<uint16_t>(byte_from(json(text.substr(0, colon))) << 8 | byte_from(json(text.substr(colon + 1))));
}

std::map<uint8_t, Register> registers_by_key(const json& values)
{
    std::map<uint8_t, Register> result;
    for (const auto& [key, value] : values.items()) result[byte_from(json(key))] = Register::from_json(value);
    return result;
}

Bytes guid_from(const json& bmc)
{
    if (bmc.contains("guid")) {
        Bytes guid = bytes_from(bmc.at("guid"));
        if (guid.size() > 16) throw std::runtime_error("bmc: a GUID has at most 16 bytes");
        return guid;
    }
    const std::string kind = bmc.value("kind", "none");
    const auto it = kind_guids().find(kind);
    if (it == kind_guids().end()) throw std::runtime_error("bmc: unknown kind \"" + kind + "\"");
    return it->second;
}

}  // namespace

Bmc::Bmc(Machine& machine, const json& bmc)
    : machine_(machine), device_id_(kDeviceId), guid_(guid_from(bmc)), isa_(ChipRegisters::from_banks(json::object()))
{
    if (bmc.contains("device_id")) device_id_ = bytes_from(bmc.at("device_id"));
    if (const json& maker = section(bmc, "maker_driver"); maker.is_object() && maker.contains("device_id_cc"))
        maker_device_id_cc_ = byte_from(maker.at("device_id_cc"));
    if (bmc.contains("completion_code")) completion_code_ = byte_from(bmc.at("completion_code"));
    for (const auto& [key, code] : section(bmc, "completion_codes").items()) completion_codes_[command_key(key)] = byte_from(code);
    for (const auto& [key, bytes] : section(bmc, "responses").items()) responses_[command_key(key)] = bytes_from(bytes);
    if (bmc.contains("silent_after")) silent_after_ = bmc.at("silent_after").get<uint64_t>();
    stray_answers_ = bmc.value("stray_answers", false);
    static constexpr const char* kFaultPoints[] = {"send", "select", "receive", "driver"};
    for (std::size_t i = 0; i < faults_.size(); ++i)
        for (const auto& error : section(section(bmc, "faults"), kFaultPoints[i])) faults_[i].push_back(errno_from(error));
    for (const auto& [bus, chips] : section(bmc, "buses").items())
        for (const auto& [slave, chip] : chips.items())
            buses_[byte_from(json(bus))][byte_from(json(slave))] = ChipRegisters::from_json(chip);
    if (bmc.contains("isa")) isa_ = ChipRegisters::from_banks(bmc.at("isa"));
    read_oem_values(section(bmc, "oem"));
}

void Bmc::read_oem_values(const json& oem)
{
    for (const auto& [key, value] : oem.items()) {
        switch (byte_from(json(key))) {
        case 0x0F: value_0f_ = Register::from_json(value); break;
        case 0x70: values_70_ = registers_by_key(value); break;
        case 0x93: values_93_ = registers_by_key(value); break;
        case 0x95: value_95_ = Register::from_json(value); break;
        case 0x92:
            for (const auto& [slave, block] : value.items()) {
                auto& registers = blocks_92_[slave == "none" ? -1 : byte_from(json(slave))];
                for (const auto& b : block) registers.push_back(Register::from_json(b));
            }
            break;
        default: throw std::runtime_error("bmc: no OEM command " + key + " to give values for");
        }
    }
}

std::optional<Bytes> Bmc::exchange(const BmcRequest& request)
{
    log_.push_back(request);
    std::optional<Bytes> response;
    if (!silent_after_ || answered_ < *silent_after_) {
        response = answer(request);
        ++answered_;
    }
    trace(request, response);
    return response;
}

Bytes Bmc::answer(const BmcRequest& request)
{
    if (request.driver == BmcDriver::OpenIpmi && request.addr_type != IPMI_SYSTEM_INTERFACE_ADDR_TYPE)
        return {kCcTimeout};
    if (auto chosen = chosen_answer(request)) return *chosen;
    return respond(request.netfn, request.cmd, request.data);
}

std::optional<Bytes> Bmc::chosen_answer(const BmcRequest& request) const
{
    const uint16_t key = static_cast<uint16_t>(request.netfn << 8 | request.cmd);
    if (const auto it = responses_.find(key); it != responses_.end()) return it->second;
    if (const auto it = completion_codes_.find(key); it != completion_codes_.end()) return Bytes{it->second};
    if (request.driver == BmcDriver::Maker && key == 0x0601 && maker_device_id_cc_) return Bytes{*maker_device_id_cc_};
    if (completion_code_) return Bytes{*completion_code_};
    return std::nullopt;
}

int Bmc::take_fault(FaultPoint point)
{
    auto& queue = faults_[static_cast<std::size_t>(point)];
    if (queue.empty()) return 0;
    const int error = queue.front();
    queue.pop_front();
    return error;
}

void Bmc::wait_in_vain(const char* device, uint64_t microseconds)
{
    machine_.trace.record(Access::Sleep, "%s: no answer, waited %.3f s", device,
                          static_cast<double>(microseconds) / 1e6);
    machine_.clock.sleep_us(microseconds);
}

double Bmc::now() const { return machine_.clock.elapsed_s(); }

void Bmc::trace(const BmcRequest& request, const std::optional<Bytes>& response)
{
    std::string line = request.device;
    char piece[32];
    if (request.driver == BmcDriver::OpenIpmi) {
        std::snprintf(piece, sizeof piece, " msgid %ld", request.msgid);
        line += piece;
    }
    std::snprintf(piece, sizeof piece, " netfn 0x%02X cmd 0x%02X data", request.netfn, request.cmd);
    line += piece;
    for (uint8_t b : request.data) {
        std::snprintf(piece, sizeof piece, " %02X", b);
        line += piece;
    }
    line += " ->";
    if (!response) line += " no answer";
    for (uint8_t b : response.value_or(Bytes{})) {
        std::snprintf(piece, sizeof piece, " %02X", b);
        line += piece;
    }
    machine_.trace.record(Access::Ipmi, "%s", line.c_str());
}

void build_bmc(Machine& machine, const json& board)
{
    const json& section_json = section(board, "bmc");
    if (section_json.is_null()) return;
    if (!section_json.is_object()) throw std::runtime_error("bmc: the section is an object");
    auto bmc = std::make_shared<Bmc>(machine, section_json);
    const json& openipmi = section(section_json, "openipmi");
    for (const auto& path : openipmi.is_array() ? openipmi : json::array({openipmi}))
        if (!path.is_null()) machine.add_node(path.get<std::string>(), make_openipmi_node(bmc, path.get<std::string>()));
    const json& maker = section(section_json, "maker_driver");
    if (maker.is_object() || (maker.is_boolean() && maker.get<bool>()))
        machine.add_node("/dev/tmbmc", make_maker_driver_node(bmc));
}

Bmc* find_bmc(Machine& machine)
{
    for (const char* path : {"/dev/tmbmc", "/dev/ipmidev/0", "/dev/ipmi/0", "/dev/ipmi0"})
        if (auto* node = dynamic_cast<BmcNode*>(machine.node(path))) return &node->bmc();
    return nullptr;
}

}  // namespace qv::sim
