// The pictures of the ball games: the strip of eleven ball tiles and the
// white disc.
#pragma once

#include <vector>

#include "bmp.hpp"

namespace cardart {

inline constexpr int kBallTile = 35;       // tile width and height
inline constexpr int kBallTiles = 11;      // empty cell, nine balls, white disc
inline constexpr int kBallShownRows = 33;  // the bottom two rows are never shown

// The empty cell's grey, which is also the ground of every ball tile.
inline constexpr Rgb kBallGround = {213, 210, 204};

// The strip: tile 0 the empty cell, tiles 1..9 red, green, blue, yellow,
// cyan, magenta, white, grey and orange balls, each with a mark of its own
// shape, tile 10 a white disc on black; a light line along the bottom.
Canvas drawBallStrip();
// The 35 x 35 white disc on black.
Canvas drawBallDisc();
// The colours the strip is drawn in, in palette order.
std::vector<Rgb> ballPalette();
std::vector<Rgb> discPalette();

}  // namespace cardart
