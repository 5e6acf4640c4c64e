// Mapping keys on the engine's side: what a key pressed while a note is picked does, with
// the engine wired as the program wires it and keystrokes as the hook reports them.
#include "engine/PlayingEngine.h"
#include "support/EnginePorts.h"
#include "support/FakeMidiOut.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zevaver {

namespace {

using Kind = play::LayoutEdit::Kind;

constexpr uint32_t LeftShiftDown = 0x002A0001, LeftShiftUp = 0xC02A0001;

class KeyEditingEngine : public ::testing::Test, protected EngineHost {
protected:
    KeyEditingEngine() {
        layout['Q'] = 60;
        layout[188] = 60;
        layout['Z'] = 48;
        layout[vk::Shift] = 40;
        layout[vk::Back] = 70;
        layout[vk::Escape] = 72;
        engine.Send(play::SetLayout{layout});
        (void)fakes::AttachDevice(engine, midi, 0);
        engine.Send(play::EditKeys{true});
        (void)midi.Take();
    }

    bool WakeEngine() noexcept override {
        engine.ProcessCommands();
        return true;
    }
    bool WakeWindow() noexcept override { return true; }
    bool IsMainWindowActive() override { return active; }
    bool IsKeyDown(int32_t) override { return false; }
    uint32_t EventTime() override { return 0; }

    void Down(int key, uint32_t flags = 1) { engine.KeyWatched(key, static_cast<int32_t>(flags)); }
    void Up(int key, uint32_t flags = 0xC0000001) {
        engine.KeyWatched(key, static_cast<int32_t>(flags));
    }
    void Tap(int key) {
        Down(key);
        Up(key);
    }
    // The notes started since last asked.
    std::vector<int> NotesOn() {
        std::vector<int> notes;
        for (const std::string& call : midi.Take()) {
            if (call.rfind("send ", 0) != 0) continue;
            const auto message =
                static_cast<uint32_t>(std::stoul(call.substr(call.size() - 8), nullptr, 16));
            if ((message & 0xF0u) == 0x90u) notes.push_back(static_cast<int>(message >> 8 & 0x7Fu));
        }
        return notes;
    }
    std::vector<play::LayoutEdit> Edits() {
        std::vector<play::LayoutEdit> edits;
        play::LayoutEdit edit;
        while (engine.TakeLayoutEdit(edit)) edits.push_back(edit);
        return edits;
    }
    static std::set<size_t> Changed(const play::LayoutEdit& edit) {
        std::set<size_t> entries;
        for (size_t e = 0; e < 256; ++e)
            if (edit.changed[e]) entries.insert(e);
        return entries;
    }

    KeyNoteTable layout{};
    fakes::FakeMidiOut midi;
    bool active = true;
    PlayingEngine engine{*this, midi};
};

TEST_F(KeyEditingEngine, APickedNoteTakesTheNextKeyAtTheOctaveAndTranspositionInForce) {
    Tap('Q');
    EXPECT_EQ(NotesOn(), std::vector<int>{60}) << "without a pick, keys play while editing";

    engine.Send(play::SetBaseOctave{12});
    engine.Send(play::SetTranspose{2});
    engine.Send(play::PickNote{79});
    EXPECT_EQ(engine.View().picked, 79);
    Tap('F');
    EXPECT_TRUE(NotesOn().empty()) << "the key being mapped does not play";
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].kind, Kind::Mapped);
    EXPECT_EQ(edits[0].entry, 'F');
    EXPECT_EQ(edits[0].key, 'F');
    EXPECT_TRUE(edits[0].inMainWindow);
    EXPECT_EQ(edits[0].layout, 1u);
    EXPECT_EQ(Changed(edits[0]), std::set<size_t>{'F'});
    EXPECT_EQ(edits[0].values['F'], 79 - 12 - 2) << "the layout holds notes relative to both";
    EXPECT_EQ(engine.View().picked, KeyEditing::NoPick) << "one key per pick";

    Tap('F');
    EXPECT_EQ(NotesOn(), std::vector<int>{79}) << "in force at once";
    EXPECT_TRUE(Edits().empty());
}

TEST_F(KeyEditingEngine, DeleteAndBackspaceUnmapEveryKeyOfThePickedNoteAndKeepThePick) {
    engine.Send(play::PickNote{60});
    Tap(vk::Delete);
    auto edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].kind, Kind::Removed);
    EXPECT_EQ(Changed(edits[0]), (std::set<size_t>{'Q', 188}));
    EXPECT_EQ(edits[0].values['Q'], 0);
    EXPECT_EQ(engine.View().picked, 60);

    Tap(vk::Back);
    EXPECT_TRUE(Edits().empty()) << "nothing left to remove";
    EXPECT_TRUE(NotesOn().empty()) << "Backspace does not play while a note is picked";

    engine.Send(play::EditKeys{false});
    Tap('Q');
    Tap(vk::Back);
    EXPECT_EQ(NotesOn(), std::vector<int>{70}) << "Q plays nothing, Backspace plays again";
}

TEST_F(KeyEditingEngine, ShortcutsThePedalKeyEscapeAndCombinationsAreNeverMapped) {
    engine.Send(play::SetShortcuts{DefaultShortcuts()});
    engine.Send(play::SetPedalKey{vk::Control});
    engine.Send(play::PickNote{65});
    Down(vk::Control);
    Tap(vk::F5); // Ctrl+F5: base octave C5, the pedal key counting as Ctrl
    Up(vk::Control);
    EXPECT_EQ(engine.View().baseOctave, 12);
    Tap(vk::Escape);
    Down(vk::Menu);
    Tap('Q'); // Alt+Q: a combination
    EXPECT_TRUE(Edits().empty());
    EXPECT_EQ(engine.View().picked, 65);
    EXPECT_EQ(NotesOn(), std::vector<int>{84}) << "Escape plays as usual, Alt+Q nothing";

    Up(vk::Menu);
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 0u) << "Alt was part of a combination";
    Tap(vk::Menu);
    ASSERT_EQ(Edits().size(), 1u) << "Alt pressed alone is a key like any other";
}

TEST_F(KeyEditingEngine, AShiftKeyPressedAloneIsMappedWithItsSideWhenItComesUp) {
    engine.Send(play::PickNote{65});
    Down(vk::Shift, LeftShiftDown);
    EXPECT_TRUE(Edits().empty()) << "it may yet be part of a combination";
    Up(vk::Shift, LeftShiftUp);
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].entry, LeftShiftEntry);
    // The Shift entry answered to both sides: the right one keeps its note.
    EXPECT_EQ(Changed(edits[0]), (std::set<size_t>{LeftShiftEntry, RightShiftEntry, vk::Shift}));
    EXPECT_EQ(edits[0].values[LeftShiftEntry], 65);
    EXPECT_EQ(edits[0].values[RightShiftEntry], 40);
    EXPECT_TRUE(NotesOn().empty());

    engine.Send(play::PickNote{67});
    Down(vk::Shift, LeftShiftDown);
    Tap('R');
    Up(vk::Shift, LeftShiftUp);
    const auto shifted = Edits();
    ASSERT_EQ(shifted.size(), 1u);
    EXPECT_EQ(shifted[0].entry, 'R') << "Shift+R maps R";
}

TEST_F(KeyEditingEngine, NothingIsTakenWhereKeysWouldNotPlay) {
    engine.Send(play::PickNote{65});
    engine.Send(play::SetDialogOpen{true});
    Tap('F');
    engine.Send(play::SetDialogOpen{false});
    engine.Send(play::SetEnabled{false});
    active = false;
    Tap('F');
    EXPECT_TRUE(Edits().empty());
    EXPECT_EQ(engine.View().picked, 65);

    engine.Send(play::SetBaseOctave{120}); // only a stored value out of the menu's range
    active = true;
    Tap('F');
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].kind, Kind::OutOfReach);
    EXPECT_TRUE(edits[0].changed.none());
    EXPECT_EQ(engine.View().picked, KeyEditing::NoPick);
}

// The window has not taken the last 16 edits yet: a key that would make a 17th plays
// instead, and no edit is lost.
TEST_F(KeyEditingEngine, WithSixteenEditsWaitingTheNextKeyPlaysInsteadOfBeingMapped) {
    for (int i = 0; i < 16; ++i) {
        engine.Send(play::PickNote{40 + i});
        Tap('A' + i);
    }
    engine.Send(play::PickNote{90});
    Tap('Q');
    EXPECT_EQ(NotesOn(), std::vector<int>{60});
    EXPECT_EQ(engine.View().picked, 90) << "still picked, for the next key";
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 16u);
    EXPECT_EQ(edits.back().values['A' + 15], 55);
}

TEST_F(KeyEditingEngine, DeleteRemovesTheKeysThatPlayThePickedNoteAtTheOctaveInForce) {
    engine.Send(play::SetBaseOctave{-12});
    engine.Send(play::SetTranspose{-1});
    engine.Send(play::PickNote{47}); // 60 - 12 - 1: the keys of layout value 60
    Tap(vk::Delete);
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(Changed(edits[0]), (std::set<size_t>{'Q', 188}));
    engine.Send(play::PickNote{48}); // Z's value 48 plays 35 here, not 48
    Tap(vk::Delete);
    EXPECT_TRUE(Edits().empty());
}

TEST_F(KeyEditingEngine, MappingAKeyTellsTheNoteItPlayedBefore) {
    engine.Send(play::SetBaseOctave{12});
    engine.Send(play::PickNote{72});
    Tap('Z');
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].values['Z'], 60);
    EXPECT_EQ(edits[0].previous, 60) << "48 at this octave";
    engine.Send(play::PickNote{72});
    Tap('Z');
    EXPECT_EQ(Edits().at(0).previous, play::LayoutEdit::NoNote) << "the same note is no loss";
}

TEST_F(KeyEditingEngine, EditingOffAndOnAgainForgetsThePick) {
    engine.Send(play::PickNote{65});
    engine.Send(play::EditKeys{false});
    engine.Send(play::EditKeys{true});
    EXPECT_EQ(engine.View().picked, KeyEditing::NoPick);
    Tap('F');
    EXPECT_TRUE(Edits().empty()) << "F plays nothing and maps nothing";
    engine.Send(play::PickNote{128});
    EXPECT_EQ(engine.View().picked, KeyEditing::NoPick) << "no such note";
}

TEST_F(KeyEditingEngine, TheHighestNoteAndTheLastKeyCodeAreMapped) {
    engine.Send(play::PickNote{127});
    Tap(255);
    const auto edits = Edits();
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].entry, 255);
    EXPECT_EQ(edits[0].values[255], 127);
    Tap(255);
    EXPECT_EQ(NotesOn(), std::vector<int>{127});
}

} // namespace

} // namespace zevaver
