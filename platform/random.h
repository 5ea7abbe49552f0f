// The runtime's random generator, the same on every machine, so a deal is
// reproducible from the tick count it was shuffled at.
#pragma once

#include <cstdint>

namespace runtime {

constexpr int RAND_MAX_VALUE = 0x7FFF;

void srand(uint32_t seed);
int rand();  // 0 .. 0x7FFF

}  // namespace runtime
