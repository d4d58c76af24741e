// The chip table: everything the engine knows about one monitor chip, keyed by the
// item's ChipCode. Every layer that branches on a chip looks its record up here, so
// adding a chip means adding one record (and its voltage rows, if it has voltages).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace qv {

// ChipCodes by name; the codes without a chip name are known by what they do, or by number.
enum ChipCode : int32_t {
    kChip00 = 0x00,
    kW83627HF = 0x01,
    kChip02 = 0x02,
    kChip03 = 0x03,
    kSuperIoConfigGpio = 0x04,
    kSuperIoGpioBlock = 0x05,
    kPulseCounter = 0x06,
    kChip07 = 0x07,
    kNS87427 = 0x08,
    kChip09 = 0x09,
    kChip0A = 0x0A,
    kSouthBridgeGpio = 0x0B,
    kChip0C = 0x0C,
    kChip0D = 0x0D,
    kChip0E = 0x0E,
    kChip0F = 0x0F,
    kChip10 = 0x10,
    kW83793G = 0x11,
    kChip12 = 0x12,
    kW83627DHG = 0x13,
    kChip14 = 0x14,
    kChip15 = 0x15,
    kW83627DHG_16 = 0x16,
    kW83795ADG = 0x17,
    kW83627DHG_18 = 0x18,
    kIT8720F = 0x19,
    kGraphicsCard = 0x1A,
    kPlaceholderSwitch = 0x1B,
    kNCT6776F = 0x1C,
    kW83795ADG_Bmc = 0x1D,
    kNCT7904D = 0x1E,
    kPowerSupplyFailure = 0x1F,
    kME_NCT7904D = 0x20,
    kME_NCT6776F = 0x21,
    kBmcSensor = 0x22,
};

namespace chips {

// Where a fan's count comes from.
enum class FanPath : uint8_t {
    Generic,        // one register on the item's bus
    ByteCount,      // SMBus: low byte at the register, high byte at the next
    WordHighLow,    // SMBus: one high-then-low word
    Nct7904d,       // SMBus (BMC first): 13-bit count, high × 32 + low bits 4..0
    OwnIoBlock,     // the chip's own I/O block, the fan selected in its bank register
    ExtendedHigh,   // index/data pair: fans 4 and up keep their high byte 11 registers on
    Nct6776fWord,   // index/data pair: 13-bit count
};

// Count to RPM. A numerator of 0 means the default formula, 1350000 / divisor / count,
// with the divisor read from the chip's divisor register.
struct FanFormula {
    uint32_t numerator = 0;
    uint32_t stoppedFrom = 0;  // counts in [stoppedFrom, stoppedTo] mean a stopped fan
    uint32_t stoppedTo = 0;
    bool pulses = false;  // counts pulses, not periods: count × 30 / 0.262
    constexpr bool fixed_divisor() const { return numerator != 0 || pulses; }
};

enum class SwitchPath : uint8_t {
    Generic,
    SuperIoConfigGpio,  // the GPIO register behind the configuration entry and exit keys
    SuperIoGpioBlock,   // the GPIO block whose base the configuration space gives
    OwnIoBlock,         // the status port of the chip's own I/O block
    SouthBridgeGpio,
    Nct7904dStatus,     // the status register, BMC first
    Placeholder,        // no hardware: always 0
};

enum class TempPath : uint8_t {
    Generic,
    PeciChecked,  // agents the chip flags as invalid read as "no sensor"
    GraphicsCard,
};

enum class TempLimit : uint8_t {
    Generic,
    GraphicsCard,
    FixedInPeciBank,  // the PECI inputs of bank 7 have no limit registers: a fixed 95 °C
    BmcSensor,
};

// What the remaining reads (and limits) go through.
enum class Route : uint8_t {
    Plain,
    Nct7904d,     // BMC bank read first; else select the bank (0 readings, 1 limits)
    MeNct7904d,   // the BMC's own cached values first; limits by the BMC bank read
    BmcSensor,    // only the BMC's sensor index, any category
};

// How the SMBus read primitive itself treats the chip.
enum class SmbusQuirk : uint8_t {
    None,
    BmcAgent,       // the BMC's agent command; without a BMC it reads 0
    PowerFailure,   // the BMC's power-failure command; without a BMC it reads 1
};

enum class Thermal : uint8_t {
    None,
    W83793G,
    W83627DHG,
    W83795ADG,
    IT8720F,
    NCT6776F,
    ME_NCT6776F,
    NCT7904D,
    ME_NCT7904D,
};

enum class ClearMethod : uint8_t {
    Unsupported,
    SetBit,            // the chip clears the bit again itself
    ByDeviceId,        // ACPI device on the one Super I/O that needs it, else set bit
    AcpiDevice,
    Pulse,             // set, then clear
    SetBitOverBmcBus,  // the item moves to the BMC's SMBus path for the rest of the run
    Ns87427,
    Nct7904d,
};

struct Chip {
    int32_t code = -1;
    const char* name = "";
    FanPath fan = FanPath::Generic;
    FanPath fanLimit = FanPath::Generic;
    FanFormula fanFormula{};
    uint32_t fullScaleCount = 1;  // the count the chart's maximum is converted from
    SwitchPath switchPath = SwitchPath::Generic;
    TempPath temp = TempPath::Generic;
    TempLimit tempLimit = TempLimit::Generic;
    Route route = Route::Plain;
    SmbusQuirk smbus = SmbusQuirk::None;
    Thermal thermal = Thermal::None;
    ClearMethod clear = ClearMethod::Unsupported;
    uint8_t acpiClearBit = 0x40;  // for the clears through the Super I/O's ACPI device
};

constexpr FanFormula fixed(uint32_t numerator, uint32_t stopped_from, uint32_t stopped_to)
{
    return FanFormula{.numerator = numerator, .stoppedFrom = stopped_from, .stoppedTo = stopped_to};
}
inline constexpr uint32_t kMaxCount = std::numeric_limits<uint32_t>::max();
inline constexpr FanFormula k5400000 = fixed(5400000, 0xFF00, kMaxCount);
inline constexpr FanFormula k5400000Word = fixed(5400000, 65532, kMaxCount);
inline constexpr FanFormula k1350000Word12 = fixed(1350000, 4095, kMaxCount);
inline constexpr FanFormula k1350000Count13 = fixed(1350000, 8191, 8191);

// clang-format off
inline constexpr std::array<Chip, 35> kChips = {{
    {.code = kChip00, .clear = ClearMethod::SetBit},
    {.code = kW83627HF, .name = "W83627HF", .clear = ClearMethod::ByDeviceId},
    {.code = kChip02, .clear = ClearMethod::SetBit},
    {.code = kChip03, .fan = FanPath::ByteCount, .fanLimit = FanPath::ByteCount, .fanFormula = k5400000,
     .fullScaleCount = 256},
    {.code = kSuperIoConfigGpio, .name = "Super I/O configuration register",
     .switchPath = SwitchPath::SuperIoConfigGpio},
    {.code = kSuperIoGpioBlock, .name = "Super I/O GPIO", .switchPath = SwitchPath::SuperIoGpioBlock},
    {.code = kPulseCounter, .fanFormula = {.pulses = true}},
    {.code = kChip07, .clear = ClearMethod::SetBit},
    {.code = kNS87427, .name = "NS87427", .fan = FanPath::OwnIoBlock, .fanLimit = FanPath::OwnIoBlock,
     .fanFormula = k5400000Word, .fullScaleCount = 256, .switchPath = SwitchPath::OwnIoBlock,
     .clear = ClearMethod::Ns87427},
    {.code = kChip09, .fan = FanPath::ByteCount, .fanLimit = FanPath::ByteCount, .fanFormula = k5400000Word},
    {.code = kChip0A, .clear = ClearMethod::AcpiDevice},
    {.code = kSouthBridgeGpio, .name = "south-bridge GPIO", .switchPath = SwitchPath::SouthBridgeGpio},
    {.code = kChip0C, .clear = ClearMethod::AcpiDevice, .acpiClearBit = 0x20},
    {.code = kChip0D, .clear = ClearMethod::Pulse},
    {.code = kChip0E, .fan = FanPath::ByteCount, .fanLimit = FanPath::ByteCount, .fanFormula = k5400000Word},
    {.code = kChip0F, .clear = ClearMethod::Pulse},
    // Its fan limits are single registers, unlike its readings.
    {.code = kChip10, .fan = FanPath::ByteCount, .fanFormula = k5400000},
    {.code = kW83793G, .name = "W83793G", .fan = FanPath::WordHighLow, .fanLimit = FanPath::WordHighLow,
     .fanFormula = k1350000Word12, .temp = TempPath::PeciChecked, .thermal = Thermal::W83793G,
     .clear = ClearMethod::SetBitOverBmcBus},
    {.code = kChip12},
    {.code = kW83627DHG, .name = "W83627DHG", .thermal = Thermal::W83627DHG, .clear = ClearMethod::Pulse},
    {.code = kChip14},
    {.code = kChip15},
    {.code = kW83627DHG_16, .name = "W83627DHG", .thermal = Thermal::W83627DHG, .clear = ClearMethod::Pulse},
    {.code = kW83795ADG, .name = "W83795ADG", .fanFormula = fixed(84375, 255, 255), .thermal = Thermal::W83795ADG,
     .clear = ClearMethod::SetBitOverBmcBus},
    {.code = kW83627DHG_18, .name = "W83627DHG", .thermal = Thermal::W83627DHG, .clear = ClearMethod::Pulse},
    {.code = kIT8720F, .name = "IT8720F", .fan = FanPath::ExtendedHigh, .fanLimit = FanPath::ExtendedHigh,
     .fanFormula = fixed(675000, 65535, 65535), .thermal = Thermal::IT8720F, .clear = ClearMethod::SetBit},
    {.code = kGraphicsCard, .name = "graphics-card sensor", .temp = TempPath::GraphicsCard,
     .tempLimit = TempLimit::GraphicsCard},
    {.code = kPlaceholderSwitch, .name = "placeholder switch", .switchPath = SwitchPath::Placeholder},
    {.code = kNCT6776F, .name = "NCT6776F", .fan = FanPath::Nct6776fWord, .fanLimit = FanPath::Nct6776fWord,
     .fanFormula = k1350000Count13, .tempLimit = TempLimit::FixedInPeciBank, .thermal = Thermal::NCT6776F,
     .clear = ClearMethod::Pulse},
    {.code = kW83795ADG_Bmc, .name = "W83795ADG", .smbus = SmbusQuirk::BmcAgent, .thermal = Thermal::W83795ADG},
    {.code = kNCT7904D, .name = "NCT7904D", .fan = FanPath::Nct7904d, .fanLimit = FanPath::Nct7904d,
     .fanFormula = k1350000Count13, .switchPath = SwitchPath::Nct7904dStatus, .route = Route::Nct7904d,
     .thermal = Thermal::NCT7904D, .clear = ClearMethod::Nct7904d},
    {.code = kPowerSupplyFailure, .name = "power-supply failure signal", .smbus = SmbusQuirk::PowerFailure},
    {.code = kME_NCT7904D, .name = "ME_NCT7904D", .route = Route::MeNct7904d, .thermal = Thermal::ME_NCT7904D},
    {.code = kME_NCT6776F, .name = "ME_NCT6776F", .tempLimit = TempLimit::FixedInPeciBank,
     .thermal = Thermal::ME_NCT6776F},
    {.code = kBmcSensor, .name = "BMC-reported sensor", .tempLimit = TempLimit::BmcSensor,
     .route = Route::BmcSensor},
}};
// clang-format on

// A code outside the table reads through the generic paths and converts by the default
// formulas.
inline constexpr Chip kUnlisted{};

constexpr bool table_in_code_order()
{
    for (std::size_t i = 0; i < kChips.size(); ++i)
        if (kChips[i].code != static_cast<int32_t>(i)) return false;
    return true;
}
static_assert(table_in_code_order(), "each record sits at its own code");

constexpr bool listed(int32_t code) { return code >= 0 && static_cast<std::size_t>(code) < kChips.size(); }

constexpr const Chip& of(int32_t code) { return listed(code) ? kChips[static_cast<std::size_t>(code)] : kUnlisted; }

}  // namespace chips
}  // namespace qv
