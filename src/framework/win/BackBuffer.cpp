#include "framework/win/BackBuffer.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zevaver {

namespace fw {

BackBuffer::~BackBuffer() {
    if (dc_ && originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
}

namespace {

// The bitmap is made a little larger than asked, so a window dragged to a new size
// every few milliseconds seldom needs a new one.
constexpr int Slack = 64;

int WithSlack(int size) noexcept {
    return size > std::numeric_limits<int>::max() - Slack ? size
                                                          : (size + Slack - 1) / Slack * Slack;
}

} // namespace

bool BackBuffer::Resize(int width, int height) noexcept {
    width = std::max(width, 1);
    height = std::max(height, 1);
    // A smaller image keeps the bitmap unless it would waste most of it.
    const bool fits = bitmap_ && width <= stride_ && height <= rows_ &&
                      int64_t{width} * height * 4 >= int64_t{stride_} * rows_;
    if (fits) {
        width_ = width;
        height_ = height;
        return true;
    }

    if (!dc_) {
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_) return false;
    }
    const int stride = WithSlack(width), rows = WithSlack(height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = stride;
    info.bmiHeader.biHeight = -rows; // top-down rows
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
    stride_ = stride;
    rows_ = rows;
    std::fill_n(pixels_, static_cast<size_t>(stride) * static_cast<size_t>(rows), 0u);
    return true;
}

// Asked once after GDI drawing rather than before every direct access: a chrome frame
// makes hundreds of those, and each flush is a call into the system.
void BackBuffer::FinishGdi() const noexcept {
    GdiFlush();
}

void BackBuffer::CopyTo(HDC target, int left, int top, int width, int height) const noexcept {
    if (!dc_ || !target) return;
    BitBlt(target, left, top, width, height, dc_.get(), left, top, SRCCOPY);
}

} // namespace fw

} // namespace zevaver
