// The cost of painting a bitmap-skin window under Wine: the whole paint routine (border,
// chrome controls, frame, keyboard) against the keyboard alone at the same size, and one
// chrome control's repaint and copy (what a button press or a blink costs). Given display
// scales (DPI) after the repeats, the whole paint routine again on a window of 716 x 140 at
// 96 DPI made at each scale (1432 x 280 at 192), the windows taking turns; its cost per
// pixel against the first scale's.
//
// Usage: chrome_paint.exe STAGE_FOLDER [SKIN] [REPEATS] [DPI...]
#include "BenchSupport.h"
#include "mainwindow/win/KeysForm.h"
#include "support/MapRegistry.h"
#include "support/SilentMidi.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

namespace zevaver {

namespace {

// Median microseconds of one call.
template <typename Fn> double Median(int repeats, Fn&& fn) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const long long start = bench::Now();
        fn();
        GdiFlush();
        times.push_back(bench::Microseconds(bench::Now() - start));
    }
    return bench::Median(std::move(times));
}

} // namespace

} // namespace zevaver

int main(int argc, char** argv) {
    using namespace zevaver;
    if (argc < 2) {
        std::fprintf(stderr, "usage: chrome_paint STAGE_FOLDER [SKIN] [REPEATS]\n");
        return 2;
    }
    SetCurrentDirectoryA(argv[1]);
    fakes::SilentMidi midi;
    // The bench's own settings, kept in memory: the user's registry is left alone.
    fakes::MapRegistry registry({{"Skin", argc > 2 ? argv[2] : "Zevizi"},
                                 {"Width", "716"},
                                 {"Height", "140"},
                                 {"Channel", "1"},
                                 {"Note Width", "16"},
                                 {"Enabled", "Yes"}});
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;

    TKeysForm form(KeysFormOptions{&midi, &registry});
    if (!form.Create()) return 1;
    ShowWindow(form.Handle(), SW_SHOWNORMAL);
    bench::PumpMessages();
    std::printf("skin %s (%s)\n", form.State().Settings.Skin.c_str(),
                form.State().SkinConfig.WindowsStyle ? "windows-style" : "bitmap");

    // The whole paint routine of a window of the given client size, in the current skin.
    const auto fullRepaint = [&](SIZE client) {
        RECT frame{0, 0, client.cx, client.cy};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(form.Handle(), GWL_STYLE)),
                           FALSE, 0);
        SetWindowPos(form.Handle(), nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_NOZORDER | SWP_NOMOVE);
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        bench::PumpMessages();
        return Median(repeats, [&] {
            RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        });
    };
    const SIZE sizes[] = {{716, 140}, {1920, 200}};
    double bitmapSkin[2] = {}, keysAlone[2] = {};
    for (int i = 0; i < 2; ++i) {
        bitmapSkin[i] = fullRepaint(sizes[i]);
        keysAlone[i] = Median(repeats, [&] { form.Keys().Paint(); });
        TSkin& skin = *form.Skin();
        const double border =
            Median(repeats, [&] { skin.Chrome().DrawBorder(sizes[i].cx, sizes[i].cy); });
        const double controls = Median(repeats, [&] { skin.Chrome().CtrlsList.PaintCtrls(); });
        const double chrome = Median(repeats, [&] {
            skin.BeginFrame();
            skin.PaintChrome();
            skin.EndFrame();
        });
        std::printf("   parts: border %.1f us, controls %.1f us, chrome without copies %.1f us\n",
                    border, controls, chrome);
    }
    TCloseBtn& close = form.Skin()->Chrome().CloseBtn;
    const double control = Median(repeats, [&] {
        close.Pressed = !close.Pressed;
        close.Paint();
        close.Flush();
    });
    close.Pressed = false;

    // The same windows through a windows-style skin: the keyboard is all the routine paints.
    fw::MenuItem& skins = form.Menu().Item("mnuSkin");
    for (size_t i = 0; i < skins.Count(); ++i)
        if (skins[i].Hint() == "Classic") skins[i].Click();
    bench::PumpMessages();
    for (int i = 0; i < 2; ++i) {
        const double keysOnly = fullRepaint(sizes[i]);
        std::printf("%4ld x %3ld  full repaint, bitmap skin %7.1f us | windows-style skin "
                    "(keyboard only) %7.1f us | ratio %.2f | the keyboard's own repaint and "
                    "copy %6.1f us\n",
                    sizes[i].cx, sizes[i].cy, bitmapSkin[i], keysOnly,
                    keysOnly > 0 ? bitmapSkin[i] / keysOnly : 0.0, keysAlone[i]);
    }
    std::printf("one control's repaint and copy (close button)  %7.1f us\n", control);
    form.FormDestroy();

    std::vector<int> scales;
    for (int i = 4; i < argc; ++i) scales.push_back(std::max(48, std::atoi(argv[i])));
    if (scales.empty()) return 0;
    const std::string skin = argc > 2 ? argv[2] : "Zevizi";
    std::vector<fakes::MapRegistry> registries(scales.size());
    std::vector<std::unique_ptr<TKeysForm>> forms;
    for (size_t k = 0; k < scales.size(); ++k) {
        registries[k].values = {{"Skin", skin},
                                {"Width", "716"},
                                {"Height", "140"},
                                {"DPI", "96"},
                                {"Channel", "1"},
                                {"Note Width", "16"},
                                {"Enabled", "Yes"},
                                {"Left", "0"},
                                {"Top", std::to_string(160 + 300 * static_cast<int>(k))}};
        KeysFormOptions options{&midi, &registries[k]};
        options.dpi = scales[k];
        forms.push_back(std::make_unique<TKeysForm>(options));
        if (!forms.back()->Create()) return 1;
        ShowWindow(forms.back()->Handle(), SW_SHOWNORMAL);
    }
    bench::PumpMessages();
    std::vector<std::vector<double>> times(scales.size());
    for (int i = 0; i < repeats; ++i) {
        for (size_t k = 0; k < scales.size(); ++k) {
            const long long start = bench::Now();
            RedrawWindow(forms[k]->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            GdiFlush();
            times[k].push_back(bench::Microseconds(bench::Now() - start));
        }
    }
    std::printf("a full repaint of the 716 x 140 window at each display scale, in turn:\n");
    double first = 0;
    for (size_t k = 0; k < scales.size(); ++k) {
        RECT client{};
        GetClientRect(forms[k]->Handle(), &client);
        const double pixels = static_cast<double>(client.right) * client.bottom;
        const double perMegapixel = bench::Median(times[k]) / pixels * 1e6;
        if (k == 0) first = perMegapixel;
        std::printf("  %3d DPI  %4ld x %3ld  %7.1f us  %7.1f us per million pixels (%.2fx)\n",
                    scales[k], client.right, client.bottom, bench::Median(times[k]), perMegapixel,
                    first > 0 ? perMegapixel / first : 0.0);
    }
    for (auto& each : forms) each->FormDestroy();
    return 0;
}
