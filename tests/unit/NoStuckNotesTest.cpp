// Random play against the three parts that decide when a note starts and ends: the key
// player, the keyboard control and the MIDI port, wired as the main window wires them, with
// keystrokes encoded by the hook library's own rules. A listening synthesizer checks every
// message: each note-on gets exactly one note-off, on its own channel, no note starts again
// while it sounds, and every note sounding is one the control can still end. Every so often
// and at the end everything is let go, and then nothing may sound.
//
// The seeds below run with every test run. A long run: MK_SOAK_EVENTS (events per seed) and
// MK_SOAK_SEEDS (comma-separated seeds), see README.md.
#include "engine/KeyPlayer.h"
#include "keyboard/MIDIKeys.h"
#include "skin/SkinConfig.h"
#include "services/WatchEvents.h"

#include <gtest/gtest.h>

#include <array>
#include <bitset>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace zevaver {

namespace {

// A synthesizer on every port the program opens: what sounds where, and the first message
// that breaks the rules.
class ListeningSynth final : public MidiOut {
public:
    using Sound = std::tuple<Handle, uint32_t, uint32_t>; // port, channel 0..15, note

    uint32_t DeviceCount() override { return 3; }
    Result DeviceName(int device, std::string& name) override {
        name = "Synth " + std::to_string(device);
        return NoError;
    }
    OpenResult Open(int) override {
        open_.insert(nextPort_);
        return {NoError, nextPort_++};
    }
    Result ShortMessage(Handle port, uint32_t message) override {
        const uint32_t status = message & 0xF0u;
        const Sound sound{port, message & 0x0Fu, (message >> 8) & 0xFFu};
        if (open_.count(port) == 0) Fault("a message to a port that is not open");
        if (std::get<2>(sound) > 127) Fault("a note number a data byte cannot hold");
        if (status == 0x90u) {
            if (!sounding.insert(sound).second) Fault("a note-on for a note already sounding");
        } else if (status == 0x80u) {
            if (sounding.erase(sound) == 0) Fault("a note-off for a note not sounding there");
        } else {
            Fault("a message other than a note-on or a note-off");
        }
        return NoError;
    }
    // Reset silences everything on the port.
    Result Reset(Handle port) override {
        std::erase_if(sounding, [port](const Sound& s) { return std::get<0>(s) == port; });
        return NoError;
    }
    Result Close(Handle port) override {
        for (const Sound& s : sounding) {
            if (std::get<0>(s) == port) Fault("a port closed while a note sounds on it");
        }
        open_.erase(port);
        return NoError;
    }
    void Fault(const std::string& what) {
        if (fault.empty()) fault = what;
    }

    std::set<Sound> sounding;
    std::string fault;

private:
    std::set<Handle> open_;
    Handle nextPort_ = 1;
};

constexpr std::size_t Index(TMouseButton button) noexcept {
    return static_cast<std::size_t>(button);
}

// A physical key: its sided key code, scan code and extended bit.
struct PhysicalKey {
    uint32_t vk, scan;
    bool extended;
};
constexpr uint32_t LShift = 160, RShift = 161, LCtrl = 162, RCtrl = 163, LAlt = 164, RAlt = 165;
constexpr std::array<PhysicalKey, 21> Keyboard = {{
    {LShift, 0x2A, false}, {RShift, 0x36, false}, {LCtrl, 0x1D, false}, {RCtrl, 0x1D, true},
    {LAlt, 0x38, false},   {RAlt, 0x38, true},    {91, 0x5B, true},     {'Z', 0x2C, false},
    {'X', 0x2D, false},    {'C', 0x2E, false},    {'S', 0x1F, false},   {'Q', 0x10, false},
    {'W', 0x11, false},    {'R', 0x13, false},    {'E', 0x12, false},   {'V', 0x2F, false},
    {'P', 0x19, false},    {'M', 0x32, false},    {0x71, 0x3C, false},  {0x73, 0x3E, false},
    {0x75, 0x40, false},
}};
constexpr PhysicalKey UnmappedKey = {'M', 0x32, false};

// The main window's wiring of the three parts, with the platform played by the test: the
// physical keys and mouse buttons, the clock, the active window, the settings dialog.
struct Stage final : KeysHost, KeyPlayerHost {
    Stage() {
        for (auto [key, code] : {std::pair{'Z', 48},
                                 {'X', 50},
                                 {'C', 52},
                                 {'S', 49},
                                 {'Q', 60},
                                 {'W', 62},
                                 {'R', 60},
                                 {'E', 64},
                                 {'V', 53},
                                 {'P', 250}}) {
            notes[static_cast<std::size_t>(key)] = static_cast<uint8_t>(code);
        }
        notes[LeftShiftEntry] = 40;
        notes[RightShiftEntry] = 45;
        notes[KeyPlayer::VkShift] = 50; // the same note as X
        notes[KeyPlayer::VkControl] = 55;
        notes[0x73] = 70;            // F4: a note alone, a shortcut with Ctrl
        settings.Shortcuts[5] = 'V'; // a mapped key that is a shortcut without modifiers
        keys.SetMIDIDevice(0);
        keys.OpenPort();
    }

    // KeysHost: nothing is drawn; the mouse capture is the platform's.
    fw::PixelSurface* BackBuffer() override { return nullptr; }
    void Present(int, int, int, int) override {}
    void Invalidate() override {}
    void CaptureMouse() override { captured = true; }
    void ReleaseMouseCapture() override { captured = false; }
    void SetSkinCursor() override {}
    [[nodiscard]] bool Minimized() const override { return false; }
    [[nodiscard]] bool PedalDown() const override { return player.PedalDown(); }

    // KeyPlayerHost, as the main window answers it.
    void PressNote(int32_t note, int32_t velocity) override { keys.PressNote(note, velocity); }
    void ReleaseNote(int32_t note) override { keys.ReleaseNote(note); }
    bool IsNoteSounding(int32_t note) override { return keys.IsNoteSounding(note); }
    void ReleaseAllNotes() override { keys.ReleaseAllNotes(); }
    void ClickCommand(KeyCommand command) override {
        const int index = static_cast<int>(command);
        if (command == KeyCommand::Enabled) settings.Enabled = !settings.Enabled;
        if (index >= 1 && index <= 5) {
            settings.BaseOctave = 12 * (index - 3);
            keys.SetBaseOctave(4 + settings.BaseOctave / 12);
        }
        if (command == KeyCommand::Push) player.TogglePedalLatch();
        if (command == KeyCommand::Settings) dialogOpen = true;
    }
    void SetPushChecked(bool checked) override { pushChecked = checked; }
    void CheckTransposeItem(int32_t) override {}
    bool IsMainWindowActive() override { return active; }
    bool IsSettingsDialogOpen() override { return dialogOpen; }
    int32_t VelocityPosition() override { return velocity; }
    bool IsKeyDown(int32_t key) override {
        switch (key) {
        case KeyPlayer::VkShift:
            return down[LShift] || down[RShift];
        case KeyPlayer::VkControl:
            return down[LCtrl] || down[RCtrl];
        case KeyPlayer::VkMenu:
            return down[LAlt] || down[RAlt];
        default:
            return key >= 0 && key < 256 && down[static_cast<std::size_t>(key)];
        }
    }
    uint32_t EventTime() override { return clock; }

    // A key transition the hook sees and reports, or one it never sees (on the secure
    // desktop). The first event reported after a lost one is after a quiet spell, so from
    // then on the player must know.
    void Key(const PhysicalKey& key, bool release, bool lost = false) {
        down[key.vk] = !release;
        if (lost) {
            lostPending[key.vk] = true;
            return;
        }
        lostPending.reset();
        const watch::KeyMessage message = hook.Apply({.virtualKey = key.vk,
                                                      .scanCode = key.scan,
                                                      .extended = key.extended,
                                                      .released = release});
        player.KeyWatchKeyNative(message.wParam, static_cast<uint32_t>(message.lParam));
    }
    void DesktopReturns() {
        lostPending.reset();
        player.ReconcileHeldKeys();
    }
    // Held for real, or released where the player could not yet know.
    [[nodiscard]] bool MayBeHeld(int32_t key) {
        const auto either = [this](uint32_t a, uint32_t b) {
            return down[a] || down[b] || lostPending[a] || lostPending[b];
        };
        switch (key) {
        case LeftShiftEntry:
            return down[LShift] || lostPending[LShift];
        case RightShiftEntry:
            return down[RShift] || lostPending[RShift];
        case KeyPlayer::VkShift:
            return either(LShift, RShift);
        case KeyPlayer::VkControl:
            return either(LCtrl, RCtrl);
        case KeyPlayer::VkMenu:
            return either(LAlt, RAlt);
        default:
            return key >= 0 && key < 256 && either(uint32_t(key), uint32_t(key));
        }
    }

    // Mouse messages as the main window routes them to the control: presses on it, moves on
    // it or while it holds the mouse, releases of the buttons it holds, anything while it
    // has the capture.
    void MouseDown(TMouseButton button, int x, int y) {
        mouse[Index(button)] = true;
        keys.KeysMouseDown(button, Shift(), x, y);
    }
    void MouseMove(int x, int y) {
        const bool inside = x >= 0 && y >= 0 && x < keys.Width() && y < keys.Height();
        if (inside || (captured && keys.HoldsMouse())) keys.KeysMouseMove(Shift(), x, y);
    }
    // Without the capture, a release off the window goes to another window.
    void MouseUp(TMouseButton button, int x, int y) {
        mouse[Index(button)] = false;
        const bool inside = x >= 0 && y >= 0 && x < keys.Width() && y < keys.Height();
        if ((inside || captured) && keys.HoldsButton(button)) {
            keys.KeysMouseUp(button, Shift(), x, y);
        }
    }
    void CaptureLost() {
        captured = false;
        keys.KeysCaptureLost();
    }
    [[nodiscard]] TShiftState Shift() const {
        TShiftState shift = TShiftState::None;
        if (mouse[Index(TMouseButton::Left)]) shift |= TShiftState::Left;
        if (mouse[Index(TMouseButton::Right)]) shift |= TShiftState::Right;
        if (mouse[Index(TMouseButton::Middle)]) shift |= TShiftState::Middle;
        return shift;
    }

    TSettings settings;
    KeyNoteTable notes{};
    ListeningSynth synth;
    TSkinConfig skin;
    TMIDIKeys keys{*this, skin, synth};
    KeyPlayer player{*this, settings, notes};
    watch::KeyStateTracker hook;
    std::bitset<256> down, lostPending;
    std::array<bool, 3> mouse{};
    bool captured = false, pushChecked = false, active = false, dialogOpen = false;
    int32_t velocity = 0;
    uint32_t clock = 0;
};

class RandomPlay {
public:
    explicit RandomPlay(uint64_t seed) : random_(seed) {}

    // Plays the given number of events; the first broken rule, or "" when none was.
    std::string Run(uint64_t events) {
        for (uint64_t event = 1; event <= events; ++event) {
            Step();
            std::string fault = Check();
            if (fault.empty() && event % letGoEvery_ == 0) fault = LetGoOfEverything();
            if (!fault.empty()) return "after event " + std::to_string(event) + ": " + fault;
        }
        return LetGoOfEverything();
    }

    [[nodiscard]] std::string LastEvents() const {
        std::string text;
        for (const std::string& line : recent_) text += "\n  " + line;
        return text;
    }

private:
    int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
    void Log(std::string line) {
        if (recent_.size() == 24) recent_.erase(recent_.begin());
        recent_.push_back(std::move(line));
    }

    const PhysicalKey* AnyHeldKey() {
        std::vector<const PhysicalKey*> held;
        for (const PhysicalKey& key : Keyboard) {
            if (stage_.down[key.vk]) held.push_back(&key);
        }
        return held.empty() ? nullptr : held[static_cast<std::size_t>(Pick(int(held.size())))];
    }

    void Step() {
        Stage& s = stage_;
        s.clock += static_cast<uint32_t>(Pick(40));
        const int roll = Pick(100);
        if (roll < 30) {
            const PhysicalKey& key = Keyboard[static_cast<std::size_t>(Pick(Keyboard.size()))];
            Log("down " + std::to_string(key.vk) + (s.down[key.vk] ? " (repeat)" : ""));
            s.Key(key, false);
        } else if (roll < 55) {
            if (const PhysicalKey* key = AnyHeldKey()) {
                Log("up " + std::to_string(key->vk));
                s.Key(*key, true);
            }
        } else if (roll < 57) {
            // A visit to the secure desktop: releases and presses there go unseen.
            Log("secure desktop visit");
            for (const PhysicalKey& key : Keyboard) {
                if (Pick(3) == 0) s.Key(key, s.down[key.vk], true);
            }
            s.clock += KeyPlayer::QuietSpellMs + static_cast<uint32_t>(Pick(5000));
            if (Pick(2) == 0) s.DesktopReturns();
        } else if (roll < 58) {
            Log("desktop returns");
            s.DesktopReturns();
        } else if (roll < 60) {
            Log("quiet spell");
            s.clock += KeyPlayer::QuietSpellMs + static_cast<uint32_t>(Pick(3000));
        } else if (roll < 62) {
            const bool release = s.down[LCtrl] && s.down[RAlt];
            Log(release ? "AltGr up" : "AltGr down");
            s.Key(Keyboard[2], release); // AltGr arrives as left Ctrl and right Alt
            s.Key(Keyboard[5], release);
        } else if (roll < 68) {
            static constexpr uint16_t commandKeys[] = {0x21, 0x22, 0x2D, 0x20, 0x6B, 0x6D, 0x71,
                                                       0x72, 0x73, 0x74, 0x75, 0x78, 'A'};
            uint16_t key = commandKeys[Pick(std::size(commandKeys))];
            const bool ctrl = Pick(2) == 0;
            Log("window key " + std::to_string(key) + (ctrl ? " with Ctrl" : ""));
            s.player.FormKeyDown(key, {false, ctrl, false});
        } else if (roll < 70) {
            Log("Push");
            s.ClickCommand(KeyCommand::Push);
        } else if (roll < 72) {
            const int32_t key = std::array{-1, 16, 17}[static_cast<std::size_t>(Pick(3))];
            Log("pedal key " + std::to_string(key));
            s.player.PedalKeyChanging();
            s.settings.PedalKey = key;
        } else if (roll < 74) {
            const int channel = 1 + Pick(16);
            Log("channel " + std::to_string(channel));
            s.keys.SetMIDIChannel(channel);
        } else if (roll < 75) {
            const int device = Pick(4) - 1;
            Log("device " + std::to_string(device));
            s.keys.SetMIDIDevice(device);
            s.keys.OpenPort();
        } else if (roll < 77) {
            Log("Enabled");
            s.ClickCommand(KeyCommand::Enabled);
        } else if (roll < 79) {
            s.active = !s.active;
            Log(s.active ? "main window active" : "another window active");
        } else if (roll < 81) {
            s.dialogOpen = !s.dialogOpen;
            Log(s.dialogOpen ? "dialog open" : "dialog closed");
        } else if (roll < 82) {
            const int32_t value = Pick(73) - 36;
            Log("transpose " + std::to_string(value));
            s.player.SetTranspose(value);
        } else if (roll < 83) {
            s.velocity = Pick(128);
            Log("velocity " + std::to_string(s.velocity));
        } else {
            MouseStep();
        }
    }

    void MouseStep() {
        Stage& s = stage_;
        const auto button = static_cast<TMouseButton>(Pick(4) == 0 ? 1 + Pick(2) : 0);
        const int x = Pick(260) - 30, y = Pick(80) - 15; // now and then off the keys
        const int roll = Pick(10);
        if (roll < 3) {
            if (s.mouse[Index(button)] || x < 0 || y < 0 || x >= 200 || y >= 50) return;
            Log("press " + std::to_string(Index(button)) + " at " + std::to_string(x) + "," +
                std::to_string(y));
            s.MouseDown(button, x, y);
        } else if (roll < 7) {
            Log("move to " + std::to_string(x) + "," + std::to_string(y));
            s.MouseMove(x, y);
        } else if (roll < 9) {
            if (!s.mouse[Index(button)]) return;
            Log("release " + std::to_string(Index(button)) + " at " + std::to_string(x) + "," +
                std::to_string(y));
            s.MouseUp(button, x, y);
        } else {
            if (!s.captured) return;
            Log("capture lost");
            s.CaptureLost();
        }
    }

    // Every sound has something that holds it and will end it: the pedal, the left mouse
    // button, or a key still held (or released where the player could not know) whose press
    // started it; the control still counts it as sounding on the open port, on one channel.
    // The modifiers and the pedal are held only by keys that are held.
    std::string Check() {
        Stage& s = stage_;
        if (!s.synth.fault.empty()) return s.synth.fault;
        if (s.player.CtrlHeld() && !s.MayBeHeld(KeyPlayer::VkControl)) return "Ctrl held";
        if (s.player.AltHeld() && !s.MayBeHeld(KeyPlayer::VkMenu)) return "Alt held";
        if (s.player.WinHeld() && !s.MayBeHeld(KeyPlayer::VkLeftWin)) return "Win held";
        const ModifierSet held = s.player.HeldModifiers();
        if ((held.Shift && !s.MayBeHeld(KeyPlayer::VkShift)) ||
            (held.Ctrl && !s.MayBeHeld(KeyPlayer::VkControl)) ||
            (held.Alt && !s.MayBeHeld(KeyPlayer::VkMenu))) {
            return "a modifier held for shortcuts after its key was released";
        }
        if (s.player.PedalDown() != s.pushChecked && !s.MayBeHeld(s.settings.PedalKey)) {
            return "the pedal is down with Push unchecked and no pedal key held";
        }
        if (s.synth.sounding.empty()) return "";

        std::set<int32_t> heldNotes;
        for (int32_t entry = 0; entry < 256; ++entry) {
            const int32_t note = s.player.KeyNote(static_cast<std::size_t>(entry));
            if (note != KeyPlayer::NoKeyNote && s.MayBeHeld(entry)) heldNotes.insert(note);
        }
        if (s.keys.HoldsButton(TMouseButton::Left)) heldNotes.insert(s.keys.MouseNote());
        std::set<std::pair<MidiOut::Handle, uint32_t>> notes;
        for (const auto& [port, channel, note] : s.synth.sounding) {
            if (!notes.insert({port, note}).second) return "a note sounding on two channels";
            if (!s.keys.IsNoteSounding(static_cast<int>(note))) {
                return "note " + std::to_string(note) + " sounds but nothing can end it";
            }
            if (!s.player.PedalDown() && heldNotes.count(static_cast<int32_t>(note)) == 0) {
                return "note " + std::to_string(note) + " sounds with nothing holding it";
            }
        }
        return "";
    }

    // Every key and button up, in random order, then whatever tells the player of lost
    // releases (the desktop returning, or an event after a quiet spell), then the latched
    // pedal, which must show as "Push", unlatched.
    std::string LetGoOfEverything() {
        Stage& s = stage_;
        Log("let go of everything");
        while (const PhysicalKey* key = AnyHeldKey()) s.Key(*key, true);
        for (TMouseButton button :
             {TMouseButton::Left, TMouseButton::Right, TMouseButton::Middle}) {
            if (s.mouse[Index(button)]) s.MouseUp(button, -1, -1);
        }
        if (Pick(2) == 0) {
            s.DesktopReturns();
        } else {
            s.clock += KeyPlayer::QuietSpellMs;
            s.Key(UnmappedKey, false);
            s.Key(UnmappedKey, true);
        }
        std::string fault = Check();
        if (!fault.empty()) return fault;
        if (s.player.PedalDown()) s.ClickCommand(KeyCommand::Push);
        letGoEvery_ = 200 + static_cast<uint64_t>(Pick(2000));

        fault = Check();
        if (!fault.empty()) return fault;
        if (!s.synth.sounding.empty()) return "notes sound after everything was let go";
        if (!s.keys.SoundingNotes().Empty() || !s.keys.DownNotes().Empty()) {
            return "the keyboard shows notes after everything was let go";
        }
        if (s.player.CtrlHeld() || s.player.AltHeld() || s.player.WinHeld() ||
            s.player.HeldModifiers() != ModifierSet{}) {
            return "a modifier is held after everything was let go";
        }
        return "";
    }

    std::mt19937_64 random_;
    Stage stage_;
    std::vector<std::string> recent_;
    uint64_t letGoEvery_ = 500;
};

std::vector<uint64_t> Seeds() {
    std::vector<uint64_t> seeds = {1, 2, 3, 20261207};
    if (const char* text = std::getenv("MK_SOAK_SEEDS")) {
        seeds.clear();
        std::istringstream in(text);
        for (std::string seed; std::getline(in, seed, ',');) seeds.push_back(std::stoull(seed));
    }
    return seeds;
}

uint64_t EventsPerSeed() {
    const char* text = std::getenv("MK_SOAK_EVENTS");
    return text ? std::stoull(text) : 100000;
}

} // namespace

TEST(NoStuckNotes, RandomPlayNeverLeavesANoteSoundingOrEndsOneTwice) {
    const uint64_t events = EventsPerSeed();
    const auto start = std::chrono::steady_clock::now();
    const std::vector<uint64_t> seeds = Seeds();
    for (uint64_t seed : seeds) {
        RandomPlay play(seed);
        const std::string fault = play.Run(events);
        EXPECT_EQ(fault, "") << "seed " << seed << ", last events:" << play.LastEvents();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << "random play: " << events << " events for each of " << seeds.size() << " seeds in "
              << took.count() << " s\n";
}

} // namespace zevaver
