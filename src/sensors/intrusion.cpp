#include "sensors/intrusion.h"

#include <cstdio>

namespace qv {

// The clear methods come with the chip support; until then nothing is cleared.
int reset_Intrusion(const LoadedProfile&, ItemSection& item)
{
    std::fprintf(stderr, "Warning: Non-supported chipset \"%s\".\n", item.Name);
    std::printf("Failed.\n");
    return -1;
}

}  // namespace qv
