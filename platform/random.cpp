#include "platform/random.h"

#include <optional>

#include "platform/host.h"

namespace runtime {
namespace {
uint32_t g_state = 1;
std::optional<uint32_t> g_chosenDeal;
uint32_t g_lastDeal = 0;
}  // namespace

uint32_t SeedNewDeal() {
    g_lastDeal = g_chosenDeal.value_or(GetTickCount());
    g_chosenDeal.reset();
    srand(g_lastDeal);
    return g_lastDeal;
}

void ChooseNextDeal(uint32_t deal) {
    g_chosenDeal = deal;
}

uint32_t LastDeal() {
    return g_lastDeal;
}

void srand(uint32_t seed) {
    g_state = seed;
}

int rand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFF);
}

}  // namespace runtime
