// The BMC command family: chip and port register access carried by the BMC. Each
// member is one row of the table below (what it sends, what it takes back) and one
// OpenIPMI exchange.
#include "ipmi/ipmi.h"
#include "ipmi/link.h"
#include "ipmi/openipmi.h"

#include <array>

namespace qv {

namespace {

// Where a request byte comes from.
enum class From : uint8_t { Literal, Slave8, SlaveHigh, SlaveLow, Bank, Register, Value };

struct DataByte {
    From from;
    uint8_t literal = 0;
};

// What a member takes from the response; R[0] is the completion code.
enum class Take : uint8_t {
    Nothing,         // writes: the completion code alone decides
    Byte,            // R[1]
    Word,            // R[1] * 256 + R[2]
    ByteAtRegister,  // R[1 + register]: the register indexes a block the BMC returns
};

struct Command {
    uint8_t netfn;
    uint8_t cmd;
    Take take;
    std::array<DataByte, 5> data;
    uint8_t data_len;
};

template <typename... Bytes>
constexpr Command command(uint8_t netfn, uint8_t cmd, Take take, Bytes... bytes)
{
    static_assert(sizeof...(Bytes) <= 5);
    return {netfn, cmd, take, {bytes...}, sizeof...(Bytes)};
}

constexpr DataByte lit(uint8_t value) { return {From::Literal, value}; }
constexpr DataByte kSlave8{From::Slave8};  // 8-bit form of the 7-bit slave address
constexpr DataByte kSlaveHigh{From::SlaveHigh};
constexpr DataByte kSlaveLow{From::SlaveLow};
constexpr DataByte kBank{From::Bank};
constexpr DataByte kReg{From::Register};
constexpr DataByte kValue{From::Value};

// Master Write-Read data: bus id (0x05 private bus 2, 0x07 private bus 3), slave,
// bytes to read, then the bytes written. 0x2C: operation (1 byte, 2 word, 0 write).
// 0x90: the last byte is the number of bytes to read.
constexpr uint8_t kBus2 = 0x05;
constexpr uint8_t kBus3 = 0x07;
constexpr Command kByteRead2_06_52_05 = command(0x06, 0x52, Take::Byte, lit(kBus2), kSlave8, lit(1), kReg);
constexpr Command kByteWrite2_06_52_05 = command(0x06, 0x52, Take::Nothing, lit(kBus2), kSlave8, lit(0), kReg, kValue);
constexpr Command kByteReadBus3 = command(0x06, 0x52, Take::Byte, lit(kBus3), kSlave8, lit(1), kReg);
constexpr Command kByteWriteBus3 = command(0x06, 0x52, Take::Nothing, lit(kBus3), kSlave8, lit(0), kReg, kValue);
constexpr Command kPepperconRead = command(0x30, 0x22, Take::Byte, lit(kBus2), kSlave8, lit(1), kReg);
constexpr Command kPepperconWrite = command(0x30, 0x22, Take::Nothing, lit(kBus2), kSlave8, lit(0), kReg, kValue);
constexpr Command kWordRead_30_23 = command(0x30, 0x23, Take::Word, lit(kBus2), kSlave8, lit(1), kReg);
constexpr Command kByteRead_30_0F = command(0x30, 0x0F, Take::Byte);
constexpr Command kByteRead_30_70 = command(0x30, 0x70, Take::Byte, lit(kBus2), kReg);
constexpr Command kIsaByteRead = command(0x30, 0x2C, Take::Byte, lit(1), kBank, kReg);
constexpr Command kIsaWordRead = command(0x30, 0x2C, Take::Word, lit(2), kBank, kReg);
constexpr Command kIsaByteWrite = command(0x30, 0x2C, Take::Nothing, lit(0), kBank, kReg, kValue);
constexpr Command kBlockRead_30_92 = command(0x30, 0x92, Take::ByteAtRegister, kSlaveHigh, kSlaveLow);
constexpr Command kPwsFailure_30_92 = command(0x30, 0x92, Take::Byte);
constexpr Command kBankedByteRead = command(0x30, 0x90, Take::Byte, kSlave8, kBank, kReg, lit(1));
constexpr Command kBankedWordRead = command(0x30, 0x90, Take::Word, kSlave8, kBank, kReg, lit(2));
constexpr Command kBankedByteWrite = command(0x30, 0x91, Take::Nothing, kSlave8, kBank, kReg, kValue);
constexpr Command kQuery_30_93 = command(0x30, 0x93, Take::Byte, kReg);  // the index travels as the register
constexpr Command kQuery_30_95 = command(0x30, 0x95, Take::Byte);

constexpr int kTransportFailed = -1;
constexpr int kCompletionCodeSet = 255;

struct Args {
    uint8_t slave = 0;
    uint8_t bank = 0;
    uint8_t reg = 0;
    uint8_t value = 0;
};

uint8_t request_byte(DataByte byte, const Args& args)
{
    switch (byte.from) {
    case From::Literal: return byte.literal;
    case From::Slave8: return static_cast<uint8_t>(args.slave << 1);
    case From::SlaveHigh: return static_cast<uint8_t>((args.slave & 0xF0) >> 4);
    case From::SlaveLow: return static_cast<uint8_t>(args.slave & 0x0F);
    case From::Bank: return args.bank;
    case From::Register: return args.reg;
    case From::Value: return args.value;
    }
    return 0;
}

// Response bytes the member needs, completion code included.
std::size_t needed(Take take, const Args& args)
{
    switch (take) {
    case Take::Nothing: return 1;
    case Take::Byte: return 2;
    case Take::Word: return 3;
    case Take::ByteAtRegister: return 2u + args.reg;
    }
    return 1;
}

uint32_t taken(Take take, const Args& args)
{
    switch (take) {
    case Take::Nothing: return 0;
    case Take::Byte: return ipmi_state().recv_data[1];
    case Take::Word: return ipmi_state().recv_data[1] * 256u + ipmi_state().recv_data[2];
    case Take::ByteAtRegister: return ipmi_state().recv_data[1 + args.reg];
    }
    return 0;
}

int run(const Command& command, const Args& args, uint32_t* value)
{
    for (std::size_t i = 0; i < command.data_len; ++i) ipmi_state().req_data[i] = request_byte(command.data[i], args);
    std::size_t received = 0;
    if (ipmi_exchange(command.netfn, command.cmd, command.data_len, received) != 0) return kTransportFailed;
    if (received >= 1 && ipmi_state().recv_data[0] != 0) return kCompletionCodeSet;
    const std::size_t need = needed(command.take, args);
    if (received < need) {
        ipmi_link::report_short_answer(command.netfn, command.cmd, received, need);
        return kTransportFailed;
    }
    if (value != nullptr && command.take != Take::Nothing) *value = taken(command.take, args);
    return 0;
}

int read(const Command& command, uint8_t slave, uint8_t reg, uint32_t* value)
{
    return run(command, {.slave = slave, .reg = reg}, value);
}

int write(const Command& command, uint8_t slave, uint8_t reg, uint8_t value)
{
    return run(command, {.slave = slave, .reg = reg, .value = value}, nullptr);
}

}  // namespace

int IpmiByteRead2_06_52_05(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kByteRead2_06_52_05, slave, reg, value);
}

int IpmiByteWrite2_06_52_05(uint8_t slave, uint8_t reg, uint8_t value)
{
    return write(kByteWrite2_06_52_05, slave, reg, value);
}

int IpmiByteRead_OBWinbond_id3_06_52_07(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kByteReadBus3, slave, reg, value);
}

int IpmiByteWrite_OBWinbond_id3_06_52_07(uint8_t slave, uint8_t reg, uint8_t value)
{
    return write(kByteWriteBus3, slave, reg, value);
}

int IpmiByteRead_Peppercon_oem_30_22_05(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kPepperconRead, slave, reg, value);
}

int IpmiByteWrite_Peppercon_oem_30_22_05(uint8_t slave, uint8_t reg, uint8_t value)
{
    return write(kPepperconWrite, slave, reg, value);
}

int IpmiWordRead_oem_30_23(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kWordRead_30_23, slave, reg, value);
}

int IpmiByteRead2_oem_30_0F(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kByteRead_30_0F, slave, reg, value);
}

int IpmiByteRead2_oem_30_70(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kByteRead_30_70, slave, reg, value);
}

int IpmiByteRead_ISA_30_2C(uint8_t bank, uint8_t reg, uint32_t* value)
{
    return run(kIsaByteRead, {.bank = bank, .reg = reg}, value);
}

int IpmiWordRead_ISA_30_2C(uint8_t bank, uint8_t reg, uint32_t* value)
{
    return run(kIsaWordRead, {.bank = bank, .reg = reg}, value);
}

int IpmiByteWrite_ISA_30_2C(uint8_t bank, uint8_t reg, uint8_t value)
{
    return run(kIsaByteWrite, {.bank = bank, .reg = reg, .value = value}, nullptr);
}

int IpmiByteRead_oem_30_92(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kBlockRead_30_92, slave, reg, value);
}

int IpmiByteRead_oem_30_92_PWSFailure(uint8_t slave, uint8_t reg, uint32_t* value)
{
    return read(kPwsFailure_30_92, slave, reg, value);
}

int IpmiByteRead_oem_30_90(uint8_t slave, uint8_t bank, uint8_t reg, uint32_t* value)
{
    return run(kBankedByteRead, {slave, bank, reg}, value);
}

int IpmiWordRead_oem_30_90(uint8_t slave, uint8_t bank, uint8_t reg, uint32_t* value)
{
    return run(kBankedWordRead, {slave, bank, reg}, value);
}

int IpmiByteWrite_oem_30_91(uint8_t slave, uint8_t bank, uint8_t reg, uint8_t value)
{
    return run(kBankedByteWrite, {slave, bank, reg, value}, nullptr);
}

int IpmiByteRead_oem_30_93(uint8_t index, uint32_t* value) { return run(kQuery_30_93, {.reg = index}, value); }

int IpmiByteRead_oem_30_95(uint8_t selector, uint32_t* value)
{
    if (selector == 0) {
        *value = 95;
        return 0;
    }
    return run(kQuery_30_95, {}, value);
}

}  // namespace qv
