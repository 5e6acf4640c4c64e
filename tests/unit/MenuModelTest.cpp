#include "framework/MenuModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zevaver {

using fw::MenuItem;
using testing::ElementsAre;

namespace {

// Five auto-check radio items of group 1 in one submenu, the middle one checked.
struct RadioMenu {
    RadioMenu() {
        for (MenuItem*& item : items) {
            item = &submenu.Add("Item").SetAutoCheck(true).SetRadioItem(true).SetGroupIndex(1);
        }
        items[2]->SetChecked(true);
    }
    std::vector<bool> Marks() const {
        std::vector<bool> marks;
        for (const MenuItem* item : items) marks.push_back(item->Checked());
        return marks;
    }

    MenuItem root{"", "root"};
    MenuItem& submenu = root.Add("&Sub", "sub");
    MenuItem* items[5]{};
};

} // namespace

TEST(MenuItemClick, AnAutoCheckItemFlipsItsMarkBeforeItsHandlerRunsAndAPlainOneKeepsIt) {
    MenuItem root;
    std::vector<bool> seen;
    MenuItem* received = nullptr;
    const auto handler = [&](MenuItem& clicked) {
        seen.push_back(clicked.Checked());
        received = &clicked;
    };
    MenuItem& autoCheck = root.Add("&Vertical").SetAutoCheck(true).OnClick(handler);
    MenuItem& plain = root.Add("&Push").SetChecked(true).OnClick(handler);
    autoCheck.Click();
    autoCheck.Click();
    plain.Click();
    EXPECT_THAT(seen, ElementsAre(true, false, true));
    EXPECT_EQ(received, &plain);
    EXPECT_TRUE(plain.Checked());
}

TEST(MenuItemClick, DisabledItemsAndSeparatorsDoNothing) {
    MenuItem root;
    int calls = 0;
    MenuItem& disabled =
        root.Add("").SetEnabled(false).SetAutoCheck(true).OnClick([&](MenuItem&) { ++calls; });
    MenuItem& separator =
        root.AddSeparator().SetAutoCheck(true).OnClick([&](MenuItem&) { ++calls; });
    disabled.Click();
    separator.Click();
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(disabled.Checked());
    EXPECT_FALSE(separator.Checked());
}

TEST(MenuItemRadio, CheckingOrClickingARadioItemMovesTheMarkWithinItsGroupAndSubmenuOnly) {
    RadioMenu menu;
    MenuItem& otherGroup = menu.submenu.Add("g2").SetRadioItem(true).SetGroupIndex(2);
    otherGroup.SetChecked(true);
    MenuItem& plain = menu.submenu.Add("plain").SetGroupIndex(1).SetChecked(true);
    MenuItem& elsewhere = menu.root.Add("other").Add("x").SetRadioItem(true).SetGroupIndex(1);
    elsewhere.SetChecked(true);

    menu.items[4]->SetChecked(true);
    EXPECT_THAT(menu.Marks(), ElementsAre(false, false, false, false, true));
    menu.items[0]->Click();
    EXPECT_THAT(menu.Marks(), ElementsAre(true, false, false, false, false));
    EXPECT_TRUE(otherGroup.Checked());
    EXPECT_TRUE(plain.Checked());
    EXPECT_TRUE(elsewhere.Checked());

    MenuItem& late = menu.submenu.Add("late").SetChecked(true);
    late.SetRadioItem(true).SetGroupIndex(1);
    EXPECT_THAT(menu.Marks(), testing::Each(false)) << "a checked item joining takes the mark";
}

TEST(MenuItemRadio, ClickingTheCheckedItemUnchecksItUnlessTheHandlerChecksItAgain) {
    RadioMenu menu;
    menu.items[2]->Click();
    EXPECT_THAT(menu.Marks(), testing::Each(false));

    menu.items[2]->SetChecked(true).OnClick([](MenuItem& item) {
        EXPECT_FALSE(item.Checked());
        item.SetChecked(true);
    });
    menu.items[2]->Click();
    EXPECT_THAT(menu.Marks(), ElementsAre(false, false, true, false, false));
}

TEST(MenuItemTree, TheShapeVersionChangesOnlyWhenItemsAreAddedOrRemovedAnywhere) {
    MenuItem root;
    MenuItem& sub = root.Add("sub");
    const uint32_t before = root.ShapeVersion();
    sub.Add("x");
    const uint32_t afterAdd = root.ShapeVersion();
    sub.SetCaption("renamed").SetChecked(true).SetVisible(false);
    EXPECT_NE(afterAdd, before);
    EXPECT_EQ(root.ShapeVersion(), afterAdd);
    sub.Clear();
    EXPECT_NE(root.ShapeVersion(), afterAdd);
    EXPECT_EQ(sub.ShapeVersion(), root.ShapeVersion());
    EXPECT_EQ(sub.Count(), 0u);
}

} // namespace zevaver
