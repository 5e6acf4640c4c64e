// The real program under Wine with the real shell: minimising to the notification area
// (Wine shows it as its own "Wine System Tray" window), coming back with a click on the
// tray icon, the tray icon's menu, and a start in the tray.
#include "ProgramUnderTest.h"

#include "mainwindow/win/TrayShell.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

using e2e::ProgramUnderTest;
using e2e::WaitFor;

constexpr COLORREF PressedWhite = RGB(192, 192, 192);

HWND VisibleWindow(const char* className, const char* title) {
    HWND window = FindWindowA(className, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// Wine's stand-in for the notification area, shown while it holds an icon.
HWND TrayWindow() {
    return VisibleWindow(nullptr, "Wine System Tray");
}

// The program's open popup menu (class "#32768").
HWND OpenMenuOf(DWORD processId) {
    return e2e::VisibleWindow(processId, "#32768");
}

// A left click on our icon in Wine's tray window: the first icon sits at its left end.
void ClickTrayIcon() {
    HWND tray = TrayWindow();
    ASSERT_NE(tray, nullptr);
    POINT origin = e2e::ClientOrigin(tray);
    RECT client{};
    GetClientRect(tray, &client);
    e2e::MouseMoveTo(origin.x + client.bottom / 2, origin.y + client.bottom / 2);
    e2e::MouseLeftDown();
    e2e::MouseLeftUp();
}

HWND SettingsDialogOf(DWORD processId) {
    return e2e::FindProcessWindow(processId, [](HWND window) {
        return IsWindowVisible(window) && e2e::WindowTitle(window) == "Settings";
    });
}

class TrayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { e2e::ForgetSettings(); }
    ProgramUnderTest program{"Tray"};
};

TEST_F(TrayEndToEnd, MinimizeGoesToTheTrayAndALeftClickOnTheIconBringsTheWindowBack) {
    ASSERT_TRUE(program.Start());
    HWND window = program.MainWindow();
    ASSERT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(TrayWindow(), nullptr);

    // "&Minimize" from the window's menu, chosen by its access key.
    RECT bounds{};
    GetWindowRect(window, &bounds);
    PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(bounds.left + 40, bounds.top + 20));
    ASSERT_TRUE(WaitFor([&] { return OpenMenuOf(program.ProcessId()) != nullptr; }));
    e2e::Tap('M');
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }))
        << "the window and with it its taskbar button are hidden";
    ASSERT_TRUE(WaitFor([] { return TrayWindow() != nullptr; })) << "the tray icon is shown";
    EXPECT_FALSE(IsIconic(window));

    ClickTrayIcon();
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(WaitFor([] { return TrayWindow() == nullptr; })) << "the tray icon is gone";
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(TrayEndToEnd, ARightClickOnTheTrayIconOpensThePopupMenu) {
    ASSERT_TRUE(program.Start());
    HWND window = program.MainWindow();
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0); // the window's minimise button
    ASSERT_TRUE(WaitFor([] { return TrayWindow() != nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window); })) << "the icon comes first";

    PostMessageA(window, TrayShell::CallbackMessage, 1, WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitFor([&] { return OpenMenuOf(program.ProcessId()) != nullptr; }));
    e2e::Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return OpenMenuOf(program.ProcessId()) == nullptr; }));
    EXPECT_FALSE(IsWindowVisible(window)) << "the menu alone does not restore";
    EXPECT_EQ(program.Close(), 0);
}

// The main window is disabled while the dialog is open; it is the dialog that comes back.
TEST_F(TrayEndToEnd, ALeftClickOnTheIconWhileTheSettingsDialogIsOpenBringsTheDialogForward) {
    ASSERT_TRUE(program.Start());
    HWND window = program.MainWindow();
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([] { return TrayWindow() != nullptr; }));
    // "Sett&ings..." from the tray icon's menu.
    PostMessageA(window, TrayShell::CallbackMessage, 1, WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitFor([&] { return OpenMenuOf(program.ProcessId()) != nullptr; }));
    e2e::Tap('I');
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = SettingsDialogOf(program.ProcessId())); }));
    e2e::ForeignWindow foreign; // another program in front of the dialog
    program.Settle(300);
    ASSERT_NE(GetForegroundWindow(), dialog);

    ClickTrayIcon();
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }));
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return SettingsDialogOf(program.ProcessId()) == nullptr; }));
    EXPECT_EQ(program.Close(), 0);
}

TEST_F(TrayEndToEnd, AStartInTheTraySitsThereAndOneLeftClickRestoresItFully) {
    program.WithoutSkins(); // the keyboard fills the client area in its built-in colours
    ASSERT_TRUE(program.Start({}, "/m"));
    HWND window = program.MainWindow();
    ASSERT_TRUE(WaitFor([] { return TrayWindow() != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(window));

    ClickTrayIcon();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(WaitFor([] { return TrayWindow() == nullptr; }))
        << "the tray state ends with the first restore";

    // Key presses are drawn again: the mouse plays the first C and it shows pressed.
    program.Settle(300);
    RECT client{};
    GetClientRect(window, &client);
    POINT origin = e2e::ClientOrigin(window);
    e2e::MouseMoveTo(origin.x + 8, origin.y + client.bottom - 10);
    e2e::MouseLeftDown();
    ASSERT_TRUE(program.WaitForShortMessages(1));
    program.Settle();
    EXPECT_EQ(e2e::ScreenPixel(origin.x + 4, origin.y + client.bottom - 4), PressedWhite);
    e2e::MouseLeftUp();

    // And the next minimise goes to the tray again.
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitFor([] { return TrayWindow() != nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));
    EXPECT_EQ(program.Close(), 0);
}

} // namespace

} // namespace zevaver
