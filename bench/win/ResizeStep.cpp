// One step of a border drag on the real main window under Wine: the window takes a new
// size, lays itself out and repaints what the new size changed before the step returns, as
// a drag by its skinned border does. A bitmap skin at 1920 x 200, alternating between two
// widths so every step is a real change. Beside it, a bare window that fills itself white and
// repaints all of itself at every new size; and both again with the whole window repainted
// at every step. Given display scales (DPI) after the steps, the program's window is made at
// each of them, 1920 x 200 pixels every time, and they take their steps in turn, so their
// costs per pixel compare under the same load.
//
// Usage (from a folder holding "Skins\"): resize_step [skin] [steps] [dpi...]
#include "BenchSupport.h"
#include "framework/win/Application.h"
#include "mainwindow/win/KeysForm.h"
#include "support/MapRegistry.h"
#include "support/SilentMidi.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace zevaver {

namespace {

double Milliseconds(long long ticks) {
    return bench::Microseconds(ticks) / 1e3;
}

// A window that fills its client area white and does nothing else.
LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Times {
    std::vector<double> whole, sizing, painting;
};

// One step: a new width (the two alternate), then the repaint before the step returns:
// of what the window itself marked, or of all of it.
void Step(HWND window, int i, bool repaintAll, Times& times) {
    const long long start = bench::Now();
    SetWindowPos(window, nullptr, 0, 0, 1920 - (i & 1), 200,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const long long sized = bench::Now();
    RedrawWindow(window, nullptr, nullptr,
                 (repaintAll ? RDW_INVALIDATE : 0) | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const long long end = bench::Now();
    times.whole.push_back(Milliseconds(end - start));
    times.sizing.push_back(Milliseconds(sized - start));
    times.painting.push_back(Milliseconds(end - sized));
    bench::PumpMessages();
}

} // namespace

} // namespace zevaver

namespace zevaver {

namespace {

// The program's window at a DPI, at 1920 x 200 pixels, shown `top` pixels down the screen.
std::unique_ptr<TKeysForm> Window(const std::string& skin, int dpi, int top,
                                  fakes::SilentMidi& midi, fakes::MapRegistry& registry) {
    // The bench's own settings, kept in memory: the user's registry is left alone.
    registry = fakes::MapRegistry({{"Skin", skin},
                                   {"Width", "1920"},
                                   {"Height", "200"},
                                   {"DPI", std::to_string(dpi)},
                                   {"Left", "0"},
                                   {"Top", "0"},
                                   {"Note Width", "16"},
                                   {"Vertical", "No"},
                                   {"Velocity", "40"},
                                   {"Enabled", "Yes"},
                                   {"Layout", "Piano"},
                                   {"Channel", "1"},
                                   {"Device", "0"},
                                   {"Pedal Key", "-1"}});
    KeysFormOptions options{&midi, &registry};
    options.dpi = dpi;
    auto form = std::make_unique<TKeysForm>(options);
    if (!form->Create()) return nullptr;
    HWND window = form->Handle();
    SetWindowPos(window, nullptr, 0, top, 1920, 200, SWP_NOZORDER);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    bench::PumpMessages();
    return form;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const char* what, const Times& times) {
    std::printf("%-32s median %.3f ms (new size and layout %.3f, repaint %.3f)\n", what,
                Median(times.whole), Median(times.sizing), Median(times.painting));
}

} // namespace

} // namespace zevaver

int main(int argc, char** argv) {
    using namespace zevaver;
    const std::string skin = argc > 1 ? argv[1] : "Zevizi";
    const int steps = argc > 2 ? std::max(10, std::atoi(argv[2])) : 300;
    std::vector<int> scales;
    for (int i = 3; i < argc; ++i) scales.push_back(std::max(48, std::atoi(argv[i])));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    fakes::SilentMidi midi;
    fakes::MapRegistry registry;
    const std::unique_ptr<TKeysForm> form = Window(skin, 96, 0, midi, registry);
    if (!form) return 1;
    HWND window = form->Handle();

    // The floor: the same steps on a bare popup window that fills itself white, taken in
    // turn with the program's, so a change of load hits both alike.
    WNDCLASSA bareClass{};
    bareClass.lpfnWndProc = &BareProc;
    bareClass.hInstance = GetModuleHandleA(nullptr);
    bareClass.lpszClassName = "BareWindow";
    bareClass.style = CS_HREDRAW | CS_VREDRAW;
    RegisterClassA(&bareClass);
    HWND bare = CreateWindowExA(0, "BareWindow", "", WS_POPUP | WS_VISIBLE, 0, 300, 1920, 200,
                                nullptr, nullptr, bareClass.hInstance, nullptr);
    bench::PumpMessages();
    Times drag, bareDrag, full, bareFull;
    for (int i = 0; i < steps; ++i) {
        Step(window, i, false, drag);
        Step(bare, i, false, bareDrag);
    }
    for (int i = 0; i < steps; ++i) {
        Step(window, i, true, full);
        Step(bare, i, true, bareFull);
    }
    std::printf("skin %s, 1920 x 200, %d steps\n", skin.c_str(), steps);
    Report("drag step:", drag);
    Report("bare window, drag step:", bareDrag);
    std::printf("ratio of the medians: %.2fx\n", Median(drag.whole) / Median(bareDrag.whole));
    Report("whole repaint step:", full);
    Report("bare window, whole repaint step:", bareFull);
    std::printf("ratio of the medians: %.2fx\n", Median(full.whole) / Median(bareFull.whole));

    if (!scales.empty()) {
        DestroyWindow(bare);
        std::vector<fakes::MapRegistry> registries(scales.size());
        std::vector<std::unique_ptr<TKeysForm>> forms;
        for (size_t k = 0; k < scales.size(); ++k) {
            forms.push_back(
                Window(skin, scales[k], 300 + 220 * static_cast<int>(k), midi, registries[k]));
            if (!forms.back()) return 1;
        }
        std::vector<Times> drags(scales.size()), repaints(scales.size());
        for (int i = 0; i < steps; ++i)
            for (size_t k = 0; k < scales.size(); ++k) Step(forms[k]->Handle(), i, false, drags[k]);
        for (int i = 0; i < steps; ++i)
            for (size_t k = 0; k < scales.size(); ++k)
                Step(forms[k]->Handle(), i, true, repaints[k]);
        std::printf("the same window at each display scale, 1920 x 200 pixels, in turn:\n");
        for (size_t k = 0; k < scales.size(); ++k) {
            std::printf(
                "  %3d DPI  drag step %.3f ms (%.2fx)  whole repaint step %.3f ms (%.2fx)\n",
                scales[k], Median(drags[k].whole), Median(drags[k].whole) / Median(drags[0].whole),
                Median(repaints[k].whole), Median(repaints[k].whole) / Median(repaints[0].whole));
        }
    }
    std::fflush(stdout);
    // The bench leaves without the window's shutdown steps: nothing is kept.
    ExitProcess(0);
}
