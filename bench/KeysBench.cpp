// The cost of the keyboard's note path: every press and release redraws the whole keyboard
// into the back buffer before the note event fires, so this is latency a player hears.
#include "BufferHost.h"
#include "framework/PixelSurface.h"
#include "keyboard/Keys.h"
#include "skin/SkinConfig.h"

#include <benchmark/benchmark.h>

namespace zevaver {

namespace {

constexpr int KeyboardLength = 1920;
constexpr int KeyboardDepth = 100;

// A keyboard filling the buffer: horizontal 1920 x 100 or vertical 100 x 1920.
struct Keyboard {
    explicit Keyboard(const benchmark::State& state)
        : vertical(state.range(1) != 0), host(vertical ? KeyboardDepth : KeyboardLength,
                                              vertical ? KeyboardLength : KeyboardDepth),
          keys(host, skin) {
        keys.SetNoteWidth(static_cast<int>(state.range(0)));
        keys.SetOrientation(vertical ? TKeyboardOrientation::Vertical
                                     : TKeyboardOrientation::Horizontal);
        keys.SetBounds(0, 0, host.BackBuffer()->width, host.BackBuffer()->height);
        keys.SetBaseOctave(2);
    }
    bool vertical;
    BufferHost host;
    TSkinConfig skin;
    TKeys keys;
};

// A key drawn down and up again, as the engine's news arrive.
void BM_PressAndReleaseOneNote(benchmark::State& state) {
    Keyboard keyboard(state);
    TNoteSet held;
    held.Add(60);
    for (auto _ : state) {
        keyboard.keys.ShowNotes(held);
        keyboard.keys.ShowNotes({});
    }
    state.SetLabel(keyboard.vertical ? "vertical" : "horizontal");
}

void BM_Paint(benchmark::State& state) {
    Keyboard keyboard(state);
    TNoteSet held;
    held.Add(61);
    keyboard.keys.ShowNotes(held);
    for (auto _ : state) keyboard.keys.Paint();
    state.SetLabel(keyboard.vertical ? "vertical" : "horizontal");
}

// The floor for a full redraw: one fill of the same number of pixels.
void BM_FillWholeBuffer(benchmark::State& state) {
    BufferHost host(KeyboardLength, KeyboardDepth);
    for (auto _ : state) {
        fw::FillRect(*host.BackBuffer(), {0, 0, KeyboardLength, KeyboardDepth}, 0x00FFFFFF);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillWholeBuffer)->Unit(benchmark::kMicrosecond);

// Arguments: key width, vertical.
BENCHMARK(BM_PressAndReleaseOneNote)->ArgsProduct({{7, 16}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paint)->ArgsProduct({{7, 16}, {0, 1}})->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace zevaver
