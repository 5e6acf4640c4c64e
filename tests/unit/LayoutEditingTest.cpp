// "Edit keys", "Save layout as..." and "Key names" as the application core carries them
// out, with the window, the MIDI library, the registry and the layout files in memory and
// the engine on the window's own thread.
#include "keyboard/KeyShapes.h"
#include "mainwindow/AppCore.h"
#include "support/FakeAppHost.h"
#include "support/FakeFiles.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>

namespace zevaver {

namespace {

constexpr const char* Piano = "Layouts/Piano.txt";
constexpr const char* PianoText = "Piano\r\n\r\nQ = 60\r\n#188 = 60 comma\r\nZ = 48\r\n";

class Painter final : public TextPainter {
public:
    TextSize Measure(const std::string& text, int size) override {
        return {static_cast<int>(text.size()) * size * 4 / 5, size + 3};
    }
    void Draw(const std::string&, int, int, int, fw::ColorRef, const fw::PixelRect&) override {}
};

// The window's dialogs answered from a script.
class Host final : public fakes::FakeAppHost {
public:
    TextPainter* LabelPainter() override { return &painter; }
    std::optional<std::string> AskLayoutName(const std::string& name) override {
        asked.push_back(name);
        if (whileAsked) whileAsked();
        if (names.empty()) return std::nullopt;
        std::optional<std::string> answer = names.front();
        names.pop_front();
        return answer;
    }
    bool AskReplaceLayout(const std::string& name) override {
        replaceAsked.push_back(name);
        return replace;
    }
    Painter painter;
    std::deque<std::optional<std::string>> names;
    std::vector<std::string> asked, replaceAsked;
    bool replace = false;
    std::function<void()> whileAsked; // the user types into the box
};

class LayoutEditing : public testing::Test {
protected:
    LayoutEditing() {
        files.files[Piano] = {PianoText};
        core.Start();
        (void)midi.Take();
    }
    // A left click on the key of a note, as the window passes it on.
    void Click(int note) {
        const auto shape = KeyShapeOf(core.Keys(), note);
        ASSERT_TRUE(shape);
        const int x = core.Keys().Left() + (shape->face.left + shape->face.right) / 2;
        const int y = core.Keys().Top() + (shape->face.top + shape->face.bottom) / 2;
        core.MouseDown(TMouseButton::Left, TShiftState::Left, x, y);
        core.MouseUp(TMouseButton::Left, TShiftState::None, x, y);
    }
    void Tap(int key, uint32_t scanCode) {
        core.KeyWatched(key, static_cast<int32_t>(scanCode << 16 | 1));
        core.KeyWatched(key, static_cast<int32_t>(0xC0000001u | scanCode << 16));
    }
    const std::string& File(const char* path = Piano) { return files.Text(path); }
    const std::vector<PlacedLabel>& Labels() { return core.Marks().Labels(core.Keys()); }
    int NoteOf(const std::string& name) {
        for (const PlacedLabel& label : Labels())
            if (label.text == name) return label.note;
        return -1;
    }

    Host host;
    fakes::FakeMidiOut midi;
    fakes::FakeRegistry registry;
    fakes::FakeFiles files;
    AppCore core{host, midi, registry, files};
};

TEST_F(LayoutEditing, AKeyPressedAfterAClickIsWrittenIntoTheLayoutFileAtOnce) {
    core.Menu().Click(KeyCommand::EditKeys);
    Click(65);
    EXPECT_EQ(core.PickedNote(), 65);
    EXPECT_EQ(core.Marks().Picked(), 65) << "the key stays marked";
    Tap('F', 0x21);
    EXPECT_EQ(File(), std::string(PianoText) + "F = 65\r\n") << "every other line kept";
    EXPECT_EQ(core.Marks().Picked(), NoNote);
    EXPECT_EQ(midi.Take().size(), 2u) << "the click's note and its end; F played nothing";

    Click(62);
    Tap('Q', 0x10);
    EXPECT_EQ(File(), "Piano\r\n\r\nQ = 62\r\n#188 = 60 comma\r\nZ = 48\r\nF = 65\r\n");

    EXPECT_TRUE(core.KeyDown(vk::Escape, {}));
    EXPECT_FALSE(core.EditingKeys());
    EXPECT_FALSE(core.Menu().CommandItem(KeyCommand::EditKeys).Checked());
    (void)midi.Take();
    Tap('F', 0x21);
    EXPECT_EQ(midi.Take(), (std::vector<std::string>{"send 1 007F4190", "send 1 00004180"}));
}

TEST_F(LayoutEditing, AFileThatCannotBeWrittenIsReportedOnceAndItsKeysCanBeSavedAsAnother) {
    files.unwritable = {Piano};
    core.Menu().Click(KeyCommand::EditKeys);
    Click(65);
    Tap('F', 0x21);
    Click(67);
    Tap('W', 0x11);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("\"Layouts\\Piano.txt\" could not be written"), std::string::npos)
        << host.errors[0];
    EXPECT_EQ(File(), PianoText) << "nothing lost in the file";
    EXPECT_EQ(core.State().KeyNotes['W'], 67) << "the keys play as mapped";

    host.errors.clear();
    host.names = {" My:Piano", " My Piano "};
    core.Menu().Click(KeyCommand::SaveLayoutAs);
    EXPECT_EQ(host.asked, (std::vector<std::string>{"Piano", "My:Piano"}));
    ASSERT_EQ(host.errors.size(), 1u) << "the name a file cannot have";
    EXPECT_EQ(core.State().Settings.Layout, "My Piano");
    EXPECT_EQ(File("Layouts/My Piano.txt"), std::string(PianoText) + "F = 65\r\nW = 67\r\n");
    Click(69);
    Tap('F', 0x21);
    EXPECT_EQ(File("Layouts/My Piano.txt"), std::string(PianoText) + "F = 69\r\nW = 67\r\n");
    EXPECT_EQ(host.errors.size(), 1u);
}

TEST_F(LayoutEditing, KeysTypedIntoTheNameBoxPlayNothingAndPlayAgainOnceItIsClosed) {
    host.whileAsked = [this] { Tap('Q', 0x10); };
    core.Menu().Click(KeyCommand::SaveLayoutAs);
    EXPECT_TRUE(midi.Take().empty());
    Tap('Q', 0x10);
    EXPECT_EQ(midi.Take(), (std::vector<std::string>{"send 1 007F3C90", "send 1 00003C80"}));
}

TEST_F(LayoutEditing, SavingUnderAnotherLayoutsNameAsksFirst) {
    files.files["Layouts/Other.txt"] = {"Q = 72\r\n"};
    host.names = {"Other"};
    core.Menu().Click(KeyCommand::SaveLayoutAs);
    EXPECT_EQ(host.replaceAsked, (std::vector<std::string>{"Other"}));
    EXPECT_EQ(File("Layouts/Other.txt"), "Q = 72\r\n") << "No keeps it";
    EXPECT_EQ(core.State().Settings.Layout, "Piano") << "cancelled at last";

    host.names = {"Other"};
    host.replace = true;
    core.Menu().Click(KeyCommand::SaveLayoutAs);
    EXPECT_EQ(File("Layouts/Other.txt"), PianoText);
    EXPECT_EQ(core.State().Settings.Layout, "Other");
}

TEST_F(LayoutEditing, KeysTakenForMappingRunNoCommandAndMenusAndTheTrayEndThePick) {
    host.active = true;
    core.Menu().Click(KeyCommand::EditKeys);
    Click(65);
    Tap(vk::Space, 0x39);
    EXPECT_TRUE(core.KeyDown(vk::Space, {})) << "the key's own message does nothing more";
    EXPECT_FALSE(core.Menu().CommandItem(KeyCommand::Push).Checked());
    EXPECT_EQ(core.State().KeyNotes[vk::Space], 65);
    EXPECT_TRUE(core.KeyDown(vk::Space, {})) << "pressed again it plays, and latches nothing";
    EXPECT_FALSE(core.Menu().CommandItem(KeyCommand::Push).Checked());

    Click(60);
    core.ShowPopup();
    EXPECT_EQ(core.PickedNote(), KeyEditing::NoPick);
    Tap('F', 0x21);
    EXPECT_EQ(core.State().KeyNotes['F'], 0);

    core.MinimizeApplication();
    EXPECT_FALSE(core.EditingKeys());
}

TEST_F(LayoutEditing, KeyNamesFollowTheLayoutOctaveAndTranspositionAndAreKept) {
    EXPECT_TRUE(Labels().empty());
    core.Menu().Click(KeyCommand::KeyNames);
    EXPECT_TRUE(core.State().Settings.KeyNames);
    EXPECT_EQ(NoteOf("Q"), 60);
    EXPECT_EQ(NoteOf(","), 60);
    core.SetTranspose(2);
    EXPECT_EQ(NoteOf("Q"), 62);
    core.Menu().Click(KeyCommand::C5);
    EXPECT_EQ(NoteOf("Z"), 62) << "48 + 12 + 2, the keyboard starting at 60";

    core.Menu().Click(KeyCommand::EditKeys);
    Click(65);
    Tap('F', 0x21);
    EXPECT_EQ(NoteOf("F"), 65) << "a mapped key shows at once";

    core.Stop();
    EXPECT_EQ(registry.User()["Key Names"], "Yes");
    AppCore again{host, midi, registry, files};
    again.Start();
    EXPECT_TRUE(again.Menu().CommandItem(KeyCommand::KeyNames).Checked());
    EXPECT_TRUE(again.Marks().ShowsNames());
}

TEST_F(LayoutEditing, AnEditedLayoutIsTheUsersOwnCopyUntilRevertedToTheShippedOne) {
    files.userFolder = "User/Layouts/";
    const std::string own = "User/Layouts/Piano.txt";
    core.Menu().Click(KeyCommand::EditKeys);
    Click(65);
    Tap('F', 0x21);
    EXPECT_EQ(File(), PianoText) << "the shipped file is never changed";
    EXPECT_EQ(File(own.c_str()), std::string(PianoText) + "F = 65\r\n");
    Click(67);
    Tap('F', 0x21);
    EXPECT_EQ(File(own.c_str()), std::string(PianoText) + "F = 67\r\n") << "one line changes";

    // The copy stands in front of the shipped layout at the next start.
    core.Stop();
    AppCore again{host, midi, registry, files};
    again.Start();
    EXPECT_EQ(again.State().KeyNotes['F'], 67);
    again.MenuOpening();
    fw::MenuItem& revert = again.Menu().CommandItem(KeyCommand::RevertLayout);
    EXPECT_TRUE(revert.Enabled());
    revert.Click();
    EXPECT_EQ(files.files.count(own), 0u);
    EXPECT_EQ(again.State().KeyNotes['F'], 0) << "the shipped mapping, at once";
    EXPECT_EQ(again.State().KeyNotes['Q'], 60);
    again.MenuOpening();
    EXPECT_FALSE(revert.Enabled()) << "nothing to revert";

    // A layout of the user's own has no shipped one to go back to; it is saved in their
    // folder too.
    host.names = {"Mine"};
    again.Menu().Click(KeyCommand::SaveLayoutAs);
    EXPECT_EQ(File("User/Layouts/Mine.txt"), PianoText);
    again.MenuOpening();
    EXPECT_FALSE(revert.Enabled());
}

TEST_F(LayoutEditing, TheWindowSaysItIsEditingAndWhatEachKeyChanged) {
    EXPECT_EQ(core.Marks().Notice(), "");
    core.Menu().Click(KeyCommand::EditKeys);
    EXPECT_NE(core.Marks().Notice().find("click a key"), std::string::npos)
        << "editing shows before any pick";
    Click(65);
    EXPECT_EQ(core.Marks().Notice(),
              "Press the computer key for F5. Delete removes the keys that play it.");
    Tap('Q', 0x10);
    EXPECT_EQ(core.Marks().Notice(), "Q plays F5 now, no longer C5.");
    Click(64);
    Tap('F', 0x21);
    EXPECT_EQ(core.Marks().Notice(), "F plays E5 now.");
    Click(62);
    Tap(vk::Space, 0x39);
    EXPECT_EQ(core.Marks().Notice(),
              "Space plays D5 now; in this window it no longer latches the pedal.");
    Click(48);
    Tap(vk::Delete, 0x53);
    EXPECT_EQ(core.Marks().Notice(), "No computer key plays C4 now.");
    core.Menu().Click(KeyCommand::EditKeys);
    EXPECT_EQ(core.Marks().Notice(), "");
}

TEST_F(LayoutEditing, ACommandKeyThatTheLayoutPlaysPlaysRatherThanRunItsCommand) {
    host.active = true;
    core.Menu().Click(KeyCommand::EditKeys);
    Click(65);
    Tap(vk::Space, 0x39);
    EXPECT_TRUE(core.KeyDown(vk::Space, {}));
    core.Menu().Click(KeyCommand::EditKeys);

    EXPECT_TRUE(core.KeyDown(vk::Space, {}, 0x00390001)) << "consumed: it played";
    EXPECT_FALSE(core.Menu().CommandItem(KeyCommand::Push).Checked());
    EXPECT_FALSE(core.KeyDown(vk::F9 + 1, {})) << "other keys as before";
    EXPECT_TRUE(core.KeyDown(vk::PageUp, {}));
    EXPECT_EQ(core.State().Transpose, 1) << "a command key the layout leaves alone";
}

TEST_F(LayoutEditing, KeysByPositionIsAMenuChoiceTheEngineAndTheNamesFollow) {
    EXPECT_TRUE(core.Menu().CommandItem(KeyCommand::KeysByPosition).Checked()) << "a new user";
    core.Menu().Click(KeyCommand::KeysByPosition);
    EXPECT_FALSE(core.State().Settings.KeysByPosition);
    (void)midi.Take();
    Tap('Q', 0x2C); // Q where the US Z lies: by its code now
    EXPECT_EQ(midi.Take(), (std::vector<std::string>{"send 1 007F3C90", "send 1 00003C80"}));
    core.Menu().Click(KeyCommand::KeysByPosition);
    Tap('Q', 0x2C);
    EXPECT_EQ(midi.Take(), (std::vector<std::string>{"send 1 007F3090", "send 1 00003080"}));

    core.Stop();
    EXPECT_EQ(registry.User()["Keys By Position"], "Yes");
}

} // namespace

} // namespace zevaver
