// The pictures of the card collection: 52 faces, the back, the empty-pile and
// deal-pile panels and the program icon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bmp.hpp"

namespace cardart {

inline constexpr int kCardWidth = 25;
inline constexpr int kCardHeight = 34;
inline constexpr int kIconSize = 32;

// index 0..51: suit = index / 13 (clubs, diamonds, hearts, spades),
// rank = index % 13 (ace, 2..10, jack, queen, king).
Canvas drawFace(int index);
Canvas drawBack();
Canvas drawEmpty();
Canvas drawDeal();
Canvas drawIcon();

struct OutputFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Every image the program ships, encoded, in a fixed order.
std::vector<OutputFile> renderAll();

}  // namespace cardart
