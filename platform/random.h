// The runtime's random generator, the same on every machine, so a deal is
// reproducible from the tick count it was shuffled at.
#pragma once

#include <cstdint>

namespace runtime {

constexpr int RAND_MAX_VALUE = 0x7FFF;

void srand(uint32_t seed);
int rand();  // 0 .. 0x7FFF

// Deals are numbered by the seed their shuffle (or ball board) took. A new
// deal seeds the generator with the deal chosen for it, if one was, else
// with the tick count, and returns that number.
uint32_t SeedNewDeal();
void ChooseNextDeal(uint32_t deal);
// The number of the last deal seeded.
uint32_t LastDeal();

}  // namespace runtime
