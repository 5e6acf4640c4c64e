// The cost of painting a bitmap-skin window under Wine: the whole paint routine (border,
// chrome controls, frame, keyboard) against the keyboard alone at the same size, and one
// chrome control's repaint and copy (what a button press or a blink costs).
//
// Usage: chrome_paint.exe STAGE_FOLDER [SKIN] [REPEATS]
#include "mainwindow/win/KeysForm.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class SilentMidi final : public MidiOut {
public:
    uint32_t DeviceCount() override { return 1; }
    Result DeviceName(int, std::string& name) override {
        name = "Synth";
        return NoError;
    }
    OpenResult Open(int) override { return {NoError, static_cast<Handle>(1)}; }
    Result ShortMessage(Handle, uint32_t) override { return NoError; }
    Result Reset(Handle) override { return NoError; }
    Result Close(Handle) override { return NoError; }
};

class FixedRegistry final : public SettingsRegistry {
public:
    std::string skin;
    bool KeyExists(RegistryHive hive, std::string_view) override {
        return hive == RegistryHive::CurrentUser;
    }
    bool OpenKey(RegistryHive hive, std::string_view, bool) override {
        return hive == RegistryHive::CurrentUser;
    }
    RegistryText ReadString(const std::string& name) override {
        if (name == "Skin") return {RegistryText::Kind::Text, skin};
        if (name == "Width") return {RegistryText::Kind::Text, "716"};
        if (name == "Height") return {RegistryText::Kind::Text, "140"};
        if (name == "Channel") return {RegistryText::Kind::Text, "1"};
        if (name == "Note Width") return {RegistryText::Kind::Text, "16"};
        if (name == "Enabled") return {RegistryText::Kind::Text, "Yes"};
        return {};
    }
    bool WriteString(const std::string&, const std::string&) override { return true; }
    void CloseKey() override {}
};

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Median microseconds of one call.
template <typename Fn> double Median(int repeats, Fn&& fn) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const double start = Now();
        fn();
        GdiFlush();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Drain() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: chrome_paint STAGE_FOLDER [SKIN] [REPEATS]\n");
        return 2;
    }
    SetCurrentDirectoryA(argv[1]);
    SilentMidi midi;
    FixedRegistry registry;
    registry.skin = argc > 2 ? argv[2] : "Zevizi";
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;

    TKeysForm form(KeysFormOptions{&midi, &registry});
    if (!form.Create()) return 1;
    ShowWindow(form.Handle(), SW_SHOWNORMAL);
    Drain();
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
        Drain();
        return Median(repeats, [&] {
            RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        });
    };
    const SIZE sizes[] = {{716, 140}, {1920, 200}};
    double bitmapSkin[2] = {}, keysAlone[2] = {};
    for (int i = 0; i < 2; ++i) {
        bitmapSkin[i] = fullRepaint(sizes[i]);
        keysAlone[i] = Median(repeats, [&] { form.MIDIKeys().Paint(); });
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
    Drain();
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
    return 0;
}
