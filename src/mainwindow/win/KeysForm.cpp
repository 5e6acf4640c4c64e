#include "mainwindow/win/KeysForm.h"

#include "engine/Layout.h"
#include "engine/win/RegistrySettings.h"
#include "framework/win/Application.h"
#include "keyboard/win/WinMidiOut.h"
#include "mainwindow/AppState.h"
#include "mainwindow/win/Tools.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {

constexpr UINT_PTR VelocitySubclassId = 1;

ScreenSize PrimaryScreen() noexcept {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ModifierSet ShiftState() noexcept {
    return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

TShiftState MouseShiftState(WPARAM keys) noexcept {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    return shift;
}

} // namespace

TKeysForm::TKeysForm(KeysFormOptions options)
    : options_(std::move(options)), keyWatch_(std::make_unique<TWatch>()),
      player_(static_cast<KeyPlayerHost&>(*this)) {
    if (!options_.midiOut) {
        ownMidiOut_ = std::make_unique<WinMidiOut>();
        options_.midiOut = ownMidiOut_.get();
    }
    if (!options_.registry) {
        ownRegistry_ = std::make_unique<Win32SettingsRegistry>();
        options_.registry = ownRegistry_.get();
    }
    keyWatch_->OnKeyNative = [this](TWatch&, int32_t wParam, int32_t lParam) {
        player_.KeyWatchKeyNative(wParam, static_cast<uint32_t>(lParam));
    };
}

TKeysForm::~TKeysForm() {
    FormDestroy();
    DestroyHandle();
}

bool TKeysForm::Create() {
    fw::WindowClassOptions windowClass;
    windowClass.name = ClassName;
    windowClass.style = CS_DBLCLKS;
    windowClass.background = nullptr; // everything visible is painted by us and the trackbar
    const DWORD style =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
    if (!CreateHandle(windowClass, style, 0, Caption, CW_USEDEFAULT, CW_USEDEFAULT, 700, 170))
        return false;
    SetErrorOwner(Handle());
    keyWatch_->SetApplicationWindow(Handle());
    tray_ = std::make_unique<TrayShell>(Handle(), TrayActions(), ::Minimized, ::IconName);
    CreateVelocityTrackbar();
    FormCreate();
    created_ = true;
    return true;
}

void TKeysForm::CreateVelocityTrackbar() {
    velocity_.reset(CreateWindowExA(0, TRACKBAR_CLASSA, "",
                                    WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH | TBS_AUTOTICKS, 0,
                                    0, 36, 100, Handle(), nullptr, fw::ModuleInstance(), nullptr));
    SendMessageA(velocity_.get(), TBM_SETRANGE, FALSE, MAKELPARAM(0, 127));
    SendMessageA(velocity_.get(), TBM_SETTICFREQ, 10, 0);
    SendMessageA(velocity_.get(), TBM_SETPAGESIZE, 0, 10);
    SetWindowSubclass(velocity_.get(), &TKeysForm::VelocityProc, VelocitySubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
}

void TKeysForm::FormCreate() {
    // The settings come first: the layout, the keyboard and the placement read them.
    LoadSettings(
        ::Settings, *options_.registry, PrimaryScreen(),
        [](const std::string& message) { ShowError(message); }, options_.settingsKeyPath);
    SendMessageA(velocity_.get(), TBM_SETPOS, TRUE, ::Settings.Velocity);
    LoadLayout();

    midiKeys_ = std::make_unique<TMIDIKeys>(static_cast<KeysHost&>(*this), *options_.midiOut);
    midiKeys_->Blink = [this] { tray_->Icons().Blink(); };
    midiKeys_->SetBaseOctave(2);
    midiKeys_->SetNoteWidth(::Settings.NoteWidth);
    ApplyOrientation();
    PlaceWindow();

    deviceCount_ = static_cast<int>(options_.midiOut->DeviceCount());
    BuildMenus();

    menu_->Item("mnuVertical").SetChecked(::Settings.Vertical);
    menu_->Item("mnuEnabled").SetChecked(::Settings.Enabled);
    // Only the five known base octaves click their item; any other stored value stays in
    // force for the computer keys while the on-screen keyboard keeps its first octave.
    switch (::Settings.BaseOctave) {
    case -24:
        menu_->Item("C2").Click();
        break;
    case -12:
        menu_->Item("C3").Click();
        break;
    case 0:
        menu_->Item("C4").Click();
        break;
    case 12:
        menu_->Item("C5").Click();
        break;
    case 24:
        menu_->Item("C6").Click();
        break;
    default:
        break;
    }
    SetPedalKey(::Settings.PedalKey);
    SetEnabledState(::Settings.Enabled);
    tray_->Icons().SetIcon(::IconName);
    SelectDevice(::Settings.Device);
    SelectChannel(::Settings.Channel);
}

void TKeysForm::BuildMenus() {
    std::vector<std::string> names;
    for (int id = -1; id < deviceCount_; ++id) {
        std::string name;
        if (options_.midiOut->DeviceName(id, name) != MidiOut::NoError)
            name = "MIDI output " + std::to_string(id);
        names.push_back(name);
    }
    menu_ = std::make_unique<MainMenu>(static_cast<MainMenuActions&>(*this), names);
}

void TKeysForm::PlaceWindow() {
    ScreenSize screen = PrimaryScreen();
    Placement place = CorrectPlacement(::Settings.Left, ::Settings.Top, ::Settings.Width,
                                       ::Settings.Height, screen.Width, screen.Height);
    ::Settings.Left = place.left;
    ::Settings.Top = place.top;
    SetWindowPos(Handle(), nullptr, ::Settings.Left, ::Settings.Top, ::Settings.Width,
                 ::Settings.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    FormResize();
}

void TKeysForm::ApplyOrientation() {
    midiKeys_->SetOrientation(::Settings.Vertical ? kbVertical : kbHorizontal);
    LONG_PTR style = GetWindowLongPtrA(velocity_.get(), GWL_STYLE);
    style = ::Settings.Vertical ? (style & ~TBS_VERT) | TBS_HORZ : (style & ~TBS_HORZ) | TBS_VERT;
    SetWindowLongPtrA(velocity_.get(), GWL_STYLE, style);
}

void TKeysForm::FormResize() {
    if (!midiKeys_) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    ClientSize size{client.right, client.bottom};
    // The back buffer follows the window's size here, the one place the size changes.
    (void)backBuffer_.Resize(size.width, size.height);
    WindowRect keys = KeyboardRect(frame_, size, ::Settings.Vertical);
    WindowRect bar = TrackbarRect(frame_, size, ::Settings.Vertical);
    midiKeys_->SetBounds(keys.left, keys.top, keys.width, keys.height);
    SetWindowPos(velocity_.get(), nullptr, bar.left, bar.top, bar.width, bar.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int TKeysForm::VelocityPosition() {
    return static_cast<int>(SendMessageA(velocity_.get(), TBM_GETPOS, 0, 0));
}

void TKeysForm::FormDestroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    keyWatch_->StopWatching(2);
    keyWatch_->StopWatching(1);
    keyWatch_.reset();
    tray_->Icons().WindowDestroyed();

    // A minimised window reports the icon's place; the place to come back to is the
    // normal one.
    RECT bounds{};
    if (IsIconic(Handle())) {
        WINDOWPLACEMENT placement{sizeof placement};
        GetWindowPlacement(Handle(), &placement);
        bounds = placement.rcNormalPosition;
    } else {
        GetWindowRect(Handle(), &bounds);
    }
    ::Settings.Width = bounds.right - bounds.left;
    ::Settings.Height = bounds.bottom - bounds.top;
    ::Settings.Top = bounds.top;
    ::Settings.Left = bounds.left;
    ::Settings.Velocity = VelocityPosition();
    (void)SaveSettings(
        ::Settings, *options_.registry, [](const std::string& message) { ShowError(message); },
        options_.settingsKeyPath);
}

LRESULT TKeysForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (LRESULT result = 0; tray_ && tray_->TryHandle(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        FormResize();
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {MinWidth, MinHeight};
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        OnMouseButton(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
        return 0;
    case WM_RBUTTONUP:
        OnMouseButton(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
        break; // on to DefWindowProc, which turns it into WM_CONTEXTMENU
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
        return 0;
    case WM_CAPTURECHANGED:
        keysHaveMouse_ = false;
        return 0;
    case WM_CONTEXTMENU:
        PopupAtCursor();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnKeyDown(wParam)) return 0;
        break;
    case WM_CLOSE:
        fw::RequestTermination();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The process may end as soon as this returns: keep the settings now.
        if (wParam) FormDestroy();
        return 0;
    default:
        break;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

void TKeysForm::OnPaint() {
    PAINTSTRUCT paint;
    BeginPaint(Handle(), &paint);
    if (!::Minimized && midiKeys_) midiKeys_->Paint();
    EndPaint(Handle(), &paint);
}

// The keyboard control is windowless: mouse messages reach it when they fall inside its
// rectangle, or anywhere while it holds the mouse after a press on it.
bool TKeysForm::KeysPoint(int x, int y, int& kx, int& ky) const noexcept {
    kx = x - midiKeys_->Left();
    ky = y - midiKeys_->Top();
    return kx >= 0 && ky >= 0 && kx < midiKeys_->Width() && ky < midiKeys_->Height();
}

void TKeysForm::OnMouseButton(UINT message, int x, int y, WPARAM keys) {
    if (!midiKeys_) return;
    int kx = 0, ky = 0;
    const bool inside = KeysPoint(x, y, kx, ky);
    const TShiftState shift = MouseShiftState(keys);
    const TMouseButton button = (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)   ? mbLeft
                                : (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) ? mbRight
                                                                                         : mbMiddle;
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
        if (!inside) return;
        keysHaveMouse_ = true;
        midiKeys_->KeysMouseDown(button, shift, kx, ky);
    } else if (keysHaveMouse_) {
        keysHaveMouse_ = false;
        midiKeys_->KeysMouseUp(button, shift, kx, ky);
    }
}

void TKeysForm::OnMouseMove(int x, int y, WPARAM keys) {
    if (!midiKeys_) return;
    int kx = 0, ky = 0;
    if (KeysPoint(x, y, kx, ky) || keysHaveMouse_)
        midiKeys_->KeysMouseMove(MouseShiftState(keys), kx, ky);
}

bool TKeysForm::OnKeyDown(WPARAM key) {
    auto code = static_cast<uint16_t>(key);
    player_.FormKeyDown(code, ShiftState());
    return code == 0;
}

LRESULT CALLBACK TKeysForm::VelocityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data) noexcept {
    if (message == WM_KEYDOWN) {
        auto* form = reinterpret_cast<TKeysForm*>(data);
        auto code = static_cast<uint16_t>(wParam);
        form->player_.VelocityKeyDown(code, ShiftState());
        if (code == 0) return 0; // consumed: the trackbar does not move
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, &TKeysForm::VelocityProc, VelocitySubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
}

fw::PixelSurface* TKeysForm::BackBuffer() {
    surface_ = {backBuffer_.Pixels(), backBuffer_.Width(), backBuffer_.Height(),
                backBuffer_.Width()};
    return surface_.pixels ? &surface_ : nullptr;
}

void TKeysForm::Present(int left, int top, int width, int height) {
    fw::WindowDc dc(Handle());
    backBuffer_.CopyTo(dc.get(), left, top, width, height);
}

void TKeysForm::Invalidate() {
    InvalidateRect(Handle(), nullptr, FALSE);
}
void TKeysForm::CaptureMouse() {
    SetCapture(Handle());
}
void TKeysForm::ReleaseMouseCapture() {
    if (GetCapture() == Handle()) ReleaseCapture();
}
void TKeysForm::SetSkinCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
bool TKeysForm::Minimized() const {
    return ::Minimized;
}
bool TKeysForm::PedalDown() const {
    return player_.PedalDown();
}
