#include "mainwindow/win/KeysForm.h"

#include "engine/win/RegistrySettings.h"
#include "framework/win/Application.h"
#include "keyboard/win/WinKeyNames.h"
#include "keyboard/win/WinMidiOut.h"
#include "framework/win/Dpi.h"
#include "framework/win/Monitors.h"
#include "mainwindow/win/LayoutNameDlg.h"
#include "services/win/SettingsDlg.h"

#include <commctrl.h>
#include <windowsx.h>

namespace zevaver {

namespace {

constexpr UINT_PTR VelocitySubclassId = 1;

ModifierSet ShiftState() noexcept {
    return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

TShiftState MouseShiftState(WPARAM keys) noexcept {
    TShiftState shift = TShiftState::None;
    if (keys & MK_SHIFT) shift |= TShiftState::Shift;
    if (keys & MK_CONTROL) shift |= TShiftState::Ctrl;
    if (GetKeyState(VK_MENU) < 0) shift |= TShiftState::Alt;
    if (keys & MK_LBUTTON) shift |= TShiftState::Left;
    if (keys & MK_RBUTTON) shift |= TShiftState::Right;
    if (keys & MK_MBUTTON) shift |= TShiftState::Middle;
    return shift;
}

TMouseButton ButtonOf(UINT message) noexcept {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return TMouseButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
        return TMouseButton::Right;
    default:
        return TMouseButton::Middle;
    }
}

// The rectangles of a window's update region, as long as they are few; none otherwise (the
// caller then paints their bounding box).
std::vector<fw::PixelRect> UpdateRects(HWND window) {
    constexpr DWORD MostRects = 8;
    std::vector<fw::PixelRect> rects;
    fw::GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    if (!region || GetUpdateRgn(window, region.get(), FALSE) != COMPLEXREGION) return rects;
    const DWORD size = GetRegionData(region.get(), 0, nullptr);
    if (size == 0 || size > sizeof(RGNDATAHEADER) + MostRects * sizeof(RECT)) return rects;
    alignas(RGNDATA) unsigned char buffer[sizeof(RGNDATAHEADER) + MostRects * sizeof(RECT)];
    auto* data = reinterpret_cast<RGNDATA*>(buffer);
    if (GetRegionData(region.get(), size, data) == 0) return rects;
    const auto* each = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount && i < MostRects; ++i)
        rects.push_back({each[i].left, each[i].top, each[i].right, each[i].bottom});
    return rects;
}

template <typename T> T& Own(T* given, std::unique_ptr<T>& own, std::unique_ptr<T> made) {
    if (given) return *given;
    own = std::move(made);
    return *own;
}

} // namespace

TKeysForm::TKeysForm(KeysFormOptions options)
    : options_(std::move(options)),
      core_(*this,
            Own<MidiOut>(options_.midiOut, ownMidiOut_,
                         options_.midiOut ? nullptr : std::make_unique<WinMidiOut>()),
            Own<SettingsRegistry>(options_.registry, ownRegistry_,
                                  options_.registry ? nullptr
                                                    : std::make_unique<Win32SettingsRegistry>()),
            layoutFiles_, options_.settingsKeyPath, &input_) {}

TKeysForm::~TKeysForm() {
    FormDestroy();
    // A creation that failed half-way: the thread goes before the engine it runs.
    input_.Stop();
    DestroyHandle();
}

bool TKeysForm::Create(bool watch) {
    fw::WindowClassOptions windowClass;
    windowClass.name = ClassName;
    windowClass.style = CS_DBLCLKS;
    windowClass.background = nullptr; // everything visible is painted by us and the trackbar
    const DWORD style =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
    if (!CreateHandle(windowClass, style, 0, Caption, CW_USEDEFAULT, CW_USEDEFAULT, 700, 170))
        return false;
    fw::SetErrorOwner(Handle());
    // The input thread gets ready beside the rest of the start; what the core sends the
    // engine meanwhile waits for it.
    if (!input_.Start(core_.Engine(), Handle(), watch)) return false;
    try {
        CreateParts(watch);
    } catch (...) {
        // Nothing the thread uses may go while it runs.
        input_.Stop();
        throw;
    }
    created_ = true;
    return true;
}

void TKeysForm::CreateParts(bool watch) {
    if (watch) {
        hookWatchdog_ = std::make_unique<WinHookWatchdog>(
            input_.Tally(), [this] { input_.HookMissed(); }, [this] { return input_.LastSeen(); });
        (void)hookWatchdog_->Start();
    }
    AddHandler(sizeLimit_);
    tray_ = std::make_unique<TrayShell>(Handle(), core_);
    AddHandler(*tray_);
    CreateVelocityTrackbar();
    AttachSkinShell();
    pointer_ = std::make_unique<TWindowPointer>(Handle(), core_);
    AddHandler(*pointer_);
    devices_ = std::make_unique<DeviceWatch>(Handle(), core_);
    AddHandler(*devices_);
    dpiChange_ = std::make_unique<TDpiChange>(core_);
    AddHandler(*dpiChange_);
    core_.Start();
    if (watch) {
        hotKeys_ = std::make_unique<AccessHotKeysGuard>(
            options_.registry ? *options_.registry : *ownRegistry_, options_.settingsKeyPath,
            options_.accessSystem);
        hotKeys_->Start();
    }
    skinShell_.SetSkin(core_.Skin());
}

PlayingEngine& TKeysForm::SettledEngine() noexcept {
    input_.Settle();
    return core_.Engine();
}

void TKeysForm::OnPointer(WPARAM kind, LPARAM position) {
    const POINT at = input_.TakePointer(kind, position);
    if (kind == InputThread::ButtonReleased) {
        pointer_->KeyWatchMouseUp(at.x, at.y);
    } else {
        pointer_->KeyWatchMouseMove(at.x, at.y);
    }
}

void TKeysForm::CreateVelocityTrackbar() {
    velocity_ = CreateWindowExA(0, TRACKBAR_CLASSA, "",
                                WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH | TBS_AUTOTICKS, 0, 0,
                                36, 100, Handle(), nullptr, fw::ModuleInstance(), nullptr);
    SendMessageA(velocity_, TBM_SETRANGE, FALSE, MAKELPARAM(0, 127));
    SendMessageA(velocity_, TBM_SETTICFREQ, 10, 0);
    // The arrow keys move it by 1, a click on its channel by 2.
    SendMessageA(velocity_, TBM_SETLINESIZE, 0, 1);
    SendMessageA(velocity_, TBM_SETPAGESIZE, 0, 2);
    SetWindowSubclass(velocity_, &TKeysForm::VelocityProc, VelocitySubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
}

void TKeysForm::AttachSkinShell() {
    TWinSkinShell::Window window;
    window.handle = Handle();
    window.velocity = velocity_;
    window.popupMenu = [this](POINT at) {
        core_.MenuOpening(); // the Device submenu lists the outputs as they are now
        (void)popup_.Show(core_.Menu().Root(), Handle(), at);
        core_.EngineChanged(); // what the menu's own loop may have shown stays the newest
    };
    window.overKeys = [this](POINT at) { return core_.OverKeys(at.x, at.y); };
    skinShell_.Attach(std::move(window));
    AddHandler(skinShell_);
}

void TKeysForm::FormDestroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    // The engine comes back to this thread, with every command applied.
    input_.Stop();
    core_.Stop();
    if (hotKeys_) hotKeys_->Stop();
}

LRESULT TKeysForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE: {
        RECT client{};
        GetClientRect(Handle(), &client);
        // The back buffer follows the window's size here, the one place the size changes.
        const uint32_t* before = backBuffer_.Pixels();
        (void)backBuffer_.Resize(client.right, client.bottom);
        // The core asks for a repaint of what the new size moved; a new back buffer has
        // nothing of the old picture, so then all of it is painted.
        core_.Resized({client.right, client.bottom});
        if (backBuffer_.Pixels() != before) InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    }
    case WM_LBUTTONDBLCLK: // a quick second press is a press like any other
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        core_.MouseDown(ButtonOf(message), MouseShiftState(wParam), GET_X_LPARAM(lParam),
                        GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        core_.MouseUp(ButtonOf(message), MouseShiftState(wParam), GET_X_LPARAM(lParam),
                      GET_Y_LPARAM(lParam));
        return 0;
    case WM_RBUTTONUP:
        core_.MouseUp(TMouseButton::Right, MouseShiftState(wParam), GET_X_LPARAM(lParam),
                      GET_Y_LPARAM(lParam));
        break; // on to DefWindowProc, which turns it into WM_CONTEXTMENU
    case WM_MOUSEMOVE:
        core_.MouseMove(MouseShiftState(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        // lParam is the window that gains the capture; taking it again is no loss.
        if (reinterpret_cast<HWND>(lParam) != Handle()) core_.MouseCaptureLost();
        return 0;
    case WM_CONTEXTMENU:
        core_.ShowPopup();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (core_.KeyDown(static_cast<uint16_t>(wParam), ShiftState(),
                          static_cast<uint32_t>(lParam)))
            return 0;
        break;
    case WM_TIMER:
        core_.Timer(static_cast<int>(wParam));
        return 0;
    case WM_INPUTLANGCHANGE:
        core_.KeyboardLayoutChanged();
        break;
    case InputThread::EngineMessage:
        core_.EngineChanged();
        return 0;
    case InputThread::PointerMessage:
        OnPointer(wParam, lParam);
        return 0;
    case WM_CLOSE:
        fw::RequestTermination();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The process may end as soon as this returns.
        if (wParam) {
            FormDestroy();
            core_.SessionEnding();
        }
        return 0;
    default:
        break;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

// Each rectangle of what needs repainting on its own: after a border drag that is a few
// bands, far less than the whole window.
void TKeysForm::OnPaint() {
    std::vector<fw::PixelRect> parts = UpdateRects(Handle());
    PAINTSTRUCT paint;
    BeginPaint(Handle(), &paint);
    if (parts.empty())
        parts.push_back(
            {paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom});
    for (const fw::PixelRect& part : parts) core_.Paint(part);
    EndPaint(Handle(), &paint);
}

LRESULT CALLBACK TKeysForm::VelocityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data) noexcept {
    auto* form = reinterpret_cast<TKeysForm*>(data);
    try {
        // The trackbar shares the window's command keys; a consumed one does not move it.
        if (message == WM_KEYDOWN &&
            form->core_.KeyDown(static_cast<uint16_t>(wParam), ShiftState(),
                                static_cast<uint32_t>(lParam)))
            return 0;
    } catch (const std::exception& error) {
        fw::ReportError(error.what());
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &TKeysForm::VelocityProc, VelocitySubclassId);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    // Whatever moved the thumb (a key, the mouse, the program), the engine learns the
    // velocity before the next key plays.
    if (message != TBM_GETPOS) {
        const auto position = static_cast<int32_t>(DefSubclassProc(window, TBM_GETPOS, 0, 0));
        if (position != form->faderPosition_) {
            form->faderPosition_ = position;
            form->core_.FaderMoved(position);
        }
    }
    return result;
}

// --- AppHost. ---

fw::PixelSurface* TKeysForm::BackBuffer() {
    surface_ = backBuffer_.Surface();
    return surface_.pixels ? &surface_ : nullptr;
}

void TKeysForm::Present(int left, int top, int width, int height) {
    fw::WindowDc dc(Handle());
    backBuffer_.CopyTo(dc.get(), left, top, width, height);
}

void TKeysForm::Invalidate() {
    InvalidateRect(Handle(), nullptr, FALSE);
}
void TKeysForm::InvalidateArea(const fw::PixelRect& area) {
    const RECT rect{area.left, area.top, area.right, area.bottom};
    InvalidateRect(Handle(), &rect, FALSE);
}
void TKeysForm::CaptureMouse() {
    if (GetCapture() != Handle()) SetCapture(Handle());
}
void TKeysForm::ReleaseMouseCapture() {
    if (GetCapture() == Handle()) ReleaseCapture();
}
void TKeysForm::SetSkinCursor() {
    SetCursor(skinShell_.KeysCursor());
}

ScreenSize TKeysForm::PrimaryScreen() {
    return zevaver::PrimaryScreen();
}

// A minimised window reports the icon's place; the place to come back to is the normal one.
WindowRect TKeysForm::WindowBounds() {
    RECT bounds{};
    if (IsIconic(Handle())) {
        WINDOWPLACEMENT placement{sizeof placement};
        GetWindowPlacement(Handle(), &placement);
        bounds = placement.rcNormalPosition;
    } else {
        GetWindowRect(Handle(), &bounds);
    }
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void TKeysForm::SetWindowBounds(const WindowRect& bounds) {
    SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

ClientSize TKeysForm::ClientArea() {
    RECT client{};
    GetClientRect(Handle(), &client);
    return {client.right, client.bottom};
}

// The engine runs on the input thread, which answers these itself; the same answers here.
bool TKeysForm::IsActive() {
    return input_.IsMainWindowActive();
}
bool TKeysForm::IsKeyDown(int32_t key) {
    return input_.IsKeyDown(key);
}
uint32_t TKeysForm::EventTime() {
    return input_.EventTime();
}

void TKeysForm::CloseWindow() {
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

int32_t TKeysForm::FaderPosition() {
    return static_cast<int32_t>(SendMessageA(velocity_, TBM_GETPOS, 0, 0));
}

void TKeysForm::SetFaderPosition(int32_t position) {
    SendMessageA(velocity_, TBM_SETPOS, TRUE, position);
}

void TKeysForm::PlaceFader(const WindowRect& bounds, bool vertical) {
    // A hidden trackbar (a skin's own fader stands in for it) is placed when a skin shows it
    // again, which lays the window out anew; until then a border drag leaves it alone.
    const LONG_PTR style = GetWindowLongPtrA(velocity_, GWL_STYLE);
    if ((style & WS_VISIBLE) == 0) return;
    // A vertical keyboard has a horizontal fader, and the other way round. Only a turn
    // needs the trackbar to take in a new style; a border drag just moves it.
    const LONG_PTR turned =
        vertical ? (style & ~TBS_VERT) | TBS_HORZ : (style & ~TBS_HORZ) | TBS_VERT;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (turned != style) {
        SetWindowLongPtrA(velocity_, GWL_STYLE, turned);
        flags |= SWP_FRAMECHANGED;
    }
    SetWindowPos(velocity_, nullptr, bounds.left, bounds.top, bounds.width, bounds.height, flags);
}

std::vector<fw::PixelRect> TKeysForm::Monitors() {
    return fw::MonitorRects();
}

std::vector<fw::PixelRect> TKeysForm::WorkAreas() {
    return fw::MonitorWorkAreas();
}

int TKeysForm::WindowDpi() {
    return options_.dpi > 0 ? options_.dpi : fw::WindowDpi(Handle());
}

// With one monitor every window has its DPI, which needs no look at the monitors.
int TKeysForm::DpiAt(const WindowRect& area) {
    if (options_.dpi > 0 || GetSystemMetrics(SM_CMONITORS) <= 1) return WindowDpi();
    return fw::DpiOfArea({area.left, area.top, area.left + area.width, area.top + area.height});
}

// The icons and the tray: the shell's side is TrayShell's.
void TKeysForm::TrayIcon(const std::string& trayName, TrayAction action) {
    tray_->TrayIcon(trayName, action);
}
void TKeysForm::SetWindowIcon(const std::string& windowName) {
    tray_->SetWindowIcon(windowName);
}
void TKeysForm::ShowApplicationWindow(bool shown) {
    tray_->ShowApplicationWindow(shown);
}
void TKeysForm::BringToFront() {
    fw::BringForward(Handle()); // the settings dialog, when it is open
    fw::ProcessMessages();
}
void TKeysForm::ReportError(const std::string& text) {
    fw::ReportError(text);
}

void TKeysForm::ShowPopup(fw::MenuItem& root) {
    POINT cursor{};
    GetCursorPos(&cursor);
    (void)popup_.Show(root, Handle(), cursor);
}

void TKeysForm::ShowSettingsDialog(TSettings& settings, const std::function<void()>& layoutChanged,
                                   const std::function<void()>& dismissed) {
    TfrmSettings dialog(Handle(), settings,
                        {layoutChanged,
                         {},
                         skinShell_.Platform().LogoCursor(),
                         dismissed,
                         &core_.State().KeyNotes});
    (void)dialog.ShowModal();
}

std::string TKeysForm::KeyName(int entry, bool byPosition) {
    return SystemKeyCaption(entry, byPosition);
}

std::optional<std::string> TKeysForm::AskLayoutName(const std::string& name) {
    return zevaver::AskLayoutName(Handle(), name);
}

bool TKeysForm::AskReplaceLayout(const std::string& name) {
    return zevaver::AskReplaceLayout(Handle(), name);
}

void TKeysForm::StartTimer(int id, uint32_t milliseconds) {
    SetTimer(Handle(), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void TKeysForm::StopTimer(int id) {
    KillTimer(Handle(), static_cast<UINT_PTR>(id));
}

} // namespace zevaver
