// The tray and the window icons of the main window in this process: every record that would
// reach the shell is caught through the replaceable shell call, the window icons are read
// back from the window, and the blink timer is a real window timer.
#include "framework/win/Application.h"
#include "mainwindow/win/KeysForm.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zevaver {

namespace {

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
};
std::vector<ShellCall> shellCalls;

BOOL RecordShellCall(DWORD message, NOTIFYICONDATAA* data) noexcept {
    shellCalls.push_back({message, *data});
    return TRUE;
}

HICON ResourceIcon(const char* name, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
}

// "add TRAYICON", "modify TRAYBLINK", "delete": what the shell was asked, with the icon
// named after the resource it came from.
std::string Describe(const ShellCall& call) {
    static const char* const verbs[] = {"add", "modify", "delete"};
    std::string text = call.message <= NIM_DELETE ? verbs[call.message] : "other";
    if (call.message == NIM_DELETE) return call.data.hIcon ? text + " with an icon" : text;
    for (const char* name : {"TRAYICON", "TRAYDISABLED", "TRAYBLINK"})
        if (call.data.hIcon == ResourceIcon(name, SM_CXSMICON, SM_CYSMICON))
            return text + " " + name;
    return text + " unknown icon";
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        shellCalls.clear();
        previousShell = SetNotifyIconFunction(&RecordShellCall);
    }
    void TearDown() override {
        form.reset();
        SetNotifyIconFunction(previousShell);
        fw::ClearTerminationRequest();
    }
    TKeysForm& Start() {
        form = std::make_unique<TKeysForm>(KeysFormOptions{&midi, &registry});
        EXPECT_TRUE(form->Create());
        ShowWindow(form->Handle(), SW_SHOW);
        return *form;
    }
    // The shell calls made since the last look.
    std::vector<std::string> Calls() {
        std::vector<std::string> calls;
        for (const ShellCall& call : shellCalls) calls.push_back(Describe(call));
        shellCalls.clear();
        return calls;
    }
    // Runs the message loop until the blink timer has ended the blink (or 3 s passed).
    void WaitForBlinkEnd() {
        const DWORD start = GetTickCount();
        while (form->Core().Icons().BlinkTimerRunning() && GetTickCount() - start < 3000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            fw::ProcessMessages();
        }
    }
    HICON WindowIcon(WPARAM which) const {
        return reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, which, 0));
    }
    void ExpectWindowIcon(const char* name) const {
        EXPECT_EQ(WindowIcon(ICON_SMALL), ResourceIcon(name, SM_CXSMICON, SM_CYSMICON)) << name;
        EXPECT_EQ(WindowIcon(ICON_BIG), ResourceIcon(name, SM_CXICON, SM_CYICON)) << name;
    }
    fw::MenuItem& Item(const char* name) { return form->Menu().Item(name); }
    // A note played and ended on the engine's thread; the window blinks when it hears.
    void PlayOneNote() {
        form->Core().Engine().Send(play::MousePress{60, 100});
        form->Core().Engine().Send(play::MouseRelease{60});
        (void)form->SettledEngine();
        fw::ProcessMessages();
    }

    fakes::FakeMidiOut midi;
    fakes::FakeRegistry registry;
    fakes::MessageBoxRecorder boxes; // outlives the window
    std::unique_ptr<TKeysForm> form;
    NotifyIconFunction previousShell = nullptr;
};

using Lines = std::vector<std::string>;

// The sizes of one icon group in this program's resources, as the group's directory lists
// them (0 stands for 256).
std::vector<int> GroupSizes(const char* name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    if (!found) return {};
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const int count = bytes[4] | (bytes[5] << 8);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        const int width = bytes[6 + 14 * i];
        sizes.push_back(width == 0 ? 256 : width);
    }
    return sizes;
}

TEST_F(TrayTest, EachIconGroupCarriesItsSizes) {
    // The window's small and large icons at 100, 125, 150 and 200 %, and the shell's large ones.
    const std::vector<int> tray{16, 20, 24, 32}, window{16, 20, 24, 32, 40, 48, 64, 256};
    EXPECT_EQ(GroupSizes("TRAYICON"), tray);
    EXPECT_EQ(GroupSizes("TRAYDISABLED"), tray);
    EXPECT_EQ(GroupSizes("TRAYBLINK"), tray);
    EXPECT_EQ(GroupSizes("MAINICON"), window);
    EXPECT_EQ(GroupSizes("MDISABLED"), window);
    EXPECT_EQ(GroupSizes("MBLINK"), window);
}

TEST_F(TrayTest, TheTrayRecordCarriesTheFixedFieldsAndTheTip) {
    Start();
    Item("mnuMinimize").Click();
    ASSERT_EQ(shellCalls.size(), 1u);
    const NOTIFYICONDATAA& data = shellCalls[0].data;
    EXPECT_EQ(data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(data.cbSize, sizeof(void*) == 8 ? 104u : 88u);
    EXPECT_EQ(data.hWnd, form->Handle());
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 1025u);
    EXPECT_STREQ(data.szTip, "Zevaver MIDI Keyboard");
    for (size_t i = sizeof "Zevaver MIDI Keyboard"; i < 64; ++i) EXPECT_EQ(data.szTip[i], 0);
}

TEST_F(TrayTest, MinimiseSwitchBlinkAndRestoreGoThroughTheShellWithTheRightIcon) {
    Start();
    ExpectWindowIcon("MAINICON");
    EXPECT_EQ(Calls(), Lines{}) << "no tray icon while the window is shown";

    Item("mnuMinimize").Click();
    EXPECT_EQ(Calls(), Lines{"add TRAYICON"});
    EXPECT_TRUE(form->State().Minimized);
    EXPECT_FALSE(IsWindowVisible(form->Handle())) << "the window and its taskbar button go";
    EXPECT_EQ(Item("mnuMinimize").Caption(), "&Restore");
    for (const char* hidden : {"mnuSkin", "mnuZoom", "mnuVertical"})
        EXPECT_FALSE(Item(hidden).Visible()) << hidden;

    Item("mnuEnabled").Click(); // from the tray's menu
    EXPECT_EQ(Calls(), Lines{"modify TRAYDISABLED"});

    PlayOneNote();
    EXPECT_EQ(Calls(), (Lines{"modify TRAYBLINK"})) << "once, not again for the note-off";
    WaitForBlinkEnd();
    EXPECT_EQ(Calls(), Lines{"modify TRAYDISABLED"});
    ExpectWindowIcon("MAINICON"); // untouched while in the tray

    SendMessageA(form->Handle(), 1025, 1, WM_LBUTTONDOWN);
    EXPECT_EQ(Calls(), Lines{"delete"});
    EXPECT_FALSE(form->State().Minimized);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(Item("mnuMinimize").Caption(), "&Minimize");
    EXPECT_TRUE(Item("mnuSkin").Visible());
    ExpectWindowIcon("MDISABLED");

    form->FormDestroy();
    EXPECT_EQ(Calls(), Lines{"delete"}) << "deleted at the end whether or not one is shown";
}

TEST_F(TrayTest, TheWindowIconsBlinkAndFollowThePlayingSwitchWhileShown) {
    Start();
    PlayOneNote();
    ExpectWindowIcon("MBLINK");
    WaitForBlinkEnd();
    ExpectWindowIcon("MAINICON");
    Item("mnuEnabled").Click();
    ExpectWindowIcon("MDISABLED");
    EXPECT_EQ(Calls(), Lines{});
}

TEST_F(TrayTest, TheMinimiseCommandAndOtherClicksOnTheTrayIcon) {
    Start();
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); // the window's button
    EXPECT_EQ(Calls(), Lines{"add TRAYICON"});
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));

    for (LPARAM ignored : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP})
        SendMessageA(form->Handle(), 1025, 1, ignored);
    EXPECT_TRUE(form->State().Minimized);

    // The shell restarted: the icon comes back.
    SendMessageA(form->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(Calls(), Lines{"add TRAYICON"});

    Item("mnuMinimize").Click(); // reads "&Restore"
    EXPECT_EQ(Calls(), Lines{"delete"});
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    SendMessageA(form->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(Calls(), Lines{}) << "no tray icon while the window is shown";
}

} // namespace

} // namespace zevaver
