// The program icon in the forms a Linux desktop installs: PNG pictures at
// the hicolor theme's sizes and one scalable SVG, all from drawIcon().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "art.hpp"

namespace cardart {

// The hicolor sizes the icon is installed at, in pixels.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The sizes a web app's manifest asks for: a phone's home screen and the
// splash screen it shows while the page starts.
inline constexpr int kWebIconSizes[] = {192, 512};

// The icon at size x size pixels: whole multiples of the drawing keep its
// pixels crisp; other sizes average the drawing's pixels over each new one.
Canvas scaleIcon(const Canvas& icon, int size);

// 8-bit RGB PNG, uncompressed (stored deflate blocks): every reader takes it
// and the icons are small.
std::vector<std::uint8_t> encodePng(const Canvas& canvas);

// The drawing as SVG: one square per run of equal pixels in a row, with crisp
// edges, so the scalable icon is the same picture at any size.
std::string encodeSvg(const Canvas& canvas);

// hicolor/NxN/apps/NAME.png for every size and hicolor/scalable/apps/NAME.svg.
std::vector<OutputFile> renderIcons(const std::string& name);
// The icon for the web app: NAME-SIZE.png for each of kWebIconSizes, and NAME.svg.
std::vector<OutputFile> renderWebIcons(const std::string& name);

}  // namespace cardart
