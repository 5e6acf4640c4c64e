#include "mainwindow/linux/KeysWindowEvents.h"

#include "framework/linux/Dialogs.h"
#include "keyboard/KernelKeys.h"
#include "keyboard/linux/LinuxMidiOut.h"

#include <glib-unix.h>

#include <algorithm>

namespace zevaver {

namespace {

constexpr int MenuKey = 0x5D;
constexpr int F10Key = 0x79;

TShiftState ShiftOf(guint state) noexcept {
    TShiftState shift = TShiftState::None;
    if (state & GDK_SHIFT_MASK) shift |= TShiftState::Shift;
    if (state & GDK_CONTROL_MASK) shift |= TShiftState::Ctrl;
    if (state & GDK_MOD1_MASK) shift |= TShiftState::Alt;
    if (state & GDK_BUTTON1_MASK) shift |= TShiftState::Left;
    if (state & GDK_BUTTON3_MASK) shift |= TShiftState::Right;
    if (state & GDK_BUTTON2_MASK) shift |= TShiftState::Middle;
    return shift;
}

TMouseButton ButtonOf(guint button) noexcept {
    return button == 3   ? TMouseButton::Right
           : button == 2 ? TMouseButton::Middle
                         : TMouseButton::Left;
}

} // namespace

void ShowFailure(const char* text) noexcept {
    try {
        GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                                GTK_BUTTONS_OK, "%s", text);
        gtk_window_set_title(GTK_WINDOW(box), "Error");
        fw::RunDialog(GTK_DIALOG(box));
        gtk_widget_destroy(box);
    } catch (...) {
    }
}

gboolean KeysWindowEvents::Draw(GtkWidget*, cairo_t* cr, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    Guarded([&] { self.OnDraw(cr); });
    return TRUE;
}

gboolean KeysWindowEvents::Configure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    if (event->width != self.client_.width || event->height != self.client_.height) {
        Guarded([&] {
            self.ResizeBackBuffer(event->width, event->height);
            self.core_.Resized(self.client_);
        });
    }
    return FALSE;
}

gboolean KeysWindowEvents::Press(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    // A quick second press came as a press already; GTK's double-click event is extra.
    if (event->type != GDK_BUTTON_PRESS) return TRUE;
    self.event_ = reinterpret_cast<const GdkEvent*>(event);
    const int x = static_cast<int>(event->x), y = static_cast<int>(event->y);
    Guarded([&] {
        if (event->button == 1 && self.pointer_.Press(x, y)) return;
        self.core_.MouseDown(ButtonOf(event->button), ShiftOf(event->state), x, y);
    });
    self.event_ = nullptr;
    return TRUE;
}

gboolean KeysWindowEvents::Release(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    self.event_ = reinterpret_cast<const GdkEvent*>(event);
    const int x = static_cast<int>(event->x), y = static_cast<int>(event->y);
    Guarded([&] {
        if (event->button == 1 && self.pointer_.Release(x, y)) return;
        self.core_.MouseUp(ButtonOf(event->button), ShiftOf(event->state), x, y);
        // A right click's release opens the menu, as on Windows.
        if (event->button == 3) self.core_.ShowPopup();
    });
    self.event_ = nullptr;
    return TRUE;
}

gboolean KeysWindowEvents::Motion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    const int x = static_cast<int>(event->x), y = static_cast<int>(event->y);
    const ScreenPoint screen{static_cast<int>(event->x_root), static_cast<int>(event->y_root)};
    Guarded([&] {
        if (self.pointer_.Move(x, y, screen, (event->state & GDK_BUTTON1_MASK) != 0)) return;
        self.core_.MouseMove(ShiftOf(event->state), x, y);
        if (self.core_.KeyboardTakesPointer(x, y)) self.SetSkinCursor();
    });
    return TRUE;
}

gboolean KeysWindowEvents::GrabBroken(GtkWidget*, GdkEvent*, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    Guarded([&] {
        self.pointer_.LetGo();
        self.core_.MouseCaptureLost();
    });
    return FALSE;
}

gboolean KeysWindowEvents::Key(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    // Where the window's keys are the only ones the playing thread gets, they play first.
    self.FeedWindowKey(event->hardware_keycode, false);
    // The key by its place, as the layouts and the playing thread have it.
    const uint16_t key = event->hardware_keycode >= XKeyCodeOffset
                             ? UsKeyOfKernelCode(event->hardware_keycode - XKeyCodeOffset)
                             : 0;
    if (key == 0) return FALSE;
    const ModifierSet shift{(event->state & GDK_SHIFT_MASK) != 0,
                            (event->state & GDK_CONTROL_MASK) != 0,
                            (event->state & GDK_MOD1_MASK) != 0};
    bool consumed = false;
    self.event_ = reinterpret_cast<const GdkEvent*>(event);
    Guarded([&] {
        consumed = self.core_.KeyDown(key, shift);
        if (!consumed && (key == MenuKey || (key == F10Key && shift.Shift))) {
            self.core_.ShowPopup();
            consumed = true;
        }
    });
    self.event_ = nullptr;
    return consumed ? TRUE : FALSE;
}

gboolean KeysWindowEvents::KeyUp(GtkWidget*, GdkEventKey* event, gpointer data) {
    static_cast<KeysWindow*>(data)->FeedWindowKey(event->hardware_keycode, true);
    return FALSE;
}

gboolean KeysWindowEvents::Focus(GtkWidget*, GdkEventFocus* event, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    // The releases of keys held now go to the window that gets the focus.
    if (event->in == 0) self.LetGoWindowKeys();
    Guarded([&] { self.SetActive(event->in != 0); });
    return FALSE;
}

gboolean KeysWindowEvents::State(GtkWidget*, GdkEventWindowState* event, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    if ((event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) == 0) return FALSE;
    const bool iconified = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
    Guarded([&] {
        // Minimised and restored from outside (the taskbar): as the program's own.
        if (iconified && !self.core_.State().Minimized) self.core_.MinimizeApplication();
        if (!iconified && self.core_.State().Minimized) self.core_.RestoreFromTray();
    });
    return FALSE;
}

gboolean KeysWindowEvents::Delete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<KeysWindow*>(data)->CloseWindow();
    return TRUE;
}

void KeysWindowEvents::FaderChanged(GtkRange* range, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    self.core_.FaderMoved(static_cast<int32_t>(gtk_range_get_value(range)));
}

gboolean KeysWindowEvents::FaderPlace(GtkOverlay*, GtkWidget* child, GdkRectangle* place,
                                      gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    if (child != self.scale_) return FALSE;
    *place = {self.faderBounds_.left, self.faderBounds_.top, std::max(1, self.faderBounds_.width),
              std::max(1, self.faderBounds_.height)};
    return TRUE;
}

gboolean KeysWindowEvents::InputNews(gint, GIOCondition, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    const LinuxInputThread::WindowNews news = self.input_.TakeWindowNews();
    Guarded([&] {
        if (news.engine) {
            self.core_.EngineChanged();
            // A shortcut may have moved a check mark the tray's menu shows.
            if (self.tray_.Shown()) self.tray_.RefreshMenu();
        }
        if (news.pointerMoved || news.buttonReleased) {
            bool leftDown = false;
            const ScreenPoint at = self.PointerOnScreen(&leftDown);
            if (news.buttonReleased)
                self.pointer_.WatchedRelease(at);
            else
                self.pointer_.WatchedMove(at, leftDown);
        }
    });
    return G_SOURCE_CONTINUE;
}

gboolean KeysWindowEvents::PortsChanged(gint, GIOCondition, gpointer data) {
    auto& self = *static_cast<KeysWindow*>(data);
    auto* midi = dynamic_cast<LinuxMidiOut*>(&self.Midi());
    if (midi && midi->TakeChanges()) {
        Guarded([&] {
            self.core_.DevicesChanged();
            if (self.tray_.Shown()) self.tray_.RefreshMenu();
        });
    }
    return G_SOURCE_CONTINUE;
}

gboolean KeysWindowEvents::Timer(gpointer data) {
    auto* timer = static_cast<std::pair<KeysWindow*, int>*>(data);
    Guarded([&] { timer->first->core_.Timer(timer->second); });
    return G_SOURCE_CONTINUE;
}
void KeysWindowEvents::Connect(KeysWindow& window) {
    KeysWindow* self = &window;
    g_signal_connect(window.canvas_, "draw", G_CALLBACK(&Draw), self);
    g_signal_connect(window.canvas_, "button-press-event", G_CALLBACK(&Press), self);
    g_signal_connect(window.canvas_, "button-release-event", G_CALLBACK(&Release), self);
    g_signal_connect(window.canvas_, "motion-notify-event", G_CALLBACK(&Motion), self);
    g_signal_connect(window.canvas_, "grab-broken-event", G_CALLBACK(&GrabBroken), self);
    g_signal_connect(window.window_, "configure-event", G_CALLBACK(&Configure), self);
    g_signal_connect(window.window_, "key-press-event", G_CALLBACK(&Key), self);
    g_signal_connect(window.window_, "key-release-event", G_CALLBACK(&KeyUp), self);
    g_signal_connect(window.window_, "focus-in-event", G_CALLBACK(&Focus), self);
    g_signal_connect(window.window_, "focus-out-event", G_CALLBACK(&Focus), self);
    g_signal_connect(window.window_, "window-state-event", G_CALLBACK(&State), self);
    g_signal_connect(window.window_, "delete-event", G_CALLBACK(&Delete), self);
    g_signal_connect(window.scale_, "value-changed", G_CALLBACK(&FaderChanged), self);
    g_signal_connect(window.overlay_, "get-child-position", G_CALLBACK(&FaderPlace), self);
}

void KeysWindowEvents::WatchSources(KeysWindow& window) {
    window.sources_.push_back(
        g_unix_fd_add(window.input_.WindowFd(), G_IO_IN, &InputNews, &window));
    if (auto* midi = dynamic_cast<LinuxMidiOut*>(&window.Midi())) {
        for (const int fd : {midi->SequencerFd(), midi->JackFd()})
            if (fd >= 0)
                window.sources_.push_back(g_unix_fd_add(fd, G_IO_IN, &PortsChanged, &window));
    }
}

unsigned KeysWindowEvents::AddTimer(KeysWindow& window, int id, uint32_t milliseconds) {
    return g_timeout_add_full(
        G_PRIORITY_DEFAULT, milliseconds, &Timer, new std::pair<KeysWindow*, int>(&window, id),
        [](gpointer p) { delete static_cast<std::pair<KeysWindow*, int>*>(p); });
}

} // namespace zevaver
