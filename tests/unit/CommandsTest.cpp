#include "engine/Commands.h"
#include "mainwindow/MainMenu.h"
#include "support/IgnoredMenuActions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zevaver {

namespace {

TEST(CommandTable, EachShortcutSlotAndCommandKeyBelongsToOneCommand) {
    std::set<int> slots;
    std::set<std::string> valueNames;
    std::set<uint16_t> keys;
    for (const CommandInfo& command : CommandTable) {
        if (command.shortcutSlot != NoShortcutSlot) {
            EXPECT_TRUE(slots.insert(command.shortcutSlot).second) << command.itemName;
            ASSERT_NE(command.shortcutValueName, nullptr) << command.itemName;
            EXPECT_TRUE(valueNames.insert(command.shortcutValueName).second) << command.itemName;
        } else {
            EXPECT_EQ(command.shortcutValueName, nullptr) << command.itemName;
            EXPECT_EQ(command.defaultShortcut, 0) << command.itemName;
        }
        if (command.commandKey != 0) {
            EXPECT_TRUE(keys.insert(command.commandKey).second) << command.itemName;
        }
    }
    EXPECT_EQ(slots, (std::set<int>{0, 1, 2, 3, 4, 5}));
}

TEST(CommandTable, TheF2ToF6KeysAndSlotsOneToFiveChooseC2ToC6) {
    const KeyCommand octaves[] = {KeyCommand::C2, KeyCommand::C3, KeyCommand::C4, KeyCommand::C5,
                                  KeyCommand::C6};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(CommandForKey(static_cast<uint16_t>(vk::F2 + i)), octaves[i]);
        EXPECT_EQ(ShortcutCommand(i + 1).id, octaves[i]);
        EXPECT_EQ(CommandForBaseOctave(12 * (i - 2)), octaves[i]);
    }
    EXPECT_EQ(CommandForKey(0), std::nullopt);
    EXPECT_EQ(ShortcutCommand(0).id, KeyCommand::Enabled);
}

TEST(CommandTable, EveryCommandHasItsItemInTheMenu) {
    fakes::IgnoredMenuActions actions;
    MainMenu menu(actions, {"Mapper"});
    for (const CommandInfo& command : CommandTable) {
        const fw::MenuItem& item = menu.CommandItem(command.id);
        EXPECT_EQ(item.Name(), command.itemName);
        EXPECT_EQ(item.Caption(), command.caption);
        EXPECT_EQ(&menu.Item(command.itemName), &item);
    }
}

} // namespace

} // namespace zevaver
