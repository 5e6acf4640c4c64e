// Keys by position: a key is known by its place on the keyboard, so a layout written for the
// US English keyboard plays the same physical keys on a German one, whatever input language
// the focused window uses; the engine wired as the program wires it, keystrokes as the hook
// reports them.
#include "engine/PlayingEngine.h"
#include "support/EnginePorts.h"
#include "support/FakeMidiOut.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zevaver {

namespace {

// Flags of a first key-down and a key-up at a scan code.
constexpr uint32_t Down(uint32_t scan, bool extended = false) {
    return scan << 16 | 1u | (extended ? 1u << 24 : 0u);
}
constexpr uint32_t Up(uint32_t scan, bool extended = false) {
    return 0xC0000000u | Down(scan, extended);
}
constexpr uint32_t ZPlace = 0x2C; // the key left of X: Z in the US, Y in Germany
constexpr uint32_t YPlace = 0x15; // Y in the US, Z in Germany

class KeysByPosition : public ::testing::Test, protected EngineHost {
protected:
    KeysByPosition() {
        layout['Z'] = 48;
        layout['Y'] = 69;
        layout[0xBA] = 58; // the US ";" key, Ö in Germany
        layout[0x67] = 70; // number pad 7
        layout[0x24] = 71; // Home
        engine.Send(play::SetLayout{layout});
        (void)fakes::AttachDevice(engine, midi, 0);
        engine.Send(play::SetShortcuts{DefaultShortcuts()});
        (void)midi.Take();
    }

    bool WakeEngine() noexcept override {
        engine.ProcessCommands();
        return true;
    }
    bool WakeWindow() noexcept override { return true; }
    bool IsMainWindowActive() override { return true; }
    bool IsKeyDown(int32_t key) override { return key == heldAnswer; }
    uint32_t EventTime() override { return clock; }

    void Key(int key, uint32_t flags) { engine.KeyWatched(key, static_cast<int32_t>(flags)); }
    // The MIDI messages since last asked, as "on 48" and "off 48".
    std::vector<std::string> Sent() {
        std::vector<std::string> sent;
        for (const std::string& call : midi.Take()) {
            if (call.rfind("send ", 0) != 0) continue;
            const auto message =
                static_cast<uint32_t>(std::stoul(call.substr(call.size() - 8), nullptr, 16));
            const bool on = (message & 0xF0u) == 0x90u && (message >> 16 & 0x7Fu) != 0;
            sent.push_back((on ? "on " : "off ") + std::to_string(message >> 8 & 0x7Fu));
        }
        return sent;
    }

    KeyNoteTable layout{};
    fakes::FakeMidiOut midi;
    int32_t heldAnswer = -1;
    uint32_t clock = 0;
    PlayingEngine engine{*this, midi};
};

TEST_F(KeysByPosition, AGermanKeyboardsYPlaysWhatTheLayoutSaysForZOnlyByPosition) {
    Key('Y', Down(ZPlace)); // what a German keyboard sends for the key left of X
    Key('Y', Up(ZPlace));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"on 48", "off 48"})) << "on by default";

    engine.Send(play::SetKeysByPosition{false});
    Key('Y', Down(ZPlace));
    Key('Y', Up(ZPlace));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"on 69", "off 69"})) << "by the code it gives";
}

TEST_F(KeysByPosition, TheSameKeyPlaysTheSameNoteWhateverTheInputLanguage) {
    Key('Z', Down(ZPlace)); // US English
    Key('Z', Up(ZPlace));
    Key('Y', Down(ZPlace)); // German
    Key('Y', Up(ZPlace));
    Key(0xC0, Down(0x27)); // German Ö, in the US ";" place
    Key(0xC0, Up(0x27));
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{"on 48", "off 48", "on 48", "off 48", "on 58", "off 58"}));

    // The language changes while the key is held: its release, with the other code, still
    // ends the note.
    Key('Y', Down(ZPlace));
    Key('Z', Up(ZPlace));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"on 48", "off 48"}));
}

TEST_F(KeysByPosition, PadAndExtendedKeysAreToldApartByTheExtendedBit) {
    Key(0x24, Down(0x47)); // pad 7 with Num Lock off gives Home, from the pad's place
    Key(0x24, Up(0x47));
    Key(0x24, Down(0x47, true)); // the Home key itself
    Key(0x24, Up(0x47, true));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"on 70", "off 70", "on 71", "off 71"}));
}

TEST_F(KeysByPosition, KeysOfNoKnownPlaceAndModifiersKeepTheirOwnCode) {
    Key('Y', 1); // injected with no scan code
    Key('Y', 0xC0000001);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"on 69", "off 69"}));

    // Ctrl (the left Ctrl's place) still blocks notes, and a shortcut goes by the key the
    // user recorded: Ctrl+F4 on the F4 key, wherever F4 lies.
    engine.Send(play::SetBaseOctave{12});
    Key(vk::Control, Down(0x1D));
    Key(vk::F4, Down(0x3E));
    Key(vk::F4, Up(0x3E));
    Key('Y', Down(ZPlace));
    Key('Y', Up(ZPlace));
    Key(vk::Control, Up(0x1D));
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(engine.View().baseOctave, 0) << "Ctrl+F4 chose C4";
}

TEST_F(KeysByPosition, AReleaseNeverSeenEndsTheNoteOfThePlaceItsKeyPlayed) {
    Key('Y', Down(ZPlace));
    // The key-up was lost (another desktop took it); the player learns it from the
    // platform's key state after a quiet spell, with no flags to place the key by.
    clock += KeyPlayer::QuietSpellMs;
    Key('Q', Down(0x10));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"on 48", "off 48"}));
}

TEST_F(KeysByPosition, EditKeysMapsThePlaceAsTheUsLayoutNamesIt) {
    engine.Send(play::EditKeys{true});
    engine.Send(play::PickNote{60});
    Key('Y', Down(ZPlace)); // German Y, the US Z place
    Key('Y', Up(ZPlace));
    play::LayoutEdit edit;
    ASSERT_TRUE(engine.TakeLayoutEdit(edit));
    EXPECT_EQ(edit.entry, 'Z');
    EXPECT_EQ(edit.key, 'Y') << "the key as the window will get it";
    EXPECT_EQ(edit.previous, 48) << "the note Z played before";
    EXPECT_EQ(edit.values['Z'], 60);

    Key('Z', Down(YPlace)); // German Z, the US Y place
    Key('Z', Up(YPlace));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"on 69", "off 69"}));
}

} // namespace

} // namespace zevaver
