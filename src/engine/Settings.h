// The settings record. Its field initialisers are the factory defaults; the application
// core holds the one the program uses, reads it from the store once at start and writes it
// back once at shutdown. Everything in between reads and changes the fields directly.
#pragma once

#include "engine/Commands.h"

#include <array>
#include <cstdint>
#include <string>

namespace zevaver {

// A shortcut value: low byte the virtual-key code, plus these modifier bits.
inline constexpr int32_t ShortcutShift = 0x2000;
inline constexpr int32_t ShortcutCtrl = 0x4000;
inline constexpr int32_t ShortcutAlt = 0x8000;

struct TSettings {
    // The window: its outer size in pixels at `Dpi` (the factory size is at 96 DPI), and its
    // top-left corner on the desktop in pixels.
    int32_t Width = 716;
    int32_t Height = 140;
    int32_t Top = 0;  // replaced on the first run
    int32_t Left = 0; // replaced on the first run
    // The DPI of the window's screen when Width and Height were stored. 0: settings of an
    // earlier version, which Windows ran at 96 DPI (and stretched on a screen of more).
    int32_t Dpi = 0;
    int32_t NoteWidth = 16; // the zoom: the white keys' width in pixels at 96 DPI
    bool Vertical = false;
    std::string Skin = "Zevizi"; // in the system's 8-bit code page, as the skin folders are found
    int32_t Velocity = 0;        // fader position; the note-on velocity is 127 minus this
    bool Enabled = true;
    int32_t Device = 0; // -1 is the MIDI mapper
    // The chosen port's name, in the system's 8-bit code page as the library gives it: the
    // port is found by it wherever it stands in the list. Empty: go by Device alone.
    std::string DeviceName;
    int32_t Channel = 1;
    int32_t BaseOctave = 0; // -24, -12, 0, 12, 24 for C2..C6
    int32_t PedalKey = -1;  // 17 Ctrl, 16 Shift, -1 none
    // By slot; the command table says which command each slot clicks.
    std::array<int32_t, ShortcutCount> Shortcuts = DefaultShortcuts();
    int32_t ShortcutsDialogLeft = 120;
    int32_t ShortcutsDialogTop = 120;
    bool KillKeystrokes = true;
    std::string Layout = "Piano"; // UTF-8: a layout file's name may hold any character
    bool KeyNames = false;        // the on-screen keys show the computer keys that play them
    // Keys are known by where they sit (their scan code), as the US English layout names
    // that place, rather than by what the user's layout prints on them. On for a new user;
    // off for settings stored without it, whose layouts may be written for their own keyboard.
    bool KeysByPosition = true;
};

} // namespace zevaver
