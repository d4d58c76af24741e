// Sensor engine pieces that are not built yet: every reading fails. Removed entry by
// entry as the engine lands.
#include "sensors/convert.h"
#include "sensors/limits.h"
#include "sensors/reading.h"
#include "sensors/thermal.h"

namespace qv {

int get_item_reading(const LoadedProfile&, ItemSection&, int32_t* value)
{
    *value = 0;
    return -1;
}
int get_item_readingImpl(const LoadedProfile&, ItemSection&, int32_t*) { return -1; }
int isNormalReading(const ItemDisplay&) { return 0; }
int get_item_name(const ItemSection& item, char* text, std::size_t capacity)
{
    std::size_t i = 0;
    for (; i + 1 < capacity && item.Name[i] != '\0'; ++i) text[i] = item.Name[i];
    if (capacity > 0) text[i] = '\0';
    return 0;
}
int32_t get_item_cat(const ItemSection& item) { return item.Cat; }
int32_t get_item_monitor(const ItemSection& item) { return item.Monitor; }
int32_t get_item_chipcode(const ItemSection& item) { return item.ChipCode; }
int32_t get_item_bitmask(const char*, std::span<const ParameterSection>) { return 0; }

int FANConvert(uint32_t, int, int32_t, int32_t* rpm) { return *rpm = 0, -1; }
int VOLTAGEConvert(int, int, uint32_t, int32_t* millivolts) { return *millivolts = 0, -1; }
int TEMPConvert(uint32_t, int32_t* degrees) { return *degrees = 0, -1; }
int SWITCHConvert(uint32_t, uint32_t, int32_t* state, int32_t, int, int32_t) { return *state = 0, -1; }
int DIVISORConvert(uint32_t, int, uint8_t, int32_t* divisor) { return *divisor = 1, -1; }
int get_item_divisor(const LoadedProfile&, const ItemSection&, int32_t*) { return -1; }

int get_item_limit(int, const LoadedProfile&, const char*, const ItemSection&, int32_t*) { return -1; }
int get_item_max_reading(const LoadedProfile&, const ItemSection&, int32_t*) { return -1; }
int get_item_min_reading(const LoadedProfile&, const ItemSection&, int32_t*) { return 0; }

int supportThermalText(const SystemSection&, const ItemSection&) { return 0; }
int getThermalText(const SystemSection&, const ItemSection&, char*) { return -1; }
int getThermalCpuNumber(const ItemSection&) { return 0; }

}  // namespace qv
