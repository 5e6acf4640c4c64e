// One step of a border drag on the real main window under Wine: the window takes a new
// size, lays itself out and repaints everything (border, chrome, fader, keyboard) before
// the step returns. A bitmap skin at 1920 x 200, alternating between two widths so every
// step is a real change.
//
// Usage (from a folder holding "Skins\"): resize_step [skin] [steps]
#include "framework/win/Application.h"
#include "mainwindow/win/KeysForm.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

class SilentMidi final : public MidiOut {
public:
    uint32_t DeviceCount() override { return 1; }
    Result DeviceName(int, std::string& name) override {
        name = "Bench";
        return NoError;
    }
    OpenResult Open(int) override { return {NoError, 1}; }
    Result ShortMessage(Handle, uint32_t) override { return NoError; }
    Result Reset(Handle) override { return NoError; }
    Result Close(Handle) override { return NoError; }
};

// The bench's own settings, kept in memory: the user's registry is left alone.
class BenchRegistry final : public SettingsRegistry {
public:
    explicit BenchRegistry(const std::string& skin)
        : values_{{"Skin", skin},     {"Width", "1920"},    {"Height", "200"},  {"Left", "0"},
                  {"Top", "0"},       {"Note Width", "16"}, {"Vertical", "No"}, {"Velocity", "40"},
                  {"Enabled", "Yes"}, {"Layout", "Piano"},  {"Channel", "1"},   {"Device", "0"},
                  {"Pedal Key", "-1"}} {}
    bool KeyExists(RegistryHive hive, std::string_view) override {
        return hive == RegistryHive::CurrentUser;
    }
    bool OpenKey(RegistryHive hive, std::string_view, bool) override {
        return hive == RegistryHive::CurrentUser;
    }
    RegistryText ReadString(const std::string& name) override {
        const auto found = values_.find(name);
        if (found == values_.end()) return {};
        return {RegistryText::Kind::Text, found->second};
    }
    bool WriteString(const std::string&, const std::string&) override { return true; }
    void CloseKey() override {}

private:
    std::map<std::string, std::string> values_;
};

double Milliseconds(long long ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e3 / static_cast<double>(frequency.QuadPart);
}

long long Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string skin = argc > 1 ? argv[1] : "Zevizi";
    const int steps = argc > 2 ? std::max(10, std::atoi(argv[2])) : 300;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    SilentMidi midi;
    BenchRegistry registry(skin);
    TKeysForm form(KeysFormOptions{&midi, &registry});
    if (!form.Create()) return 1;
    HWND window = form.Handle();
    SetWindowPos(window, nullptr, 0, 0, 1920, 200, SWP_NOZORDER);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Pump();

    // The whole step, and its two halves: the new size with its layout, and the repaint.
    std::vector<double> whole, sizing, painting;
    for (int i = 0; i < steps; ++i) {
        const long long start = Now();
        SetWindowPos(window, nullptr, 0, 0, 1920 - (i & 1), 200,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const long long sized = Now();
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const long long end = Now();
        whole.push_back(Milliseconds(end - start));
        sizing.push_back(Milliseconds(sized - start));
        painting.push_back(Milliseconds(end - sized));
        Pump();
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
        const long long start = Now();
        SetWindowPos(bare, nullptr, 0, 0, 1920 - (i & 1), 200,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        bareSizing.push_back(Milliseconds(Now() - start));
        Pump();
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
