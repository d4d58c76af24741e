#include "profile/generator.h"

#include <cstdio>

namespace qv {

// The board databases come with first-start support; until then nothing is generated.
int produce_quorvel_ini(const char*, const char*)
{
    std::fprintf(stderr, "Error: The initial file for this motherboard is not found!\n");
    return -1;
}

void revise_quorvel_ini_for_KV3M(SystemSection&, std::span<ItemSection>) {}

}  // namespace qv
