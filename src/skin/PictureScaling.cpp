#include "skin/PictureScaling.h"

#include <algorithm>
#include <cstddef>

namespace zevaver {

namespace {

// The picture's pixels that one pixel of the result covers along one axis, and how much
// of each: measured in units of which a pixel of the picture holds `to` and one of the
// result `from`, so every share is a whole number and the shares of each pixel of the
// result add up to `from`.
struct Taps {
    std::vector<int> first;   // per pixel of the result: its first pixel of the picture
    std::vector<int> count;   // how many it covers
    std::vector<uint32_t> at; // per pixel of the result: where its shares begin
    std::vector<uint32_t> share;
};

Taps AxisTaps(int from, int to) {
    Taps taps;
    taps.first.resize(static_cast<size_t>(to));
    taps.count.resize(static_cast<size_t>(to));
    taps.at.resize(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        const int64_t low = int64_t{i} * from, high = int64_t{i + 1} * from;
        const auto j0 = static_cast<int>(low / to), j1 = static_cast<int>((high - 1) / to);
        taps.first[static_cast<size_t>(i)] = j0;
        taps.count[static_cast<size_t>(i)] = j1 - j0 + 1;
        taps.at[static_cast<size_t>(i)] = static_cast<uint32_t>(taps.share.size());
        for (int j = j0; j <= j1; ++j) {
            const int64_t overlap =
                std::min(high, int64_t{j + 1} * to) - std::max(low, int64_t{j} * to);
            taps.share.push_back(static_cast<uint32_t>(overlap));
        }
    }
    return taps;
}

} // namespace

ScaledPicture ScalePicture(const Pixels24& picture, int width, int height) {
    ScaledPicture result;
    if (!picture.bits || picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0 ||
        int64_t{width} * height > MaxScaledPicturePixels)
        return result;
    const int sw = picture.width, sh = picture.height;
    const Taps across = AxisTaps(sw, width);
    const Taps down = AxisTaps(sh, height);

    // Along each row of the picture first: sums of up to sw x 255 per channel.
    const auto rowBytes = static_cast<size_t>(width) * 3;
    std::vector<uint32_t> rows(static_cast<size_t>(sh) * rowBytes);
    for (int y = 0; y < sh; ++y) {
        const int stored = picture.bottomUp ? sh - 1 - y : y;
        const uint8_t* from = picture.bits + static_cast<ptrdiff_t>(stored) * picture.stride;
        uint32_t* to = rows.data() + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<size_t>(x);
            uint32_t sum[3] = {};
            for (int k = 0; k < across.count[i]; ++k) {
                const uint8_t* p = from + static_cast<ptrdiff_t>(across.first[i] + k) * 3;
                const uint32_t share = across.share[across.at[i] + static_cast<uint32_t>(k)];
                for (int c = 0; c < 3; ++c) sum[c] += p[c] * share;
            }
            std::copy_n(sum, 3, to + i * 3);
        }
    }

    // Then down the columns, divided once by the whole area each pixel stands for.
    result.width = width;
    result.height = height;
    result.bytes.resize(static_cast<size_t>(height) * rowBytes);
    const uint64_t area = uint64_t(sw) * uint64_t(sh);
    for (int y = 0; y < height; ++y) {
        const auto i = static_cast<size_t>(y);
        uint8_t* to = result.bytes.data() + i * rowBytes;
        for (size_t b = 0; b < rowBytes; ++b) {
            uint64_t sum = 0;
            for (int k = 0; k < down.count[i]; ++k) {
                const auto row = static_cast<size_t>(down.first[i] + k);
                sum += uint64_t{rows[row * rowBytes + b]} *
                       down.share[down.at[i] + static_cast<uint32_t>(k)];
            }
            to[b] = static_cast<uint8_t>((sum + area / 2) / area);
        }
    }
    return result;
}

} // namespace zevaver
