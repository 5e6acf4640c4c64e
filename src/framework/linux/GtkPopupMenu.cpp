#include "framework/linux/GtkPopupMenu.h"

#include <gtk/gtk.h>

namespace zevaver {

namespace fw {

namespace {

// What a GTK item remembers of its model item: the address holds while the tree keeps its
// shape, which the click checks first.
struct ItemRef {
    MenuItem* root;
    MenuItem* item;
    uint32_t shape;
    std::function<void()> afterClick;
};

MenuItem& RootOf(MenuItem& item) {
    MenuItem* root = &item;
    while (root->Parent()) root = root->Parent();
    return *root;
}

gboolean ClickLater(gpointer data) {
    const auto* ref = static_cast<const ItemRef*>(data);
    if (ref->root->ShapeVersion() == ref->shape) ref->item->Click();
    if (ref->afterClick) ref->afterClick();
    return G_SOURCE_REMOVE;
}

void Activated(GtkMenuItem*, gpointer data) {
    const auto* ref = static_cast<const ItemRef*>(data);
    // After the menu has gone: a handler may show a box or change the menu.
    g_idle_add_full(G_PRIORITY_HIGH_IDLE, &ClickLater, new ItemRef(*ref),
                    [](gpointer p) { delete static_cast<ItemRef*>(p); });
}

GtkWidget* NewItem(MenuItem& item, const std::function<void()>& afterClick) {
    if (item.IsSeparator()) return gtk_separator_menu_item_new();
    const std::string caption = MnemonicCaption(item.Caption());
    GtkWidget* widget = nullptr;
    // A blank item (a gap in a column of values) shows no mark either.
    if (!item.Caption().empty() && (item.Checked() || item.AutoCheck() || item.RadioItem())) {
        widget = gtk_check_menu_item_new_with_mnemonic(caption.c_str());
        gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(widget), item.RadioItem());
        // Set before the handler is connected: setting it activates the item.
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), item.Checked());
    } else {
        widget = gtk_menu_item_new_with_mnemonic(caption.c_str());
    }
    gtk_widget_set_sensitive(widget, item.Enabled());
    if (!item.Name().empty()) gtk_widget_set_name(widget, item.Name().c_str());
    if (item.Count() > 0) {
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), GtkPopupMenu::Build(item, afterClick));
    } else {
        MenuItem& root = RootOf(item);
        g_signal_connect_data(
            widget, "activate", G_CALLBACK(&Activated),
            new ItemRef{&root, &item, root.ShapeVersion(), afterClick},
            [](gpointer p, GClosure*) { delete static_cast<ItemRef*>(p); }, GConnectFlags{});
    }
    return widget;
}

} // namespace

std::string MnemonicCaption(std::string_view caption) {
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        const char c = caption[i];
        if (c == '_') {
            text += "__";
        } else if (c == '&' && i + 1 < caption.size() && caption[i + 1] == '&') {
            text += '&';
            ++i;
        } else if (c == '&') {
            text += '_';
        } else {
            text += c;
        }
    }
    return text;
}

GtkWidget* GtkPopupMenu::Build(MenuItem& parent, const std::function<void()>& afterClick) {
    GtkWidget* menu = gtk_menu_new();
    bool columns = false;
    for (size_t i = 0; i < parent.Count(); ++i) columns = columns || parent[i].Break();
    guint column = 0, row = 0;
    for (size_t i = 0; i < parent.Count(); ++i) {
        MenuItem& item = parent[i];
        if (!item.Visible()) continue;
        GtkWidget* widget = NewItem(item, afterClick);
        if (columns) {
            // A break starts the next column at the top.
            if (item.Break() && row > 0) {
                ++column;
                row = 0;
            }
            gtk_menu_attach(GTK_MENU(menu), widget, column, column + 1, row, row + 1);
            ++row;
        } else {
            gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
        }
        gtk_widget_show(widget);
    }
    return menu;
}

GtkWidget* GtkPopupMenu::FindItem(GtkWidget* menu, std::string_view name) {
    GtkWidget* found = nullptr;
    GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
    for (GList* at = items; at && !found; at = at->next) {
        auto* widget = static_cast<GtkWidget*>(at->data);
        if (name == gtk_widget_get_name(widget)) {
            found = widget;
        } else if (GTK_IS_MENU_ITEM(widget)) {
            if (GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget)))
                found = FindItem(submenu, name);
        }
    }
    g_list_free(items);
    return found;
}

GtkPopupMenu::~GtkPopupMenu() {
    if (menu_) gtk_widget_destroy(menu_);
}

void GtkPopupMenu::Show(MenuItem& root, GtkWidget* owner, const GdkEvent* trigger) {
    if (menu_) gtk_widget_destroy(menu_);
    menu_ = Build(root);
    // The owner takes the menu with it when it goes (the window closing): forgotten then.
    g_signal_connect(menu_, "destroy", G_CALLBACK(&gtk_widget_destroyed), &menu_);
    if (owner) gtk_menu_attach_to_widget(GTK_MENU(menu_), owner, nullptr);
    gtk_menu_popup_at_pointer(GTK_MENU(menu_), trigger);
}

} // namespace fw

} // namespace zevaver
