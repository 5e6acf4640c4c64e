// Random play against the parts that decide when a note starts and ends: the playing engine
// (the key player, the keyboard's notes and the MIDI port) and the on-screen keyboard's mouse
// handling, wired as the program wires them, with keystrokes encoded by the hook library's
// own rules and the window's commands sent as the main window sends them. A listening
// synthesizer checks every message: each note-on gets exactly one note-off, on its own
// channel, no note starts again while it sounds, and every note sounding is one the engine
// can still end. Ports are opened and closed on the window's side and handed over, as the
// main window does. Now and then the port in use goes away (unplugged): its first send
// fails, nothing more may go to it, the engine forgets what sounded there and gives it back
// to the window, once. Every so often and at the end everything is let go, and then nothing may
// sound. The same play runs once more with the window's commands and mouse on a thread of
// their own, as in the program (and under ThreadSanitizer in the test command).
//
// The seeds below run with every test run. A long run: MK_SOAK_EVENTS (events per seed) and
// MK_SOAK_SEEDS (comma-separated seeds), see README.md.
#include "engine/CommandKeys.h"
#include "engine/PlayingEngine.h"
#include "keyboard/Keys.h"
#include "skin/SkinConfig.h"
#include "services/WatchEvents.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <mutex>
#include <bitset>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace zevaver {

namespace {

// A synthesizer on every port the program opens: what sounds where, and the first message
// that breaks the rules. A port can be unplugged: sends to it then fail as the library's do.
class ListeningSynth final : public MidiOut {
public:
    using Sound = std::tuple<Handle, uint32_t, uint32_t>; // port, channel 0..15, note
    static constexpr Result NoDevice = 68;                // MIDIERR_NODEVICE

    // The window's side opens and closes while the engine's sends: one call at a time.
    uint32_t DeviceCount() override { return 3; }
    Result DeviceName(int device, std::string& name) override {
        name = "Synth " + std::to_string(device);
        return NoError;
    }
    OpenResult Open(int) override {
        const std::lock_guard lock(mutex_);
        open_.insert(nextPort_);
        return {NoError, nextPort_++};
    }
    Result ShortMessage(Handle port, uint32_t message) override {
        const std::lock_guard lock(mutex_);
        if (gone_.count(port) != 0) {
            // The first failure is how the engine finds out; after it, nothing more.
            if (found_.insert(port).second) {
                ++losses;
            } else {
                Fault("a message to a port after it was found gone");
            }
            return NoDevice;
        }
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
        const std::lock_guard lock(mutex_);
        std::erase_if(sounding, [port](const Sound& s) { return std::get<0>(s) == port; });
        return gone_.count(port) != 0 ? NoDevice : NoError;
    }
    Result Close(Handle port) override {
        const std::lock_guard lock(mutex_);
        for (const Sound& s : sounding) {
            if (std::get<0>(s) == port) Fault("a port closed while a note sounds on it");
        }
        open_.erase(port);
        return gone_.count(port) != 0 ? NoDevice : NoError;
    }
    // The newest open port goes away; what sounded there sounds nowhere now.
    void UnplugNewest() {
        const std::lock_guard lock(mutex_);
        for (auto port = open_.rbegin(); port != open_.rend(); ++port) {
            if (gone_.insert(*port).second) {
                std::erase_if(sounding,
                              [p = *port](const Sound& s) { return std::get<0>(s) == p; });
                return;
            }
        }
    }
    void Fault(const std::string& what) {
        if (fault.empty()) fault = what;
    }

    std::set<Sound> sounding;
    std::string fault;
    // Ports found gone by a failed send.
    uint32_t losses = 0;

private:
    std::mutex mutex_;
    std::set<Handle> open_;
    std::set<Handle> gone_, found_;
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
constexpr std::array<PhysicalKey, 23> Keyboard = {{
    {LShift, 0x2A, false}, {RShift, 0x36, false}, {LCtrl, 0x1D, false}, {RCtrl, 0x1D, true},
    {LAlt, 0x38, false},   {RAlt, 0x38, true},    {91, 0x5B, true},     {'Z', 0x2C, false},
    {'X', 0x2D, false},    {'C', 0x2E, false},    {'S', 0x1F, false},   {'Q', 0x10, false},
    {'W', 0x11, false},    {'R', 0x13, false},    {'E', 0x12, false},   {'V', 0x2F, false},
    {'P', 0x19, false},    {'M', 0x32, false},    {0x71, 0x3C, false},  {0x73, 0x3E, false},
    {0x75, 0x40, false},   {0x2E, 0x53, true},    {0x08, 0x0E, false},
}};
constexpr PhysicalKey UnmappedKey = {'M', 0x32, false};

// The program's wiring of the engine and the on-screen keyboard, with the platform played
// by the test: the physical keys and mouse buttons, the clock, the active window. Calls named
// after the window (Click, WindowKey, Mouse...) run on the window's side, the others on the
// engine's. With `threaded`, the engine is not woken for commands: its thread takes them
// before each key, and when told to.
struct Stage final : KeysHost, EngineHost {
    explicit Stage(bool isThreaded = false) : threaded(isThreaded) {
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
        notes[0x73] = 70; // F4: a note alone, a shortcut with Ctrl
        shortcuts = DefaultShortcuts();
        shortcuts[5] = 'V'; // a mapped key that is a shortcut without modifiers
        view.OnNoteOn = [this](TKeys&, int note, int velocity) {
            engine.Send(play::MousePress{note, velocity});
        };
        view.OnNoteOff = [this](TKeys&, int note, int) { engine.Send(play::MouseRelease{note}); };
        SendLayout();
        engine.Send(play::SetShortcuts{shortcuts});
        OpenDevice(0);
        engine.ProcessCommands();
    }

    // KeysHost: nothing is drawn; the mouse capture is the platform's.
    fw::PixelSurface* BackBuffer() override { return nullptr; }
    void Present(int, int, int, int) override {}
    void Invalidate() override {}
    void CaptureMouse() override { captured = true; }
    void ReleaseMouseCapture() override { captured = false; }
    void SetSkinCursor() override {}
    [[nodiscard]] bool Minimized() const override { return false; }

    // EngineHost.
    bool WakeEngine() noexcept override {
        if (!threaded) engine.ProcessCommands();
        return true;
    }
    bool WakeWindow() noexcept override { return true; }
    bool IsMainWindowActive() override { return active; }
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

    // A menu command, as the main window carries it out.
    void Click(KeyCommand command) {
        const CommandInfo& info = Command(command);
        if (command == KeyCommand::Enabled) {
            enabled = !enabled;
            engine.Send(play::SetEnabled{enabled});
        } else if (info.handler == &commands::BaseOctave) {
            view.SetBaseOctave(4 + info.tag / 12);
            engine.Send(play::SetBaseOctave{info.tag});
        } else if (command == KeyCommand::Push) {
            engine.Send(play::TogglePedal{});
        } else if (command == KeyCommand::Settings) {
            dialogOpen = !dialogOpen;
            engine.Send(play::SetDialogOpen{dialogOpen});
        }
    }
    // A key of the focused window.
    void WindowKey(uint16_t key, bool ctrl) {
        const CommandKeyAction action = CommandKeyDown(key, {false, ctrl, false}, transpose);
        if (action.transpose) Transpose(*action.transpose);
        if (action.command) Click(*action.command);
    }
    // The layout loaded anew, and the edits mapping keys made to the engine's layout, which
    // the window's copy follows as the main window's does.
    void SendLayout() {
        mirror = notes;
        ++layoutsSent;
        engine.Send(play::SetLayout{notes});
    }
    void TakeEdits() {
        play::LayoutEdit edit;
        while (engine.TakeLayoutEdit(edit)) {
            if (edit.layout != layoutsSent) continue;
            for (std::size_t e = 0; e < mirror.size(); ++e)
                if (edit.changed[e]) mirror[e] = edit.values[e];
        }
    }
    void Transpose(int32_t value) {
        transpose = value;
        engine.Send(play::SetTranspose{value});
    }
    // What the engine gives back: the window closes it, and counts the losses told.
    void TakeProblems() {
        play::ReturnedPort returned;
        while (engine.TakeReturnedPort(returned)) {
            const MidiOutPort closing(synth, returned.port);
            if (returned.lost) ++lostReports;
        }
    }
    // The port taken back from the engine and closed, then the device opened and handed
    // over, as the main window does.
    void SelectDevice(int device) {
        engine.Send(play::DetachPort{});
        engine.AwaitApplied();
        TakeProblems();
        OpenDevice(device);
    }
    void OpenDevice(int device) {
        MidiOutPort port = OpenOutputPort(synth, device);
        if (port.IsOpen()) engine.Send(play::AttachPort{port.Release(), device, ++portIds});
    }

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
        engine.KeyWatched(message.wParam, message.lParam);
    }
    void DesktopReturns() {
        lostPending.reset();
        engine.ReconcileKeys();
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
        view.KeysMouseDown(button, Shift(), x, y);
    }
    void MouseMove(int x, int y) {
        const bool inside = x >= 0 && y >= 0 && x < view.Width() && y < view.Height();
        if (inside || (captured && view.HoldsMouse())) view.KeysMouseMove(Shift(), x, y);
    }
    // Without the capture, a release off the window goes to another window.
    void MouseUp(TMouseButton button, int x, int y) {
        mouse[Index(button)] = false;
        const bool inside = x >= 0 && y >= 0 && x < view.Width() && y < view.Height();
        if ((inside || captured) && view.HoldsButton(button)) {
            view.KeysMouseUp(button, Shift(), x, y);
        }
    }
    void CaptureLost() {
        captured = false;
        view.KeysCaptureLost();
    }
    [[nodiscard]] TShiftState Shift() const {
        TShiftState shift = TShiftState::None;
        if (mouse[Index(TMouseButton::Left)]) shift |= TShiftState::Left;
        if (mouse[Index(TMouseButton::Right)]) shift |= TShiftState::Right;
        if (mouse[Index(TMouseButton::Middle)]) shift |= TShiftState::Middle;
        return shift;
    }

    const bool threaded;
    KeyNoteTable notes{};
    ListeningSynth synth;
    TSkinConfig skin;
    PlayingEngine engine{*this, synth};
    KeyPlayer& player = engine.Player();
    const TMIDIKeys& keys = engine.Notes();
    // The window's side.
    TKeys view{*this, skin};
    std::array<int32_t, ShortcutCount> shortcuts{};
    std::array<bool, 3> mouse{};
    bool captured = false, enabled = true, dialogOpen = false, editing = false;
    KeyNoteTable mirror{};
    uint32_t layoutsSent = 0;
    int32_t transpose = 0;
    uint32_t lostReports = 0;
    uint32_t portIds = 0;
    std::atomic<bool> active{false};
    // The engine's side: the keys as the platform has them, and its clock.
    watch::KeyStateTracker hook;
    std::bitset<256> down, lostPending;
    uint32_t clock = 0;
};

class RandomPlay {
public:
    RandomPlay(uint64_t seed, bool threaded)
        : engineSide_{std::mt19937_64(seed)}, windowSide_{std::mt19937_64(~seed)},
          stage_(threaded) {}

    // Plays the given number of events, one side after the other; the first broken rule,
    // or "" when none was.
    std::string Run(uint64_t events) {
        for (uint64_t event = 1; event <= events; ++event) {
            if (Pick(engineSide_, 100) < 55) {
                EngineStep();
            } else {
                WindowStep();
            }
            std::string fault = Check();
            if (fault.empty() && event % letGoEvery_ == 0) fault = LetGoOfEverything();
            if (!fault.empty()) return "after event " + std::to_string(event) + ": " + fault;
        }
        return LetGoOfEverything();
    }

    // The same with both sides at once, the window's on a thread of its own; the rules are
    // checked whenever the two meet, and the synthesizer's at every message.
    std::string RunThreaded(uint64_t events) {
        for (uint64_t done = 0; done < events;) {
            const uint64_t round = std::min<uint64_t>(letGoEvery_, events - done);
            std::atomic<bool> windowDone{false};
            std::thread window([this, round, &windowDone] {
                for (uint64_t event = 0; event < round; ++event) WindowStep();
                windowDone = true;
            });
            for (uint64_t event = 0; event < round; ++event) {
                EngineStep();
                if (event % 8 == 0) stage_.engine.ProcessCommands();
            }
            // The window waits for the engine when the queue is full, so the engine goes on
            // taking commands until the window is done.
            while (!windowDone) {
                stage_.engine.ProcessCommands();
                std::this_thread::yield();
            }
            window.join();
            stage_.engine.ProcessCommands();
            stage_.TakeProblems();
            done += round;
            std::string fault = Check();
            if (fault.empty()) fault = LetGoOfEverything();
            if (!fault.empty()) return "after event " + std::to_string(done) + ": " + fault;
        }
        return "";
    }

    [[nodiscard]] std::string LastEvents() const {
        std::string text;
        for (const Side* side : {&engineSide_, &windowSide_}) {
            for (const std::string& line : side->recent) text += "\n  " + line;
        }
        return text;
    }

private:
    // What each side draws its events from and remembers of them; never shared.
    struct Side {
        std::mt19937_64 random;
        std::vector<std::string> recent{};
    };

    static int Pick(Side& side, int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(side.random);
    }
    static void Log(Side& side, std::string line) {
        if (side.recent.size() == 12) side.recent.erase(side.recent.begin());
        side.recent.push_back(std::move(line));
    }
    int Pick(int below) { return Pick(engineSide_, below); }
    int PickW(int below) { return Pick(windowSide_, below); }
    void Log(std::string line) { Log(engineSide_, "keys: " + line); }
    void LogW(std::string line) { Log(windowSide_, "window: " + line); }

    const PhysicalKey* AnyHeldKey() {
        std::vector<const PhysicalKey*> held;
        for (const PhysicalKey& key : Keyboard) {
            if (stage_.down[key.vk]) held.push_back(&key);
        }
        return held.empty() ? nullptr : held[static_cast<std::size_t>(Pick(int(held.size())))];
    }

    // The keyboard and the platform, on the engine's side.
    void EngineStep() {
        Stage& s = stage_;
        s.clock += static_cast<uint32_t>(Pick(40));
        const int roll = Pick(100);
        if (roll < 50) {
            const PhysicalKey& key = Keyboard[static_cast<std::size_t>(Pick(Keyboard.size()))];
            Log("down " + std::to_string(key.vk) + (s.down[key.vk] ? " (repeat)" : ""));
            s.Key(key, false);
        } else if (roll < 88) {
            if (const PhysicalKey* key = AnyHeldKey()) {
                Log("up " + std::to_string(key->vk));
                s.Key(*key, true);
            }
        } else if (roll < 91) {
            // A visit to the secure desktop: releases and presses there go unseen.
            Log("secure desktop visit");
            for (const PhysicalKey& key : Keyboard) {
                if (Pick(3) == 0) s.Key(key, s.down[key.vk], true);
            }
            s.clock += KeyPlayer::QuietSpellMs + static_cast<uint32_t>(Pick(5000));
            if (Pick(2) == 0) s.DesktopReturns();
        } else if (roll < 93) {
            Log("desktop returns");
            s.DesktopReturns();
        } else if (roll < 95) {
            Log("quiet spell");
            s.clock += KeyPlayer::QuietSpellMs + static_cast<uint32_t>(Pick(3000));
        } else if (roll < 97) {
            const bool release = s.down[LCtrl] && s.down[RAlt];
            Log(release ? "AltGr up" : "AltGr down");
            s.Key(Keyboard[2], release); // AltGr arrives as left Ctrl and right Alt
            s.Key(Keyboard[5], release);
        } else if (roll < 99) {
            s.active = !s.active;
            Log(s.active ? "main window active" : "another window active");
        } else {
            Log("the port in use is unplugged");
            s.synth.UnplugNewest();
        }
    }

    // The main window's commands and the mouse, on the window's side.
    void WindowStep() {
        Stage& s = stage_;
        s.TakeProblems();
        s.TakeEdits();
        const int roll = PickW(100);
        if (roll < 14) {
            static constexpr uint16_t commandKeys[] = {0x21, 0x22, 0x2D, 0x20, 0x6B, 0x6D, 0x71,
                                                       0x72, 0x73, 0x74, 0x75, 0x78, 'A'};
            uint16_t key = commandKeys[PickW(std::size(commandKeys))];
            const bool ctrl = PickW(2) == 0;
            LogW("key " + std::to_string(key) + (ctrl ? " with Ctrl" : ""));
            s.WindowKey(key, ctrl);
        } else if (roll < 18) {
            LogW("Push");
            s.Click(KeyCommand::Push);
        } else if (roll < 22) {
            const int32_t key = std::array{-1, 16, 17}[static_cast<std::size_t>(PickW(3))];
            LogW("pedal key " + std::to_string(key));
            s.engine.Send(play::SetPedalKey{key});
        } else if (roll < 26) {
            const int channel = 1 + PickW(16);
            LogW("channel " + std::to_string(channel));
            s.engine.Send(play::SetChannel{channel});
        } else if (roll < 28) {
            const int device = PickW(4) - 1;
            LogW("device " + std::to_string(device));
            s.SelectDevice(device);
        } else if (roll < 32) {
            LogW("Enabled");
            s.Click(KeyCommand::Enabled);
        } else if (roll < 36) {
            LogW(s.dialogOpen ? "dialog closed" : "dialog open");
            s.Click(KeyCommand::Settings);
        } else if (roll < 38) {
            const int32_t value = PickW(73) - 36;
            LogW("transpose " + std::to_string(value));
            s.Transpose(value);
        } else if (roll < 40) {
            const int32_t velocity = PickW(128);
            LogW("velocity " + std::to_string(velocity));
            s.engine.SetVelocityPosition(velocity);
        } else if (roll < 42) {
            s.editing = !s.editing;
            LogW(s.editing ? "edit keys" : "edit keys ended");
            s.engine.Send(play::EditKeys{s.editing});
        } else if (roll < 45) {
            const int32_t note = PickW(4) == 0 ? KeyEditing::NoPick : 30 + PickW(70);
            LogW("pick " + std::to_string(note));
            s.engine.Send(play::PickNote{note});
        } else if (roll < 46) {
            LogW("layout loaded");
            s.SendLayout();
        } else {
            MouseStep();
        }
    }

    void MouseStep() {
        Stage& s = stage_;
        const auto button = static_cast<TMouseButton>(PickW(4) == 0 ? 1 + PickW(2) : 0);
        const int x = PickW(260) - 30, y = PickW(80) - 15; // now and then off the keys
        const int roll = PickW(10);
        if (roll < 3) {
            if (s.mouse[Index(button)] || x < 0 || y < 0 || x >= 200 || y >= 50) return;
            LogW("press " + std::to_string(Index(button)) + " at " + std::to_string(x) + "," +
                 std::to_string(y));
            s.MouseDown(button, x, y);
        } else if (roll < 7) {
            LogW("move to " + std::to_string(x) + "," + std::to_string(y));
            s.MouseMove(x, y);
        } else if (roll < 9) {
            if (!s.mouse[Index(button)]) return;
            LogW("release " + std::to_string(Index(button)) + " at " + std::to_string(x) + "," +
                 std::to_string(y));
            s.MouseUp(button, x, y);
        } else {
            if (!s.captured) return;
            LogW("capture lost");
            s.CaptureLost();
        }
    }

    // Every sound has something that holds it and will end it: the pedal, the left mouse
    // button, or a key still held (or released where the player could not know) whose press
    // started it; the engine still counts it as sounding on the open port, on one channel.
    // The modifiers and the pedal are held only by keys that are held.
    std::string Check() {
        Stage& s = stage_;
        if (!s.synth.fault.empty()) return s.synth.fault;
        s.TakeProblems(); // here the window's side waits, if it has a thread
        if (s.lostReports != s.synth.losses) {
            return std::to_string(s.synth.losses) + " ports lost, told " +
                   std::to_string(s.lostReports) + " times";
        }
        // One event at a time, what a lost port sounded is gone from the engine at once: a
        // note sounds there only while its key is held.
        if (!s.threaded && s.synth.losses != lossesSeen_) {
            lossesSeen_ = s.synth.losses;
            for (int note = 0; note < MidiNoteCount; ++note) {
                if (s.keys.IsNoteSounding(note) && !s.keys.DownNotes().Contains(note))
                    return "note " + std::to_string(note) + " still held after its port was lost";
            }
        }
        if (s.player.CtrlHeld() && !s.MayBeHeld(KeyPlayer::VkControl)) return "Ctrl held";
        if (s.player.AltHeld() && !s.MayBeHeld(KeyPlayer::VkMenu)) return "Alt held";
        if (s.player.WinHeld() && !s.MayBeHeld(KeyPlayer::VkLeftWin)) return "Win held";
        const ModifierSet held = s.player.HeldModifiers();
        if ((held.Shift && !s.MayBeHeld(KeyPlayer::VkShift)) ||
            (held.Ctrl && !s.MayBeHeld(KeyPlayer::VkControl)) ||
            (held.Alt && !s.MayBeHeld(KeyPlayer::VkMenu))) {
            return "a modifier held for shortcuts after its key was released";
        }
        if (s.player.PedalDown() != s.engine.View().pushChecked &&
            !s.MayBeHeld(s.engine.Settings().PedalKey)) {
            return "the pedal is down with Push unchecked and no pedal key held";
        }
        if (s.synth.sounding.empty()) return "";

        std::set<int32_t> heldNotes;
        for (int32_t entry = 0; entry < 256; ++entry) {
            const int32_t note = s.player.KeyNote(static_cast<std::size_t>(entry));
            if (note != KeyPlayer::NoKeyNote && s.MayBeHeld(entry)) heldNotes.insert(note);
        }
        if (s.view.HoldsButton(TMouseButton::Left)) heldNotes.insert(s.view.MouseNote());
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
        s.engine.ProcessCommands();
        s.TakeEdits();
        if (s.mirror != s.engine.KeyNotes()) return "the window's layout is not the engine's";
        if (s.player.PedalDown()) {
            s.Click(KeyCommand::Push);
            s.engine.ProcessCommands();
        }
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

    Side engineSide_;
    Side windowSide_;
    Stage stage_;
    uint64_t letGoEvery_ = 500;
    uint32_t lossesSeen_ = 0;
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

void RunSeeds(bool threaded) {
    const uint64_t events = EventsPerSeed();
    const auto start = std::chrono::steady_clock::now();
    const std::vector<uint64_t> seeds = Seeds();
    for (uint64_t seed : seeds) {
        RandomPlay play(seed, threaded);
        const std::string fault = threaded ? play.RunThreaded(events) : play.Run(events);
        EXPECT_EQ(fault, "") << "seed " << seed << ", last events:" << play.LastEvents();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << (threaded ? "random play on two threads: " : "random play: ") << events
              << " events for each of " << seeds.size() << " seeds in " << took.count() << " s\n";
}

TEST(NoStuckNotes, RandomPlayNeverLeavesANoteSoundingOrEndsOneTwice) {
    RunSeeds(false);
}

// The window's commands (octave, transposition, channel, playing switch, pedal latch,
// device, the dialog) and the mouse change things while the keys play.
TEST(NoStuckNotes, RandomPlayWithTheWindowOnItsOwnThreadHoldsTheSameRules) {
    RunSeeds(true);
}

} // namespace zevaver
