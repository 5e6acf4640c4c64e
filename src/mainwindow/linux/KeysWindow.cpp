#include "mainwindow/linux/KeysWindow.h"

#include "mainwindow/linux/KeysWindowEvents.h"

#include "engine/linux/IniSettings.h"
#include "framework/linux/Dialogs.h"
#include "framework/linux/Folders.h"
#include "keyboard/linux/LinuxMidiOut.h"
#include "mainwindow/linux/LayoutNameDialog.h"
#include "services/SettingsDlgRules.h"
#include "services/linux/Autostart.h"
#include "services/linux/SettingsDialog.h"

#include <gdk/gdkwayland.h>
#include <gdk/gdkx.h>
// Xlib's macros would shadow the program's names.
#undef None
#undef Status
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <algorithm>

namespace zevaver {

namespace {

template <typename T> T& Own(T* given, std::unique_ptr<T>& own, std::unique_ptr<T> made) {
    if (given) return *given;
    own = std::move(made);
    return *own;
}

const char* CursorName(ResizeCursor cursor) noexcept {
    switch (cursor) {
    case ResizeCursor::NorthWestSE:
        return "nwse-resize";
    case ResizeCursor::NorthEastSW:
        return "nesw-resize";
    case ResizeCursor::NorthSouth:
        return "ns-resize";
    case ResizeCursor::WestEast:
        return "ew-resize";
    case ResizeCursor::Arrow:
        break;
    }
    return "default";
}

} // namespace

// The skin's window half, on the main window.
class KeysWindow::SkinPart final : public LinuxSkinFiles {
public:
    SkinPart(KeysWindow& window, std::vector<std::string> roots)
        : LinuxSkinFiles(std::move(roots)), window_(window) {}

    fw::PixelSurface* BackBuffer() override { return window_.BackBuffer(); }
    void FlushRect(const fw::PixelRect& rect) override {
        if (!fw::IsEmpty(rect))
            window_.Present(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    // The back buffer always holds what the window shows.
    void CopyScreenToBackBuffer() override {}
    fw::PixelRect WindowBounds() override { return window_.ScreenBounds(); }
    bool IsMainWindowActive() override { return window_.Active(); }
    bool WindowShown() override {
        if (!window_.window_ || !gtk_widget_get_visible(window_.window_)) return false;
        GdkWindow* gdk = gtk_widget_get_window(window_.window_);
        return !gdk || (gdk_window_get_state(gdk) & GDK_WINDOW_STATE_ICONIFIED) == 0;
    }
    void PopupMenuAt(int, int) override {
        window_.core_.MenuOpening(); // the Device submenu lists the outputs as they are now
        window_.popup_.Show(window_.core_.Menu().Root(), window_.canvas_, window_.event_);
    }
    void CloseMainWindow() override { window_.CloseWindow(); }
    void MinimizeApplication() override {
        g_idle_add(
            [](gpointer data) -> gboolean {
                auto& self = *static_cast<KeysWindow*>(data);
                Guarded([&] { self.core_.MinimizeApplication(); });
                return G_SOURCE_REMOVE;
            },
            &window_);
    }
    void ApplyWindowLook(const TSkinConfig& config, bool trackbarVisible) override {
        GtkWindow* window = GTK_WINDOW(window_.window_);
        // A windows-style skin has the window manager's frame, a bitmap skin none.
        gtk_window_set_decorated(window, config.WindowsStyle);
        gtk_window_set_keep_above(window, TRUE);
        window_.faderShown_ = trackbarVisible;
        // Behind the trackbar: the theme's background for a windows-style skin, else the
        // skin's fader colour.
        window_.faderColor_ =
            config.WindowsStyle ? -1 : static_cast<int64_t>(RGBValue(config.FaderColor));
        gtk_widget_set_visible(window_.scale_, trackbarVisible);
        gtk_scale_clear_marks(GTK_SCALE(window_.scale_));
        const int ticks = std::max(1, config.FaderTicksFrequency);
        for (int at = 0; at <= 127; at += ticks)
            gtk_scale_add_mark(GTK_SCALE(window_.scale_), at, GTK_POS_LEFT, nullptr);
    }

private:
    KeysWindow& window_;
};

KeysWindow::KeysWindow(KeysWindowOptions options)
    : options_(std::move(options)), skin_(std::make_unique<SkinPart>(*this, options_.dataRoots)),
      layoutFiles_(options_.dataRoots),
      core_(*this,
            Own<MidiOut>(options_.midiOut, ownMidiOut_,
                         options_.midiOut ? nullptr : std::make_unique<LinuxMidiOut>()),
            Own<SettingsRegistry>(options_.registry, ownRegistry_,
                                  options_.registry
                                      ? nullptr
                                      : std::make_unique<IniSettings>(IniSettings::ForUser())),
            layoutFiles_, options_.settingsKeyPath, &input_),
      iconFolder_(WindowIcons::FindFolder(options_.dataRoots.empty() ? fw::DataRoots()
                                                                     : options_.dataRoots)),
      windowIcons_(iconFolder_), tray_(iconFolder_) {
    skin_->onError = [this](const std::string& text) { ReportError(text); };
}

KeysWindow::~KeysWindow() {
    Destroy();
    for (const auto& [id, source] : timers_) g_source_remove(source);
    for (unsigned source : sources_) g_source_remove(source);
    if (trayGrace_) g_source_remove(trayGrace_);
    if (keyboardsWatch_) g_source_remove(keyboardsWatch_);
    if (window_) gtk_widget_destroy(window_);
    if (invalid_) cairo_region_destroy(invalid_);
    if (buffer_) cairo_surface_destroy(buffer_);
}

MidiOut& KeysWindow::Midi() noexcept {
    return options_.midiOut ? *options_.midiOut : *ownMidiOut_;
}

void KeysWindow::MakeWidgets() {
    GdkDisplay* display = gdk_display_get_default();
    wayland_ = display && GDK_IS_WAYLAND_DISPLAY(display);
    ownKeysOnly_ = feedWindowKeys_ = wayland_;
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), Caption);
    gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
    GdkGeometry limits{};
    limits.min_width = MinWindowWidth;
    limits.min_height = MinWindowHeight;
    gtk_window_set_geometry_hints(GTK_WINDOW(window_), nullptr, &limits, GDK_HINT_MIN_SIZE);
    overlay_ = gtk_overlay_new();
    canvas_ = gtk_drawing_area_new();
    gtk_widget_add_events(canvas_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_POINTER_MOTION_MASK);
    gtk_container_add(GTK_CONTAINER(overlay_), canvas_);
    scale_ = gtk_scale_new_with_range(GTK_ORIENTATION_VERTICAL, 0, 127, 1);
    gtk_scale_set_draw_value(GTK_SCALE(scale_), FALSE);
    gtk_widget_set_can_focus(scale_, FALSE);
    gtk_overlay_add_overlay(GTK_OVERLAY(overlay_), scale_);
    gtk_container_add(GTK_CONTAINER(window_), overlay_);
    gtk_widget_show(canvas_);
    gtk_widget_show(scale_);
    gtk_widget_show(overlay_);
    invalid_ = cairo_region_create();

    gtk_widget_add_events(window_, GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK |
                                       GDK_FOCUS_CHANGE_MASK | GDK_STRUCTURE_MASK);
    KeysWindowEvents::Connect(*this);
}

bool KeysWindow::Create(bool watch) {
    MakeWidgets();
    // The playing thread gets ready beside the rest of the start; what the core sends the
    // engine meanwhile waits for it.
    if (!input_.Start(core_.Engine(), watch)) return false;
    KeysWindowEvents::WatchSources(*this);
    keyNames_.Watch(
        [](void* data) {
            auto& self = *static_cast<KeysWindow*>(data);
            Guarded([&] { self.core_.KeyboardLayoutChanged(); });
        },
        this);
    core_.Start();
    MakeTray();
    created_ = true;
    return true;
}

void KeysWindow::MakeTray() {
    tray_.OnActivate = [this] { Guarded([&] { core_.RestoreFromTray(); }); };
    tray_.OnHostChanged = [this](bool present) { Guarded([&] { TrayHostChanged(present); }); };
    tray_.Create(core_.Menu().Root());
}

// A panel that restarts is back within a moment and shows the icon again; one that stays
// away would leave the program without a window or an icon: the window comes back then.
void KeysWindow::TrayHostChanged(bool present) {
    if (trayGrace_) g_source_remove(trayGrace_);
    trayGrace_ = 0;
    if (present || !hiddenInTray_) return;
    trayGrace_ = g_timeout_add(
        TrayGraceMs,
        [](gpointer data) -> gboolean {
            auto& self = *static_cast<KeysWindow*>(data);
            self.trayGrace_ = 0;
            Guarded([&] {
                if (self.hiddenInTray_ && !self.tray_.HostPresent()) self.core_.RestoreFromTray();
            });
            return G_SOURCE_REMOVE;
        },
        this);
}

void KeysWindow::Show() {
    shownOnce_ = true;
    gtk_widget_show(window_);
    gtk_window_present(GTK_WINDOW(window_));
}

void KeysWindow::Destroy() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    // The engine comes back to this thread, with every command applied.
    input_.Stop();
    core_.Stop();
}

// --- Keys where the display server gives no program the keys typed into others. ---

constexpr const char* WaylandNoticeValue = "Wayland Notice Shown";
constexpr const char* ReadKeyboardsValue = "Read Keyboards";
constexpr const char* WaylandNoticeText =
    "On Wayland no program may read the keys typed into other programs: the keys play while "
    "this window has the focus.\n\nTo play while other programs have the focus, turn on "
    "\"Play while other programs have the focus\" in Settings: the program then reads the "
    "keyboards directly.";

std::string KeysWindow::OwnValue(const std::string& name) {
    SettingsRegistry& registry = options_.registry ? *options_.registry : *ownRegistry_;
    if (!registry.OpenKey(RegistryHive::CurrentUser, options_.settingsKeyPath, false)) return {};
    const RegistryText value = registry.ReadString(name);
    registry.CloseKey();
    return value.kind == RegistryText::Kind::Text ? value.text : std::string();
}

void KeysWindow::StoreOwnValue(const std::string& name, const std::string& value) {
    SettingsRegistry& registry = options_.registry ? *options_.registry : *ownRegistry_;
    if (!registry.OpenKey(RegistryHive::CurrentUser, options_.settingsKeyPath, true)) return;
    // Kept at the next save in any case: a failure here is not worth a box.
    if (registry.WriteString(name, value)) (void)registry.Flush();
    registry.CloseKey();
}

void KeysWindow::StartWaylandKeys() {
    if (!wayland_) return;
    if (OwnValue(ReadKeyboardsValue) == "Yes") {
        ReadKeyboards(true, true);
        return;
    }
    if (OwnValue(WaylandNoticeValue) == "Yes") return;
    StoreOwnValue(WaylandNoticeValue, "Yes");
    GtkWidget* box = gtk_message_dialog_new(OwnerWindow(), GTK_DIALOG_MODAL, GTK_MESSAGE_INFO,
                                            GTK_BUTTONS_OK, "%s", WaylandNoticeText);
    gtk_window_set_title(GTK_WINDOW(box), Caption);
    fw::RunDialog(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

void KeysWindow::ReadKeyboards(bool on, bool reportDenied) {
    readsKeyboards_ = on;
    if (!on) {
        input_.DropKeyDevices();
        keyboards_.Forget();
        if (keyboardsWatch_) g_source_remove(keyboardsWatch_);
        keyboardsWatch_ = 0;
        feedWindowKeys_ = ownKeysOnly_;
        return;
    }
    OpenNewKeyboards(reportDenied);
    const int watch = keyboards_.WatchFd();
    if (watch >= 0 && !keyboardsWatch_) {
        keyboardsWatch_ = g_unix_fd_add(
            watch, G_IO_IN,
            [](gint, GIOCondition, gpointer data) -> gboolean {
                auto& self = *static_cast<KeysWindow*>(data);
                self.keyboards_.TakeChanges();
                Guarded([&] { self.OpenNewKeyboards(false); });
                return G_SOURCE_CONTINUE;
            },
            this);
    }
}

void KeysWindow::OpenNewKeyboards(bool reportDenied) {
    const KeyboardDevices::Scan scan = keyboards_.OpenNew();
    for (const int fd : scan.opened) (void)input_.AddKeyDevice(fd);
    // The devices play the window's keys too: fed as well, they would play twice.
    const bool reading = scan.keyboards > 0 || input_.KeyDevices() > 0;
    if (reading && feedWindowKeys_) LetGoWindowKeys();
    feedWindowKeys_ = ownKeysOnly_ && !reading;
    if (!reading && scan.denied && reportDenied) ReportError(KeyboardDevicesDeniedText());
}

bool KeysWindow::AskReadKeyboards() {
    return fw::AskYesNo(nullptr, Caption, KeyboardDevicesExplanation());
}

void KeysWindow::FeedWindowKey(uint32_t xKeyCode, bool released) {
    if (!feedWindowKeys_ || xKeyCode >= fedDown_.size()) return;
    // A release of a key pressed before the window had the focus is not ours to give.
    if (released && !fedDown_.test(xKeyCode)) return;
    fedDown_.set(xKeyCode, !released);
    input_.FeedKey(xKeyCode, released);
}

void KeysWindow::LetGoWindowKeys() {
    for (uint32_t code = 0; code < fedDown_.size(); ++code)
        if (fedDown_.test(code)) input_.FeedKey(code, true);
    fedDown_.reset();
}

bool KeysWindow::BeginSystemMove() {
    if (!wayland_ || !event_ || event_->type != GDK_BUTTON_PRESS) return false;
    const GdkEventButton& press = event_->button;
    gtk_window_begin_move_drag(GTK_WINDOW(window_), static_cast<gint>(press.button),
                               static_cast<gint>(press.x_root), static_cast<gint>(press.y_root),
                               press.time);
    return true;
}

bool KeysWindow::BeginSystemResize(const ResizeEdges& edges) {
    if (!wayland_ || !event_ || event_->type != GDK_BUTTON_PRESS) return false;
    GdkWindowEdge edge = GDK_WINDOW_EDGE_SOUTH_EAST;
    if (edges.top)
        edge = edges.left    ? GDK_WINDOW_EDGE_NORTH_WEST
               : edges.right ? GDK_WINDOW_EDGE_NORTH_EAST
                             : GDK_WINDOW_EDGE_NORTH;
    else if (edges.bottom)
        edge = edges.left    ? GDK_WINDOW_EDGE_SOUTH_WEST
               : edges.right ? GDK_WINDOW_EDGE_SOUTH_EAST
                             : GDK_WINDOW_EDGE_SOUTH;
    else
        edge = edges.left ? GDK_WINDOW_EDGE_WEST : GDK_WINDOW_EDGE_EAST;
    const GdkEventButton& press = event_->button;
    gtk_window_begin_resize_drag(GTK_WINDOW(window_), edge, static_cast<gint>(press.button),
                                 static_cast<gint>(press.x_root), static_cast<gint>(press.y_root),
                                 press.time);
    return true;
}

void KeysWindow::BringForward() {
    core_.Icons().Restore();
    if (!shownOnce_) Show();
    BringToFront();
}

void KeysWindow::ResizeBackBuffer(int width, int height) {
    client_ = {width, height};
    if (buffer_ && cairo_image_surface_get_width(buffer_) == width &&
        cairo_image_surface_get_height(buffer_) == height)
        return;
    if (buffer_) cairo_surface_destroy(buffer_);
    buffer_ = nullptr;
    surface_ = {};
    if (width <= 0 || height <= 0) return;
    // The same pixels as the portable surface: 0x00RRGGBB words, rows top down.
    buffer_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(buffer_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(buffer_);
        buffer_ = nullptr;
        return;
    }
    surface_ = {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(buffer_)), width, height,
                cairo_image_surface_get_stride(buffer_) / 4};
    // A new buffer has nothing of the old picture.
    Invalidate();
}

void KeysWindow::OnDraw(cairo_t* cr) {
    if (!buffer_) return;
    drawing_ = true;
    const int rects = cairo_region_num_rectangles(invalid_);
    std::vector<fw::PixelRect> parts;
    for (int i = 0; i < rects; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(invalid_, i, &r);
        parts.push_back({r.x, r.y, r.x + r.width, r.y + r.height});
    }
    cairo_region_destroy(invalid_);
    invalid_ = cairo_region_create();
    cairo_surface_flush(buffer_);
    for (const fw::PixelRect& part : parts) core_.Paint(part);
    drawing_ = false;
    cairo_surface_mark_dirty(buffer_);
    cairo_set_source_surface(cr, buffer_, 0, 0);
    cairo_paint(cr);
    // The trackbar draws only itself; what lies behind it is the window's, as a child
    // window's background is on Windows.
    if (faderShown_) {
        const WindowRect& f = faderBounds_;
        if (faderColor_ < 0) {
            gtk_render_background(gtk_widget_get_style_context(window_), cr, f.left, f.top, f.width,
                                  f.height);
        } else {
            const auto color = static_cast<uint32_t>(faderColor_);
            cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                                 ((color >> 16) & 0xFF) / 255.0);
            cairo_rectangle(cr, f.left, f.top, f.width, f.height);
            cairo_fill(cr);
        }
    }
}

void KeysWindow::SetActive(bool active) {
    input_.SetMainWindowActive(active);
    if (!active) pointer_.LetGo();
    if (TSkin* skin = core_.Skin()) {
        if (active)
            skin->RefreshChrome();
        else
            skin->RefreshChromeFromScreen();
    }
}

ScreenPoint KeysWindow::PointerOnScreen(bool* leftDown) {
    GdkDisplay* display = gdk_display_get_default();
    GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    int x = 0, y = 0;
    if (pointer) gdk_device_get_position(pointer, nullptr, &x, &y);
    if (leftDown && pointer) {
        GdkModifierType mask{};
        gdk_device_get_state(pointer, gdk_get_default_root_window(), nullptr, &mask);
        *leftDown = (mask & GDK_BUTTON1_MASK) != 0;
    }
    return {x, y};
}

// --- AppHost. ---

fw::PixelSurface* KeysWindow::BackBuffer() {
    if (!buffer_) return nullptr;
    cairo_surface_flush(buffer_);
    return &surface_;
}

void KeysWindow::Present(int left, int top, int width, int height) {
    if (drawing_ || !canvas_) return; // the frame being drawn shows it
    if (buffer_) cairo_surface_mark_dirty_rectangle(buffer_, left, top, width, height);
    gtk_widget_queue_draw_area(canvas_, left, top, width, height);
}

void KeysWindow::Invalidate() {
    if (!canvas_) return;
    const cairo_rectangle_int_t all{0, 0, client_.width, client_.height};
    cairo_region_union_rectangle(invalid_, &all);
    gtk_widget_queue_draw(canvas_);
}

void KeysWindow::InvalidateArea(const fw::PixelRect& area) {
    if (!canvas_) return;
    const fw::PixelRect clipped = fw::Intersect(area, {0, 0, client_.width, client_.height});
    if (fw::IsEmpty(clipped)) return;
    const cairo_rectangle_int_t r{clipped.left, clipped.top, clipped.right - clipped.left,
                                  clipped.bottom - clipped.top};
    cairo_region_union_rectangle(invalid_, &r);
    gtk_widget_queue_draw_area(canvas_, r.x, r.y, r.width, r.height);
}

void KeysWindow::SetSkinCursor() {
    GdkWindow* gdk = canvas_ ? gtk_widget_get_window(canvas_) : nullptr;
    if (gdk) gdk_window_set_cursor(gdk, skin_->SkinCursor());
}

ScreenSize KeysWindow::PrimaryScreen() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
    if (!monitor) return {1024, 768};
    GdkRectangle area{};
    gdk_monitor_get_geometry(monitor, &area);
    return {area.width, area.height};
}

// Each monitor's rectangle, or what is left of it beside the desktop's panels.
std::vector<fw::PixelRect> KeysWindow::MonitorRects(bool workArea) {
    std::vector<fw::PixelRect> rects;
    GdkDisplay* display = gdk_display_get_default();
    const int count = display ? gdk_display_get_n_monitors(display) : 0;
    for (int i = 0; i < count; ++i) {
        GdkRectangle area{};
        GdkMonitor* monitor = gdk_display_get_monitor(display, i);
        if (workArea)
            gdk_monitor_get_workarea(monitor, &area);
        else
            gdk_monitor_get_geometry(monitor, &area);
        rects.push_back({area.x, area.y, area.x + area.width, area.y + area.height});
    }
    return rects;
}

std::vector<fw::PixelRect> KeysWindow::Monitors() {
    std::vector<fw::PixelRect> monitors = MonitorRects(false);
    if (monitors.empty()) return AppHost::Monitors();
    return monitors;
}

WindowRect KeysWindow::WindowBounds() {
    int left = 0, top = 0;
    if (window_) gtk_window_get_position(GTK_WINDOW(window_), &left, &top);
    return {left, top, client_.width, client_.height};
}

void KeysWindow::SetWindowBounds(const WindowRect& bounds) {
    if (!window_) return;
    gtk_window_move(GTK_WINDOW(window_), bounds.left, bounds.top);
    const int width = std::max(1, bounds.width), height = std::max(1, bounds.height);
    gtk_window_resize(GTK_WINDOW(window_), width, height);
    // The core lays out for the new size at once; the window manager's answer follows.
    ResizeBackBuffer(width, height);
}

fw::PixelRect KeysWindow::ScreenBounds() {
    const WindowRect bounds = WindowBounds();
    return {bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
}

void KeysWindow::MoveWindow(int left, int top) {
    if (window_) gtk_window_move(GTK_WINDOW(window_), left, top);
}

void KeysWindow::SizeWindow(const fw::PixelRect& bounds) {
    SetWindowBounds(
        {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top});
    core_.Resized(client_);
}

void KeysWindow::ShowCursor(ResizeCursor cursor) {
    GdkWindow* gdk = canvas_ ? gtk_widget_get_window(canvas_) : nullptr;
    if (!gdk) return;
    GdkCursor* shape = gdk_cursor_new_from_name(gdk_window_get_display(gdk), CursorName(cursor));
    gdk_window_set_cursor(gdk, shape);
    if (shape) g_object_unref(shape);
}

void KeysWindow::CloseWindow() {
    g_idle_add(
        [](gpointer data) -> gboolean {
            auto& self = *static_cast<KeysWindow*>(data);
            if (self.OnClose) self.OnClose();
            return G_SOURCE_REMOVE;
        },
        this);
}

int32_t KeysWindow::FaderPosition() {
    return scale_ ? static_cast<int32_t>(gtk_range_get_value(GTK_RANGE(scale_))) : 0;
}

void KeysWindow::SetFaderPosition(int32_t position) {
    if (scale_) gtk_range_set_value(GTK_RANGE(scale_), position);
}

void KeysWindow::PlaceFader(const WindowRect& bounds, bool vertical) {
    if (!scale_) return;
    faderBounds_ = bounds;
    // A vertical keyboard has a horizontal fader, and the other way round.
    gtk_orientable_set_orientation(GTK_ORIENTABLE(scale_), vertical ? GTK_ORIENTATION_HORIZONTAL
                                                                    : GTK_ORIENTATION_VERTICAL);
    gtk_widget_queue_resize(overlay_);
}

// Where something shows the tray icon the window leaves the task bar for it; elsewhere
// "minimised" is the window manager's: the window goes to the task bar. A start in the
// background ("/M") keeps it hidden until the tray icon or a later start brings it.
void KeysWindow::ShowApplicationWindow(bool shown) {
    if (!window_) return;
    if (shown) {
        if (hiddenInTray_) {
            hiddenInTray_ = false;
            // Some window managers place a window shown again anew.
            gtk_window_move(GTK_WINDOW(window_), hiddenLeft_, hiddenTop_);
        }
        if (!shownOnce_) return Show();
        gtk_window_deiconify(GTK_WINDOW(window_));
        gtk_widget_show(window_);
        return;
    }
    if (!shownOnce_) return;
    if (tray_.HostPresent()) {
        gtk_window_get_position(GTK_WINDOW(window_), &hiddenLeft_, &hiddenTop_);
        hiddenInTray_ = true;
        gtk_widget_hide(window_);
        return;
    }
    GdkScreen* screen = gtk_widget_get_screen(window_);
    if (GDK_IS_X11_SCREEN(screen) &&
        gdk_x11_screen_supports_net_wm_hint(screen,
                                            gdk_atom_intern_static_string("_NET_WM_STATE_HIDDEN")))
        gtk_window_iconify(GTK_WINDOW(window_));
    else
        gtk_widget_hide(window_);
}

void KeysWindow::TrayIcon(const std::string& trayName, TrayAction action) {
    switch (action) {
    case TrayAction::Add:
        tray_.Show(ThemeIconName(trayName));
        break;
    case TrayAction::Modify:
        // As the shell's: a change of an icon that is not there does nothing.
        if (tray_.Shown()) tray_.Show(ThemeIconName(trayName));
        break;
    case TrayAction::Delete:
        tray_.Hide();
        break;
    }
    // "Restore" for "Minimize", and the items the tray's menu leaves out.
    if (action != TrayAction::Modify) tray_.RefreshMenu();
}

void KeysWindow::SetWindowIcon(const std::string& windowName) {
    windowIcons_.Apply(window_, ThemeIconName(windowName));
}

void KeysWindow::BringToFront() {
    if (window_) gtk_window_present(GTK_WINDOW(window_));
}

void KeysWindow::ReportError(const std::string& text) {
    GtkWidget* box = gtk_message_dialog_new(
        window_ && gtk_widget_get_visible(window_) ? GTK_WINDOW(window_) : nullptr,
        GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), "Error");
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    fw::RunDialog(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

void KeysWindow::ShowPopup(fw::MenuItem& root) {
    popup_.Show(root, canvas_, event_);
}

void KeysWindow::ShowSettingsDialog(TSettings& settings, const std::function<void()>& layoutChanged,
                                    const std::function<void()>& dismissed) {
    SettingsDialog::Options options;
    options.owner = window_ && gtk_widget_get_visible(window_) ? GTK_WINDOW(window_) : nullptr;
    options.layoutFiles = layoutFiles_.FileNames("Layouts");
    options.keyNotes = &core_.State().KeyNotes;
    options.keyName = [this](int key) { return keyNames_.Caption(key); };
    options.layoutChanged = layoutChanged;
    options.dismissed = dismissed;
    options.guidePath = GuidePath();
    options.workAreas = WorkAreas();
    options.startsWithSession = StartsWithSession();
    options.setStartsWithSession = [](bool on) {
        return SetStartsWithSession(on, fw::ProgramPath());
    };
    options.reportError = [this](const std::string& text) { ReportError(text); };
    options.offerKeyboardDevices = wayland_;
    options.readsKeyboardDevices = readsKeyboards_;
    options.confirmKeyboardDevices = [this] { return AskReadKeyboards(); };
    options.setReadsKeyboardDevices = [this](bool on) {
        StoreOwnValue(ReadKeyboardsValue, on ? "Yes" : "No");
        ReadKeyboards(on, true);
    };
    SettingsDialog dialog(settings, std::move(options));
    (void)dialog.Run();
}

std::optional<std::string> KeysWindow::AskLayoutName(const std::string& name) {
    return zevaver::AskLayoutName(OwnerWindow(), name);
}

bool KeysWindow::AskReplaceLayout(const std::string& name) {
    return zevaver::AskReplaceLayout(OwnerWindow(), name);
}

GtkWindow* KeysWindow::OwnerWindow() const {
    return window_ && gtk_widget_get_visible(window_) ? GTK_WINDOW(window_) : nullptr;
}

std::string KeysWindow::GuidePath() const {
    for (const std::string& root :
         options_.dataRoots.empty() ? fw::DataRoots() : options_.dataRoots) {
        std::string path = fw::JoinPath(root, settingsdlg::UserGuideFile);
        if (fw::IsFile(path)) return path;
    }
    return {};
}

std::vector<fw::PixelRect> KeysWindow::WorkAreas() {
    std::vector<fw::PixelRect> areas = MonitorRects(true);
    if (areas.empty()) return Monitors();
    return areas;
}

void KeysWindow::StartTimer(int id, uint32_t milliseconds) {
    StopTimer(id);
    timers_[id] = KeysWindowEvents::AddTimer(*this, id, milliseconds);
}

void KeysWindow::StopTimer(int id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) return;
    g_source_remove(found->second);
    timers_.erase(found);
}

// The layouts go by place on Linux: an entry names a place, whatever the setting says.
std::string KeysWindow::KeyName(int entry, bool) {
    return keyNames_.Caption(entry);
}

zevaver::SkinShell* KeysWindow::Skins() {
    return skin_.get();
}

} // namespace zevaver
