// One step of a border drag in a bitmap-skin window, the part that is portable: the new
// size is laid out (keyboard, trackbar, inner rectangle, fader) and the keyboard repainted
// into a back buffer of the window's size. The chrome's bitmap copies are timed under
// Wine by bench/win.
#include "framework/PixelSurface.h"
#include "keyboard/Keys.h"
#include "mainwindow/Geometry.h"
#include "skin/FaderModel.h"
#include "skin/SkinConfig.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int WindowWidth = 1920;
constexpr int WindowHeight = 200;

class BufferHost : public KeysHost {
public:
    BufferHost() : pixels_(static_cast<size_t>(WindowWidth) * WindowHeight) {
        surface_ = {pixels_.data(), WindowWidth, WindowHeight, WindowWidth};
    }
    fw::PixelSurface* BackBuffer() override { return &surface_; }
    void Present(int, int, int, int) override { benchmark::ClobberMemory(); }
    void Invalidate() override {}
    void CaptureMouse() override {}
    void ReleaseMouseCapture() override {}
    void SetSkinCursor() override {}
    [[nodiscard]] bool Minimized() const override { return false; }
    [[nodiscard]] bool PedalDown() const override { return false; }

private:
    std::vector<uint32_t> pixels_;
    fw::PixelSurface surface_{};
};

void BM_ResizeStepLayoutAndKeyboard(benchmark::State& state) {
    BufferHost host;
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
