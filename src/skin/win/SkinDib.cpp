#include "skin/win/SkinDib.h"

#include "skin/BitmapFile.h"

#include <optional>
#include <string>

namespace zevaver {

namespace {

// A 24-bit DIB section with the picture of any bitmap (the loader keeps a file's own depth).
fw::Bitmap To24Bit(HBITMAP source, int width, int height) noexcept {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::Bitmap copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy) return copy;
    fw::MemoryDc from(CreateCompatibleDC(nullptr));
    fw::MemoryDc to(CreateCompatibleDC(nullptr));
    if (!from || !to) return fw::Bitmap();
    fw::SelectObjectScope selectFrom(from.get(), source);
    fw::SelectObjectScope selectTo(to.get(), copy.get());
    BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY);
    GdiFlush();
    return copy;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) noexcept {
    try {
        fw::File file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return std::nullopt;
        std::string bytes;
        char buffer[16384];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
            if (got == 0) return bytes;
            bytes.append(buffer, got);
        }
    } catch (...) {
        return std::nullopt;
    }
}

bool TSkinDib::LoadFromFile(const std::string& path) noexcept {
    Clear();
    // The platform's loader reads as far as the headers say, past the end of a cut file.
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes || !IsWholeBitmapFile(*bytes)) return false;
    fw::Bitmap loaded(static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!loaded) return false;
    DIBSECTION section{};
    if (GetObjectA(loaded.get(), sizeof section, &section) == 0) return false;
    const int width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
    if (width <= 0 || height <= 0) return false;
    if (section.dsBm.bmBitsPixel != 24 || !section.dsBm.bmBits) {
        loaded = To24Bit(loaded.get(), width, height);
        if (!loaded || GetObjectA(loaded.get(), sizeof section, &section) == 0) return false;
    }
    pixels_ = {static_cast<const uint8_t*>(section.dsBm.bmBits), width, height,
               section.dsBm.bmWidthBytes, section.dsBmih.biHeight > 0};
    bitmap_ = std::move(loaded);
    width_ = width;
    height_ = height;
    return true;
}

void TSkinDib::Clear() noexcept {
    pixels_ = {};
    bitmap_.reset();
    width_ = 0;
    height_ = 0;
}

} // namespace zevaver
