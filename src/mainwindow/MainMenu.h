// The main window's popup menu: every user command of the program, built in code as one
// MenuItem tree. The command table's items take their name, caption and handler from the
// table; handlers are bound to MainMenuActions, which the application core implements.
// The check-mark rules that several commands share live here too. A base-octave item is
// checked again after its handler, so a click on the checked item leaves it checked.
#pragma once

#include "engine/KeyPlayer.h"
#include "framework/MenuModel.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

// The commands of the command table, and what the other items do.
struct MainMenuActions : CommandActions {
    // Device and channel items carry their value as their tag.
    virtual void DeviceClick(int32_t id) = 0;
    virtual void ChannelClick(int32_t channel) = 0;
    // Only value items reach this; the blanks of the Transpose submenu never do.
    virtual void TransposeClick(int32_t value) = 0;
    // 17 for Ctrl, 16 for Shift, -1 for none.
    virtual void PedalKeyClick(int32_t key) = 0;
    // The item's hint holds the skin's folder name.
    virtual void SkinClick(fw::MenuItem& item) = 0;

protected:
    ~MainMenuActions() = default;
};

class MainMenu {
public:
    static constexpr int32_t BlankTransposeTag = 999;
    static constexpr int32_t PedalKeyCtrl = 17;
    static constexpr int32_t PedalKeyShift = 16;
    static constexpr int32_t PedalKeyNone = -1;
    // The greyed item naming the chosen port while it is missing, and its separator.
    static constexpr int32_t MissingDeviceTag = -2;

    // deviceNames lists the MIDI outputs in id order starting with the mapper (id -1), so
    // it holds one name more than the device count.
    MainMenu(MainMenuActions& actions, const std::vector<std::string>& deviceNames);

    [[nodiscard]] fw::MenuItem& Root() noexcept { return *root_; }
    // The item with this name; throws std::out_of_range for a name the menu does not have.
    [[nodiscard]] fw::MenuItem& Item(std::string_view name);
    // The item of a command of the command table.
    [[nodiscard]] fw::MenuItem& CommandItem(KeyCommand command) noexcept;
    void Click(KeyCommand command) { CommandItem(command).Click(); }

    // One Transpose item: value -36..36, or BlankTransposeTag for an empty, disabled one.
    static fw::MenuItem& AddTransposeItem(fw::MenuItem& transposeMenu, int32_t value,
                                          MainMenuActions& actions);
    // One skin in the Skin submenu; caption and hint are the skin's folder name.
    fw::MenuItem& AddSkinItem(const std::string& skinName);
    // The Device submenu for the outputs as they are now (in id order from the mapper on)
    // and, while the chosen port is missing, a greyed item naming it. Left as it is when
    // nothing changed, so a menu already showing keeps its items.
    void SetDevices(const std::vector<std::string>& deviceNames, const std::string& missingPort);

    // Check marks that follow a setting.
    void CheckDevice(int32_t id) noexcept;       // every item whose tag is id
    void CheckChannel(int32_t channel) noexcept; // the item at position channel - 1
    void CheckTranspose(int32_t value) noexcept; // every item whose tag is value
    void CheckPedalKey(int32_t key) noexcept;    // other keys than the three leave none checked
    void SetPushChecked(bool checked) noexcept { push_->SetChecked(checked); }

    // While the program sits in the notification area, Skin, Zoom, Vertical and the items
    // that work on the on-screen keys are hidden (the separator around them stays: "Save
    // layout as..." is still there) and Minimize reads Restore.
    void ShowTrayLook(bool inTray);

private:
    void BuildTop(const std::vector<std::string>& deviceNames);
    void BuildBaseOctave(fw::MenuItem& submenu);
    void BuildTranspose(fw::MenuItem& submenu);
    void BuildPedal(fw::MenuItem& submenu);
    void BuildZoom(fw::MenuItem& submenu);
    fw::MenuItem& AddCommand(fw::MenuItem& parent, KeyCommand command);

    MainMenuActions& actions_;
    std::unique_ptr<fw::MenuItem> root_;
    fw::MenuItem* device_ = nullptr;
    std::vector<std::string> deviceNames_;
    std::string missingPort_;
    fw::MenuItem* channel_ = nullptr;
    fw::MenuItem* transpose_ = nullptr;
    fw::MenuItem* skin_ = nullptr;
    fw::MenuItem* push_ = nullptr;
    fw::MenuItem* pedalCtrl_ = nullptr;
    fw::MenuItem* pedalShift_ = nullptr;
    fw::MenuItem* pedalOff_ = nullptr;
    fw::MenuItem* minimize_ = nullptr;
    std::vector<fw::MenuItem*> commandItems_; // indexed by KeyCommand, filled as built
};

} // namespace zevaver
