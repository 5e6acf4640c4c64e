// The "&Skin" submenu: one item per skin folder, and the check mark on the current skin.
#pragma once

#include "framework/MenuModel.h"
#include "mainwindow/MainMenu.h"

#include <optional>
#include <string>
#include <vector>

namespace zevaver {

// Fills the submenu once: an item per name, or one disabled "none" when there is no
// "Skins" folder at all (names is nullopt).
void BuildSkinMenu(MainMenu& menu, const std::optional<std::vector<std::string>>& names);

// Unchecks every item, then checks the one whose caption names the skin, if any.
void CheckSkinItem(fw::MenuItem& skinMenu, const std::string& skin);

} // namespace zevaver
