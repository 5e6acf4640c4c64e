// The program's icon in the panel on Linux: a StatusNotifierItem through
// libayatana-appindicator (what KDE, Xfce, GNOME with its AppIndicator extension and others
// show), with the library's fall-back to an icon in an XEmbed tray where no such host runs.
// Its menu is a picture of the main menu, built again when the model changed. A click on the
// icon's menu item goes through the model as any other click; a middle click (and a left
// click on an XEmbed tray, which the desktop hands to the program) is the "Restore" of the
// Windows tray's left click. Which icon shows when is decided by TrayIcons in the core.
#pragma once

#include "framework/MenuModel.h"

#include <cstdint>
#include <functional>
#include <string>

typedef struct _AppIndicator AppIndicator;
typedef struct _GtkStatusIcon GtkStatusIcon;
typedef struct _GtkWidget GtkWidget;

namespace zevaver {

class TrayIndicator {
public:
    // iconFolder: a folder added to the icon search path (holding hicolor/), or "" to find
    // the icons in the installed theme alone.
    explicit TrayIndicator(std::string iconFolder);
    ~TrayIndicator();
    TrayIndicator(const TrayIndicator&) = delete;
    TrayIndicator& operator=(const TrayIndicator&) = delete;

    // Makes the item (hidden) with the menu of the root's items; nothing when the session
    // has no message bus to show it on. Runs once.
    void Create(fw::MenuItem& root);
    // Shows the icon of this theme name; hides it.
    void Show(const std::string& iconName);
    void Hide();
    [[nodiscard]] bool Shown() const noexcept { return shown_; }
    // The menu's picture follows the model: rebuilt when something it shows changed.
    void RefreshMenu();

    // Something shows the icon: a host of status notifier items, or an XEmbed tray.
    [[nodiscard]] bool HostPresent() const;
    [[nodiscard]] const std::string& IconName() const noexcept { return iconName_; }

    // The icon was clicked for the window (middle click, or a left click on an XEmbed tray).
    std::function<void()> OnActivate;
    // A host came or went.
    std::function<void(bool present)> OnHostChanged;
    // After the menu's item was clicked through the model.
    std::function<void()> OnMenuClicked;

private:
    // The library's item with a fall-back of our own (a GType).
    static unsigned long IndicatorType();
    static void ConnectionChanged(AppIndicator*, int connected, void* data);
    static GtkStatusIcon* Fallback(AppIndicator* indicator);
    static void Unfallback(AppIndicator* indicator, GtkStatusIcon* icon);
    static void StatusIconActivated(GtkStatusIcon*, void* data);
    static void EmbeddedChanged(void* icon, void* property, void* data);

    std::string iconFolder_;
    fw::MenuItem* root_ = nullptr;
    AppIndicator* indicator_ = nullptr;
    GtkStatusIcon* statusIcon_ = nullptr; // the fall-back's, while there is one
    GtkWidget* menu_ = nullptr;
    uint64_t menuLook_ = 0; // what the menu's picture shows, as a fingerprint
    std::string iconName_;
    bool shown_ = false;
    bool connected_ = false;
};

// The theme name of one of the program's icons, from its resource name ("TRAYICON",
// "MBLINK"...): tray and window show the same pictures, in their sizes.
[[nodiscard]] std::string ThemeIconName(const std::string& resourceName);

} // namespace zevaver
