// i2c-dev adapter files /dev/i2c-N. Each open binds a slave address (I2C_SLAVE, or
// I2C_SLAVE_FORCE for an address a kernel driver holds) and makes byte-data transfers
// (I2C_SMBUS) to the slaves on its bus: register files with the chips' bank registers.
#include "sim/devices/i2c_adapter.h"

#include "sim/devices/builders.h"
#include "sim/devices/register_file.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>

namespace qv::sim {

namespace {

// A chip on the bus. With a bank register, that register is common to all banks and
// its value, masked, selects the bank every other register is read from.
class Slave {
public:
    explicit Slave(const json& config)
    {
        const std::string chip = config.value("chip", "plain");
        if (chip == "winbond") {
            bank_register_ = 0x00;
            bank_mask_ = 0x07;
        } else if (chip == "nct7904d") {
            bank_register_ = 0xFF;
            bank_mask_ = 0x07;
        } else if (chip != "plain") {
            throw std::runtime_error("i2c slave chip \"" + chip + "\": plain, winbond or nct7904d");
        }
        if (config.contains("bank_register")) bank_register_ = static_cast<int>(to_u32(config.at("bank_register")));
        bank_mask_ = member_u32(config, "bank_mask", bank_mask_);
        bank_select_ = member_u32(config, "bank_select", 0) & 0xFF;
        unset_ = member_u32(config, "unset", 0x00);
        answers_ = config.value("answers", true);
        if (config.contains("silent_after")) silent_after_ = config.at("silent_after").get<uint64_t>();
        busy_ = config.value("busy", false);
        banks_[0] = RegisterFile::from_json(section(config, "registers"), unset_);
        for (const auto& [bank, registers] : section(config, "banks").items())
            banks_[key_u32(bank)] = RegisterFile::from_json(registers, unset_);
    }

    // One transfer: whether the chip takes part in it.
    bool answers()
    {
        if (!silent_after_) return answers_;
        return answers_ && answered_++ < *silent_after_;
    }
    bool busy() const { return busy_; }

    uint8_t read(uint8_t reg, double now)
    {
        if (reg == bank_register_) return static_cast<uint8_t>(bank_select_);
        return static_cast<uint8_t>(bank().read(reg, now));
    }

    void write(uint8_t reg, uint8_t value)
    {
        if (reg == bank_register_) bank_select_ = value;
        else bank().write(reg, value);
    }

private:
    RegisterFile& bank()
    {
        const uint32_t number = bank_register_ < 0 ? 0 : bank_select_ & bank_mask_;
        return banks_.try_emplace(number, RegisterFile::from_json(json(), unset_)).first->second;
    }

    int bank_register_ = -1;
    uint32_t bank_mask_ = 0xFF;
    uint32_t bank_select_ = 0;
    uint32_t unset_ = 0;
    bool answers_ = true;
    std::optional<uint64_t> silent_after_;
    uint64_t answered_ = 0;
    bool busy_ = false;
    std::map<uint32_t, RegisterFile> banks_;
};

struct Bus {
    Machine* machine;
    std::string name;  // "i2c-0", for the trace
    std::map<uint32_t, Slave> slaves;
};

class AdapterFile final : public OpenFile {
public:
    explicit AdapterFile(Bus& bus) : bus_(bus) {}

    int ioctl(unsigned long request, void* arg) override
    {
        switch (request) {
        case I2C_SLAVE:
        case I2C_SLAVE_FORCE: return bind(request == I2C_SLAVE_FORCE, reinterpret_cast<uintptr_t>(arg));
        case I2C_SMBUS: return transfer(*static_cast<i2c_smbus_ioctl_data*>(arg));
        default: return OpenFile::ioctl(request, arg);
        }
    }

private:
    Trace& trace() { return bus_.machine->trace; }

    int bind(bool force, uintptr_t address)
    {
        const char* how = force ? "I2C_SLAVE_FORCE" : "I2C_SLAVE";
        if (address > 0x7F) {
            trace().record(Access::Bind, "%s %s 0x%lX refused: not a 7-bit address", bus_.name.c_str(), how,
                           static_cast<unsigned long>(address));
            errno = EINVAL;
            return -1;
        }
        const auto it = bus_.slaves.find(static_cast<uint32_t>(address));
        if (!force && it != bus_.slaves.end() && it->second.busy()) {
            trace().record(Access::Bind, "%s %s 0x%02lX refused: held by a kernel driver", bus_.name.c_str(), how,
                           static_cast<unsigned long>(address));
            errno = EBUSY;
            return -1;
        }
        slave_ = static_cast<uint32_t>(address);
        trace().record(Access::Bind, "%s %s 0x%02X", bus_.name.c_str(), how, slave_);
        return 0;
    }

    int transfer(i2c_smbus_ioctl_data& request)
    {
        const bool reading = request.read_write == I2C_SMBUS_READ;
        if (request.size != I2C_SMBUS_BYTE_DATA || request.data == nullptr) {
            trace().record(Access::Smbus, "%s 0x%02X transfer size %u refused", bus_.name.c_str(), slave_,
                           request.size);
            errno = EINVAL;
            return -1;
        }
        const auto it = bus_.slaves.find(slave_);
        if (it == bus_.slaves.end() || !it->second.answers()) {
            trace().record(Access::Smbus, "%s 0x%02X %s 0x%02X: no answer", bus_.name.c_str(), slave_,
                           reading ? "read " : "write", request.command);
            errno = ENXIO;
            return -1;
        }
        Slave& slave = it->second;
        if (reading) {
            request.data->byte = slave.read(request.command, bus_.machine->clock.elapsed_s());
            trace().record(Access::Smbus, "%s 0x%02X read  0x%02X -> 0x%02X", bus_.name.c_str(), slave_,
                           request.command, request.data->byte);
        } else {
            slave.write(request.command, request.data->byte);
            trace().record(Access::Smbus, "%s 0x%02X write 0x%02X <- 0x%02X", bus_.name.c_str(), slave_,
                           request.command, request.data->byte);
        }
        return 0;
    }

    Bus& bus_;
    uint32_t slave_ = 0;
};

class AdapterNode final : public DeviceNode {
public:
    explicit AdapterNode(std::shared_ptr<Bus> bus) : bus_(std::move(bus)) {}
    std::unique_ptr<OpenFile> open(int flags) override
    {
        if ((flags & O_ACCMODE) != O_RDWR) {
            errno = EACCES;
            return nullptr;
        }
        return std::make_unique<AdapterFile>(*bus_);
    }

private:
    std::shared_ptr<Bus> bus_;
};

// Device-file placeholders another board left in a kept sandbox.
void remove_stale_nodes(const Sandbox& sandbox)
{
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox.map("/dev"), ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("i2c-") && entry.is_regular_file(ignored) && entry.file_size(ignored) == 0)
            std::filesystem::remove(entry.path(), ignored);
    }
}

}  // namespace

std::vector<I2cAdapterSpec> i2c_adapters_of(const json& board)
{
    std::vector<I2cAdapterSpec> adapters;
    for (const auto& entry : section(section(board, "i2c"), "adapters")) {
        I2cAdapterSpec a;
        a.bus = member_u32(entry, "bus", 0);
        a.name = entry.at("name").get<std::string>();
        a.type = entry.value("type", a.type);
        a.algorithm = entry.value("algorithm", a.algorithm);
        a.name_file = entry.value("name_file", a.name_file);
        a.driver = entry.value("driver", "");
        a.node = entry.value("node", true);
        adapters.push_back(std::move(a));
    }
    return adapters;
}

void build_i2c_adapters(Machine& machine, const json& board)
{
    const json& i2c = section(board, "i2c");
    remove_stale_nodes(machine.sandbox);
    if (!i2c.is_object() || !i2c.value("nodes", true)) return;
    const auto adapters = i2c_adapters_of(board);
    const json& entries = i2c.at("adapters");
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        if (!adapters[i].node) continue;
        auto bus = std::make_shared<Bus>();
        bus->machine = &machine;
        bus->name = "i2c-" + std::to_string(adapters[i].bus);
        for (const auto& slave : section(entries[i], "slaves"))
            bus->slaves.emplace(to_u32(slave.at("address")), Slave(slave));
        const std::string path = "/dev/" + bus->name;
        machine.add_node(path, std::make_shared<AdapterNode>(std::move(bus)));
    }
}

}  // namespace qv::sim
