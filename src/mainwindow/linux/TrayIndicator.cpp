#include "mainwindow/linux/TrayIndicator.h"

#include "framework/MenuLook.h"
#include "framework/linux/Folders.h"
#include "framework/linux/GtkPopupMenu.h"
#include "mainwindow/TrayIcons.h"

#include <gdk/gdkx.h>
// Xlib's macros would shadow the program's names.
#undef None
#undef Status
#include <gtk/gtk.h>
#include <libayatana-appindicator/app-indicator.h>

#include <cstdlib>
#include <string_view>

namespace zevaver {

namespace {

constexpr const char* IndicatorId = "zevaver-midi-keyboard";
constexpr const char* Title = "Zevaver MIDI Keyboard";
constexpr const char* SelfKey = "zevaver-tray";

// The library's item with its fall-back of our own: the same XEmbed icon, whose left click
// brings the window back as on Windows instead of opening the menu a second way.
struct TrayIndicatorObject {
    AppIndicator parent;
};
struct TrayIndicatorClass {
    AppIndicatorClass parent;
};
AppIndicatorClass* ParentClass = nullptr;

TrayIndicator* SelfOf(AppIndicator* indicator) {
    return static_cast<TrayIndicator*>(g_object_get_data(G_OBJECT(indicator), SelfKey));
}

// Without a session bus GLib would start one of its own for the X display ("autolaunch"),
// which would outlive the program: the icon is left out instead.
bool SessionBusReachable() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return true;
    // The bus's socket where GLib looks for it without being told.
    return g_file_test(fw::JoinPath(fw::RuntimeFolder(), "bus").c_str(), G_FILE_TEST_EXISTS);
}

} // namespace

std::string ThemeIconName(const std::string& resourceName) {
    const std::string name = IndicatorId;
    const std::string window = WindowIconName(resourceName);
    if (window == icons::WindowDisabled) return name + "-disabled";
    if (window == icons::WindowBlink) return name + "-blink";
    return name;
}

TrayIndicator::TrayIndicator(std::string iconFolder) : iconFolder_(std::move(iconFolder)) {}

TrayIndicator::~TrayIndicator() {
    if (indicator_) {
        g_signal_handlers_disconnect_by_data(indicator_, this);
        g_object_set_data(G_OBJECT(indicator_), SelfKey, nullptr);
        app_indicator_set_status(indicator_, APP_INDICATOR_STATUS_PASSIVE);
        g_object_unref(indicator_);
    }
}

void TrayIndicator::Create(fw::MenuItem& root) {
    if (indicator_ || !SessionBusReachable()) return;
    root_ = &root;
    const std::string icon = ThemeIconName(icons::TrayEnabled);
    indicator_ = APP_INDICATOR(
        g_object_new(IndicatorType(), "id", IndicatorId, "category", "ApplicationStatus",
                     "icon-name", icon.c_str(), "icon-theme-path",
                     iconFolder_.empty() ? nullptr : iconFolder_.c_str(), nullptr));
    g_object_set_data(G_OBJECT(indicator_), SelfKey, this);
    app_indicator_set_title(indicator_, Title);
    g_signal_connect(indicator_, APP_INDICATOR_SIGNAL_CONNECTION_CHANGED,
                     G_CALLBACK(&ConnectionChanged), this);
    iconName_ = icon;
    RefreshMenu();
}

void TrayIndicator::Show(const std::string& iconName) {
    iconName_ = iconName;
    shown_ = true;
    if (!indicator_) return;
    app_indicator_set_icon_full(indicator_, iconName.c_str(), Title);
    app_indicator_set_status(indicator_, APP_INDICATOR_STATUS_ACTIVE);
}

void TrayIndicator::Hide() {
    shown_ = false;
    if (indicator_) app_indicator_set_status(indicator_, APP_INDICATOR_STATUS_PASSIVE);
}

void TrayIndicator::RefreshMenu() {
    if (!indicator_ || !root_) return;
    const uint64_t look = fw::MenuLook(*root_);
    if (menu_ && look == menuLook_) return;
    menuLook_ = look;
    // The old target goes with the old menu: let go of it first.
    app_indicator_set_secondary_activate_target(indicator_, nullptr);
    // Clicked after the menu has gone; the picture follows what the click changed.
    menu_ = fw::GtkPopupMenu::Build(*root_, [this] {
        RefreshMenu();
        if (OnMenuClicked) OnMenuClicked();
    });
    // The library takes its own reference (and drops the old menu's).
    app_indicator_set_menu(indicator_, GTK_MENU(menu_));
    // A middle click is the Windows tray's left click: the window, through the item that
    // says so.
    if (GtkWidget* restore = fw::GtkPopupMenu::FindItem(menu_, "mnuMinimize"))
        app_indicator_set_secondary_activate_target(indicator_, restore);
}

bool TrayIndicator::HostPresent() const {
    if (connected_) return true;
    if (statusIcon_) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        if (gtk_status_icon_is_embedded(statusIcon_)) return true;
        G_GNUC_END_IGNORE_DEPRECATIONS
    }
    // An XEmbed tray owns its selection whether or not our icon sits in it yet.
    GdkDisplay* display = gdk_display_get_default();
    if (!indicator_ || !display || !GDK_IS_X11_DISPLAY(display)) return false;
    Display* x = GDK_DISPLAY_XDISPLAY(display);
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x));
    return XGetSelectionOwner(x, XInternAtom(x, selection.c_str(), False)) != 0;
}

void TrayIndicator::ConnectionChanged(AppIndicator*, int connected, void* data) {
    auto& self = *static_cast<TrayIndicator*>(data);
    self.connected_ = connected != 0;
    if (self.OnHostChanged) self.OnHostChanged(self.HostPresent());
}

GtkStatusIcon* TrayIndicator::Fallback(AppIndicator* indicator) {
    GtkStatusIcon* icon = ParentClass->fallback(indicator);
    TrayIndicator* self = SelfOf(indicator);
    if (!icon || !self) return icon;
    self->statusIcon_ = icon;
    // The library's left click opens the menu, which the right click does already.
    const guint activate = g_signal_lookup("activate", GTK_TYPE_STATUS_ICON);
    g_signal_handlers_disconnect_matched(icon, static_cast<GSignalMatchType>(G_SIGNAL_MATCH_ID),
                                         activate, 0, nullptr, nullptr, nullptr);
    g_signal_connect(icon, "activate", G_CALLBACK(&StatusIconActivated), self);
    g_signal_connect(icon, "notify::embedded", G_CALLBACK(&EmbeddedChanged), self);
    return icon;
}

void TrayIndicator::Unfallback(AppIndicator* indicator, GtkStatusIcon* icon) {
    if (TrayIndicator* self = SelfOf(indicator)) {
        g_signal_handlers_disconnect_by_data(icon, self);
        self->statusIcon_ = nullptr;
    }
    ParentClass->unfallback(indicator, icon);
}

void TrayIndicator::EmbeddedChanged(void*, void*, void* data) {
    auto& self = *static_cast<TrayIndicator*>(data);
    if (self.OnHostChanged) self.OnHostChanged(self.HostPresent());
}

void TrayIndicator::StatusIconActivated(GtkStatusIcon*, void* data) {
    auto& self = *static_cast<TrayIndicator*>(data);
    if (self.OnActivate) self.OnActivate();
}

unsigned long TrayIndicator::IndicatorType() {
    static const GType type = g_type_register_static_simple(
        APP_INDICATOR_TYPE, "ZevaverTrayIndicator", sizeof(TrayIndicatorClass),
        [](gpointer klass, gpointer) {
            ParentClass = static_cast<AppIndicatorClass*>(g_type_class_peek_parent(klass));
            auto* own = static_cast<AppIndicatorClass*>(klass);
            own->fallback = &TrayIndicator::Fallback;
            own->unfallback = &TrayIndicator::Unfallback;
        },
        sizeof(TrayIndicatorObject), nullptr, GTypeFlags{});
    return type;
}

} // namespace zevaver
