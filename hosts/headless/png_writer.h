#pragma once

#include <string>

#include "platform/graphics.h"

// Writes the pixels as an 8-bit RGB PNG file at path, in one step once the
// picture is whole; only a plain file there (or nothing) is replaced. Gives
// "" when written, else why not.
std::string WritePng(const CImage& image, const std::string& path);
