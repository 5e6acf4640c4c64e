#include "skin/win/SkinDib.h"

#include "skin/BitmapFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace zevaver {

namespace {

constexpr size_t FileHeaderSize = 14;

// The file's header with its colour table or bit masks, in a block as large as any of them
// can be: what the file holds of it is copied, the rest stays zero, so nothing is ever read
// past the file's end however its header counts.
struct HeaderBlock {
    static constexpr size_t Size = 124 + 256 * sizeof(RGBQUAD); // the largest header, 256 colours
    alignas(BITMAPINFO) unsigned char bytes[Size] = {};

    HeaderBlock(std::string_view file, size_t pixelsAt) noexcept {
        const size_t available = std::min(pixelsAt, file.size()) - FileHeaderSize;
        std::memcpy(bytes, file.data() + FileHeaderSize, std::min(available, Size));
    }
    [[nodiscard]] BITMAPINFO* Info() noexcept { return reinterpret_cast<BITMAPINFO*>(bytes); }
};

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

// The file is read once; the section is filled from those bytes, which the platform's
// conversion turns into 24 bits whatever the file's depth or run-length coding.
bool TSkinDib::LoadFromFile(const std::string& path) noexcept {
    Clear();
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) return false;
    const std::optional<BitmapFileLayout> layout = ReadBitmapFileLayout(*bytes);
    if (!layout) return false;
    const std::string_view file(*bytes);
    const size_t pixelsAt = layout->pixelsAt;
    const int width = layout->width, height = layout->height;
    HeaderBlock header(file, pixelsAt);
    if (layout->runLength) {
        // Run-length codes are read no further than the file goes.
        BITMAPINFOHEADER& info = header.Info()->bmiHeader;
        const DWORD available = static_cast<DWORD>(file.size() - pixelsAt);
        if (info.biSizeImage == 0 || info.biSizeImage > available) info.biSizeImage = available;
    }

    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof target.bmiHeader;
    target.bmiHeader.biWidth = width;
    target.bmiHeader.biHeight = height; // bottom-up
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 24;
    target.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::Bitmap section(CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::MemoryDc dc(CreateCompatibleDC(nullptr));
    if (!section || !bits || !dc) return false;
    if (SetDIBits(dc.get(), section.get(), 0, static_cast<UINT>(height), file.data() + pixelsAt,
                  header.Info(), DIB_RGB_COLORS) == 0)
        return false;
    GdiFlush();
    DIBSECTION made{};
    if (GetObjectA(section.get(), sizeof made, &made) == 0) return false;
    pixels_ = {static_cast<const uint8_t*>(bits), width, height, made.dsBm.bmWidthBytes, true};
    bitmap_ = std::move(section);
    width_ = width;
    height_ = height;
    PictureReplaced();
    return true;
}

void TSkinDib::Clear() noexcept {
    pixels_ = {};
    bitmap_.reset();
    width_ = 0;
    height_ = 0;
    PictureReplaced();
}

} // namespace zevaver
