// One step of a border drag in a bitmap-skin window, the part that is portable: the new
// size is laid out (keyboard, trackbar, inner rectangle, fader) and the keyboard repainted
// into a back buffer of the window's size. The chrome's bitmap copies are timed under
// Wine by bench/win.
#include "BufferHost.h"
#include "framework/PixelSurface.h"
#include "keyboard/Keys.h"
#include "mainwindow/Geometry.h"
#include "skin/FaderModel.h"
#include "skin/GraphicUtils.h"
#include "skin/SkinConfig.h"

#include <benchmark/benchmark.h>

namespace zevaver {

namespace {

constexpr int WindowWidth = 1920;
constexpr int WindowHeight = 200;

void BM_ResizeStepLayoutAndKeyboard(benchmark::State& state) {
    BufferHost host(WindowWidth, WindowHeight);
    const TSkinConfig skin;
    TKeys keys(host, skin);
    keys.SetNoteWidth(16);
    keys.SetBaseOctave(2);
    const FrameMetrics frame{false, 4, 18, 20};
    FaderImages images;
    images.trackV = {20, 10};
    images.thumbV = {16, 14};
    images.capTop = images.capBottom = {20, 3};
    FaderModel fader;
    fader.SetFaderValue(40);
    int step = 0;
    for (auto _ : state) {
        // The drag alternates between two widths, so every step is a real change.
        const ClientSize client{WindowWidth - (step++ & 1), WindowHeight};
        const WindowRect k = KeyboardRect(frame, client, false);
        const WindowRect t = TrackbarRect(frame, client, false);
        const fw::PixelRect inner = InnerRect(client, frame.border);
        fader.UpdateBounds(images, frame.border, frame.title, client.width, client.height);
        keys.SetBounds(k.left, k.top, k.width, k.height);
        keys.Paint();
        benchmark::DoNotOptimize(t);
        benchmark::DoNotOptimize(inner);
    }
}
BENCHMARK(BM_ResizeStepLayoutAndKeyboard)->Unit(benchmark::kMicrosecond);

// The bitmap copies of a skin's border and title at that size: a 64 x 64 border picture
// with 16-pixel corners stretched around the window, and an 8-pixel title tile repeated
// across it.
void BM_ResizeStepBorderAndTitleCopies(benchmark::State& state) {
    BufferHost host(WindowWidth, WindowHeight);
    const fw::PixelSurface& surface = *host.BackBuffer();
    std::vector<uint8_t> border(64 * 3 * 64, 0x40), tile(8 * 3 * 20, 0x80);
    const Pixels24 borderPixels{border.data(), 64, 64, 64 * 3, true};
    const Pixels24 tilePixels{tile.data(), 8, 20, 8 * 3, true};
    for (auto _ : state) {
        for (const BorderPiece& piece : BorderPieces(64, 64, 16, WindowWidth, WindowHeight))
            CopyStretched(surface, piece.dest, borderPixels, piece.source);
        for (int x = 4; x + 8 <= WindowWidth - 4; x += 8)
            CopyStretched(surface, {x, 4, x + 8, 24}, tilePixels, {0, 0, 8, 20});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ResizeStepBorderAndTitleCopies)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace zevaver
