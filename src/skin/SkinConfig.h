// The current skin's description. It starts with the built-in defaults, which is what the
// keyboard paints with until a skin has been loaded.
#pragma once

#include "framework/PixelSurface.h"

#include <cstdint>

struct TSkinConfig {
    int32_t BlackKeysHeight = 62; // percent of the white keys' depth
    int32_t KeysOutlineWidth = 1; // pen width of the key outlines, pixels

    // The resolved key colours the keyboard paints with.
    fw::ColorRef WhiteKeyColorRef = fw::RGBValue(255, 255, 255);
    fw::ColorRef BlackKeyColorRef = fw::RGBValue(0, 0, 0);
    fw::ColorRef WhiteKeyDownColorRef = fw::RGBValue(192, 192, 192);
    fw::ColorRef BlackKeyDownColorRef = fw::RGBValue(112, 112, 112);
    fw::ColorRef KeysOutlineColorRef = fw::RGBValue(128, 128, 128);
};
