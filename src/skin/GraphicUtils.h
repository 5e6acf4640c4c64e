// What the skinned chrome draws with, without the platform: a skin bitmap seen only by its
// size, a canvas that copies a piece of one into the window's back buffer, and the rules
// that cut "Border.bmp" into eight pieces and tile a track bitmap along a rectangle.
#pragma once

#include "framework/DpiScale.h"
#include "framework/PixelSurface.h"
#include "skin/PictureScaling.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zevaver {

// A bitmap of a skin: a picture (empty, 0 x 0, until a file has been loaded into it) drawn
// at a display scale. The picture is made for 96 DPI; at any other scale the bitmap is
// drawn from a copy scaled from the picture itself (made when first drawn), so scaling
// again for another screen loses nothing.
class TSkinBitmap {
public:
    virtual ~TSkinBitmap() = default;
    // The size and pixels as drawn: the picture's at the bitmap's scale.
    [[nodiscard]] int Width() const noexcept;
    [[nodiscard]] int Height() const noexcept;
    // Where they can be read directly (none otherwise: nothing is drawn).
    [[nodiscard]] Pixels24 Pixels() const noexcept;
    [[nodiscard]] bool Empty() const noexcept { return Width() <= 0 || Height() <= 0; }

    // The picture as its file gives it.
    [[nodiscard]] virtual int PictureWidth() const noexcept = 0;
    [[nodiscard]] virtual int PictureHeight() const noexcept = 0;
    [[nodiscard]] virtual Pixels24 PicturePixels() const noexcept { return {}; }

    // Drawn at this scale from now on, also after its picture is replaced.
    void SetScale(const fw::DpiScale& scale) noexcept;

protected:
    // Called by a bitmap whose picture changed: the scaled copy is made anew.
    void PictureReplaced() noexcept { scaled_.reset(); }

private:
    // Not at 96 DPI, and not so large that its copy would be unreasonable.
    [[nodiscard]] bool DrawnScaled() const noexcept;

    fw::DpiScale scale_;
    mutable std::optional<ScaledPicture> scaled_;
};

// The back buffer as the chrome sees it.
class TChromeCanvas {
public:
    // Copies `source` of the bitmap to `dest`, stretching when the sizes differ; opaque.
    // An empty bitmap or an empty rectangle draws nothing.
    virtual void Draw(const TSkinBitmap& bitmap, const fw::PixelRect& source,
                      const fw::PixelRect& dest) = 0;
    // The bitmap at its natural size with its top-left corner at (x, y).
    void DrawAt(const TSkinBitmap& bitmap, int x, int y);

protected:
    ~TChromeCanvas() = default;
};

struct BorderPiece {
    fw::PixelRect source; // in "Border.bmp"
    fw::PixelRect dest;   // in the window
    friend bool operator==(const BorderPiece&, const BorderPiece&) = default;
};

// The frame's eight pieces in drawing order: the four corners (top-left, top-right,
// bottom-left, bottom-right), then the left, right, top and bottom edges. C is the corner
// size; the centre of the border bitmap is not used.
[[nodiscard]] std::array<BorderPiece, 8> BorderPieces(int borderWidth, int borderHeight,
                                                      int cornerSize, int windowWidth,
                                                      int windowHeight) noexcept;

// Whole copies of the bitmap from the rectangle's top (left) edge on, and the remainder at
// the far end from the bitmap's top rows (left columns). Nothing for a bitmap of height
// (width) 0.
void TileVertical(TChromeCanvas& canvas, const fw::PixelRect& rect, const TSkinBitmap& bitmap);
void TileHorizontal(TChromeCanvas& canvas, const fw::PixelRect& rect, const TSkinBitmap& bitmap);

// Copies `source` of the bitmap to `dest` of the surface, opaque, stretching by taking the
// nearest source pixel (as GDI's colour-on-colour stretching does) when the sizes differ.
// Parts of either rectangle that lie outside their picture, and of `dest` outside `clip`,
// are left out (what is drawn is what a whole copy would draw there); any rectangles are
// safe.
void CopyStretched(const fw::PixelSurface& surface, const fw::PixelRect& dest,
                   const Pixels24& bitmap, const fw::PixelRect& source,
                   const fw::PixelRect& clip = fw::EverywhereRect) noexcept;

using fw::PointIn;

} // namespace zevaver
