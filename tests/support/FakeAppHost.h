// The main window as the application core sees it, in memory: a real pixel buffer, the
// window's outer bounds with a fixed frame around the client area, the fader, and a log
// of the errors, icons, popups and timers the core asked for.
#pragma once

#include "framework/PixelSurface.h"
#include "mainwindow/AppCore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zevaver {

namespace fakes {

class FakeAppHost : public AppHost {
public:
    // The frame the platform would add around the client area.
    static constexpr int FrameWidth = 16;
    static constexpr int FrameHeight = 39;

    ScreenSize screen{1024, 768};
    WindowRect bounds{0, 0, 700, 170};
    bool active = false, shown = true, closed = false;
    int32_t fader = 0;
    WindowRect faderBounds;
    bool faderVertical = false; // the keyboard's orientation the fader was placed for
    std::vector<std::string> errors;
    // "tray add TRAYICON", "tray delete", "window MAINICON" in the order asked.
    std::vector<std::string> icons;
    int popups = 0, invalidations = 0, paints = 0; // paints: back-buffer requests
    int fronts = 0;
    std::map<int, uint32_t> timers;
    std::set<int32_t> keysDown; // as the system has them
    uint32_t clock = 0;
    int dpi = 96; // the window's
    // The DPI of the screen under an area; the window's when not given.
    std::function<int(const WindowRect&)> dpiAt;
    // The work areas (and monitors); the primary screen's whole rectangle when empty.
    std::vector<fw::PixelRect> workAreas;

    fw::PixelSurface* BackBuffer() override {
        ++paints;
        const ClientSize client = ClientArea();
        pixels_.assign(static_cast<size_t>(client.width) * static_cast<size_t>(client.height), 0);
        surface_ = {pixels_.data(), client.width, client.height, client.width};
        return pixels_.empty() ? nullptr : &surface_;
    }
    void Present(int, int, int, int) override {}
    void Invalidate() override { ++invalidations; }
    void CaptureMouse() override {}
    void ReleaseMouseCapture() override {}
    void SetSkinCursor() override {}
    ScreenSize PrimaryScreen() override { return screen; }
    WindowRect WindowBounds() override { return bounds; }
    void SetWindowBounds(const WindowRect& value) override { bounds = value; }
    ClientSize ClientArea() override {
        return {bounds.width - FrameWidth, bounds.height - FrameHeight};
    }
    // The monitors are the work areas when those are given.
    std::vector<fw::PixelRect> Monitors() override {
        return workAreas.empty() ? AppHost::Monitors() : workAreas;
    }
    std::vector<fw::PixelRect> WorkAreas() override { return Monitors(); }
    int WindowDpi() override { return dpi; }
    int DpiAt(const WindowRect& area) override { return dpiAt ? dpiAt(area) : dpi; }
    bool IsActive() override { return active; }
    bool IsKeyDown(int32_t key) override { return keysDown.count(key) != 0; }
    uint32_t EventTime() override { return clock; }
    void CloseWindow() override { closed = true; }
    int32_t FaderPosition() override { return fader; }
    void SetFaderPosition(int32_t position) override { fader = position; }
    void PlaceFader(const WindowRect& value, bool vertical) override {
        faderBounds = value;
        faderVertical = vertical;
    }
    void TrayIcon(const std::string& name, TrayAction action) override {
        static const char* const verbs[] = {"add", "modify", "delete"};
        icons.push_back(std::string("tray ") + verbs[static_cast<int>(action)] +
                        (name.empty() ? "" : " " + name));
    }
    void SetWindowIcon(const std::string& name) override { icons.push_back("window " + name); }
    void ShowApplicationWindow(bool value) override { shown = value; }
    void BringToFront() override { ++fronts; }
    // What happens while a box shows: its own message loop handles the program's messages.
    std::function<void()> whileBoxShows;
    void ReportError(const std::string& text) override {
        errors.push_back(text);
        if (whileBoxShows) whileBoxShows();
    }
    void ShowPopup(fw::MenuItem&) override { ++popups; }
    // The settings dialog: runs settingsDialog, which stands for what the user does in it.
    std::function<void(TSettings&, const std::function<void()>&)> settingsDialog;
    int settingsDialogs = 0;
    void ShowSettingsDialog(TSettings& settings, const std::function<void()>& layoutChanged,
                            const std::function<void()>& dismissed) override {
        ++settingsDialogs;
        if (settingsDialog) settingsDialog(settings, layoutChanged);
        dismissed();
    }
    void StartTimer(int id, uint32_t milliseconds) override { timers[id] = milliseconds; }
    void StopTimer(int id) override { timers.erase(id); }

private:
    std::vector<uint32_t> pixels_;
    fw::PixelSurface surface_{};
};

} // namespace fakes

} // namespace zevaver
