#include "framework/win/PopupMenu.h"
#include "mainwindow/MainMenu.h"
#include "support/IgnoredMenuActions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zevaver {

using fw::MenuItem;
using fw::PopupMenu;

namespace {

// What the platform menu holds at one position, read back as a program would see it.
struct ReadItem {
    std::string caption;
    UINT type = 0;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
};

ReadItem Read(HMENU menu, int position) {
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) << position;
    return ReadItem{text, info.fType, info.fState, info.wID, info.hSubMenu};
}

std::vector<std::string> Captions(HMENU menu) {
    std::vector<std::string> captions;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const ReadItem item = Read(menu, i);
        captions.push_back((item.type & MFT_SEPARATOR) ? "-" : item.caption);
    }
    return captions;
}

struct NoActions final : fakes::IgnoredMenuActions {
    std::vector<int32_t> transposed;
    void TransposeClick(int32_t value) override { transposed.push_back(value); }
};

class PopupMenuTest : public testing::Test {
protected:
    NoActions actions;
    MainMenu menu{actions, {"Mapper", "Synth"}};
    PopupMenu popup;
};

} // namespace

TEST_F(PopupMenuTest, TheTopLevelShowsEveryVisibleItemWithItsCaption) {
    ASSERT_TRUE(popup.Build(menu.Root()));
    EXPECT_THAT(Captions(popup.Handle()),
                testing::ElementsAre("&Device", "&Channel", "-", "&Base octave", "&Transpose", "-",
                                     "&Pedal", "-", "&Skin", "&Zoom", "&Vertical", "Key &names",
                                     "Keys by &position", "Edit &keys", "Save layout &as...",
                                     "Revert to s&hipped layout", "-", "Sett&ings...", "-",
                                     "&Enabled", "&Minimize", "C&lose"));
    EXPECT_NE(Read(popup.Handle(), 0).submenu, nullptr);
    EXPECT_EQ(Read(popup.Handle(), 8).submenu, nullptr); // an empty Skin submenu is a plain item
    EXPECT_TRUE(Read(popup.Handle(), 19).state & MFS_CHECKED);
    EXPECT_TRUE(Read(popup.Handle(), 15).state & MFS_DISABLED) << "nothing to revert yet";
    EXPECT_FALSE(Read(popup.Handle(), 10).state & MFS_CHECKED);
}

TEST_F(PopupMenuTest, HiddenItemsAreLeftOutAndRenamedItemsFollowTheModel) {
    menu.ShowTrayLook(true);
    ASSERT_TRUE(popup.Build(menu.Root()));
    EXPECT_THAT(Captions(popup.Handle()),
                testing::ElementsAre("&Device", "&Channel", "-", "&Base octave", "&Transpose", "-",
                                     "&Pedal", "-", "Keys by &position", "Save layout &as...",
                                     "Revert to s&hipped layout", "-", "Sett&ings...", "-",
                                     "&Enabled", "&Restore", "C&lose"));
}

TEST_F(PopupMenuTest, TransposeShowsRadioChecksDisabledBlanksAndTwoColumnBreaks) {
    ASSERT_TRUE(popup.Build(menu.Root()));
    const HMENU transpose = Read(popup.Handle(), 4).submenu;
    ASSERT_EQ(GetMenuItemCount(transpose), 75);

    std::vector<int> breaks, blanks, checked;
    for (int i = 0; i < 75; ++i) {
        const ReadItem item = Read(transpose, i);
        EXPECT_TRUE(item.type & MFT_RADIOCHECK) << i;
        EXPECT_FALSE(item.type & MFT_SEPARATOR) << i;
        if (item.type & MFT_MENUBARBREAK) breaks.push_back(i);
        if (item.state & MFS_DISABLED) {
            blanks.push_back(i);
            EXPECT_EQ(item.caption, "") << i;
        }
        if (item.state & MFS_CHECKED) checked.push_back(i);
    }
    EXPECT_THAT(breaks, testing::ElementsAre(25, 50));
    EXPECT_THAT(blanks, testing::ElementsAre(37, 62));
    EXPECT_THAT(checked, testing::ElementsAre(12));
    EXPECT_EQ(Read(transpose, 25).caption, "+24");
}

TEST_F(PopupMenuTest, OnlyRadioItemsAreDrawnWithARadioCheck) {
    menu.CheckPedalKey(17);
    menu.SetPushChecked(true);
    ASSERT_TRUE(popup.Build(menu.Root()));
    const HMENU pedal = Read(popup.Handle(), 6).submenu;
    ASSERT_EQ(GetMenuItemCount(pedal), 5);

    const ReadItem push = Read(pedal, 0);
    EXPECT_FALSE(push.type & MFT_RADIOCHECK);
    EXPECT_TRUE(push.state & MFS_CHECKED);
    EXPECT_TRUE(Read(pedal, 1).type & MFT_SEPARATOR);
    const ReadItem ctrl = Read(pedal, 2);
    EXPECT_EQ(ctrl.caption, "Use &Ctrl");
    EXPECT_TRUE(ctrl.type & MFT_RADIOCHECK);
    EXPECT_TRUE(ctrl.state & MFS_CHECKED);
    EXPECT_FALSE(Read(pedal, 3).state & MFS_CHECKED);
}

TEST_F(PopupMenuTest, ARebuildFollowsChangedCheckMarks) {
    ASSERT_TRUE(popup.Build(menu.Root()));
    menu.CheckTranspose(-7);
    ASSERT_TRUE(popup.Build(menu.Root()));
    const HMENU transpose = Read(popup.Handle(), 4).submenu;
    EXPECT_FALSE(Read(transpose, 12).state & MFS_CHECKED);
    EXPECT_TRUE(Read(transpose, 19).state & MFS_CHECKED);
}

TEST_F(PopupMenuTest, CommandIdsLeadBackToTheirModelItems) {
    ASSERT_TRUE(popup.Build(menu.Root()));
    const HMENU transpose = Read(popup.Handle(), 4).submenu;
    const UINT plus17 = Read(transpose, 32).id;
    const UINT close = Read(popup.Handle(), 21).id;

    EXPECT_EQ(popup.ItemForCommand(plus17), &menu.Item("mnuTranspose")[32]);
    EXPECT_EQ(popup.ItemForCommand(close), &menu.Item("mnuClose"));
    EXPECT_EQ(popup.ItemForCommand(0), nullptr);
    EXPECT_EQ(popup.ItemForCommand(100000), nullptr);

    EXPECT_TRUE(popup.ClickCommand(plus17));
    EXPECT_THAT(actions.transposed, testing::ElementsAre(17));
    EXPECT_TRUE(menu.Item("mnuTranspose")[32].Checked());
    EXPECT_FALSE(menu.Item("mnuTranspose")[12].Checked());
}

TEST_F(PopupMenuTest, CommandIdsGoStaleWhenTheModelChangesShape) {
    ASSERT_TRUE(popup.Build(menu.Root()));
    const UINT close = Read(popup.Handle(), 21).id;
    menu.AddSkinItem("Zevizi");
    EXPECT_EQ(popup.ItemForCommand(close), nullptr);
    EXPECT_FALSE(popup.ClickCommand(close));

    ASSERT_TRUE(popup.Build(menu.Root()));
    const HMENU skin = Read(popup.Handle(), 8).submenu;
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(popup.ItemForCommand(Read(skin, 0).id), &menu.Item("mnuSkin")[0]);
}

} // namespace zevaver
