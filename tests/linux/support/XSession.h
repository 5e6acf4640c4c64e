// The X display as the Linux tests use it: keys typed through XTest by key code (exact,
// where xdotool gets modifiers wrong), windows found by name, a window of the tests' own
// that takes the focus, and screenshots of a window's area.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// Xlib's macros would shadow names of the test framework's.
#undef None
#undef Status

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace zevaver {

namespace linuxtest {

// Kernel key codes of the keys the tests type (the X key code is 8 more).
inline constexpr unsigned KeyQ = 16, KeyW = 17, KeyE = 18, KeyZ = 44, KeyX = 45;
inline constexpr unsigned KeyLeftShift = 42, KeyLeftCtrl = 29, KeyLeftAlt = 56, KeyReturn = 28;
inline constexpr unsigned KeyF5 = 63;

class XSession {
public:
    // A busy server may turn a connection away for a moment: tried for a few seconds.
    XSession() {
        // Windows come and go while the tree is walked: an error about one that went is
        // no failure of the test's.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        for (int tries = 0; !display_ && tries < 50; ++tries) {
            display_ = XOpenDisplay(nullptr);
            if (!display_) Pause(100);
        }
    }
    ~XSession() {
        if (own_) XDestroyWindow(display_, own_);
        if (display_) XCloseDisplay(display_);
    }
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    [[nodiscard]] bool Open() const noexcept { return display_ != nullptr; }
    [[nodiscard]] Display* Get() const noexcept { return display_; }

    // One key transition, by kernel key code, on its way to the server at once.
    void Key(unsigned kernelCode, bool down) {
        XTestFakeKeyEvent(display_, kernelCode + 8, down ? True : False, CurrentTime);
        XFlush(display_);
    }
    void Tap(unsigned kernelCode, int holdMs = 30) {
        Key(kernelCode, true);
        Pause(holdMs);
        Key(kernelCode, false);
    }
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
        XFlush(display_);
    }
    void MovePointer(int x, int y) {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XFlush(display_);
    }
    static void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    // The first mapped top-level window with this title (0 for none).
    [[nodiscard]] Window Find(const std::string& title) {
        std::vector<Window> found;
        Collect(DefaultRootWindow(display_), title, found);
        return found.empty() ? 0 : found.front();
    }
    // Waits up to `ms` for a window with this title to be mapped.
    [[nodiscard]] Window Await(const std::string& title, int ms = 10000) {
        for (int waited = 0; waited < ms; waited += 50) {
            if (Window window = Find(title)) return window;
            Pause(50);
        }
        return 0;
    }

    // Waits up to `ms` until no window with this title is mapped.
    [[nodiscard]] bool AwaitGone(const std::string& title, int ms = 5000) {
        for (int waited = 0; waited < ms; waited += 50) {
            if (!Find(title)) return true;
            Pause(50);
        }
        return false;
    }
    // Answers the box with this title with Return, once it takes keys.
    [[nodiscard]] bool Dismiss(const std::string& title) {
        for (int tries = 0; tries < 5; ++tries) {
            const Window box = Await(title, 5000);
            if (!box) return false;
            Pause(200);
            Focus(box);
            Pause(100);
            Tap(KeyReturn);
            if (AwaitGone(title, 1000)) return true;
        }
        return false;
    }

    // A window of the tests' own, mapped and given the input focus: keys typed now are
    // typed into it, not into the program. Counts the key presses it receives.
    Window FocusOwnWindow() {
        if (!own_) {
            own_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, 200, 100, 0,
                                       0, 0xFFFFFF);
            XStoreName(display_, own_, "Test focus");
            XSelectInput(display_, own_, KeyPressMask | ExposureMask);
            XMapRaised(display_, own_);
            XSync(display_, False);
            Pause(100);
        }
        Focus(own_);
        return own_;
    }
    void Focus(Window window) {
        XSetInputFocus(display_, window, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    [[nodiscard]] Window FocusedWindow() {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        return focus;
    }
    // Key presses the own window received so far.
    [[nodiscard]] int OwnKeyPresses() {
        XSync(display_, False);
        XEvent event;
        while (own_ && XCheckWindowEvent(display_, own_, KeyPressMask, &event)) ++ownPresses_;
        return ownPresses_;
    }

    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
    };
    [[nodiscard]] Geometry WindowGeometry(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        return {x, y, attributes.width, attributes.height};
    }
    [[nodiscard]] bool Viewable(Window window) {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display_, window, &attributes) &&
               attributes.map_state == IsViewable;
    }
    // The screen's pixels (0x00RRGGBB) of a rectangle, row by row.
    [[nodiscard]] std::vector<uint32_t> Pixels(const Geometry& area) {
        std::vector<uint32_t> pixels;
        XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y,
                                  static_cast<unsigned>(area.width),
                                  static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
        if (!image) return pixels;
        for (int y = 0; y < area.height; ++y)
            for (int x = 0; x < area.width; ++x)
                pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
        XDestroyImage(image);
        return pixels;
    }

private:
    void Collect(Window parent, const std::string& title, std::vector<Window>& found) {
        Window root = 0, up = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, parent, &root, &up, &children, &count)) return;
        for (unsigned i = 0; i < count; ++i) {
            char* name = nullptr;
            if (XFetchName(display_, children[i], &name) && name) {
                if (title == name && Viewable(children[i])) found.push_back(children[i]);
                XFree(name);
            }
            Collect(children[i], title, found);
        }
        if (children) XFree(children);
    }

    Display* display_ = nullptr;
    Window own_ = 0;
    int ownPresses_ = 0;
};

} // namespace linuxtest

} // namespace zevaver
