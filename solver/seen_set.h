// The tables a search has met, as an open-addressed set of their keys (the
// keys are hashes already, so their low bits pick the slot).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace solver {

class SeenSet {
public:
    // Room for about three quarters of slots keys (a power of two) before
    // it grows.
    explicit SeenSet(size_t slots = 1 << 12) : m_slots(slots, 0) {}

    // Whether key is new; it is added.
    bool Insert(uint64_t key) {
        if (key == 0) key = 1;  // 0 marks an empty slot
        if (4 * (m_count + 1) > 3 * m_slots.size()) Grow();  // at most three quarters full
        const size_t mask = m_slots.size() - 1;
        for (size_t at = key & mask;; at = (at + 1) & mask) {
            if (m_slots[at] == key) return false;
            if (m_slots[at] == 0) {
                m_slots[at] = key;
                ++m_count;
                return true;
            }
        }
    }

private:
    void Grow() {
        std::vector<uint64_t> old(2 * m_slots.size(), 0);
        old.swap(m_slots);
        m_count = 0;
        for (uint64_t key : old)
            if (key) Insert(key);
    }

    std::vector<uint64_t> m_slots;
    size_t m_count = 0;
};

}  // namespace solver
