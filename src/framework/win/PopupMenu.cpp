#include "framework/win/PopupMenu.h"

#include <utility>

namespace zevaver {

namespace fw {

bool PopupMenu::Build(MenuItem& root) {
    Menu menu(CreatePopupMenu());
    if (!menu) return false;
    std::vector<MenuItem*> previous = std::exchange(commands_, {});
    if (!Fill(menu.get(), root)) {
        commands_ = std::move(previous);
        return false;
    }
    menu_ = std::move(menu);
    root_ = &root;
    builtShape_ = root.ShapeVersion();
    return true;
}

bool PopupMenu::Fill(HMENU menu, MenuItem& parent) {
    UINT position = 0;
    for (std::size_t i = 0; i < parent.Count(); ++i) {
        MenuItem& item = parent[i];
        if (!item.Visible()) continue;

        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        info.fType = item.Break() ? MFT_MENUBARBREAK : 0;
        info.fState = (item.Checked() ? MFS_CHECKED : MFS_UNCHECKED) |
                      (item.Enabled() ? MFS_ENABLED : MFS_DISABLED);

        // A submenu is owned by its parent menu once inserted; until then by this guard.
        Menu submenu;
        if (item.IsSeparator()) {
            info.fType |= MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.fType |= item.RadioItem() ? MFT_RADIOCHECK : 0;
            // The platform copies the text; it never writes through this pointer.
            info.dwTypeData = const_cast<char*>(item.Caption().c_str());
            info.cch = static_cast<UINT>(item.Caption().size());
            if (item.Count() > 0) {
                submenu.reset(CreatePopupMenu());
                if (!submenu || !Fill(submenu.get(), item)) return false;
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = submenu.get();
            } else {
                commands_.push_back(&item);
                info.wID = static_cast<UINT>(commands_.size());
            }
        }
        if (!InsertMenuItemA(menu, position, TRUE, &info)) return false;
        (void)submenu.release();
        ++position;
    }
    return true;
}

MenuItem* PopupMenu::ItemForCommand(UINT id) const noexcept {
    if (id == 0 || id > commands_.size() || !root_) return nullptr;
    if (root_->ShapeVersion() != builtShape_) return nullptr;
    return commands_[id - 1];
}

bool PopupMenu::ClickCommand(UINT id) {
    MenuItem* item = ItemForCommand(id);
    if (!item) return false;
    item->Click();
    return true;
}

bool PopupMenu::Show(MenuItem& root, HWND owner, POINT screenPoint) {
    if (!Build(root)) return false;
    // A menu opened for a window that is not in the foreground (the tray icon's menu) would
    // not close when the user clicks elsewhere; the empty message after it lets the
    // foreground switch settle.
    SetForegroundWindow(owner);
    const UINT id =
        static_cast<UINT>(TrackPopupMenu(menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                         screenPoint.x, screenPoint.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    return ClickCommand(id);
}

} // namespace fw

} // namespace zevaver
