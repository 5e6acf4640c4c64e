// The popup menu on GTK: a picture of the menu model (fw::MenuItem), built afresh each time
// it is shown, with the model's captions (their "&" marks as GTK's mnemonics), check marks,
// radio marks, greyed and hidden items and column breaks. A chosen item is clicked through
// the model after the menu has closed, exactly as a click on Windows.
#pragma once

#include "framework/MenuModel.h"

#include <functional>
#include <string>
#include <string_view>

typedef struct _GtkWidget GtkWidget;
typedef union _GdkEvent GdkEvent;

namespace zevaver {

namespace fw {

// A caption with "&" marks as GTK's mnemonic text: "&&" is a plain "&", and an underscore
// stays one.
[[nodiscard]] std::string MnemonicCaption(std::string_view caption);

class GtkPopupMenu {
public:
    GtkPopupMenu() = default;
    ~GtkPopupMenu();
    GtkPopupMenu(const GtkPopupMenu&) = delete;
    GtkPopupMenu& operator=(const GtkPopupMenu&) = delete;

    // Builds the menu of the root's items and pops it up at the pointer (trigger: the event
    // that asked for it, or null); returns at once.
    void Show(MenuItem& root, GtkWidget* owner, const GdkEvent* trigger);
    // The menu as last built (null before): for tests, which activate its items.
    [[nodiscard]] GtkWidget* Menu() const noexcept { return menu_; }
    // Builds a menu of the item's children (floating, for the caller to own); each GTK item
    // has its model item's name as its widget name. afterClick runs after a chosen item's
    // click.
    [[nodiscard]] static GtkWidget* Build(MenuItem& parent,
                                          const std::function<void()>& afterClick = {});
    // The item of this widget name in a built menu or its submenus, or null.
    [[nodiscard]] static GtkWidget* FindItem(GtkWidget* menu, std::string_view name);

private:
    GtkWidget* menu_ = nullptr;
};

} // namespace fw

} // namespace zevaver
