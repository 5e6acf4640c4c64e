// Skin pictures are checked before the platform's loader reads them.
#include "skin/BitmapFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zevaver {

namespace {

// A bitmap file with a 40-byte header; pixels are whole rows unless cut.
std::string Bitmap(int32_t width, int32_t height, uint16_t bits, size_t pixelBytes) {
    std::string file(54, '\0');
    const auto put = [&](size_t at, uint32_t value, size_t size) {
        for (size_t i = 0; i < size; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(54 + pixelBytes), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    return file + std::string(pixelBytes, '\x7f');
}

std::string Compressed(std::string file, uint32_t compression) {
    for (size_t i = 0; i < 4; ++i) file[30 + i] = static_cast<char>(compression >> (8 * i));
    return file;
}

TEST(BitmapFile, OnlyAWholePictureWithSaneSizesReachesTheLoader) {
    const std::pair<std::string, bool> rows[] = {
        {Bitmap(3, 2, 24, 2 * 12), true},      // rows of 9 bytes padded to 12
        {Bitmap(3, -2, 24, 2 * 12), true},     // top-down
        {Bitmap(3, 2, 24, 2 * 12 - 1), false}, // cut short by one byte
        {Bitmap(3, 2, 24, 0), false},
        {Bitmap(0x7fffffff, 0x7fffffff, 24, 64), false}, // an impossible size
        {Bitmap(32768, 1, 1, 4096), false},
        {Bitmap(3, 2, 7, 64), false}, // no such depth
        {Bitmap(3, 0, 24, 64), false},
        {"BM", false},
        {"", false},
        {"PK" + Bitmap(3, 2, 24, 24).substr(2), false},
        {"BA" + Bitmap(3, 2, 24, 24).substr(2), false},
        {"XM" + Bitmap(3, 2, 24, 24).substr(2), false},
        // Run-length pictures are as long as their codes: a few bytes may hold many rows.
        {Compressed(Bitmap(40, 30, 8, 4), 1), true},
        {Compressed(Bitmap(40, 30, 4, 4), 2), true},
        {Compressed(Bitmap(40, 30, 24, 4), 4), false}, // a JPEG inside: not for the loader
    };
    for (const auto& [file, whole] : rows) EXPECT_EQ(IsWholeBitmapFile(file), whole) << file.size();
}

} // namespace

} // namespace zevaver
