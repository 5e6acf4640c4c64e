// A skin bitmap on Windows: the file's picture in a 24-bit DIB section, drawn opaque.
#pragma once

#include "framework/win/Handles.h"
#include "skin/GraphicUtils.h"

#include <optional>
#include <string>

namespace zevaver {

// The whole file, or nothing when it cannot be read to its end.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path) noexcept;

class TSkinDib final : public TSkinBitmap {
public:
    [[nodiscard]] int PictureWidth() const noexcept override { return width_; }
    [[nodiscard]] int PictureHeight() const noexcept override { return height_; }
    [[nodiscard]] HBITMAP Handle() const noexcept { return bitmap_.get(); }
    // The section's pixels, for drawing without a GDI call per copy.
    [[nodiscard]] Pixels24 PicturePixels() const noexcept override { return pixels_; }

    // Replaces the picture with the file's. False when the file is not a bitmap Windows
    // can read; the bitmap is then empty.
    [[nodiscard]] bool LoadFromFile(const std::string& path) noexcept;
    void Clear() noexcept;

private:
    fw::Bitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
    Pixels24 pixels_;
};

} // namespace zevaver
