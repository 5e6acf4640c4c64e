// Writes the bitmap files that test skins are made of: one colour (or, striped, its blue
// changing from column to column), bottom-up, 24 or 32 bits per pixel (the fourth byte of a
// 32-bit pixel 0).
#pragma once

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace zevaver {

namespace fakes {

// False when the file could not be opened. The path may hold any characters.
inline bool WriteBitmap(const std::filesystem::path& path, int width, int height, COLORREF color,
                        int bits = 24, bool striped = false) {
    const int rowBytes = ((width * bits / 8) + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rowBytes * height);
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<unsigned char> row(static_cast<size_t>(rowBytes), 0);
    for (int x = 0; x < width; ++x) {
        unsigned char* pixel = &row[static_cast<size_t>(x * bits / 8)];
        pixel[0] = striped ? static_cast<unsigned char>(x * 41) : GetBValue(color);
        pixel[1] = GetGValue(color);
        pixel[2] = GetRValue(color);
    }
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    for (int y = 0; y < height; ++y) fwrite(row.data(), row.size(), 1, out);
    return fclose(out) == 0;
}

} // namespace fakes

} // namespace zevaver
