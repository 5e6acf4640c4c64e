#include "mainwindow/MainMenu.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using fw::MenuItem;
using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

struct RecordingActions final : MainMenuActions {
    std::vector<std::string> calls;
    MenuItem* skinItem = nullptr;

    void DeviceClick(int32_t id) override { calls.push_back("device " + std::to_string(id)); }
    void ChannelClick(int32_t channel) override {
        calls.push_back("channel " + std::to_string(channel));
    }
    void BaseOctaveClick(int32_t baseOctave) override {
        calls.push_back("octave " + std::to_string(baseOctave));
    }
    void TransposeClick(int32_t value) override {
        calls.push_back("transpose " + std::to_string(value));
    }
    void PushClick() override { calls.push_back("push"); }
    void PedalKeyClick(int32_t key) override { calls.push_back("pedal " + std::to_string(key)); }
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
};

std::vector<std::string> Captions(const MenuItem& menu) {
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < menu.Count(); ++i) captions.push_back(menu[i].Caption());
    return captions;
}

std::vector<std::string> Names(const MenuItem& menu) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < menu.Count(); ++i) names.push_back(menu[i].Name());
    return names;
}

std::vector<int32_t> Tags(const MenuItem& menu) {
    std::vector<int32_t> tags;
    for (std::size_t i = 0; i < menu.Count(); ++i) tags.push_back(menu[i].Tag());
    return tags;
}

std::vector<std::string> CheckedCaptions(const MenuItem& menu) {
    std::vector<std::string> checked;
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

TEST_F(MainMenuTest, TopLevelHoldsEveryCommandInOrder) {
    const MenuItem& root = menu.Root();
    EXPECT_THAT(Captions(root),
                ElementsAre("&Device", "&Channel", "-", "&Base octave", "&Transpose", "-", "&Pedal",
                            "-", "&Skin", "&Zoom", "&Vertical", "-", "Sett&ings...", "-",
                            "&Enabled", "&Minimize", "C&lose"));
    EXPECT_THAT(Names(root),
                ElementsAre("mnuDevice", "mnuChannel", "", "mnuBaseOctave", "mnuTranspose", "",
                            "mnuPedal", "", "mnuSkin", "mnuZoom", "mnuVertical", "", "mnuSettings",
                            "", "mnuEnabled", "mnuMinimize", "mnuClose"));
}

TEST_F(MainMenuTest, OnlyVerticalAndEnabledCheckThemselvesAndOnlyEnabledStartsChecked) {
    EXPECT_TRUE(menu.Item("mnuVertical").AutoCheck());
    EXPECT_FALSE(menu.Item("mnuVertical").Checked());
    EXPECT_TRUE(menu.Item("mnuEnabled").AutoCheck());
    EXPECT_TRUE(menu.Item("mnuEnabled").Checked());
    for (const char* name : {"mnuSettings", "mnuMinimize", "mnuClose", "mnuZoomIn", "mnuZoomOut"}) {
        EXPECT_FALSE(menu.Item(name).AutoCheck()) << name;
        EXPECT_FALSE(menu.Item(name).Checked()) << name;
    }
}

TEST_F(MainMenuTest, PlainCommandsReachTheirActions) {
    EXPECT_THAT(Captions(menu.Item("mnuZoom")), ElementsAre("&In", "&Out"));
    EXPECT_THAT(Names(menu.Item("mnuZoom")), ElementsAre("mnuZoomIn", "mnuZoomOut"));
    for (const char* name : {"mnuZoomIn", "mnuZoomOut", "mnuVertical", "mnuSettings", "mnuEnabled",
                             "mnuMinimize", "mnuClose", "mnuPush"}) {
        menu.Item(name).Click();
    }
    EXPECT_THAT(actions.calls, ElementsAre("zoom in", "zoom out", "vertical", "settings", "enabled",
                                           "minimize", "close", "push"));
    EXPECT_TRUE(menu.Item("mnuVertical").Checked());
    EXPECT_FALSE(menu.Item("mnuEnabled").Checked());
    EXPECT_FALSE(menu.Item("mnuPush").Checked());
}

TEST_F(MainMenuTest, DeviceItemsCarryIdsFromTheMapperOnAndAreNeitherAutoCheckNorRadio) {
    const MenuItem& devices = menu.Item("mnuDevice");
    EXPECT_THAT(Captions(devices), ElementsAre("Mapper", "Synth A", "Synth B", "Synth C"));
    EXPECT_THAT(Tags(devices), ElementsAre(-1, 0, 1, 2));
    for (std::size_t i = 0; i < devices.Count(); ++i) {
        EXPECT_FALSE(devices[i].AutoCheck());
        EXPECT_FALSE(devices[i].RadioItem());
        EXPECT_FALSE(devices[i].Checked());
    }
    devices[3].Click();
    devices[0].Click();
    EXPECT_THAT(actions.calls, ElementsAre("device 2", "device -1"));
}

TEST(MainMenuDevices, WithoutOutputsOnlyTheMapperIsListed) {
    RecordingActions actions;
    MainMenu menu(actions, {"Microsoft MIDI Mapper"});
    EXPECT_THAT(Tags(menu.Item("mnuDevice")), ElementsAre(-1));
}

TEST_F(MainMenuTest, CheckDeviceMarksExactlyTheItemsWithThatId) {
    menu.CheckDevice(0);
    menu.CheckDevice(2);
    EXPECT_THAT(CheckedCaptions(menu.Item("mnuDevice")), ElementsAre("Synth C"));
    menu.CheckDevice(7);
    EXPECT_THAT(CheckedCaptions(menu.Item("mnuDevice")), ElementsAre());
}

TEST_F(MainMenuTest, ChannelItemsAreSixteenRadioItemsOfGroupZero) {
    const MenuItem& channels = menu.Item("mnuChannel");
    std::vector<std::string> captions;
    std::vector<int32_t> tags;
    for (int channel = 1; channel <= 16; ++channel) {
        captions.push_back(std::to_string(channel));
        tags.push_back(channel);
    }
    EXPECT_THAT(Captions(channels), ElementsAreArray(captions));
    EXPECT_THAT(Tags(channels), ElementsAreArray(tags));
    for (std::size_t i = 0; i < channels.Count(); ++i) {
        EXPECT_TRUE(channels[i].RadioItem());
        EXPECT_EQ(channels[i].GroupIndex(), 0);
        EXPECT_FALSE(channels[i].AutoCheck());
    }
}

TEST_F(MainMenuTest, AChannelClickLeavesTheMarkToTheSelectionWhichChecksOneItem) {
    MenuItem& channels = menu.Item("mnuChannel");
    channels[15].Click();
    EXPECT_THAT(actions.calls, ElementsAre("channel 16"));
    EXPECT_THAT(CheckedCaptions(channels), ElementsAre());

    menu.CheckChannel(1);
    menu.CheckChannel(16);
    EXPECT_THAT(CheckedCaptions(channels), ElementsAre("16"));
    menu.CheckChannel(0);
    menu.CheckChannel(17);
    EXPECT_THAT(CheckedCaptions(channels), ElementsAre("16"));
}

TEST_F(MainMenuTest, BaseOctaveHoldsFiveRadioItemsWithC4Checked) {
    const MenuItem& octaves = menu.Item("mnuBaseOctave");
    EXPECT_THAT(Captions(octaves), ElementsAre("C&2", "C&3", "C&4", "C&5", "C&6"));
    EXPECT_THAT(Names(octaves), ElementsAre("C2", "C3", "C4", "C5", "C6"));
    EXPECT_THAT(Tags(octaves), ElementsAre(-24, -12, 0, 12, 24));
    EXPECT_THAT(CheckedCaptions(octaves), ElementsAre("C&4"));
    for (std::size_t i = 0; i < octaves.Count(); ++i) {
        EXPECT_TRUE(octaves[i].AutoCheck());
        EXPECT_TRUE(octaves[i].RadioItem());
        EXPECT_EQ(octaves[i].GroupIndex(), 1);
    }
}

TEST_F(MainMenuTest, ABaseOctaveClickSetsItsValueAndLeavesItsItemChecked) {
    menu.Item("C6").Click();
    EXPECT_THAT(CheckedCaptions(menu.Item("mnuBaseOctave")), ElementsAre("C&6"));
    menu.Item("C6").Click(); // already checked: the auto-check unchecks, the handler re-checks
    EXPECT_THAT(CheckedCaptions(menu.Item("mnuBaseOctave")), ElementsAre("C&6"));
    EXPECT_THAT(actions.calls, ElementsAre("octave 24", "octave 24"));
}

TEST_F(MainMenuTest, TransposeHoldsThreeColumnsOfTwentyFiveRows) {
    const MenuItem& transpose = menu.Item("mnuTranspose");
    ASSERT_EQ(transpose.Count(), 75u);
    for (std::size_t row = 0; row < 25; ++row) {
        const MenuItem& first = transpose[row];
        const MenuItem& second = transpose[25 + row];
        const MenuItem& third = transpose[50 + row];
        const int32_t value = 12 - static_cast<int32_t>(row);
        EXPECT_EQ(first.Tag(), value) << "row " << row;
        if (value == 0) {
            EXPECT_EQ(second.Tag(), MainMenu::BlankTransposeTag);
            EXPECT_EQ(third.Tag(), MainMenu::BlankTransposeTag);
        } else {
            const int32_t octave = value > 0 ? 12 : -12;
            EXPECT_EQ(second.Tag(), value + octave) << "row " << row;
            EXPECT_EQ(third.Tag(), value + 2 * octave) << "row " << row;
        }
    }
    std::vector<std::string> breaks;
    for (std::size_t i = 0; i < transpose.Count(); ++i) {
        if (transpose[i].Break()) breaks.push_back(transpose[i].Caption());
    }
    EXPECT_THAT(breaks, ElementsAre("+24", "+36"));
    EXPECT_TRUE(transpose[25].Break());
    EXPECT_TRUE(transpose[50].Break());
}

TEST_F(MainMenuTest, TransposeCaptionsShowTheSignedValueAndBlanksAreEmptyAndDisabled) {
    const MenuItem& transpose = menu.Item("mnuTranspose");
    struct Case {
        std::size_t index;
        const char* caption;
        bool enabled;
    };
    const Case cases[] = {
        {0, "+12", true},  {11, "+1", true},  {12, "0", true},   {13, "-1", true},
        {24, "-12", true}, {25, "+24", true}, {37, "", false},   {49, "-24", true},
        {50, "+36", true}, {62, "", false},   {74, "-36", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(transpose[c.index].Caption(), c.caption) << c.index;
        EXPECT_EQ(transpose[c.index].Enabled(), c.enabled) << c.index;
    }
    for (std::size_t i = 0; i < transpose.Count(); ++i) {
        EXPECT_TRUE(transpose[i].AutoCheck());
        EXPECT_TRUE(transpose[i].RadioItem());
        EXPECT_EQ(transpose[i].GroupIndex(), 1);
    }
    EXPECT_THAT(CheckedCaptions(transpose), ElementsAre("0"));
}

TEST_F(MainMenuTest, ATransposeClickChecksOnlyThatValueAndBlanksDoNothing) {
    MenuItem& transpose = menu.Item("mnuTranspose");
    transpose[31].Click(); // +18
    transpose[37].Click(); // blank
    EXPECT_THAT(actions.calls, ElementsAre("transpose 18"));
    EXPECT_THAT(CheckedCaptions(transpose), ElementsAre("+18"));

    // A blank clicked around its disabled state still reports nothing.
    transpose[37].SetEnabled(true).Click();
    EXPECT_THAT(actions.calls, ElementsAre("transpose 18"));
}

TEST_F(MainMenuTest, CheckTransposeMovesTheMarkToTheValue) {
    menu.CheckTranspose(-31);
    EXPECT_THAT(CheckedCaptions(menu.Item("mnuTranspose")), ElementsAre("-31"));
    menu.CheckTranspose(MainMenu::BlankTransposeTag);
    EXPECT_THAT(CheckedCaptions(menu.Item("mnuTranspose")), ElementsAre("-31"));
}

TEST_F(MainMenuTest, PedalHoldsPushASeparatorAndThreeKeyChoices) {
    const MenuItem& pedal = menu.Item("mnuPedal");
    EXPECT_THAT(Captions(pedal), ElementsAre("&Push", "-", "Use &Ctrl", "Use &Shift", "&Off"));
    EXPECT_THAT(Names(pedal), ElementsAre("mnuPush", "", "mnuCtrl", "mnuShift", "mnuOff"));
    EXPECT_FALSE(pedal[0].RadioItem());
    EXPECT_FALSE(pedal[0].AutoCheck());
    EXPECT_EQ(pedal[0].GroupIndex(), 1);
    EXPECT_TRUE(pedal[1].IsSeparator());
    EXPECT_EQ(pedal[1].GroupIndex(), 2);
    for (std::size_t i = 2; i < 5; ++i) {
        EXPECT_TRUE(pedal[i].RadioItem());
        EXPECT_FALSE(pedal[i].AutoCheck());
        EXPECT_EQ(pedal[i].GroupIndex(), 2);
    }
}

TEST_F(MainMenuTest, PedalKeyItemsReportTheirKey) {
    menu.Item("mnuCtrl").Click();
    menu.Item("mnuShift").Click();
    menu.Item("mnuOff").Click();
    EXPECT_THAT(actions.calls, ElementsAre("pedal 17", "pedal 16", "pedal -1"));
}

TEST_F(MainMenuTest, CheckPedalKeyMarksTheMatchingChoiceOrNone) {
    struct Case {
        int32_t key;
        std::vector<std::string> checked;
    };
    const Case cases[] = {
        {17, {"Use &Ctrl"}},
        {16, {"Use &Shift"}},
        {-1, {"&Off"}},
        {91, {}},
    };
    for (const Case& c : cases) {
        menu.CheckPedalKey(-1);
        menu.CheckPedalKey(c.key);
        std::vector<std::string> checked = CheckedCaptions(menu.Item("mnuPedal"));
        EXPECT_EQ(checked, c.checked) << c.key;
    }
}

TEST_F(MainMenuTest, SkinItemsAreAddedByNameAndReportThemselves) {
    EXPECT_EQ(menu.Item("mnuSkin").Count(), 0u);
    MenuItem& item = menu.AddSkinItem("Zevizi");
    EXPECT_EQ(item.Caption(), "Zevizi");
    EXPECT_EQ(item.Hint(), "Zevizi");
    EXPECT_FALSE(item.AutoCheck());
    EXPECT_FALSE(item.RadioItem());
    item.Click();
    EXPECT_EQ(actions.skinItem, &item);
    EXPECT_THAT(actions.calls, ElementsAre("skin Zevizi"));
}

TEST_F(MainMenuTest, TheTrayLookHidesSkinZoomAndVerticalAndRenamesMinimize) {
    menu.ShowTrayLook(true);
    std::vector<std::string> hidden;
    for (std::size_t i = 0; i < menu.Root().Count(); ++i) {
        if (!menu.Root()[i].Visible()) hidden.push_back(menu.Root()[i].Name());
    }
    EXPECT_THAT(hidden, ElementsAre("mnuSkin", "mnuZoom", "mnuVertical"));
    EXPECT_EQ(menu.Item("mnuMinimize").Caption(), "&Restore");

    menu.ShowTrayLook(false);
    for (std::size_t i = 0; i < menu.Root().Count(); ++i) EXPECT_TRUE(menu.Root()[i].Visible());
    EXPECT_EQ(menu.Item("mnuMinimize").Caption(), "&Minimize");
}

TEST_F(MainMenuTest, KeyCommandsClickTheirItems) {
    struct Case {
        KeyCommand command;
        const char* name;
    };
    const Case cases[] = {
        {KeyCommand::Enabled, "mnuEnabled"},
        {KeyCommand::C2, "C2"},
        {KeyCommand::C3, "C3"},
        {KeyCommand::C4, "C4"},
        {KeyCommand::C5, "C5"},
        {KeyCommand::C6, "C6"},
        {KeyCommand::Push, "mnuPush"},
        {KeyCommand::ZoomIn, "mnuZoomIn"},
        {KeyCommand::ZoomOut, "mnuZoomOut"},
        {KeyCommand::Settings, "mnuSettings"},
    };
    for (const Case& c : cases) EXPECT_EQ(&menu.CommandItem(c.command), &menu.Item(c.name));

    menu.Click(KeyCommand::Enabled);
    EXPECT_FALSE(menu.Item("mnuEnabled").Checked());
    EXPECT_THAT(actions.calls, ElementsAre("enabled"));
}
