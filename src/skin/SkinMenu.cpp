#include "skin/SkinMenu.h"

#include "skin/Skin.h"

namespace zevaver {

void BuildSkinMenu(MainMenu& menu, const std::optional<std::vector<std::string>>& names) {
    if (!names) {
        menu.Item("mnuSkin").Add("none").SetEnabled(false);
        return;
    }
    for (const std::string& name : *names) menu.AddSkinItem(name);
}

void CheckSkinItem(fw::MenuItem& skinMenu, const std::string& skin) {
    for (size_t i = 0; i < skinMenu.Count(); ++i) skinMenu[i].SetChecked(false);
    for (size_t i = 0; i < skinMenu.Count(); ++i) {
        if (SkinCaptionMatches(skinMenu[i].Caption(), skin)) {
            skinMenu[i].SetChecked(true);
            return;
        }
    }
}

} // namespace zevaver
