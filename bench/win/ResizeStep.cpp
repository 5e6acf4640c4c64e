// One step of a border drag on the real main window under Wine: the window takes a new
// size, lays itself out and repaints everything (border, chrome, fader, keyboard) before
// the step returns. A bitmap skin at 1920 x 200, alternating between two widths so every
// step is a real change.
//
// Usage (from a folder holding "Skins\"): resize_step [skin] [steps]
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
#include <string>
#include <vector>

namespace zevaver {

namespace {

double Milliseconds(long long ticks) {
    return bench::Microseconds(ticks) / 1e3;
}

} // namespace

} // namespace zevaver

int main(int argc, char** argv) {
    using namespace zevaver;
    const std::string skin = argc > 1 ? argv[1] : "Zevizi";
    const int steps = argc > 2 ? std::max(10, std::atoi(argv[2])) : 300;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    fakes::SilentMidi midi;
    // The bench's own settings, kept in memory: the user's registry is left alone.
    fakes::MapRegistry registry({{"Skin", skin},
                                 {"Width", "1920"},
                                 {"Height", "200"},
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
    TKeysForm form(KeysFormOptions{&midi, &registry});
    if (!form.Create()) return 1;
    HWND window = form.Handle();
    SetWindowPos(window, nullptr, 0, 0, 1920, 200, SWP_NOZORDER);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    bench::PumpMessages();

    // The whole step, and its two halves: the new size with its layout, and the repaint.
    std::vector<double> whole, sizing, painting;
    for (int i = 0; i < steps; ++i) {
        const long long start = bench::Now();
        SetWindowPos(window, nullptr, 0, 0, 1920 - (i & 1), 200,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const long long sized = bench::Now();
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const long long end = bench::Now();
        whole.push_back(Milliseconds(end - start));
        sizing.push_back(Milliseconds(sized - start));
        painting.push_back(Milliseconds(end - sized));
        bench::PumpMessages();
    }
    auto report = [&](const char* what, std::vector<double>& times) {
        std::sort(times.begin(), times.end());
        double sum = 0;
        for (double t : times) sum += t;
        std::printf("%-28s median %.3f ms, mean %.3f ms, 90th percentile %.3f ms\n", what,
                    times[times.size() / 2], sum / static_cast<double>(times.size()),
                    times[times.size() * 9 / 10]);
    };
    // The floor: the same steps on a bare popup window that paints nothing.
    HWND bare = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 300, 1920, 200, nullptr,
                                nullptr, nullptr, nullptr);
    std::vector<double> bareSizing;
    for (int i = 0; i < steps; ++i) {
        const long long start = bench::Now();
        SetWindowPos(bare, nullptr, 0, 0, 1920 - (i & 1), 200,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        bareSizing.push_back(Milliseconds(bench::Now() - start));
        bench::PumpMessages();
    }
    std::printf("skin %s, 1920 x 200, %d steps\n", skin.c_str(), steps);
    report("resize step:", whole);
    report("  new size and layout:", sizing);
    report("  repaint:", painting);
    report("bare window, new size:", bareSizing);
    std::fflush(stdout);
    // The bench leaves without the window's shutdown steps: nothing is kept.
    ExitProcess(0);
}
