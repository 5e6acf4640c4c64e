#include "mainwindow/linux/WindowIcons.h"

#include "framework/linux/Folders.h"

#include <gtk/gtk.h>

namespace zevaver {

namespace {

// The window manager picks the size it shows (title bar, task switcher); these are the
// ones the window icons of the Windows program have.
constexpr int WindowSizes[] = {16, 32, 48};

} // namespace

WindowIcons::WindowIcons(std::string iconFolder) : folder_(std::move(iconFolder)) {
    if (!folder_.empty())
        gtk_icon_theme_append_search_path(gtk_icon_theme_get_default(), folder_.c_str());
}

WindowIcons::~WindowIcons() {
    for (const auto& [name, list] : pictures_) g_list_free_full(list, g_object_unref);
}

std::string WindowIcons::FindFolder(const std::vector<std::string>& dataRoots) {
    for (const std::string& root : dataRoots) {
        const std::string folder = fw::JoinPath(root, "Icons");
        if (fw::IsFile(fw::JoinPath(folder, "hicolor/index.theme"))) return folder;
    }
    return {};
}

GList* WindowIcons::Pictures(const std::string& themeName) {
    const auto found = pictures_.find(themeName);
    if (found != pictures_.end()) return found->second;
    GList* list = nullptr;
    for (const int size : WindowSizes) {
        GdkPixbuf* picture =
            gtk_icon_theme_load_icon(gtk_icon_theme_get_default(), themeName.c_str(), size,
                                     GTK_ICON_LOOKUP_FORCE_SIZE, nullptr);
        if (picture) list = g_list_append(list, picture);
    }
    pictures_[themeName] = list;
    return list;
}

void WindowIcons::Apply(GtkWidget* window, const std::string& themeName) {
    applied_ = themeName;
    if (!window) return;
    // A name the theme does not have leaves the icon as it was, as on Windows.
    if (GList* list = Pictures(themeName)) gtk_window_set_icon_list(GTK_WINDOW(window), list);
}

} // namespace zevaver
