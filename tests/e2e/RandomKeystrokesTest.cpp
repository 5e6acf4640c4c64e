// The real program and the real hook library under a few thousand random keystrokes, with
// Shift, Ctrl (the pedal), Alt and the octave shortcuts among them, typed into another
// application, in rounds after each of which every key is let go. What reached the MIDI
// library must pair every note-on with exactly one note-off on its own channel, never start
// a note already sounding, and leave nothing sounding at the end of each round.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <set>
#include <string>

namespace zevaver {

namespace {

using e2e::ProgramUnderTest;

struct Key {
    WORD vk, scan;
    bool extended;
};

// Keys of the shipped Piano layout (comma and Q both play note 60), both Shift keys, Ctrl,
// Alt, and F2..F6 for the octave shortcuts with Ctrl.
constexpr std::array<Key, 30> Keys = {{
    {'Z', 0x2C, false},       {'S', 0x1F, false},          {'X', 0x2D, false},
    {'D', 0x20, false},       {'C', 0x2E, false},          {'V', 0x2F, false},
    {'G', 0x22, false},       {'B', 0x30, false},          {'N', 0x31, false},
    {'M', 0x32, false},       {VK_OEM_COMMA, 0x33, false}, {'Q', 0x10, false},
    {'W', 0x11, false},       {'E', 0x12, false},          {'R', 0x13, false},
    {'T', 0x14, false},       {'Y', 0x15, false},          {'2', 0x03, false},
    {'3', 0x04, false},       {'5', 0x06, false},          {VK_LSHIFT, 0x2A, false},
    {VK_RSHIFT, 0x36, false}, {VK_LCONTROL, 0x1D, false},  {VK_LCONTROL, 0x1D, false},
    {VK_LMENU, 0x38, false},  {VK_F2, 0x3C, false},        {VK_F3, 0x3D, false},
    {VK_F4, 0x3E, false},     {VK_F5, 0x3F, false},        {VK_F6, 0x40, false},
}};

constexpr Key Alt = {VK_LMENU, 0x38, false};

// Another application's window that takes the keys and does nothing with them: no system
// menu for Alt to open, nothing for Alt+F4 to close.
LRESULT CALLBACK QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_SYSCOMMAND:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

class QuietWindow {
public:
    QuietWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &QuietProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuietApplication";
        RegisterClassA(&windowClass);
        window_.reset(CreateWindowExA(0, "QuietApplication", "Another application",
                                      WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr,
                                      windowClass.hInstance, nullptr));
        SetForegroundWindow(window_.get());
        SetActiveWindow(window_.get());
        SetFocus(window_.get());
    }

private:
    fw::Window window_;
};

// The first broken rule in a run of short messages, or "".
std::string BrokenRule(const std::vector<uint32_t>& messages, int& noteOns) {
    std::set<std::pair<uint32_t, uint32_t>> sounding; // channel, note
    noteOns = 0;
    for (size_t i = 0; i < messages.size(); ++i) {
        const uint32_t status = messages[i] & 0xF0, channel = messages[i] & 0x0F;
        const uint32_t note = (messages[i] >> 8) & 0xFF;
        const std::string where = " (message " + std::to_string(i) + ")";
        if (status == 0x90) {
            ++noteOns;
            if (!sounding.insert({channel, note}).second) {
                return "note-on for sounding note " + std::to_string(note) + where;
            }
        } else if (status == 0x80) {
            if (sounding.erase({channel, note}) == 0) {
                return "note-off for silent note " + std::to_string(note) + where;
            }
        } else {
            return "a message other than a note-on or note-off" + where;
        }
    }
    if (!sounding.empty()) {
        return std::to_string(sounding.size()) + " notes still sound, the first " +
               std::to_string(sounding.begin()->second);
    }
    return "";
}

TEST(RandomKeystrokes, ThroughTheRealHookLeaveNoNoteSoundingAndEndEachNoteOnce) {
    constexpr uint32_t Seed = 15;
    constexpr int Keystrokes = 3000, Rounds = 10;
    ProgramUnderTest program("RandomKeystrokes");
    e2e::ForgetSettings();
    ASSERT_TRUE(program.Start());
    program.Close();
    e2e::StoreSetting("Pedal Key", "17");
    ASSERT_TRUE(program.Start());
    program.ClearMidiLog();
    QuietWindow other;
    program.Settle(300);

    std::mt19937 random(Seed);
    const auto pick = [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    };
    // Waits until the program has caught up: no new message for a while.
    const auto caughtUp = [&program] {
        size_t count = 0;
        for (int still = 0; still < 4;) {
            program.Settle(250);
            const size_t now = program.ShortMessages().size();
            still = now == count ? still + 1 : 0;
            count = now;
        }
    };
    std::map<WORD, Key> held;
    int noteOns = 0;
    for (int round = 1; round <= Rounds; ++round) {
        for (int stroke = 0; stroke < Keystrokes / Rounds; ++stroke) {
            // Releases a little less often than presses, so chords and held modifiers
            // build up.
            if (!held.empty() && pick(100) < 45) {
                auto it = std::next(held.begin(), pick(static_cast<int>(held.size())));
                e2e::KeyUp(it->second.vk, it->second.scan, it->second.extended);
                held.erase(it);
            } else {
                const Key& key = Keys[static_cast<size_t>(pick(static_cast<int>(Keys.size())))];
                e2e::KeyDown(key.vk, key.scan, key.extended); // again while held: a repeat
                held[key.vk] = key;
            }
            if (pick(200) == 0) program.Settle(600); // a quiet spell
            if (pick(20) == 0) Sleep(2);
        }
        // Everything let go at once; every other round Alt goes down first, as for Alt+Tab,
        // and comes up last, so the others are released in Alt context.
        const bool altFirst = round % 2 == 0;
        if (altFirst) e2e::KeyDown(Alt.vk, Alt.scan, Alt.extended);
        held.erase(Alt.vk);
        for (const auto& [vk, key] : held) e2e::KeyUp(key.vk, key.scan, key.extended);
        e2e::KeyUp(Alt.vk, Alt.scan, Alt.extended);
        held.clear();
        caughtUp();
        ASSERT_EQ(BrokenRule(program.ShortMessages(), noteOns), "")
            << "seed " << Seed << ", round " << round;
    }
    for (const e2e::MidiCall& call : program.MidiCalls()) {
        EXPECT_NE(call.name, "midiOutReset") << "nothing was to silence the port on the way";
    }
    EXPECT_GT(noteOns, Keystrokes / 10) << "seed " << Seed;
    EXPECT_EQ(program.Close(), 0);
}

} // namespace

} // namespace zevaver
