#include "mainwindow/MainMenu.h"

#include <iterator>
#include <stdexcept>

namespace zevaver {

using fw::MenuItem;

namespace {

constexpr int ChannelCount = 16;
constexpr int BaseOctaveGroup = 1;
constexpr int TransposeGroup = 1;
constexpr int ChannelGroup = 0;
constexpr int PushGroup = 1;
constexpr int PedalKeyGroup = 2;

constexpr KeyCommand BaseOctaveCommands[] = {KeyCommand::C2, KeyCommand::C3, KeyCommand::C4,
                                             KeyCommand::C5, KeyCommand::C6};

std::string TransposeCaption(int32_t value) {
    if (value == MainMenu::BlankTransposeTag) return {};
    std::string caption = std::to_string(value);
    if (value > 0) caption.insert(caption.begin(), '+');
    return caption;
}

// Three columns of 25 rows, each row one value and its shifts by one and two octaves; the
// two outer columns have a blank in the row of 0.
void AppendRange(std::vector<int32_t>& values, int32_t from, int32_t downTo) {
    for (int32_t value = from; value >= downTo; --value) values.push_back(value);
}

std::vector<int32_t> TransposeOrder() {
    std::vector<int32_t> values;
    AppendRange(values, 12, -12);
    AppendRange(values, 24, 13);
    values.push_back(MainMenu::BlankTransposeTag);
    AppendRange(values, -13, -24);
    AppendRange(values, 36, 25);
    values.push_back(MainMenu::BlankTransposeTag);
    AppendRange(values, -25, -36);
    return values;
}

} // namespace

MainMenu::MainMenu(MainMenuActions& actions, const std::vector<std::string>& deviceNames)
    : actions_(actions), root_(std::make_unique<MenuItem>("", "Menu")),
      commandItems_(CommandTable.size(), nullptr) {
    BuildTop(deviceNames);
}

MenuItem& MainMenu::AddCommand(MenuItem& parent, KeyCommand command) {
    const CommandInfo& info = Command(command);
    CommandActions& actions = actions_;
    MenuItem& item = parent.Add(info.caption, info.itemName);
    item.SetTag(info.tag).OnClick(
        [&actions, handler = info.handler](MenuItem& clicked) { handler(actions, clicked.Tag()); });
    commandItems_[static_cast<std::size_t>(command)] = &item;
    return item;
}

void MainMenu::BuildTop(const std::vector<std::string>& deviceNames) {
    MenuItem& root = *root_;
    MainMenuActions& actions = actions_;

    device_ = &root.Add("&Device", "mnuDevice");
    SetDevices(deviceNames, {});

    channel_ = &root.Add("&Channel", "mnuChannel");
    for (int32_t channel = 1; channel <= ChannelCount; ++channel) {
        channel_->Add(std::to_string(channel))
            .SetTag(channel)
            .SetRadioItem(true)
            .SetGroupIndex(ChannelGroup)
            .OnClick([&actions](MenuItem& item) { actions.ChannelClick(item.Tag()); });
    }

    root.AddSeparator();
    BuildBaseOctave(root.Add("&Base octave", "mnuBaseOctave"));
    transpose_ = &root.Add("&Transpose", "mnuTranspose");
    BuildTranspose(*transpose_);
    root.AddSeparator();
    BuildPedal(root.Add("&Pedal", "mnuPedal"));
    root.AddSeparator();
    skin_ = &root.Add("&Skin", "mnuSkin");
    BuildZoom(root.Add("&Zoom", "mnuZoom"));
    AddCommand(root, KeyCommand::Vertical).SetAutoCheck(true);
    AddCommand(root, KeyCommand::KeyNames).SetAutoCheck(true);
    AddCommand(root, KeyCommand::KeysByPosition).SetAutoCheck(true);
    AddCommand(root, KeyCommand::EditKeys).SetAutoCheck(true);
    AddCommand(root, KeyCommand::SaveLayoutAs);
    AddCommand(root, KeyCommand::RevertLayout).SetEnabled(false);
    root.AddSeparator();
    AddCommand(root, KeyCommand::Settings);
    root.AddSeparator();
    AddCommand(root, KeyCommand::Enabled).SetAutoCheck(true).SetChecked(true);
    minimize_ = &AddCommand(root, KeyCommand::Minimize);
    AddCommand(root, KeyCommand::Close);
}

void MainMenu::BuildBaseOctave(MenuItem& submenu) {
    MainMenuActions& actions = actions_;
    for (KeyCommand command : BaseOctaveCommands) {
        AddCommand(submenu, command)
            .SetAutoCheck(true)
            .SetRadioItem(true)
            .SetGroupIndex(BaseOctaveGroup)
            .OnClick([&actions](MenuItem& item) {
                actions.BaseOctaveClick(item.Tag());
                // The auto-check has just unchecked an item that was checked.
                item.SetChecked(true);
            });
    }
    submenu[2].SetChecked(true); // C4
}

MenuItem& MainMenu::AddTransposeItem(MenuItem& transposeMenu, int32_t value,
                                     MainMenuActions& actions) {
    MenuItem& item = transposeMenu.Add(TransposeCaption(value));
    if (value == BlankTransposeTag) item.SetEnabled(false);
    item.SetTag(value)
        .SetAutoCheck(true)
        .SetRadioItem(true)
        .SetGroupIndex(TransposeGroup)
        .OnClick([&actions](MenuItem& clicked) {
            if (clicked.Tag() != BlankTransposeTag) actions.TransposeClick(clicked.Tag());
        });
    if (value == 0) item.SetChecked(true);
    if (value == 24 || value == 36) item.SetBreak(true);
    return item;
}

void MainMenu::BuildTranspose(MenuItem& submenu) {
    for (int32_t value : TransposeOrder()) AddTransposeItem(submenu, value, actions_);
}

void MainMenu::BuildPedal(MenuItem& submenu) {
    MainMenuActions& actions = actions_;
    push_ = &AddCommand(submenu, KeyCommand::Push).SetGroupIndex(PushGroup);
    submenu.AddSeparator().SetGroupIndex(PedalKeyGroup);
    const auto addKey = [&](const char* caption, const char* name, int32_t key) -> MenuItem& {
        return submenu.Add(caption, name)
            .SetRadioItem(true)
            .SetGroupIndex(PedalKeyGroup)
            .OnClick([&actions, key](MenuItem&) { actions.PedalKeyClick(key); });
    };
    pedalCtrl_ = &addKey("Use &Ctrl", "mnuCtrl", PedalKeyCtrl);
    pedalShift_ = &addKey("Use &Shift", "mnuShift", PedalKeyShift);
    pedalOff_ = &addKey("&Off", "mnuOff", PedalKeyNone);
}

void MainMenu::BuildZoom(MenuItem& submenu) {
    AddCommand(submenu, KeyCommand::ZoomIn);
    AddCommand(submenu, KeyCommand::ZoomOut);
}

MenuItem& MainMenu::Item(std::string_view name) {
    MenuItem* item = root_->Find(name);
    if (!item) throw std::out_of_range("no menu item named " + std::string(name));
    return *item;
}

MenuItem& MainMenu::CommandItem(KeyCommand command) noexcept {
    return *commandItems_[static_cast<std::size_t>(command)];
}

MenuItem& MainMenu::AddSkinItem(const std::string& skinName) {
    MainMenuActions& actions = actions_;
    return skin_->Add(skinName).SetHint(skinName).OnClick(
        [&actions](MenuItem& item) { actions.SkinClick(item); });
}

void MainMenu::SetDevices(const std::vector<std::string>& deviceNames,
                          const std::string& missingPort) {
    if (device_->Count() != 0 && deviceNames == deviceNames_ && missingPort == missingPort_) return;
    deviceNames_ = deviceNames;
    missingPort_ = missingPort;
    device_->Clear();
    MainMenuActions& actions = actions_;
    int32_t id = -1;
    for (const std::string& name : deviceNames) {
        device_->Add(name).SetTag(id++).OnClick(
            [&actions](MenuItem& item) { actions.DeviceClick(item.Tag()); });
    }
    if (missingPort.empty()) return;
    device_->AddSeparator().SetTag(MissingDeviceTag);
    device_->Add(missingPort + " (not connected)").SetTag(MissingDeviceTag).SetEnabled(false);
}

void MainMenu::CheckDevice(int32_t id) noexcept {
    for (std::size_t i = 0; i < device_->Count(); ++i) {
        MenuItem& item = (*device_)[i];
        item.SetChecked(item.Tag() == id);
    }
}

void MainMenu::CheckChannel(int32_t channel) noexcept {
    if (channel < 1 || static_cast<std::size_t>(channel) > channel_->Count()) return;
    (*channel_)[static_cast<std::size_t>(channel - 1)].SetChecked(true);
}

void MainMenu::CheckTranspose(int32_t value) noexcept {
    if (value == BlankTransposeTag) return;
    for (std::size_t i = 0; i < transpose_->Count(); ++i) {
        MenuItem& item = (*transpose_)[i];
        if (item.Tag() == value) item.SetChecked(true);
    }
}

void MainMenu::CheckPedalKey(int32_t key) noexcept {
    pedalCtrl_->SetChecked(key == PedalKeyCtrl);
    pedalShift_->SetChecked(key == PedalKeyShift);
    pedalOff_->SetChecked(key == PedalKeyNone);
}

void MainMenu::ShowTrayLook(bool inTray) {
    for (const char* name : {"mnuSkin", "mnuZoom", "mnuVertical", "mnuKeyNames", "mnuEditKeys"})
        Item(name).SetVisible(!inTray);
    minimize_->SetCaption(inTray ? "&Restore" : "&Minimize");
}

} // namespace zevaver
