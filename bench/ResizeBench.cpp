// One step of a border drag in a bitmap-skin window, the part that is portable: the new
// size is laid out (keyboard, trackbar, inner rectangle, fader) and the keyboard repainted
// into a back buffer of the window's size. The chrome's bitmap copies are timed under
// Wine by bench/win.
#include "BufferHost.h"
#include "framework/PixelSurface.h"
#include "keyboard/Keys.h"
#include "mainwindow/Geometry.h"
#include "skin/FaderModel.h"
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

} // namespace

} // namespace zevaver
