// What reaches the component's events: messages sent straight to the receiver window as
// the library would post them, and real input injected with SendInput through the real
// library, with the documented parameters.
#include "WatchTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <tuple>

namespace zevaver {

using namespace watchtest;

namespace {

std::string ShellEvent(const char* what, HWND window, const std::string& title) {
    return std::string(what) + " " + std::to_string(reinterpret_cast<intptr_t>(window)) + " '" +
           title + "'";
}

std::string KeyEvent(int32_t wParam, uint32_t lParam) {
    char text[40];
    snprintf(text, sizeof(text), "key %d 0x%08X", wParam, lParam);
    return text;
}

std::string At(int32_t x, int32_t y) {
    return ' ' + std::to_string(x) + "," + std::to_string(y);
}

// Records events as "created 1234 'title'", "down right double 10,20", "move 10,20",
// "key 16 0x002A0001" and so on.
class WatchEvents : public WatchTest {
protected:
    void RecordShellEvents() {
        auto recorder = [this](const char* what) {
            return [this, what](TWatch&, int32_t handle, const std::string& title) {
                events_.push_back(
                    ShellEvent(what, reinterpret_cast<HWND>(intptr_t{handle}), title));
            };
        };
        watch_.OnWindowCreated = recorder("created");
        watch_.OnWindowDestroyed = recorder("destroyed");
        watch_.OnActivateShellWindow = recorder("shell");
        watch_.OnWindowActivated = recorder("activated");
    }
    void RecordMouseEvents() {
        auto recorder = [this](std::string what) {
            return [this, what](TWatch&, watch::MouseButton button, bool doubleClick, int32_t x,
                                int32_t y) {
                const char* buttons[] = {" left", " right", " middle"};
                events_.push_back(what + buttons[static_cast<int>(button)] +
                                  (doubleClick ? " double" : "") + At(x, y));
            };
        };
        watch_.OnMouseDown = recorder("down");
        watch_.OnMouseUp = recorder("up");
        watch_.OnMouseMove = [this](TWatch&, int32_t x, int32_t y) {
            events_.push_back("move" + At(x, y));
        };
    }
    // Waits for the expected number of events, then a little longer for any surplus.
    void AwaitEvents(size_t expected) {
        EXPECT_TRUE(PumpUntil([&] { return events_.size() >= expected; }));
        (void)PumpUntil([&] { return events_.size() > expected; }, 20);
    }

    Events events_;
};

// The stand-in library keeps real input out.
class WatchDispatch : public WatchEvents {
protected:
    void SetUp() override {
        WatchEvents::SetUp();
        watch_.SetLibraryPath(ScriptedLibraryPath());
        watch_.StartWatching(1);
        ASSERT_TRUE(watch_.LibraryLoaded());
    }
    LRESULT Shell(HWND window, int32_t code) {
        return SendMessageA(watch_.ReceiverWindow(), watch_.ShellMessage(),
                            reinterpret_cast<WPARAM>(window), code);
    }
    void Mouse(uint32_t message, uint32_t position) {
        SendMessageA(watch_.ReceiverWindow(), watch_.MouseMessage(), message, position);
    }
};

TEST_F(WatchDispatch, ShellCodesOneToFourReachTheirEventsWithTheTitleCutTo299Characters) {
    RecordShellEvents();
    fw::Window editor = MakeTopLevelWindow("Some editor");
    fw::Window longTitle = MakeTopLevelWindow(std::string(400, 'T'));
    fw::Window untitled = MakeTopLevelWindow("");
    for (int32_t code : {1, 2, 3, 4, 5, 0, 32772}) EXPECT_EQ(Shell(editor.get(), code), 0);
    for (HWND window : {longTitle.get(), untitled.get(), HWND{}}) Shell(window, 1);
    const HWND handle = editor.get();
    EXPECT_EQ(events_, (Events{ShellEvent("created", handle, "Some editor"),
                               ShellEvent("destroyed", handle, "Some editor"),
                               ShellEvent("shell", handle, "Some editor"),
                               ShellEvent("activated", handle, "Some editor"),
                               ShellEvent("created", longTitle.get(), std::string(299, 'T')),
                               ShellEvent("created", untitled.get(), ""),
                               ShellEvent("created", nullptr, "")}));
}

TEST_F(WatchDispatch, AnActivationWithTheLastTitleIsDroppedUnlessRepeatsAreWanted) {
    fw::Window first = MakeTopLevelWindow("Same title");
    fw::Window second = MakeTopLevelWindow("Same title");
    fw::Window other = MakeTopLevelWindow("Other title");
    Shell(first.get(), 4); // while nobody listens, not even remembered
    RecordShellEvents();
    for (HWND window : {first.get(), second.get(), other.get(), first.get()}) Shell(window, 4);
    watch_.RepeatedEvents = true;
    Shell(second.get(), 4);
    EXPECT_EQ(events_, (Events{ShellEvent("activated", first.get(), "Same title"),
                               ShellEvent("activated", other.get(), "Other title"),
                               ShellEvent("activated", first.get(), "Same title"),
                               ShellEvent("activated", second.get(), "Same title")}));
}

TEST_F(WatchDispatch, EventsAboutTheApplicationWindowAreDroppedUnlessOwnEventsAreWanted) {
    RecordShellEvents();
    fw::Window application = MakeTopLevelWindow("Application");
    fw::Window sibling = MakeTopLevelWindow("Sibling");
    watch_.SetApplicationWindow(application.get());
    Shell(application.get(), 1);
    Shell(sibling.get(), 1);
    watch_.NotifyOwnEvents = true;
    Shell(application.get(), 2);
    EXPECT_EQ(events_, (Events{ShellEvent("created", sibling.get(), "Sibling"),
                               ShellEvent("destroyed", application.get(), "Application")}));
}

TEST_F(WatchDispatch, MouseMessagesBecomeButtonEventsByTheirLowFourBits) {
    Mouse(0x200, 0x00020001); // nobody listens: nothing at all
    RecordMouseEvents();
    for (uint32_t message : {0x201, 0x202, 0x206, 0x208, 0x209, 0x20A, 0x20F, 0x200})
        Mouse(message, 0xFFFF8000);
    const std::string at = At(-32768, -1); // signed: left of and above the primary monitor
    EXPECT_EQ(events_,
              (Events{"down left" + at, "up left" + at, "down right double" + at, "up middle" + at,
                      "down middle double" + at, "down left" + at, "down left" + at, "move" + at}));
}

// A key arrives mostly inside the keyboard hook's call, while every program's input waits
// for it: a box shown from there would hold up the whole session until it is closed.
TEST_F(WatchDispatch, ErrorsOfAKeyHandlerAreShownInOrderOnlyAfterItHasReturned) {
    Events shownDuringTheCall;
    watch_.OnKeyNative = [&](TWatch&, int32_t wParam, int32_t) {
        fw::ReportError("reported " + std::to_string(wParam));
        shownDuringTheCall.insert(shownDuringTheCall.end(), shownBoxes.begin(), shownBoxes.end());
        if (wParam == 2) throw std::runtime_error("thrown");
    };
    for (WPARAM key : {1, 2}) SendMessageA(watch_.ReceiverWindow(), watch_.KeyMessage(), key, 0);
    EXPECT_EQ(shownDuringTheCall, Events{});
    EXPECT_EQ(shownBoxes, Events{}) << "nor as the call returns";
    EXPECT_TRUE(PumpUntil([&] { return shownBoxes.size() >= 3; }));
    EXPECT_EQ(shownBoxes, (Events{"reported 1", "reported 2", "thrown"}));
}

using WatchInput = WatchEvents;

TEST_F(WatchInput, EveryKeystrokeArrivesWithTheKeyCodeAndThePlatformsKeyFlags) {
    constexpr DWORD Up = KEYEVENTF_KEYUP;
    constexpr DWORD Extended = KEYEVENTF_EXTENDEDKEY;
    // Key, scan code and flags sent; wParam and lParam expected.
    const std::tuple<WORD, WORD, DWORD, int32_t, uint32_t> rows[] = {
        // Press, auto-repeat, release; a scan code the input lacks comes from the key.
        {'A', 0x1E, 0, 'A', 0x001E0001},
        {'A', 0x1E, 0, 'A', 0x401E0001},
        {'A', 0x1E, Up, 'A', 0xC01E0001},
        {'A', 0, 0, 'A', 0x001E0001},
        {'A', 0, Up, 'A', 0xC01E0001},
        // Either Shift is 16 with its own scan code, also when named by scan code alone.
        {VK_LSHIFT, 0x2A, 0, 16, 0x002A0001},
        {VK_LSHIFT, 0x2A, Up, 16, 0xC02A0001},
        {VK_RSHIFT, 0x36, 0, 16, 0x00360001},
        {VK_RSHIFT, 0x36, Up, 16, 0xC0360001},
        {0, 0x36, 0, 16, 0x00360001},
        {0, 0x36, Up, 16, 0xC0360001},
        // Alt context while Alt is down, but not on its release; extended keys say so.
        {VK_LMENU, 0x38, 0, 18, 0x20380001},
        {'A', 0x1E, 0, 'A', 0x201E0001},
        {'A', 0x1E, Up, 'A', 0xE01E0001},
        {VK_LMENU, 0x38, Up, 18, 0xC0380001},
        {VK_RCONTROL, 0x1D, Extended, 17, 0x011D0001},
        {VK_RCONTROL, 0x1D, Extended | Up, 17, 0xC11D0001},
    };
    watch_.OnKeyNative = [this](TWatch&, int32_t wParam, int32_t lParam) {
        events_.push_back(KeyEvent(wParam, static_cast<uint32_t>(lParam)));
    };
    watch_.StartWatching(watch::KindKeyboard);
    ASSERT_TRUE(watch_.LibraryLoaded());
    Events expected;
    for (const auto& [key, scan, flags, wParam, lParam] : rows) {
        SendKey(key, scan, flags);
        expected.push_back(KeyEvent(wParam, lParam));
    }
    AwaitEvents(expected.size());
    EXPECT_EQ(events_, expected);
}

TEST_F(WatchInput, MouseActionsArriveWithTheirButtonsAtTheCursorPosition) {
    auto send = [](DWORD flags, LONG dx = 0, LONG dy = 0) {
        INPUT input{INPUT_MOUSE};
        input.mi.dx = dx;
        input.mi.dy = dy;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof(input));
    };
    RecordMouseEvents();
    watch_.StartWatching(watch::KindMouse);
    ASSERT_TRUE(watch_.LibraryLoaded());
    // Absolute coordinates span 0..65535 over the primary screen.
    send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 65536 / 8, 65536 / 4);
    ASSERT_TRUE(PumpUntil([&] { return !events_.empty(); }));
    POINT cursor{};
    GetCursorPos(&cursor);
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTDOWN,
                        MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP})
        send(flags);
    AwaitEvents(7);
    const std::string at = At(cursor.x, cursor.y);
    EXPECT_EQ(events_, (Events{"move" + at, "down left" + at, "up left" + at, "down right" + at,
                               "up right" + at, "down middle" + at, "up middle" + at}));
}

TEST_F(WatchInput, WatchingTheShellReportsATopLevelWindowCreatedActivatedAndDestroyed) {
    RecordShellEvents();
    watch_.StartWatching(watch::KindShell);
    ASSERT_TRUE(watch_.LibraryLoaded());
    fw::Window window = MakeTopLevelWindow("Watched window", true);
    ASSERT_TRUE(window);
    const HWND handle = window.get();
    SetForegroundWindow(window.get());
    auto seen = [&](const char* what, const std::string& title) {
        return std::ranges::count(events_, ShellEvent(what, handle, title)) > 0;
    };
    EXPECT_TRUE(PumpUntil(
        [&] { return seen("created", "Watched window") && seen("activated", "Watched window"); }));
    window.reset();
    EXPECT_TRUE(PumpUntil([&] { return seen("destroyed", ""); }));
}

// The keyboard hook runs on the receiver's thread when that thread switches it on; from any
// other thread it runs on the library's own, and the keys still arrive.
TEST_F(WatchInput, KeysArriveAlsoWhenAnotherThreadSwitchedTheKeyboardOn) {
    watch_.OnKeyNative = [this](TWatch&, int32_t wParam, int32_t lParam) {
        events_.push_back(KeyEvent(wParam, static_cast<uint32_t>(lParam)));
    };
    watch_.StartWatching(watch::KindMouse); // opens the library with this thread's receiver
    ASSERT_TRUE(watch_.LibraryLoaded());
    std::thread([this] { real_.StartWatching(watch::KindKeyboard); }).join();
    SendKey('A', 0x1E, 0);
    SendKey('A', 0x1E, KEYEVENTF_KEYUP);
    AwaitEvents(2);
    EXPECT_EQ(events_, (Events{KeyEvent('A', 0x001E0001), KeyEvent('A', 0xC01E0001)}));
}

} // namespace

} // namespace zevaver
