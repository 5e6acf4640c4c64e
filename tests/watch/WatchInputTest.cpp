// Real input through the real hook library: keystrokes and mouse actions injected with
// SendInput arrive at the component's events with the documented parameters, and
// top-level windows coming and going are reported when shell events are watched.
#include "WatchTestSupport.h"

#include "services/win/Watch.h"

#include <gtest/gtest.h>

#include <vector>

using namespace watchtest;

namespace {

struct Stroke {
    WORD key;
    WORD scan;
    bool up;
    bool extended;
};

struct KeyEvent {
    int32_t wParam;
    uint32_t lParam;
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

std::ostream& operator<<(std::ostream& out, const KeyEvent& event) {
    char text[40];
    snprintf(text, sizeof(text), "(%d, 0x%08X)", event.wParam, event.lParam);
    return out << text;
}

void Send(const Stroke& stroke) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = stroke.key;
    input.ki.wScan = stroke.scan;
    // No key code: the input names the key by its scan code alone.
    input.ki.dwFlags = (stroke.up ? KEYEVENTF_KEYUP : 0) |
                       (stroke.extended ? KEYEVENTF_EXTENDEDKEY : 0) |
                       (stroke.key == 0 ? KEYEVENTF_SCANCODE : 0);
    SendInput(1, &input, sizeof(input));
}

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

class WatchInput : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Loaded());
        library_.StopAll();
        (void)library_.SetReceiver(nullptr);
        watch_.SetLibraryPath(RealLibraryPath());
    }
    void TearDown() override {
        library_.StopAll();
        (void)library_.SetReceiver(nullptr);
    }

    HookLibrary library_{RealLibraryPath()};
    MessageBoxCapture boxes_;
    TWatch watch_;
};

struct KeyCase {
    const char* name;
    std::vector<Stroke> strokes;
    std::vector<KeyEvent> expected;
};

class KeyDelivery : public WatchInput, public testing::WithParamInterface<KeyCase> {};

TEST_P(KeyDelivery, EveryTransitionArrivesWithTheKeyCodeAndPlatformFlags) {
    std::vector<KeyEvent> events;
    watch_.OnKeyNative = [&](TWatch& sender, int32_t wParam, int32_t lParam) {
        EXPECT_EQ(&sender, &watch_);
        events.push_back({wParam, static_cast<uint32_t>(lParam)});
    };
    watch_.StartWatching(watch::KindKeyboard);
    ASSERT_TRUE(watch_.LibraryLoaded());
    for (const Stroke& stroke : GetParam().strokes) Send(stroke);
    const size_t expected = GetParam().expected.size();
    EXPECT_TRUE(PumpUntil([&] { return events.size() >= expected; }));
    PumpBriefly();
    EXPECT_EQ(events, GetParam().expected);
    EXPECT_TRUE(boxes_.Shown().empty());
}

constexpr WORD A = 'A';
constexpr uint32_t ScanA = 0x1E;

INSTANTIATE_TEST_SUITE_P(
    SendInput, KeyDelivery,
    testing::Values(
        KeyCase{"PressAutoRepeatRelease",
                {{A, ScanA, false, false}, {A, ScanA, false, false}, {A, ScanA, true, false}},
                {{'A', 0x001E0001}, {'A', 0x401E0001}, {'A', 0xC01E0001}}},
        KeyCase{"MissingScanCodeIsFilledFromTheKey",
                {{A, 0, false, false}, {A, 0, true, false}},
                {{'A', 0x001E0001}, {'A', 0xC01E0001}}},
        KeyCase{"LeftShift",
                {{VK_LSHIFT, 0x2A, false, false}, {VK_LSHIFT, 0x2A, true, false}},
                {{16, 0x002A0001}, {16, 0xC02A0001}}},
        KeyCase{"RightShift",
                {{VK_RSHIFT, 0x36, false, false}, {VK_RSHIFT, 0x36, true, false}},
                {{16, 0x00360001}, {16, 0xC0360001}}},
        KeyCase{"RightShiftByScanCodeAlone",
                {{0, 0x36, false, false}, {0, 0x36, true, false}},
                {{16, 0x00360001}, {16, 0xC0360001}}},
        KeyCase{"AltContext",
                {{VK_LMENU, 0x38, false, false},
                 {A, ScanA, false, false},
                 {A, ScanA, true, false},
                 {VK_LMENU, 0x38, true, false}},
                {{18, 0x20380001}, {'A', 0x201E0001}, {'A', 0xE01E0001}, {18, 0xC0380001}}},
        KeyCase{"RightControlIsExtended",
                {{VK_RCONTROL, 0x1D, false, true}, {VK_RCONTROL, 0x1D, true, true}},
                {{17, 0x011D0001}, {17, 0xC11D0001}}}),
    [](const testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST_F(WatchInput, MouseActionsArriveAtTheCursorPosition) {
    struct MouseRecord {
        char what;
        watch::MouseButton button;
        int32_t x;
        int32_t y;
    };
    std::vector<MouseRecord> records;
    watch_.OnMouseMove = [&](TWatch&, int32_t x, int32_t y) {
        records.push_back({'m', watch::MouseButton::Left, x, y});
    };
    watch_.OnMouseDown = [&](TWatch&, watch::MouseButton button, bool doubleClick, int32_t x,
                             int32_t y) {
        EXPECT_FALSE(doubleClick);
        records.push_back({'d', button, x, y});
    };
    watch_.OnMouseUp = [&](TWatch&, watch::MouseButton button, bool doubleClick, int32_t x,
                           int32_t y) {
        EXPECT_FALSE(doubleClick);
        records.push_back({'u', button, x, y});
    };
    watch_.StartWatching(watch::KindMouse);
    ASSERT_TRUE(watch_.LibraryLoaded());

    // Absolute coordinates span 0..65535 over the primary screen.
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 65536 / 8, 65536 / 4);
    ASSERT_TRUE(PumpUntil([&] { return !records.empty(); }));
    POINT cursor{};
    GetCursorPos(&cursor);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    SendMouse(MOUSEEVENTF_MIDDLEDOWN);
    SendMouse(MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(PumpUntil([&] { return records.size() >= 7; }));
    PumpBriefly();

    using B = watch::MouseButton;
    const std::vector<std::pair<char, B>> expected = {
        {'m', B::Left},  {'d', B::Left},   {'u', B::Left},  {'d', B::Right},
        {'u', B::Right}, {'d', B::Middle}, {'u', B::Middle}};
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].what, expected[i].first) << i;
        if (records[i].what != 'm') {
            EXPECT_EQ(records[i].button, expected[i].second) << i;
        }
        EXPECT_EQ(records[i].x, cursor.x) << i;
        EXPECT_EQ(records[i].y, cursor.y) << i;
    }
}

TEST_F(WatchInput, ShellWatchReportsTopLevelWindowsCreatedActivatedAndDestroyed) {
    struct ShellRecord {
        char what;
        int32_t handle;
        std::string title;
    };
    std::vector<ShellRecord> records;
    auto recorder = [&records](char what) {
        return [&records, what](TWatch&, int32_t handle, const std::string& title) {
            records.push_back({what, handle, title});
        };
    };
    watch_.OnWindowCreated = recorder('c');
    watch_.OnWindowActivated = recorder('a');
    watch_.OnWindowDestroyed = recorder('d');
    watch_.StartWatching(watch::KindShell);
    ASSERT_TRUE(watch_.LibraryLoaded());

    fw::Window window = MakeTopLevelWindow("Watched top-level window", true);
    ASSERT_TRUE(window);
    const auto handle = static_cast<int32_t>(reinterpret_cast<intptr_t>(window.get()));
    SetForegroundWindow(window.get());
    auto seen = [&](char what) {
        for (const ShellRecord& record : records)
            if (record.what == what && record.handle == handle) return true;
        return false;
    };
    EXPECT_TRUE(PumpUntil([&] { return seen('c') && seen('a'); }));
    window.reset();
    EXPECT_TRUE(PumpUntil([&] { return seen('d'); }));
    for (const ShellRecord& record : records) {
        if (record.handle != handle) continue;
        EXPECT_EQ(record.title, record.what == 'd' ? "" : "Watched top-level window")
            << record.what;
    }
    watch_.StopWatching(watch::KindShell);
    EXPECT_FALSE(watch_.LibraryLoaded());
}

} // namespace
