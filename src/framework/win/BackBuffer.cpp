#include "framework/win/BackBuffer.h"

#include <algorithm>

namespace fw {

BackBuffer::~BackBuffer() {
    if (dc_ && originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
}

bool BackBuffer::Resize(int width, int height) noexcept {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (bitmap_ && width == width_ && height == height_) return true;

    if (!dc_) {
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_) return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap bitmap(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;

    // The old bitmap must leave the DC before it can be deleted.
    HGDIOBJ previous = SelectObject(dc_.get(), bitmap.get());
    if (!originalBitmap_) originalBitmap_ = previous;
    bitmap_ = std::move(bitmap);
    pixels_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    std::fill_n(pixels_, static_cast<size_t>(width) * height, 0u);
    return true;
}

uint32_t* BackBuffer::Pixels() const noexcept {
    if (pixels_) GdiFlush();
    return pixels_;
}

void BackBuffer::CopyTo(HDC target, int left, int top, int width, int height) const noexcept {
    if (!dc_ || !target) return;
    BitBlt(target, left, top, width, height, dc_.get(), left, top, SRCCOPY);
}

} // namespace fw
