#include "mainwindow/MainMenu.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zevaver {

using fw::MenuItem;
using testing::ElementsAre;
using Strings = std::vector<std::string>;

namespace {

struct RecordingActions final : MainMenuActions {
    Strings calls;
    MenuItem* skinItem = nullptr;

    void Call(const std::string& what, int32_t value) {
        calls.push_back(what + " " + std::to_string(value));
    }
    void DeviceClick(int32_t id) override { Call("device", id); }
    void ChannelClick(int32_t channel) override { Call("channel", channel); }
    void BaseOctaveClick(int32_t baseOctave) override { Call("octave", baseOctave); }
    void TransposeClick(int32_t value) override { Call("transpose", value); }
    void PedalKeyClick(int32_t key) override { Call("pedal", key); }
    void PushClick() override { calls.push_back("push"); }
    void SkinClick(MenuItem& item) override {
        skinItem = &item;
        calls.push_back("skin " + item.Hint());
    }
    void ZoomInClick() override { calls.push_back("zoom in"); }
    void ZoomOutClick() override { calls.push_back("zoom out"); }
    void VerticalClick() override { calls.push_back("vertical"); }
    void SettingsClick() override { calls.push_back("settings"); }
    void EnabledClick() override { calls.push_back("enabled"); }
    void MinimizeClick() override { calls.push_back("minimize"); }
    void CloseClick() override { calls.push_back("close"); }
    void KeyNamesClick() override { calls.push_back("key names"); }
    void EditKeysClick() override { calls.push_back("edit keys"); }
    void SaveLayoutAsClick() override { calls.push_back("save layout as"); }
    void KeysByPositionClick() override { calls.push_back("keys by position"); }
    void RevertLayoutClick() override { calls.push_back("revert layout"); }
};

// Each item of a submenu as one line: its caption, then "#name", "=tag" and "g<group>" when
// not empty or 0, then whichever of auto, radio, checked, disabled, hidden and break apply.
Strings Describe(const MenuItem& menu) {
    Strings lines;
    for (std::size_t i = 0; i < menu.Count(); ++i) {
        const MenuItem& item = menu[i];
        std::string line = item.Caption();
        if (!item.Name().empty()) line += " #" + item.Name();
        if (item.Tag() != 0) line += " =" + std::to_string(item.Tag());
        if (item.GroupIndex() != 0) line += " g" + std::to_string(item.GroupIndex());
        for (const auto& [flag, text] : {std::pair{item.AutoCheck(), " auto"},
                                         {item.RadioItem(), " radio"},
                                         {item.Checked(), " checked"},
                                         {!item.Enabled(), " disabled"},
                                         {!item.Visible(), " hidden"},
                                         {item.Break(), " break"}}) {
            if (flag) line += text;
        }
        lines.push_back(line);
    }
    return lines;
}

Strings Checked(const MenuItem& menu) {
    Strings checked;
    for (std::size_t i = 0; i < menu.Count(); ++i) {
        if (menu[i].Checked()) checked.push_back(menu[i].Caption());
    }
    return checked;
}

class MainMenuTest : public testing::Test {
protected:
    RecordingActions actions;
    MainMenu menu{actions, {"Mapper", "Synth A", "Synth B", "Synth C"}};
};

} // namespace

TEST_F(MainMenuTest, TheTopLevelHoldsEveryCommandInOrder) {
    EXPECT_THAT(Describe(menu.Root()),
                ElementsAre("&Device #mnuDevice", "&Channel #mnuChannel", "-",
                            "&Base octave #mnuBaseOctave", "&Transpose #mnuTranspose", "-",
                            "&Pedal #mnuPedal", "-", "&Skin #mnuSkin", "&Zoom #mnuZoom",
                            "&Vertical #mnuVertical auto", "Key &names #mnuKeyNames auto",
                            "Keys by &position #mnuKeysByPosition auto",
                            "Edit &keys #mnuEditKeys auto", "Save layout &as... #mnuSaveLayoutAs",
                            "Revert to s&hipped layout #mnuRevertLayout disabled", "-",
                            "Sett&ings... #mnuSettings", "-", "&Enabled #mnuEnabled auto checked",
                            "&Minimize #mnuMinimize", "C&lose #mnuClose"));
    EXPECT_THAT(Describe(menu.Item("mnuZoom")), ElementsAre("&In #mnuZoomIn", "&Out #mnuZoomOut"));
}

TEST_F(MainMenuTest, PlainCommandsReachTheirActionsAndOnlyTheAutoCheckOnesFlipTheirMark) {
    for (const char* name :
         {"mnuZoomIn", "mnuZoomOut", "mnuVertical", "mnuSettings", "mnuEnabled", "mnuMinimize",
          "mnuClose", "mnuPush", "mnuKeyNames", "mnuEditKeys", "mnuSaveLayoutAs"}) {
        menu.Item(name).Click();
    }
    EXPECT_THAT(actions.calls,
                ElementsAre("zoom in", "zoom out", "vertical", "settings", "enabled", "minimize",
                            "close", "push", "key names", "edit keys", "save layout as"));
    EXPECT_TRUE(menu.Item("mnuVertical").Checked());
    EXPECT_TRUE(menu.Item("mnuKeyNames").Checked());
    EXPECT_TRUE(menu.Item("mnuEditKeys").Checked());
    EXPECT_FALSE(menu.Item("mnuSaveLayoutAs").Checked());
    EXPECT_FALSE(menu.Item("mnuEnabled").Checked());
    EXPECT_FALSE(menu.Item("mnuPush").Checked());
}

TEST_F(MainMenuTest, DeviceItemsCarryIdsFromTheMapperOnAndOnlyTheSelectionChecksThem) {
    MenuItem& devices = menu.Item("mnuDevice");
    EXPECT_THAT(Describe(devices),
                ElementsAre("Mapper =-1", "Synth A", "Synth B =1", "Synth C =2"));
    devices[3].Click();
    devices[0].Click();
    EXPECT_THAT(actions.calls, ElementsAre("device 2", "device -1"));
    EXPECT_THAT(Checked(devices), ElementsAre());

    menu.CheckDevice(0);
    menu.CheckDevice(2);
    EXPECT_THAT(Checked(devices), ElementsAre("Synth C"));
    menu.CheckDevice(7);
    EXPECT_THAT(Checked(devices), ElementsAre());

    RecordingActions noOutputs;
    EXPECT_THAT(Describe(MainMenu(noOutputs, {"Microsoft MIDI Mapper"}).Item("mnuDevice")),
                ElementsAre("Microsoft MIDI Mapper =-1"));
}

// The list follows the ports as they come and go; an unchanged list keeps its items, so a
// menu showing while it is read again still hands its clicks to them.
TEST_F(MainMenuTest, TheDeviceListIsRebuiltOnlyWhenItChangesAndAMissingPortIsGreyedBelowIt) {
    MenuItem& devices = menu.Item("mnuDevice");
    const uint32_t shape = menu.Root().ShapeVersion();
    menu.SetDevices({"Mapper", "Synth A", "Synth B", "Synth C"}, "");
    EXPECT_EQ(menu.Root().ShapeVersion(), shape);

    menu.SetDevices({"Mapper", "Synth A"}, "Synth C");
    menu.CheckDevice(0);
    EXPECT_THAT(Describe(devices), ElementsAre("Mapper =-1", "Synth A checked", "- =-2",
                                               "Synth C (not connected) =-2 disabled"));
    devices[3].Click();
    devices[1].Click();
    EXPECT_THAT(actions.calls, ElementsAre("device 0")) << "the greyed item does nothing";

    menu.SetDevices({"Mapper", "Synth A", "Synth C"}, "");
    EXPECT_THAT(Describe(devices), ElementsAre("Mapper =-1", "Synth A", "Synth C =1"));
}

TEST_F(MainMenuTest, ChannelsAreSixteenRadioItemsThatOnlyTheSelectionChecks) {
    MenuItem& channels = menu.Item("mnuChannel");
    Strings expected;
    for (int channel = 1; channel <= 16; ++channel) {
        expected.push_back(std::to_string(channel) + " =" + std::to_string(channel) + " radio");
    }
    EXPECT_EQ(Describe(channels), expected);

    channels[15].Click();
    EXPECT_THAT(actions.calls, ElementsAre("channel 16"));
    EXPECT_THAT(Checked(channels), ElementsAre());
    menu.CheckChannel(1);
    menu.CheckChannel(16);
    EXPECT_THAT(Checked(channels), ElementsAre("16"));
    menu.CheckChannel(0);
    menu.CheckChannel(17);
    EXPECT_THAT(Checked(channels), ElementsAre("16"));
}

TEST_F(MainMenuTest, BaseOctaveHoldsFiveRadioItemsAndAClickLeavesItsItemChecked) {
    MenuItem& octaves = menu.Item("mnuBaseOctave");
    EXPECT_THAT(Describe(octaves),
                ElementsAre("C&2 #C2 =-24 g1 auto radio", "C&3 #C3 =-12 g1 auto radio",
                            "C&4 #C4 g1 auto radio checked", "C&5 #C5 =12 g1 auto radio",
                            "C&6 #C6 =24 g1 auto radio"));
    // Clicking the checked item: the auto-check unchecks it, the handler checks it again.
    menu.Item("C4").Click();
    EXPECT_THAT(Checked(octaves), ElementsAre("C&4"));
    menu.Item("C6").Click();
    EXPECT_THAT(Checked(octaves), ElementsAre("C&6"));
    EXPECT_THAT(actions.calls, ElementsAre("octave 0", "octave 24"));
}

TEST_F(MainMenuTest, TransposeHoldsThreeColumnsOfTwentyFiveRowsWithBlanksBesideZero) {
    Strings expected;
    for (int column = 0; column < 3; ++column) {
        for (int32_t row = 0; row < 25; ++row) {
            const int32_t first = 12 - row;
            const bool blank = first == 0 && column > 0;
            const int32_t value = first + column * (first > 0 ? 12 : -12);
            const int32_t tag = blank ? MainMenu::BlankTransposeTag : value;
            std::string line = blank ? "" : (value > 0 ? "+" : "") + std::to_string(value);
            if (tag != 0) line += " =" + std::to_string(tag);
            line += " g1 auto radio";
            if (value == 0 && !blank) line += " checked";
            if (blank) line += " disabled";
            if (row == 0 && column > 0) line += " break";
            expected.push_back(line);
        }
    }
    EXPECT_EQ(Describe(menu.Item("mnuTranspose")), expected);
}

TEST_F(MainMenuTest, ATransposeClickChecksOnlyThatValueAndBlanksDoNothing) {
    MenuItem& transpose = menu.Item("mnuTranspose");
    transpose[31].Click(); // +18
    transpose[37].Click(); // blank
    EXPECT_THAT(Checked(transpose), ElementsAre("+18"));
    transpose[37].SetEnabled(true).Click(); // even an enabled blank reports nothing
    EXPECT_THAT(actions.calls, ElementsAre("transpose 18"));

    menu.CheckTranspose(-31);
    EXPECT_THAT(Checked(transpose), ElementsAre("-31"));
    menu.CheckTranspose(MainMenu::BlankTransposeTag);
    EXPECT_THAT(Checked(transpose), ElementsAre("-31"));
}

TEST_F(MainMenuTest, PedalHoldsPushASeparatorAndThreeKeyChoices) {
    MenuItem& pedal = menu.Item("mnuPedal");
    EXPECT_THAT(Describe(pedal),
                ElementsAre("&Push #mnuPush g1", "- g2", "Use &Ctrl #mnuCtrl g2 radio",
                            "Use &Shift #mnuShift g2 radio", "&Off #mnuOff g2 radio"));
    for (std::size_t i = 2; i < 5; ++i) pedal[i].Click();
    EXPECT_THAT(actions.calls, ElementsAre("pedal 17", "pedal 16", "pedal -1"));
    EXPECT_THAT(Checked(pedal), ElementsAre());

    const std::pair<int32_t, Strings> cases[] = {
        {17, {"Use &Ctrl"}}, {16, {"Use &Shift"}}, {-1, {"&Off"}}, {91, {}}};
    for (const auto& [key, checked] : cases) {
        menu.CheckPedalKey(-1);
        menu.CheckPedalKey(key);
        EXPECT_EQ(Checked(pedal), checked) << key;
    }
}

TEST_F(MainMenuTest, SkinItemsAreAddedByNameAndReportThemselves) {
    MenuItem& item = menu.AddSkinItem("Zevizi");
    EXPECT_THAT(Describe(menu.Item("mnuSkin")), ElementsAre("Zevizi"));
    EXPECT_EQ(item.Hint(), "Zevizi");
    item.Click();
    EXPECT_EQ(actions.skinItem, &item);
    EXPECT_THAT(actions.calls, ElementsAre("skin Zevizi"));
}

TEST_F(MainMenuTest, TheTrayLookHidesSkinZoomAndVerticalAndRenamesMinimize) {
    const Strings normal = Describe(menu.Root());
    // The shown items in order, a separator as "-": never two in a row, nor one at an end.
    const auto shown = [this] {
        std::string items;
        for (std::size_t i = 0; i < menu.Root().Count(); ++i)
            if (menu.Root()[i].Visible()) items += menu.Root()[i].IsSeparator() ? "-" : "i";
        return items;
    };
    menu.ShowTrayLook(true);
    Strings hidden;
    for (const std::string& line : Describe(menu.Root())) {
        if (line.ends_with(" hidden") && line != "- hidden") hidden.push_back(line);
    }
    EXPECT_THAT(hidden, ElementsAre("&Skin #mnuSkin hidden", "&Zoom #mnuZoom hidden",
                                    "&Vertical #mnuVertical auto hidden",
                                    "Key &names #mnuKeyNames auto hidden",
                                    "Edit &keys #mnuEditKeys auto hidden"));
    EXPECT_EQ(shown(), "ii-ii-i-iii-i-iii");
    EXPECT_EQ(menu.Item("mnuMinimize").Caption(), "&Restore");
    menu.ShowTrayLook(false);
    EXPECT_EQ(Describe(menu.Root()), normal);
    EXPECT_EQ(shown(), "ii-ii-i-iiiiiiii-i-iii");
}

TEST_F(MainMenuTest, KeyCommandsClickTheirItems) {
    Strings names;
    for (int command = 0; command <= static_cast<int>(KeyCommand::Settings); ++command) {
        names.push_back(menu.CommandItem(static_cast<KeyCommand>(command)).Name());
    }
    EXPECT_THAT(names, ElementsAre("mnuEnabled", "C2", "C3", "C4", "C5", "C6", "mnuPush",
                                   "mnuZoomIn", "mnuZoomOut", "mnuSettings"));
    menu.Click(KeyCommand::Enabled);
    EXPECT_FALSE(menu.Item("mnuEnabled").Checked());
    EXPECT_THAT(actions.calls, ElementsAre("enabled"));
}

} // namespace zevaver
