#include "platform/random.h"

namespace runtime {
namespace {
uint32_t g_state = 1;
}

void srand(uint32_t seed) {
    g_state = seed;
}

int rand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFF);
}

}  // namespace runtime
