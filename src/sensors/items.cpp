// The item accessors.
#include "sensors/reading.h"

namespace qv {

// The display record's name is shorter than the profile's: longer names are cut.
int get_item_name(const ItemSection& item, char* text, std::size_t capacity)
{
    if (capacity == 0) return 0;
    std::size_t i = 0;
    for (; i + 1 < capacity && i < sizeof item.Name && item.Name[i] != '\0'; ++i) text[i] = item.Name[i];
    text[i] = '\0';
    return 0;
}

int32_t get_item_cat(const ItemSection& item) { return item.Cat; }
int32_t get_item_monitor(const ItemSection& item) { return item.Monitor; }
int32_t get_item_chipcode(const ItemSection& item) { return item.ChipCode; }

}  // namespace qv
