// The off-screen image of a window: a 32-bit top-down DIB section selected into a
// memory DC. GDI can draw into it through Dc() (followed by FinishGdi before the pixels are
// touched again), and our own code writes its pixels directly (0x00RRGGBB), which is how
// the keyboard draws hundreds of keys in microseconds.
#pragma once

#include "framework/PixelSurface.h"
#include "framework/win/Handles.h"

#include <cstdint>

namespace zevaver {

namespace fw {

class BackBuffer {
public:
    BackBuffer() = default;
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;
    // A selected bitmap cannot be deleted: the destructor puts the DC's own one back.
    ~BackBuffer();

    // Makes the image width x height (at least 1 x 1). The bitmap behind it may be larger
    // (rows Stride() pixels apart), and is kept with its contents while the image fits in
    // it; a new one starts black. Returns false when the bitmap could not be made.
    [[nodiscard]] bool Resize(int width, int height) noexcept;

    [[nodiscard]] HDC Dc() const noexcept { return dc_.get(); }
    // After drawing through Dc(): GDI may hold drawing back, and the pixels must show it.
    void FinishGdi() const noexcept;
    [[nodiscard]] uint32_t* Pixels() const noexcept { return pixels_; }
    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    // Pixels from one row to the next.
    [[nodiscard]] int Stride() const noexcept { return stride_; }
    // The image for direct drawing; no pixels before the first Resize.
    [[nodiscard]] PixelSurface Surface() const noexcept {
        return {Pixels(), width_, height_, stride_};
    }

    // Copies a rectangle of the image to the same place in a window's DC.
    void CopyTo(HDC target, int left, int top, int width, int height) const noexcept;

private:
    MemoryDc dc_;
    Bitmap bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;
    uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0; // the bitmap's width
    int rows_ = 0;   // the bitmap's height
};

} // namespace fw

} // namespace zevaver
