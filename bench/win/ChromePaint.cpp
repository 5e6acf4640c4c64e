// The cost of painting a bitmap-skin window under Wine: the whole paint routine (border,
// chrome controls, frame, keyboard) against the keyboard alone at the same size, and one
// chrome control's repaint and copy (what a button press or a blink costs).
//
// Usage: chrome_paint.exe STAGE_FOLDER [SKIN] [REPEATS]
#include "engine/Settings.h"
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
    OpenResult Open(int) override { return {NoError, reinterpret_cast<Handle>(1)}; }
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
    std::printf("skin %s (%s)\n", ::Settings.Skin.c_str(),
                ::SkinConfig.WindowsStyle ? "windows-style" : "bitmap");

    const SIZE sizes[] = {{716, 140}, {1920, 200}};
    for (const SIZE size : sizes) {
        SetWindowPos(form.Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Drain();
        const double full = Median(repeats, [&] {
            RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        });
        const double keys = Median(repeats, [&] { form.MIDIKeys().Paint(); });
        std::printf("%4ld x %3ld  full repaint %8.1f us   keyboard only %8.1f us   ratio %.2f\n",
                    size.cx, size.cy, full, keys, keys > 0 ? full / keys : 0.0);
    }
    TCloseBtn& close = form.Skin().Chrome().CloseBtn;
    const double control = Median(repeats, [&] {
        close.Pressed = !close.Pressed;
        close.Paint();
        close.Flush();
    });
    close.Pressed = false;
    std::printf("one control's repaint and copy (close button)  %8.1f us\n", control);
    form.FormDestroy();
    return 0;
}
