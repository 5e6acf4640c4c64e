#include "framework/MenuModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using fw::MenuItem;

namespace {

// Five radio items of one group under one submenu, the middle one checked.
struct RadioMenu {
    MenuItem root{"", "root"};
    MenuItem& submenu = root.Add("&Sub", "sub");
    MenuItem* items[5]{};

    RadioMenu() {
        for (int i = 0; i < 5; ++i) {
            items[i] = &submenu.Add("Item " + std::to_string(i))
                            .SetAutoCheck(true)
                            .SetRadioItem(true)
                            .SetGroupIndex(1);
        }
        items[2]->SetChecked(true);
    }

    std::vector<bool> Marks() const {
        std::vector<bool> marks;
        for (const MenuItem* item : items) marks.push_back(item->Checked());
        return marks;
    }
};

} // namespace

TEST(MenuItemClick, AnAutoCheckItemFlipsItsMarkBeforeItsHandlerRuns) {
    MenuItem root;
    std::vector<bool> seenByHandler;
    MenuItem& item = root.Add("&Vertical").SetAutoCheck(true).OnClick([&](MenuItem& clicked) {
        seenByHandler.push_back(clicked.Checked());
    });

    item.Click();
    item.Click();

    EXPECT_THAT(seenByHandler, testing::ElementsAre(true, false));
    EXPECT_FALSE(item.Checked());
}

TEST(MenuItemClick, APlainItemKeepsItsMarkAndPassesItselfToTheHandler) {
    MenuItem root;
    MenuItem* received = nullptr;
    MenuItem& item =
        root.Add("&Push").SetChecked(true).OnClick([&](MenuItem& clicked) { received = &clicked; });

    item.Click();

    EXPECT_EQ(received, &item);
    EXPECT_TRUE(item.Checked());
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

TEST(MenuItemRadio, CheckingARadioItemUnchecksTheOthersOfItsGroup) {
    RadioMenu menu;
    menu.items[4]->SetChecked(true);
    EXPECT_THAT(menu.Marks(), testing::ElementsAre(false, false, false, false, true));
}

TEST(MenuItemRadio, ClickingAnUncheckedRadioItemMovesTheMark) {
    RadioMenu menu;
    menu.items[0]->Click();
    EXPECT_THAT(menu.Marks(), testing::ElementsAre(true, false, false, false, false));
}

TEST(MenuItemRadio, ClickingTheCheckedAutoCheckItemUnchecksItUnlessTheHandlerChecksItAgain) {
    RadioMenu menu;
    menu.items[2]->Click();
    EXPECT_THAT(menu.Marks(), testing::Each(false));

    menu.items[2]->SetChecked(true);
    bool checkedInHandler = true;
    menu.items[2]->OnClick([&](MenuItem& item) {
        checkedInHandler = item.Checked();
        item.SetChecked(true);
    });
    menu.items[2]->Click();
    EXPECT_FALSE(checkedInHandler);
    EXPECT_THAT(menu.Marks(), testing::ElementsAre(false, false, true, false, false));
}

TEST(MenuItemRadio, OtherGroupsPlainItemsAndOtherSubmenusKeepTheirMarks) {
    RadioMenu menu;
    MenuItem& otherGroup = menu.submenu.Add("g2").SetRadioItem(true).SetGroupIndex(2);
    otherGroup.SetChecked(true);
    MenuItem& plain = menu.submenu.Add("plain").SetGroupIndex(1).SetChecked(true);
    MenuItem& elsewhere = menu.root.Add("other").Add("x").SetRadioItem(true).SetGroupIndex(1);
    elsewhere.SetChecked(true);

    menu.items[0]->SetChecked(true);

    EXPECT_TRUE(otherGroup.Checked());
    EXPECT_TRUE(plain.Checked());
    EXPECT_TRUE(elsewhere.Checked());
    EXPECT_THAT(menu.Marks(), testing::ElementsAre(true, false, false, false, false));
}

TEST(MenuItemRadio, ACheckedItemJoiningAGroupTakesTheMarkFromIt) {
    RadioMenu menu;
    MenuItem& late = menu.submenu.Add("late").SetChecked(true);
    late.SetRadioItem(true).SetGroupIndex(1);
    EXPECT_THAT(menu.Marks(), testing::Each(false));
    EXPECT_TRUE(late.Checked());
}

TEST(MenuItemTree, FindSearchesDepthFirstAndIncludesTheItemItself) {
    MenuItem root{"", "Menu"};
    MenuItem& a = root.Add("A", "a");
    MenuItem& deep = a.Add("Deep", "same");
    root.Add("Later", "same");

    EXPECT_EQ(root.Find("Menu"), &root);
    EXPECT_EQ(root.Find("a"), &a);
    EXPECT_EQ(root.Find("same"), &deep);
    EXPECT_EQ(root.Find("missing"), nullptr);
}

TEST(MenuItemTree, TheShapeVersionChangesWhenItemsAreAddedOrRemovedAnywhere) {
    MenuItem root;
    MenuItem& sub = root.Add("sub");
    const uint32_t before = root.ShapeVersion();

    sub.Add("x");
    const uint32_t afterAdd = root.ShapeVersion();
    sub.SetCaption("renamed").SetChecked(true).SetVisible(false);
    const uint32_t afterProperties = root.ShapeVersion();
    sub.Clear();

    EXPECT_NE(afterAdd, before);
    EXPECT_EQ(afterProperties, afterAdd);
    EXPECT_NE(root.ShapeVersion(), afterAdd);
    EXPECT_EQ(sub.ShapeVersion(), root.ShapeVersion());
    EXPECT_EQ(sub.Count(), 0u);
}
