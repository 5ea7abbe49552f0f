#pragma once

#include <string>

#include "platform/graphics.h"

// Writes the pixels as an 8-bit RGB PNG; false on failure.
bool WritePng(const CImage& image, const std::string& path);
