// The settings dialog's shortcut fields: the platform's hot-key fields, made to hold what
// the user means.
// - A field holds the last shortcut typed into it. Modifiers pressed on their own only
//   start a combination: Shift+Tab out of a field, or Ctrl pressed and let go, leaves its
//   shortcut as it was, where the platform's field would show and report no key.
// - A field takes every combination. Alt with a letter or digit is a shortcut there, not
//   the mnemonic of a button or label; mnemonics work from the dialog's other controls.
#pragma once

#include "engine/Commands.h"
#include "framework/win/Handles.h"

#include <array>
#include <cstdint>

#include <windows.h>

namespace zevaver {

class ShortcutFields {
public:
    ShortcutFields() = default;
    ShortcutFields(const ShortcutFields&) = delete;
    ShortcutFields& operator=(const ShortcutFields&) = delete;
    ~ShortcutFields() = default;

    // Takes over the dialog's fields, in slot order, for as long as they live, and watches
    // the calling thread's dialog loop until Detach. Values set with HKM_SETHOTKEY are held.
    void Attach(const std::array<HWND, ShortcutCount>& fields);
    // Stops watching the dialog loop (the dialog is closing).
    void Detach() noexcept { filter_.reset(); }

    // The hot-key value a field holds: its shortcut, never a half-typed combination.
    [[nodiscard]] uint32_t Held(size_t slot) const noexcept { return held_[slot]; }

private:
    static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR slot, DWORD_PTR self) noexcept;
    static LRESULT CALLBACK DialogFilter(int code, WPARAM wParam, LPARAM lParam) noexcept;
    [[nodiscard]] static bool IsField(HWND window) noexcept;
    void ShowHeld(HWND field, size_t slot) noexcept;

    std::array<uint32_t, ShortcutCount> held_{};
    fw::Hook filter_;
};

} // namespace zevaver
