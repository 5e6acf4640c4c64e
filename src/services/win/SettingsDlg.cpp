#include "services/win/SettingsDlg.h"

#include "engine/KeyPlayer.h"
#include "engine/win/WinLayoutFiles.h"
#include "keyboard/win/WinKeyNames.h"

#include "framework/win/DialogTemplate.h"
#include "framework/win/Dpi.h"
#include "framework/win/Monitors.h"
#include "framework/win/NameCompare.h"
#include "framework/win/ShellCalls.h"
#include "framework/win/WidePath.h"
#include "framework/win/Window.h"
#include "services/SettingsDlgRules.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace zevaver {

namespace {

using namespace settingsdlg;

// The logo's pointer: the one the skins provide, or the hand.
HCURSOR LogoPointer(HCURSOR logoCursor) noexcept {
    return logoCursor ? logoCursor : LoadCursorA(nullptr, IDC_HAND);
}

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT;
constexpr WORD DialogFontPoints = 8;
constexpr int LayoutDropDownRows = 8;

// One control: its place in the dialog's client area at 96 DPI. Controls are made in this
// order, which is the tab order and puts every label just before the field it focuses.
struct ControlPlace {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;
};

// The shortcut group's contents are placed relative to the group's corner.
constexpr int GroupLeft = 5;
constexpr int GroupTop = 7;

constexpr DWORD LabelStyle = SS_LEFT | WS_VISIBLE;
constexpr DWORD CaptionStyle = SS_CENTER | WS_VISIBLE;
// The room the group's caption leaves on either side of its text, at 96 DPI.
constexpr int CaptionMargin = 2;
constexpr DWORD HotKeyStyle = WS_VISIBLE | WS_TABSTOP | WS_GROUP;
constexpr DWORD ButtonStyle = BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP;

constexpr int HotKeyTops[ShortcutCount] = {26, 55, 77, 99, 121, 143};
constexpr int LabelTops[ShortcutCount] = {29, 58, 80, 102, 124, 146};
constexpr const char* LabelTexts[ShortcutCount] = {
    "&Enable/disable:", "Base octave C&2:", "Base octave C&3:",
    "Base octave C&4:", "Base octave C&5:", "Base octave C&6:"};

std::vector<ControlPlace> ControlPlaces() {
    using Id = TfrmSettings::ControlId;
    std::vector<ControlPlace> places;
    // The group's caption is a label of its own over the frame's top line, as wide as its
    // text and a margin: a group box measures its caption to the last letter, and with some
    // fonts that letter then runs into the line. Made first, so it lies above the group,
    // which leaves its place alone.
    places.push_back({Id::ShortcutsCaption, "STATIC", "&Shortcuts (available in any window)",
                      CaptionStyle, 0, GroupLeft + 8, GroupTop, 0, 13});
    places.push_back({Id::ShortcutsGroup, "BUTTON", "", BS_GROUPBOX | WS_VISIBLE | WS_CLIPSIBLINGS,
                      0, 5, 7, 248, 202});
    for (int i = 0; i < ShortcutCount; ++i) {
        places.push_back({Id::Label1 + i, "STATIC", LabelTexts[i], LabelStyle, 0, GroupLeft + 8,
                          GroupTop + LabelTops[i], i == 0 ? 74 : 79, 13});
        places.push_back({Id::HotKey1 + i, HOTKEY_CLASSA, "", HotKeyStyle, WS_EX_CLIENTEDGE,
                          GroupLeft + 107, GroupTop + HotKeyTops[i], 133, 21});
    }
    places.push_back({Id::PlayingWarning, "STATIC", "", SS_LEFT | WS_VISIBLE, 0, GroupLeft + 8,
                      GroupTop + 167, 150, 30});
    places.push_back({Id::btnDefault, "BUTTON", "&Default", ButtonStyle, 0, GroupLeft + 164,
                      GroupTop + 169, 75, 24});
    // Hidden, and disabled so that no mnemonic reaches it: it only carries the stored flag
    // through OK.
    places.push_back({Id::chkKillKeystrokes, "BUTTON", "&Kill keystrokes",
                      BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP | WS_DISABLED, 0, 14, 233, 96, 21});
    places.push_back({Id::LayoutLabel, "STATIC", "&Layout:", LabelStyle, 0, 132, 216, 35, 13});
    places.push_back({Id::Layouts, "COMBOBOX", "",
                      CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 132,
                      233, 113, 21});
    // A lowered bevel, drawn by us: the platform's etched line keeps neither this height
    // nor this width everywhere.
    places.push_back({Id::Divider, "STATIC", "", SS_OWNERDRAW | WS_VISIBLE, 0, 5, 296, 248, 3});
    places.push_back(
        {Id::btnOK, "BUTTON", "OK", ButtonStyle | BS_DEFPUSHBUTTON, 0, 14, 265, 75, 24});
    places.push_back({Id::btnCancel, "BUTTON", "Cancel", ButtonStyle, 0, 94, 265, 75, 24});
    places.push_back(
        {Id::Logo, "STATIC", "", SS_OWNERDRAW | SS_NOTIFY | WS_VISIBLE, 0, 184, 303, 68, 15});
    return places;
}

// The file names that "*.txt" matches in a folder (the shipped "Layouts" beside the
// program, then the user's own), whatever their attributes, in UTF-8: a name outside the
// system's code page would come back from the 8-bit search with "?" in place of its
// letters, and name no file.
std::vector<std::string> FindLayoutFiles() {
    std::vector<std::string> names;
    for (const std::wstring& pattern :
         {std::wstring(L"Layouts\\*.txt"), fw::Utf8ToWide(UserLayoutsFolder()) + L"*.txt"}) {
        if (pattern.front() == L'*') continue; // no folder of the user's
        WIN32_FIND_DATAW found{};
        fw::FindHandle search(FindFirstFileW(pattern.c_str(), &found));
        if (!search) continue;
        do names.push_back(fw::WideToUtf8(found.cFileName));
        while (FindNextFileW(search.get(), &found));
    }
    return names;
}

} // namespace

TfrmSettings::TfrmSettings(HWND owner, TSettings& settings, Options options)
    : owner_(owner), settings_(settings), options_(std::move(options)) {}

int TfrmSettings::ShowModal() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Its controls are made at creation, placed for the window's DPI; x, y, cx and cy too.
    const fw::DialogTemplate dialog(DialogStyle, L"Settings", 0, 0, DialogFontPoints);
    // A Unicode dialog: its loop then hands the layout list characters of any script.
    const INT_PTR result =
        DialogBoxIndirectParamW(fw::ModuleInstance(), dialog.Data(), owner_,
                                &TfrmSettings::DialogProc, reinterpret_cast<LPARAM>(this));
    return static_cast<int>(result);
}

int TfrmSettings::Scale(int pixels) const noexcept {
    return MulDiv(pixels, dpi_, 96);
}

INT_PTR CALLBACK TfrmSettings::DialogProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<TfrmSettings*>(GetWindowLongPtrA(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<TfrmSettings*>(lParam);
        self->window_ = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    }
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A failure inside one message must not leave a modal loop with no way out.
        EndDialog(window, IDCANCEL);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

INT_PTR TfrmSettings::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        FormShow();
        return TRUE; // focus on the first field
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case btnOK:
            btnOKClick();
            return TRUE;
        case btnCancel: // the button, Esc and the close box
            Close(IDCANCEL);
            return TRUE;
        case btnDefault:
            btnDefaultClick();
            return TRUE;
        case Logo:
            if (HIWORD(wParam) == STN_CLICKED) LogoClick();
            return TRUE;
        default:
            if (LOWORD(wParam) >= HotKey1 && LOWORD(wParam) < HotKey1 + ShortcutCount)
                PostMessageW(window_, ShortcutsChanged, 0, 0);
            return FALSE;
        }
    case ShortcutsChanged:
        ShowPlayingWarning();
        return TRUE;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == Control(Logo)) {
            SetCursor(LogoPointer(options_.logoCursor));
            SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
        if (wParam == Logo) {
            DrawLogo(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        if (wParam == Divider) {
            DrawDivider(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        FormDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void TfrmSettings::FormCreate() {
    dpi_ = fw::WindowDpi(window_);
    CreateControls();
    PlaceWindow();
    std::array<HWND, ShortcutCount> fields{};
    for (int i = 0; i < ShortcutCount; ++i)
        fields[static_cast<size_t>(i)] = Control(static_cast<ControlId>(HotKey1 + i));
    shortcutFields_.Attach(fields);
    const DialogValues values = ValuesOf(settings_);
    for (int i = 0; i < ShortcutCount; ++i) {
        SendMessageA(Control(static_cast<ControlId>(HotKey1 + i)), HKM_SETHOTKEY,
                     HotKeyFromShortcut(values.shortcuts[static_cast<size_t>(i)]), 0);
    }
    SendMessageA(Control(chkKillKeystrokes), BM_SETCHECK,
                 values.killKeystrokes ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowPlayingWarning();
}

void TfrmSettings::ShowPlayingWarning() {
    std::string text;
    if (options_.keyNotes) {
        std::array<int32_t, ShortcutCount> shortcuts{};
        for (size_t i = 0; i < ShortcutCount; ++i)
            shortcuts[i] = ShortcutFromHotKey(shortcutFields_.Held(i));
        const bool byPosition = settings_.KeysByPosition;
        text = PlayingShortcutsWarning(
            shortcuts, *options_.keyNotes,
            [byPosition](int key) {
                const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC_EX);
                const uint32_t flags =
                    (scan & 0xFFu) << 16 | ((scan & 0xFF00u) != 0 ? 1u << 24 : 0u);
                return static_cast<int>(LayoutKeyOf(key, flags, byPosition));
            },
            [](int key) { return SystemKeyCaption(key); });
    }
    SetWindowTextW(Control(PlayingWarning), fw::Utf8ToWide(text).c_str());
}

void TfrmSettings::CreateControls() {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
    for (const ControlPlace& place : ControlPlaces()) {
        // A drop-down list's height is its opened height; the closed one follows the font.
        const int height =
            place.id == Layouts ? place.height * (LayoutDropDownRows + 1) : place.height;
        // A label grows to its text when the font is wider than the one the places were
        // made for, rather than cutting its text short.
        int left = Scale(place.left);
        int width = place.style == LabelStyle
                        ? std::max(Scale(place.width), TextWidth(font, place.text))
                        : Scale(place.width);
        if (place.style == CaptionStyle) {
            left -= Scale(CaptionMargin);
            width = TextWidth(font, place.text) + 2 * Scale(CaptionMargin);
        }
        // Unicode controls, so that the layout list keeps names outside the code page.
        HWND control = CreateWindowExW(place.exStyle, fw::Utf8ToWide(place.className).c_str(),
                                       fw::Utf8ToWide(place.text).c_str(), place.style | WS_CHILD,
                                       left, Scale(place.top), width, Scale(height), window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                                       fw::ModuleInstance(), nullptr);
        if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // Every combination is a valid shortcut, a key without modifiers included.
    for (int i = 0; i < ShortcutCount; ++i)
        SendMessageA(Control(static_cast<ControlId>(HotKey1 + i)), HKM_SETRULES, 0, 0);
    CreateLogoFont(font);
}

int TfrmSettings::TextWidth(HFONT font, const char* text) const {
    fw::WindowDc dc(window_);
    if (!dc) return 0;
    fw::SelectObjectScope select(dc.get(), font);
    RECT extent{};
    DrawTextA(dc.get(), text, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    return extent.right - extent.left;
}

// The dialog font's face in bold italic, as large as lets the name fit beside the keys.
void TfrmSettings::CreateLogoFont(HFONT dialogFont) {
    LOGFONTA logo{};
    GetObjectA(dialogFont, sizeof logo, &logo);
    logo.lfWeight = FW_BOLD;
    logo.lfItalic = TRUE;
    const int room = Scale(68) - LogoNameLeft();
    for (int height = Scale(11); height >= Scale(7); --height) {
        logo.lfHeight = -height;
        logoFont_.reset(CreateFontIndirectA(&logo));
        if (TextWidth(logoFont_.get(), LogoName) <= room) break;
    }
}

int TfrmSettings::LogoNameLeft() const noexcept {
    return 5 * Scale(LogoKeyWidth) + 1 + Scale(3);
}

void TfrmSettings::PlaceWindow() {
    RECT frame{0, 0, Scale(ClientWidth), Scale(ClientHeight)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    // The title bar: the frame above the client area.
    const int titleHeight = -frame.top;
    const ScreenPoint place =
        DialogPosition({settings_.ShortcutsDialogLeft, settings_.ShortcutsDialogTop}, width, height,
                       titleHeight, fw::MonitorWorkAreas());
    SetWindowPos(window_, nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmSettings::FormShow() {
    // Read at every opening: the folder may have changed since the last one.
    const std::vector<std::string> list = LayoutList(FindLayoutFiles(), &fw::LessForUser);
    HWND layouts = Control(Layouts);
    for (const std::string& name : list)
        SendMessageW(layouts, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(fw::Utf8ToWide(name).c_str()));
    const int selected = LayoutIndex(list, settings_.Layout, &fw::SameNameIgnoringCase);
    SendMessageW(layouts, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void TfrmSettings::FormActivate() {
    if (owner_) InvalidateRect(owner_, nullptr, FALSE);
}

void TfrmSettings::btnOKClick() {
    DialogValues values;
    for (size_t i = 0; i < ShortcutCount; ++i)
        values.shortcuts[i] = ShortcutFromHotKey(shortcutFields_.Held(i));
    values.killKeystrokes =
        SendMessageA(Control(chkKillKeystrokes), BM_GETCHECK, 0, 0) == BST_CHECKED;
    HWND layouts = Control(Layouts);
    const LRESULT selected = SendMessageW(layouts, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) {
        const LRESULT length =
            SendMessageW(layouts, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
        if (length > 0) {
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            SendMessageW(layouts, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                         reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(length));
            values.layout = fw::WideToUtf8(text);
        }
    }
    if (ApplyValues(values, settings_) && options_.layoutChanged) options_.layoutChanged();
    Close(IDOK);
}

void TfrmSettings::Close(INT_PTR result) {
    if (options_.dismissed) options_.dismissed();
    EndDialog(window_, result);
}

void TfrmSettings::btnDefaultClick() {
    const auto defaults = zevaver::DefaultShortcuts();
    for (int i = 0; i < ShortcutCount; ++i) {
        SendMessageA(Control(static_cast<ControlId>(HotKey1 + i)), HKM_SETHOTKEY,
                     HotKeyFromShortcut(defaults[static_cast<size_t>(i)]), 0);
    }
    ShowPlayingWarning();
}

void TfrmSettings::LogoClick() {
    // UTF-8, so that a folder of any name and length is found.
    const std::string address = UserGuidePath(fw::WideToUtf8(fw::ModulePath(nullptr)));
    if (options_.openAddress) {
        options_.openAddress(owner_, address);
        return;
    }
    // A guide that cannot be opened is not worth a message.
    (void)fw::OpenWithShell(owner_, fw::Utf8ToWide(address).c_str());
}

void TfrmSettings::FormDestroy() {
    shortcutFields_.Detach();
    RECT bounds{};
    if (!GetWindowRect(window_, &bounds)) return;
    settings_.ShortcutsDialogLeft = bounds.left;
    settings_.ShortcutsDialogTop = bounds.top;
}

void TfrmSettings::DrawDivider(const DRAWITEMSTRUCT& item) const {
    RECT area = item.rcItem;
    FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(item.hDC, &area, BDR_SUNKENOUTER, BF_RECT);
}

// A small piano of five white keys and the maker's name, drawn at the dialog's scale.
void TfrmSettings::DrawLogo(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));

    const int keyWidth = Scale(LogoKeyWidth);
    const int top = area.top + Scale(1);
    const int bottom = area.bottom - Scale(1);
    const int right = area.left + 5 * keyWidth + 1;
    fw::Brush outline(CreateSolidBrush(RGB(64, 64, 64)));
    const RECT keys{area.left, top, right, bottom};
    FillRect(dc, &keys, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &keys, outline.get());
    for (int i = 1; i < 5; ++i) {
        const int x = area.left + i * keyWidth;
        const RECT gap{x, top, x + 1, bottom};
        FillRect(dc, &gap, outline.get());
    }
    const int blackHeight = (bottom - top) * 3 / 5;
    for (int i : {1, 2, 4}) {
        const int x = area.left + i * keyWidth;
        const RECT black{x - Scale(1), top, x + Scale(2), top + blackHeight};
        FillRect(dc, &black, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

    RECT name{area.left + LogoNameLeft(), area.top, area.right, area.bottom};
    fw::SelectObjectScope font(dc, logoFont_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 70, 140));
    DrawTextA(dc, LogoName, -1, &name, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

} // namespace zevaver
