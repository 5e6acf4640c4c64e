// The receiver window's dispatch: messages sent straight to it, as the library would
// post them, become the component's events. A stand-in library keeps real input out.
#include "WatchTestSupport.h"

#include "services/win/Watch.h"

#include <gtest/gtest.h>

using namespace watchtest;

namespace {

int32_t HandleOf(HWND window) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}

struct ShellRecord {
    char what;
    int32_t handle;
    std::string title;
    friend bool operator==(const ShellRecord&, const ShellRecord&) = default;
};

std::ostream& operator<<(std::ostream& out, const ShellRecord& record) {
    return out << record.what << " " << record.handle << " \"" << record.title << "\"";
}

class WatchDispatch : public testing::Test {
protected:
    void SetUp() override {
        watch_.SetLibraryPath(ScriptedLibraryPath());
        watch_.StartWatching(1);
        ASSERT_TRUE(watch_.LibraryLoaded());
        ASSERT_TRUE(boxes_.Shown().empty());
    }

    void RecordShellEvents() {
        auto recorder = [this](char what) {
            return [this, what](TWatch& sender, int32_t handle, const std::string& title) {
                EXPECT_EQ(&sender, &watch_);
                shell_.push_back({what, handle, title});
            };
        };
        watch_.OnWindowCreated = recorder('c');
        watch_.OnWindowDestroyed = recorder('d');
        watch_.OnActivateShellWindow = recorder('s');
        watch_.OnWindowActivated = recorder('a');
    }

    LRESULT Shell(HWND window, int32_t code) {
        return SendMessageA(watch_.ReceiverWindow(), watch_.ShellMessage(),
                            reinterpret_cast<WPARAM>(window), code);
    }
    LRESULT Mouse(uint32_t message, uint32_t position) {
        return SendMessageA(watch_.ReceiverWindow(), watch_.MouseMessage(), message, position);
    }

    HookLibrary scripted_{ScriptedLibraryPath()};
    MessageBoxCapture boxes_;
    TWatch watch_;
    std::vector<ShellRecord> shell_;
};

TEST_F(WatchDispatch, ShellCodesOneToFourReachTheirEventsWithTheWindowsTitle) {
    RecordShellEvents();
    fw::Window window = MakeTopLevelWindow("Some editor");
    const int32_t handle = HandleOf(window.get());
    for (int32_t code : {1, 2, 3, 4, 5, 0, 32772}) EXPECT_EQ(Shell(window.get(), code), 0);
    EXPECT_EQ(shell_, (std::vector<ShellRecord>{{'c', handle, "Some editor"},
                                                {'d', handle, "Some editor"},
                                                {'s', handle, "Some editor"},
                                                {'a', handle, "Some editor"}}));
}

TEST_F(WatchDispatch, TitlesAreCutTo299CharactersAndAreEmptyWithoutText) {
    RecordShellEvents();
    fw::Window longTitle = MakeTopLevelWindow(std::string(400, 'T'));
    fw::Window untitled = MakeTopLevelWindow("");
    Shell(longTitle.get(), 1);
    Shell(untitled.get(), 1);
    Shell(nullptr, 1);
    ASSERT_EQ(shell_.size(), 3u);
    EXPECT_EQ(shell_[0].title, std::string(299, 'T'));
    EXPECT_EQ(shell_[1].title, "");
    EXPECT_EQ(shell_[2].title, "");
}

TEST_F(WatchDispatch, ActivationsWithTheSameTitleAreReportedOnceUnlessRepeatsAreWanted) {
    RecordShellEvents();
    fw::Window first = MakeTopLevelWindow("Same title");
    fw::Window second = MakeTopLevelWindow("Same title");
    fw::Window other = MakeTopLevelWindow("Other title");
    Shell(first.get(), 4);
    Shell(second.get(), 4); // another window, but the same title: a repeat
    Shell(other.get(), 4);
    Shell(first.get(), 4);
    watch_.RepeatedEvents = true;
    Shell(second.get(), 4);
    EXPECT_EQ(shell_, (std::vector<ShellRecord>{{'a', HandleOf(first.get()), "Same title"},
                                                {'a', HandleOf(other.get()), "Other title"},
                                                {'a', HandleOf(first.get()), "Same title"},
                                                {'a', HandleOf(second.get()), "Same title"}}));
}

TEST_F(WatchDispatch, ActivationsGoUnrememberedWhileNobodyListens) {
    fw::Window window = MakeTopLevelWindow("Listened to later");
    Shell(window.get(), 4);
    RecordShellEvents();
    Shell(window.get(), 4);
    EXPECT_EQ(shell_.size(), 1u);
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
    EXPECT_EQ(shell_,
              (std::vector<ShellRecord>{{'c', HandleOf(sibling.get()), "Sibling"},
                                        {'d', HandleOf(application.get()), "Application"}}));
}

TEST_F(WatchDispatch, MouseMessagesBecomeButtonEventsByTheirLowFourBits) {
    std::vector<std::string> events;
    auto describe = [](const char* what, watch::MouseButton button, bool doubleClick, int x,
                       int y) {
        const char* names[] = {"left", "right", "middle"};
        return std::string(what) + " " + names[static_cast<int>(button)] +
               (doubleClick ? " double " : " ") + std::to_string(x) + "," + std::to_string(y);
    };
    watch_.OnMouseDown = [&](TWatch&, watch::MouseButton button, bool doubleClick, int32_t x,
                             int32_t y) {
        events.push_back(describe("down", button, doubleClick, x, y));
    };
    watch_.OnMouseUp = [&](TWatch&, watch::MouseButton button, bool doubleClick, int32_t x,
                           int32_t y) {
        events.push_back(describe("up", button, doubleClick, x, y));
    };

    Mouse(0x200, 0x00020001); // a move with no move handler: nothing at all
    for (uint32_t message = 0x201; message <= 0x20F; ++message)
        EXPECT_EQ(Mouse(message, 0xFFFF8000), 0);
    const std::string at = "32768,65535";
    EXPECT_EQ(events, (std::vector<std::string>{
                          "down left " + at, "up left " + at, "down left double " + at,
                          "down right " + at, "up right " + at, "down right double " + at,
                          "down middle " + at, "up middle " + at, "down middle double " + at,
                          "down left " + at, "down left " + at, "down left " + at,
                          "down left " + at, "down left " + at, "down left " + at}));

    std::vector<std::pair<int, int>> moves;
    watch_.OnMouseMove = [&](TWatch&, int32_t x, int32_t y) { moves.emplace_back(x, y); };
    Mouse(0x200, 0x04380780);
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{1920, 1080}}));
    EXPECT_EQ(events.size(), 15u);
}

TEST_F(WatchDispatch, KeyMessagesPassThroughUnchanged) {
    std::vector<std::pair<int32_t, int32_t>> keys;
    watch_.OnKeyNative = [&](TWatch&, int32_t wParam, int32_t lParam) {
        keys.emplace_back(wParam, lParam);
    };
    const std::pair<int32_t, int32_t> sent[] = {
        {16, static_cast<int32_t>(0xC02A0001)}, {-65, 0x401E0001}, {1000, 0}, {0, -1}};
    for (auto [wParam, lParam] : sent) {
        EXPECT_EQ(SendMessageA(watch_.ReceiverWindow(), watch_.KeyMessage(),
                               static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)),
                  0);
    }
    EXPECT_EQ(keys, (std::vector<std::pair<int32_t, int32_t>>(std::begin(sent), std::end(sent))));
}

TEST_F(WatchDispatch, OtherMessagesGetTheDefaultWindowBehaviour) {
    SetWindowTextA(watch_.ReceiverWindow(), "receiver");
    EXPECT_EQ(SendMessageA(watch_.ReceiverWindow(), WM_GETTEXTLENGTH, 0, 0), 8);
}

} // namespace
