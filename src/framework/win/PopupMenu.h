// The platform picture of a MenuItem tree: a Win32 popup menu rebuilt from the model before
// every show, so captions, check marks, enabled and visible states and column breaks are
// always the model's. The chosen command is handed back to the model item, so auto-check
// and radio groups behave in one place for mouse, keys and shortcuts alike.
#pragma once

#include "framework/MenuModel.h"
#include "framework/win/Handles.h"

#include <cstdint>
#include <vector>

namespace zevaver {

namespace fw {

class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    PopupMenu(PopupMenu&&) = default;
    PopupMenu& operator=(PopupMenu&&) = default;
    ~PopupMenu() = default;

    // Replaces the platform menu with a fresh one made from root's children. Hidden items
    // are left out; items with children become submenus. False when Windows refused.
    [[nodiscard]] bool Build(MenuItem& root);
    // The menu of the last successful Build, or null.
    [[nodiscard]] HMENU Handle() const noexcept { return menu_.get(); }

    // The model item behind a command id of the last Build; null for 0, for an unknown id,
    // and once items have been added to or removed from the model since (their addresses
    // may be gone).
    [[nodiscard]] MenuItem* ItemForCommand(UINT id) const noexcept;
    // Clicks the item behind a command id; false when there is none.
    bool ClickCommand(UINT id);

    // Builds, shows the menu at a screen point for owner and waits for the choice (the
    // modal loop keeps dispatching messages), then clicks the chosen item. False when
    // nothing was chosen.
    bool Show(MenuItem& root, HWND owner, POINT screenPoint);

private:
    [[nodiscard]] bool Fill(HMENU menu, MenuItem& parent);

    Menu menu_;
    MenuItem* root_ = nullptr;
    uint32_t builtShape_ = 0;
    std::vector<MenuItem*> commands_; // command id - 1 -> item
};

} // namespace fw

} // namespace zevaver
