// The current skin's description: the eighteen keys of a skin's "config.txt", the skin's
// folder, the sizes derived from its bitmaps and the resolved key colours. It starts with
// the built-in defaults, which is what the keyboard paints with until a skin has been
// loaded, and is never reset to them afterwards: every load starts from the previous
// skin's values.
#pragma once

#include "framework/DpiScale.h"
#include "framework/PixelSurface.h"

#include <cstdint>
#include <string>

namespace zevaver {

// A colour exactly as "config.txt" gives it; the parts are cut to 8 bits only when the
// colour is turned into a platform colour value.
struct TRGB {
    int32_t R = 0;
    int32_t G = 0;
    int32_t B = 0;
    friend bool operator==(const TRGB&, const TRGB&) = default;
};

[[nodiscard]] constexpr fw::ColorRef RGBValue(const TRGB& rgb) noexcept {
    return fw::RGBValue(rgb.R, rgb.G, rgb.B);
}

struct TSkinConfig {
    // --- The keys of "config.txt", in the order in which a line is matched against them. ---
    bool WindowsStyle = true; // the platform's sizeable frame, no bitmaps
    bool StretchTitle = false;
    bool CenterTitle = false;
    int32_t BorderSize = 0; // inset of all content; also the width of the resize strips
    int32_t CornerSize = 32;
    int32_t CornerArea = 16;
    int32_t BlackKeysHeight = 62; // percent of the white keys' depth
    int32_t FaderTicksFrequency = 10;
    int32_t FaderWidth = 36;
    int32_t KeysOutlineWidth = 1; // pen width of the key outlines, pixels
    TRGB FaderColor{95, 104, 109};
    TRGB BackgroundColor{95, 104, 109}; // accepted and kept; nothing draws with it
    TRGB WhiteKeyColor{255, 255, 255};
    TRGB BlackKeyColor{0, 0, 0};
    TRGB WhiteKeyDownColor{192, 192, 192};
    TRGB BlackKeyDownColor{112, 112, 112};
    TRGB KeysOutlineColor{128, 128, 128};
    std::string FaderStyle = "windows"; // "windows", "none", or anything else: skinned

    // --- Set while loading and applying a skin. ---
    std::string SkinPath;
    // The resolved key colours the keyboard paints with.
    fw::ColorRef WhiteKeyColorRef = fw::RGBValue(255, 255, 255);
    fw::ColorRef BlackKeyColorRef = fw::RGBValue(0, 0, 0);
    fw::ColorRef WhiteKeyDownColorRef = fw::RGBValue(192, 192, 192);
    fw::ColorRef BlackKeyDownColorRef = fw::RGBValue(112, 112, 112);
    fw::ColorRef KeysOutlineColorRef = fw::RGBValue(128, 128, 128);
    int32_t TitleHeight = 0;
    int32_t IconWidth = 0;
    int32_t MinimizeWidth = 0;
    int32_t CloseWidth = 0;
    fw::PixelRect InnerRect{}; // the client rectangle shrunk by BorderSize on each side
    // The scale every length above is given in: 96 DPI as the files give them, the
    // screen's in the description the window is laid out and drawn with.
    fw::DpiScale Scale;

    // The five key colours resolved from their RGB fields.
    void ResolveKeyColors() noexcept;
};

// The description with its lengths (border, corners, fader strip, key outlines, title and
// button sizes) at a screen's scale; the description must be at 96 DPI.
[[nodiscard]] TSkinConfig ScaledConfig(const TSkinConfig& config, const fw::DpiScale& scale);

// The largest size in pixels a skin's "config.txt" may give (border, corners, fader
// strip, key outlines); larger values are taken as this, negative ones as 0.
inline constexpr int32_t MaxSkinSize = 255;

// FaderStyle values with a meaning of their own; any other text asks for the skinned fader.
inline constexpr const char* FaderStyleWindows = "windows";
inline constexpr const char* FaderStyleNone = "none";

} // namespace zevaver
