#include "framework/MenuLook.h"

#include <gtest/gtest.h>

namespace zevaver {

using fw::MenuItem;
using fw::MenuLook;

namespace {

// A small menu: a submenu of two radio items and a plain item.
struct SmallMenu {
    SmallMenu() {
        sub.Add("One").SetRadioItem(true).SetChecked(true);
        sub.Add("Two").SetRadioItem(true);
        root.Add("&Minimize", "mnuMinimize");
    }
    MenuItem root;
    MenuItem& sub = root.Add("&Sub", "sub");
};

} // namespace

TEST(MenuLook, MenusThatLookTheSameHaveTheSameLookAndEveryShownChangeChangesIt) {
    SmallMenu a, b;
    EXPECT_EQ(MenuLook(a.root), MenuLook(b.root));
    const uint64_t before = MenuLook(a.root);
    const auto changes = [&](const char* what, auto change, auto undo) {
        change();
        EXPECT_NE(MenuLook(a.root), before) << what;
        undo();
        EXPECT_EQ(MenuLook(a.root), before) << what << ", undone";
    };
    MenuItem& minimize = a.root[1];
    MenuItem& two = a.sub[1];
    changes(
        "a caption", [&] { minimize.SetCaption("&Restore"); },
        [&] { minimize.SetCaption("&Minimize"); });
    changes(
        "a check mark deep down", [&] { two.SetChecked(true); },
        [&] { a.sub[0].SetChecked(true); });
    changes(
        "a greyed item", [&] { two.SetEnabled(false); }, [&] { two.SetEnabled(true); });
    changes(
        "a hidden item", [&] { a.sub.SetVisible(false); }, [&] { a.sub.SetVisible(true); });
    changes(
        "a column break", [&] { two.SetBreak(true); }, [&] { two.SetBreak(false); });
}

TEST(MenuLook, TheSameItemsNestedOrSplitOtherwiseLookDifferent) {
    MenuItem flat, nested, joined;
    flat.Add("A");
    flat.Add("B");
    nested.Add("A").Add("B");
    joined.Add("AB");
    EXPECT_NE(MenuLook(flat), MenuLook(nested));
    EXPECT_NE(MenuLook(flat), MenuLook(joined));
    // The names are not shown.
    MenuItem named;
    named.Add("A", "first");
    named.Add("B", "second");
    EXPECT_EQ(MenuLook(flat), MenuLook(named));
}

} // namespace zevaver
