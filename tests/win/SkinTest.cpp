// Skins on the real main window, in this process: skin folders written to a folder of
// their own, the window's frame and band after ApplySkin, the Skin submenu, switching from
// the real popup menu, the chrome's buttons, and the bitmaps as the platform reads them.
#include "engine/Settings.h"
#include "framework/win/Application.h"
#include "mainwindow/AppState.h"
#include "mainwindow/win/KeysForm.h"
#include "skin/win/SkinDib.h"
#include "support/BitmapFileWriter.h"
#include "support/MapRegistry.h"
#include "support/MessageBoxRecorder.h"
#include "support/SilentMidi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <thread>
#include <tuple>
#include <vector>

namespace zevaver {

namespace {

using fakes::MapRegistry;
using fakes::SilentMidi;
using fakes::WriteBitmap;

std::vector<std::string>& shownMessages = fakes::MessageBoxRecorder::Shown();

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

constexpr COLORREF BorderColor = RGB(200, 30, 40);
constexpr COLORREF TitleColor = RGB(20, 180, 60);
constexpr COLORREF CloseColor = RGB(240, 240, 20);
constexpr COLORREF CloseDownColor = RGB(20, 20, 240);

class SkinWindow : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        GetCurrentDirectoryA(sizeof previousFolder, previousFolder);
        folder = std::string(temp) + "mk-skin-test";
        RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        SetCurrentDirectoryA(folder.c_str());
        CreateDirectoryA("Skins", nullptr);
        WriteBitmapSkin("Default", "");
        WriteBitmapSkin("Zevizi", "CornerSize=8");
        CreateDirectoryA("Skins\\Alpha", nullptr);
        WriteText("Skins\\Alpha\\config.txt", "WindowsStyle=Yes\nFaderStyle=windows\n");
        CreateDirectoryA("Skins\\beta", nullptr);
        WriteText("Skins\\beta\\config.txt", "BorderSize=6\n");
        WriteBitmap("Skins\\beta\\Title Active.bmp", 50, 24, TitleColor, 32);
    }
    void TearDown() override {
        form.reset();
        fw::ClearTerminationRequest();
        SetCurrentDirectoryA(previousFolder);
        RemoveTree(folder);
    }

    static void WriteBitmapSkin(const std::string& name, const std::string& extra) {
        const std::string path = "Skins\\" + name + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        WriteText(path + "config.txt",
                  "WindowsStyle=No\nBorderSize=4\nCornerSize=16\nFaderStyle=windows\n" + extra);
        WriteBitmap(path + "Border.bmp", 64, 48, BorderColor);
        for (const char* file : {"Title Active.bmp", "Title Inactive.bmp", "Title Box.bmp"})
            WriteBitmap(path + file, 100, 20, TitleColor);
        for (const char* file : {"Icon.bmp", "Icon Blink.bmp", "Icon Disabled.bmp"})
            WriteBitmap(path + file, 20, 20, RGB(90, 90, 90));
        WriteBitmap(path + "Close Btn.bmp", 22, 20, CloseColor);
        WriteBitmap(path + "Close Btn Down.bmp", 22, 20, CloseDownColor);
        WriteBitmap(path + "Minimize Btn.bmp", 20, 20, RGB(10, 10, 10));
        WriteBitmap(path + "Minimize Btn Down.bmp", 20, 20, RGB(70, 70, 70));
        WriteBitmap(path + "FaderV BG.bmp", 24, 8, RGB(50, 50, 50));
        WriteBitmap(path + "FaderH BG.bmp", 8, 24, RGB(50, 50, 50));
    }
    // A bitmap skin whose velocity fader is its own: a 24-pixel strip, a 14-pixel thumb.
    static void WriteFaderSkin(const std::string& name) {
        WriteBitmapSkin(name, "FaderStyle=skin\n");
        const std::string path = "Skins\\" + name + "\\";
        WriteBitmap(path + "FaderV.bmp", 16, 14, RGB(220, 220, 220));
        WriteBitmap(path + "FaderV Active.bmp", 16, 14, RGB(255, 128, 0));
    }
    static void RemoveTree(const std::string& path) {
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string child = path + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

    TKeysForm& Start(const std::string& skin) {
        registry.values["Skin"] = skin;
        form = std::make_unique<TKeysForm>(KeysFormOptions{&midi, &registry});
        EXPECT_TRUE(form->Create());
        return *form;
    }
    void Show() {
        ShowWindow(form->Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(form->Handle());
        UpdateWindow(form->Handle());
        fw::ProcessMessages();
    }
    TSkinConfig& Config() { return form->State().SkinConfig; }
    TSettings& Settings() { return form->State().Settings; }
    LONG_PTR Style() const { return GetWindowLongPtrA(form->Handle(), GWL_STYLE); }
    bool Topmost() const {
        return (GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    }
    std::vector<std::string> SkinItems(std::string* checked = nullptr) {
        std::vector<std::string> captions;
        fw::MenuItem& menu = form->Menu().Item("mnuSkin");
        for (size_t i = 0; i < menu.Count(); ++i) {
            captions.push_back(menu[i].Caption());
            if (checked && menu[i].Checked()) *checked += menu[i].Caption();
        }
        return captions;
    }
    RECT Bounds() const {
        RECT r{};
        GetWindowRect(form->Handle(), &r);
        return r;
    }
    void Send(UINT message, WPARAM wParam, int x, int y) {
        SendMessageA(form->Handle(), message, wParam, MAKELPARAM(x, y));
    }
    TFader& Fader() { return form->Skin()->Chrome().Fader; }
    int Trackbar() const {
        return static_cast<int>(SendMessageA(form->Velocity(), TBM_GETPOS, 0, 0));
    }
    // A pointer move seen by the input watch, in client coordinates.
    void WatchedMove(int x, int y) {
        const RECT r = Bounds();
        form->Input().ReportPointer(InputThread::PointerMoved, r.left + x, r.top + y);
        fw::ProcessMessages();
    }
    // A pixel of the window as it is on the screen.
    COLORREF ScreenPixel(int x, int y) const {
        fw::WindowDc dc(form->Handle());
        return GetPixel(dc.get(), x, y);
    }

    std::string folder;
    char previousFolder[MAX_PATH] = {};
    SilentMidi midi;
    MapRegistry registry{{{"Width", "716"},
                          {"Height", "140"},
                          {"Left", "100"},
                          {"Top", "100"},
                          {"Channel", "1"},
                          {"Note Width", "16"},
                          {"Enabled", "Yes"},
                          {"Layout", "Piano"}}};
    fakes::MessageBoxRecorder boxes; // outlives the window
    std::unique_ptr<TKeysForm> form;
};

TEST_F(SkinWindow, ABitmapSkinIsBorderlessAndAWindowsStyleSkinHasTheSizeableFrameBothTopmost) {
    Start("Zevizi");
    EXPECT_EQ(Style() & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_NE(Style() & WS_POPUP, 0);
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(Config().TitleHeight, 20);
    EXPECT_EQ(Config().CloseWidth, 22);
    EXPECT_EQ(Config().CornerSize, 8);
    RECT client{}, window{};
    GetClientRect(form->Handle(), &client);
    GetWindowRect(form->Handle(), &window);
    EXPECT_EQ(client.right, window.right - window.left) << "no platform frame";

    form->Menu().Item("mnuSkin")[0].Click(); // Alpha
    EXPECT_EQ(Settings().Skin, "Alpha");
    EXPECT_EQ(Style() & (WS_CAPTION | WS_THICKFRAME), WS_CAPTION | WS_THICKFRAME);
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(Config().BorderSize, 0);
    EXPECT_EQ(Config().TitleHeight, 0);
    EXPECT_NE(GetWindowLongPtrA(form->Velocity(), GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(SkinWindow, TheSkinSubmenuListsTheFoldersAndChecksTheCurrentOne) {
    Start("beta");
    std::string checked;
    EXPECT_EQ(SkinItems(&checked), (std::vector<std::string>{"Alpha", "beta", "Zevizi"}));
    EXPECT_EQ(checked, "beta");
    // beta's own title, everything else from Default; its 32-bit title is read all the same.
    EXPECT_EQ(Config().TitleHeight, 24);
    EXPECT_EQ(Config().BorderSize, 6);
    EXPECT_EQ(Config().IconWidth, 20);
}

TEST_F(SkinWindow, AMissingSkinRunsWithDefaultChecksNothingAndStoresDefault) {
    Start("Missing");
    std::string checked;
    (void)SkinItems(&checked);
    EXPECT_EQ(checked, "");
    EXPECT_EQ(Settings().Skin, "Default");
    EXPECT_FALSE(Config().WindowsStyle);
}

TEST_F(SkinWindow, ASkinIsChosenFromTheRealPopupMenuOpenedByTheIcon) {
    Start("Zevizi");
    Show();
    // While the menu's own loop runs, a second thread types: S opens the Skin submenu on
    // its first item, Down moves to the second, Enter chooses it.
    std::atomic<bool> typed{false};
    std::thread typist([&typed] {
        for (int i = 0; i < 100 && !FindWindowA("#32768", nullptr); ++i) Sleep(50);
        Sleep(200);
        for (WORD key : {WORD('S'), WORD(VK_DOWN), WORD(VK_RETURN)}) {
            INPUT input[2]{};
            input[0].type = input[1].type = INPUT_KEYBOARD;
            input[0].ki.wVk = input[1].ki.wVk = key;
            input[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, input, sizeof(INPUT));
            Sleep(150);
        }
        typed = true;
    });
    TIconBox& icon = form->Skin()->Chrome().IconBox;
    form->Skin()->Chrome().CtrlsList.DispatchMouseDown(icon.Bounds.left + 2, icon.Bounds.top + 2);
    typist.join();
    ASSERT_TRUE(typed);
    EXPECT_EQ(Settings().Skin, "beta");
    std::string checked;
    (void)SkinItems(&checked);
    EXPECT_EQ(checked, "beta");
    EXPECT_EQ(Config().BorderSize, 6);
}

TEST_F(SkinWindow, TheCloseButtonIsDrawnDownWhilePressedAndClosesWhenReleasedOnIt) {
    Start("Zevizi");
    Show();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    TCloseBtn& close = form->Skin()->Chrome().CloseBtn;
    const int x = close.Bounds.left + 5, y = close.Bounds.top + 5;
    EXPECT_EQ(ScreenPixel(x, y), CloseColor);
    EXPECT_EQ(ScreenPixel(1, 1), BorderColor);

    close.MouseDown(x, y);
    EXPECT_EQ(ScreenPixel(x, y), CloseDownColor);
    close.MouseMove(x - 100, y);
    EXPECT_EQ(ScreenPixel(x, y), CloseColor) << "springs up outside";
    close.MouseUp(x - 100, y);
    fw::ProcessMessages();
    EXPECT_FALSE(fw::TerminationRequested());

    close.MouseDown(x, y);
    close.MouseUp(x, y);
    fw::ProcessMessages();
    EXPECT_TRUE(fw::TerminationRequested());
}

TEST_F(SkinWindow, BitmapsBecome24BitAndAFileThatIsNoBitmapIsReportedOnce) {
    WriteBitmap("wide.bmp", 7, 3, RGB(1, 2, 3), 32);
    TSkinDib dib;
    ASSERT_TRUE(dib.LoadFromFile("wide.bmp"));
    DIBSECTION section{};
    ASSERT_NE(GetObjectA(dib.Handle(), sizeof section, &section), 0);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(dib.Width(), 7);
    EXPECT_EQ(dib.Height(), 3);

    WriteText("Skins\\Zevizi\\Icon.bmp", "not a bitmap");
    Start("Zevizi");
    form->Menu().Item("mnuSkin")[0].Click();
    form->Menu().Item("mnuSkin")[2].Click();
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_NE(shownMessages[0].find("Error: "), std::string::npos);
    EXPECT_NE(shownMessages[0].find("Skins\\Zevizi\\Icon.bmp"), std::string::npos);
    EXPECT_FALSE(form->Skin()->Chrome().IconBox.Shown);
    EXPECT_EQ(Config().IconWidth, 0);
}

// The 100 x 80 minimum holds for sizes set from outside too, frameless or not.
TEST_F(SkinWindow, NoSizeSetFromOutsideMakesTheWindowSmallerThan100By80) {
    Start("Zevizi");
    for (size_t next : {0, 2}) { // Alpha (windows-style), then Zevizi again
        SetWindowPos(form->Handle(), nullptr, 50, 60, 10, 5, SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT r = Bounds();
        EXPECT_EQ(std::pair(r.right - r.left, r.bottom - r.top), std::pair(100L, 80L))
            << Settings().Skin;
        form->Menu().Item("mnuSkin")[next].Click();
    }
}

// A pressed thumb lets go when the pointer is lost before the release: another window
// takes the pointer (a dialog, a menu), the window is deactivated, or a move comes with
// the button already up. The fader then follows the pointer no more.
TEST_F(SkinWindow, APressedFaderLetsGoWhenThePointerIsLost) {
    WriteFaderSkin("Slide");
    registry.values["Velocity"] = "40";
    Start("Slide");
    Show();
    fw::Window other(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr));
    const char* const cases[] = {"another window takes the pointer", "the window is deactivated",
                                 "a move with the button up"};
    TCtrlsList& list = form->Skin()->Chrome().CtrlsList;
    for (int i = 0; i < 3; ++i) {
        const char* how = cases[i];
        SetForegroundWindow(form->Handle());
        const int x = Fader().Bounds.left + 10, y = Fader().Bounds.top + Fader().ThumbPos() + 5;
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        ASSERT_EQ(list.CapturedCtrl, &Fader()) << how;
        if (i == 0) SetCapture(other.get());
        if (i == 1)
            SendMessageA(form->Handle(), WM_ACTIVATE, WA_INACTIVE,
                         reinterpret_cast<LPARAM>(other.get()));
        if (i == 2) Send(WM_MOUSEMOVE, 0, 300, 60);
        EXPECT_EQ(list.CapturedCtrl, nullptr) << how;
        EXPECT_NE(GetCapture(), form->Handle()) << how;
        SetForegroundWindow(form->Handle());
        WatchedMove(x, y + 300);
        EXPECT_EQ(Trackbar(), 40) << how << ": the fader no longer follows the pointer";
        ReleaseCapture();
    }
}

// A bitmap skin without a title bitmap hides the title box; its old rectangle drags nothing.
// A drag of the right border repaints only what the new width moved; the window then looks
// exactly as a whole repaint draws it. The skin's pictures are striped, so a stretched piece
// changes wherever its width does.
TEST_F(SkinWindow, AfterEachBorderDragStepTheWindowLooksAsIfRepaintedWhole) {
    const std::string path = "Skins\\Striped\\";
    CreateDirectoryA(path.c_str(), nullptr);
    WriteText(path + "config.txt",
              "WindowsStyle=No\nBorderSize=4\nCornerSize=16\nFaderStyle=skin\nCenterTitle=Yes\n");
    for (const auto& [file, width, height] :
         std::vector<std::tuple<const char*, int, int>>{{"Border.bmp", 64, 48},
                                                        {"Title Active.bmp", 90, 20},
                                                        {"Title Inactive.bmp", 90, 20},
                                                        {"Title Box.bmp", 30, 20},
                                                        {"Icon.bmp", 20, 20},
                                                        {"Close Btn.bmp", 22, 20},
                                                        {"Minimize Btn.bmp", 20, 20},
                                                        {"FaderV BG.bmp", 24, 8},
                                                        {"FaderV.bmp", 16, 14},
                                                        {"Fader Top.bmp", 24, 5},
                                                        {"Fader Bottom.bmp", 24, 5}})
        WriteBitmap(path + file, width, height, RGB(30, 160, 90), 24, true);
    Start("Striped");
    Show();
    const auto picture = [this] {
        RECT client{};
        GetClientRect(form->Handle(), &client);
        fw::WindowDc window(form->Handle());
        fw::MemoryDc copy(CreateCompatibleDC(window.get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB};
        void* bits = nullptr;
        fw::Bitmap bitmap(CreateDIBSection(window.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        fw::SelectObjectScope select(copy.get(), bitmap.get());
        BitBlt(copy.get(), 0, 0, client.right, client.bottom, window.get(), 0, 0, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const uint32_t*>(bits);
        return std::vector<uint32_t>(first, first + client.right * client.bottom);
    };
    const RECT start = Bounds();
    for (int width : {900, 960, 931, 1300, 640, 660}) {
        SetWindowPos(form->Handle(), nullptr, 0, 0, width, start.bottom - start.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const std::vector<uint32_t> dragged = picture();
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_TRUE(dragged == picture()) << "at width " << width;
    }
}

// Windows tells the window of a screen of another DPI with WM_DPICHANGED and a rectangle of
// the new size (under Wine every screen has the one DPI, so the test sends it): the window
// takes that size and everything in it the new scale. Dragged by its title at the time, the
// window keeps the grabbed point under the pointer, and the drag goes on from there.
TEST_F(SkinWindow, OnAScreenOfAnotherDpiTheWindowIsLaidOutAnewAndADragDoesNotJump) {
    Start("Zevizi");
    Show();
    ASSERT_TRUE(SetCursorPos(300, 110));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 200, 10); // on the title, at 20 x 20 pixels
    ASSERT_TRUE(form->State().Drag.DraggingTitle());

    RECT suggested{500, 100, 500 + 1432, 100 + 280};
    SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT r = Bounds();
    EXPECT_EQ(r.left, 300 - 400) << "the grabbed point, (400, 20) now, under the pointer";
    EXPECT_EQ(r.top, 110 - 20);
    EXPECT_EQ(r.right - r.left, 1432);
    EXPECT_EQ(r.bottom - r.top, 280);
    ASSERT_TRUE(SetCursorPos(310, 115));
    Send(WM_MOUSEMOVE, MK_LBUTTON, 410, 25);
    r = Bounds();
    EXPECT_EQ(std::pair(r.left, r.top), std::pair(-90L, 95L)) << "moved by the pointer's travel";
    Send(WM_LBUTTONUP, 0, 410, 25);

    EXPECT_EQ(Config().BorderSize, 8);
    EXPECT_EQ(Config().TitleHeight, 40);
    EXPECT_EQ(form->Keys().NoteWidth(), 32);
    EXPECT_EQ(form->Keys().Left(), 10);
    UpdateWindow(form->Handle());
    EXPECT_EQ(ScreenPixel(700, 277), BorderColor) << "the border, 8 pixels deep";
    EXPECT_EQ(ScreenPixel(700, 30), TitleColor);
    // The window's small icon at the size of its new scale.
    const auto icon =
        reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_SMALL, 0));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP picture{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof picture, &picture);
    EXPECT_EQ(picture.bmWidth, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(SkinWindow, ASkinWithoutATitleHasNoDragArea) {
    DeleteFileA("Skins\\Default\\Title Active.bmp");
    CreateDirectoryA("Skins\\Bare", nullptr);
    WriteText("Skins\\Bare\\config.txt", "WindowsStyle=No\nBorderSize=4\n");
    Start("Zevizi");
    Show();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 4);
    EXPECT_TRUE(form->State().Drag.DraggingTitle()) << "the title box drags";
    Send(WM_LBUTTONUP, 0, 30, 4);

    form->Menu().Item("mnuSkin")[1].Click(); // Alpha, Bare, beta, Zevizi
    ASSERT_EQ(Settings().Skin, "Bare");
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 4);
    EXPECT_FALSE(form->State().Drag.DraggingTitle());
    Send(WM_LBUTTONUP, 0, 30, 4);
}

} // namespace

} // namespace zevaver
