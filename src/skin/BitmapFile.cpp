#include "skin/BitmapFile.h"

#include <cstdint>
#include <cstdlib>

namespace zevaver {

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr uint32_t CoreHeaderSize = 12; // the old OS/2 header, 16-bit sizes
constexpr uint32_t InfoHeaderSize = 40;
constexpr int64_t MaxSide = 32767;

uint32_t Read(std::string_view bytes, size_t offset, size_t size) noexcept {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return value;
}

} // namespace

std::optional<BitmapFileLayout> ReadBitmapFileLayout(std::string_view bytes) noexcept {
    if (bytes.size() < FileHeaderSize + CoreHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const uint32_t pixelsAt = Read(bytes, 10, 4);
    const uint32_t headerSize = Read(bytes, FileHeaderSize, 4);
    if (headerSize != CoreHeaderSize && headerSize < InfoHeaderSize) return std::nullopt;
    if (bytes.size() < FileHeaderSize + headerSize) return std::nullopt;
    int64_t width = 0, height = 0;
    uint32_t planes = 0, bitCount = 0, compression = 0;
    if (headerSize == CoreHeaderSize) {
        width = Read(bytes, 18, 2);
        height = Read(bytes, 20, 2);
        planes = Read(bytes, 22, 2);
        bitCount = Read(bytes, 24, 2);
    } else {
        width = static_cast<int32_t>(Read(bytes, 18, 4));
        height = static_cast<int32_t>(Read(bytes, 22, 4));
        planes = Read(bytes, 26, 2);
        bitCount = Read(bytes, 28, 2);
        compression = Read(bytes, 30, 4);
    }
    height = std::llabs(height);
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide || planes != 1)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return std::nullopt;
    if (pixelsAt < FileHeaderSize + headerSize || pixelsAt >= bytes.size()) return std::nullopt;
    // Run-length pictures end where their codes say; the others are whole rows of pixels,
    // each padded to four bytes.
    constexpr uint32_t Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3;
    const BitmapFileLayout layout{pixelsAt, static_cast<int>(width), static_cast<int>(height),
                                  compression == Rle8 || compression == Rle4};
    if (layout.runLength) return layout;
    if (compression != Rgb && compression != BitFields) return std::nullopt;
    const int64_t stride = (width * bitCount + 31) / 32 * 4;
    if (int64_t{pixelsAt} + stride * height > static_cast<int64_t>(bytes.size()))
        return std::nullopt;
    return layout;
}

bool IsWholeBitmapFile(std::string_view bytes) noexcept {
    return ReadBitmapFileLayout(bytes).has_value();
}

} // namespace zevaver
