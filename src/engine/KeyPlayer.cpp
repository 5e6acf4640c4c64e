#include "engine/KeyPlayer.h"

namespace {

constexpr int MaxVelocity = 127;

// The base octave is kept per note code as the low byte of the setting read back signed, so
// a key-up is computed with the octave of its own key-down.
constexpr int8_t LowByteSigned(int32_t value) noexcept {
    return static_cast<int8_t>(static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu));
}

} // namespace

int32_t ShortcutValue(int64_t key, ModifierSet modifiers) noexcept {
    if (key < 0 || key > 255) return 0;
    int32_t value = static_cast<int32_t>(key);
    if (modifiers.Shift) value += ShortcutShift;
    if (modifiers.Ctrl) value += ShortcutCtrl;
    if (modifiers.Alt) value += ShortcutAlt;
    return value;
}

// Bit 31 key going up, bit 30 key was already down, bit 29 Alt context. Wanted: a first
// key-down (0x0), a first key-down in Alt context (0x2, 0x3) and the key-up of a key that was
// down, outside Alt context (0xC). Auto-repeats and Alt-context key-ups are dropped.
bool KeyPlayer::IsWantedTransition(uint32_t lParam) noexcept {
    switch (lParam >> 28) {
    case 0x0:
    case 0x2:
    case 0x3:
    case 0xC:
        return true;
    default:
        return false;
    }
}

void KeyPlayer::KeyWatchKeyNative(int32_t wParam, uint32_t lParam) {
    // Widened first: negating the most negative 32-bit value would overflow.
    int64_t key = wParam;
    if (key < 0) key = -key;

    if (!IsWantedTransition(lParam)) return;
    keyDown_ = (lParam >> 28) != 0xC;

    UpdateHeldModifiers(key);

    if (key == settings_.PedalKey) {
        pedalDown_ = keyDown_;
        if (!keyDown_) UpdatePedal();
        return;
    }

    if (keyDown_ && !host_.IsSettingsDialogOpen() && RunShortcut(key)) return;

    switch (key) {
    case VkShift:
        PlayShiftEntries(lParam);
        break;
    case VkControl:
        ctrlHeld_ = keyDown_;
        break;
    case VkMenu:
        altHeld_ = keyDown_;
        break;
    case VkLeftWin:
        winHeld_ = keyDown_;
        break;
    default:
        break;
    }

    if (key <= 255) {
        const uint8_t code = keyNotes_[static_cast<std::size_t>(key)];
        if (code != 0) PlayCode(code);
    }
}

void KeyPlayer::UpdateHeldModifiers(int64_t key) noexcept {
    switch (key) {
    case VkShift:
        heldModifiers_.Shift = keyDown_;
        break;
    case VkControl:
        heldModifiers_.Ctrl = keyDown_;
        break;
    case VkMenu:
        heldModifiers_.Alt = keyDown_;
        break;
    default:
        break;
    }
}

// 0 means "no shortcut" in a slot, so a key whose value is 0 (a code above 255, or code 0
// with no modifier) must not fire the first empty slot.
bool KeyPlayer::RunShortcut(int64_t key) {
    const int32_t value = ShortcutValue(key, heldModifiers_);
    if (value == 0) return false;
    for (int slot = 0; slot < ShortcutCount; ++slot) {
        if (settings_.Shortcuts[static_cast<std::size_t>(slot)] == value) {
            host_.ClickCommand(ShortcutCommand(slot).id);
            return true;
        }
    }
    return false;
}

void KeyPlayer::PlayShiftEntries(uint32_t lParam) {
    if ((lParam == LeftShiftDown || lParam == LeftShiftUp) && keyNotes_[LeftShiftEntry] != 0) {
        PlayCode(keyNotes_[LeftShiftEntry]);
    }
    if ((lParam == RightShiftDown || lParam == RightShiftUp) && keyNotes_[RightShiftEntry] != 0) {
        PlayCode(keyNotes_[RightShiftEntry]);
    }
}

void KeyPlayer::PlayCode(uint8_t code) {
    if (!settings_.Enabled && !host_.IsMainWindowActive()) return;
    if (host_.IsSettingsDialogOpen()) return;

    if (keyDown_) {
        pressOctaves_[code] = LowByteSigned(settings_.BaseOctave);
        if (ctrlHeld_ || altHeld_ || winHeld_) return;
        const int32_t note = transpose_ + code + pressOctaves_[code];
        host_.PressNote(note, MaxVelocity - host_.VelocityPosition());
    } else {
        const int32_t note = transpose_ + code + pressOctaves_[code];
        if (host_.IsNoteSounding(note)) host_.ReleaseNote(note);
    }
}

void KeyPlayer::FormKeyDown(uint16_t& key, ModifierSet shift) {
    const int32_t step = shift.Ctrl ? 12 : 1;
    if (key == VkPageDown) {
        const int32_t value = transpose_ - step;
        SetTranspose(value < -MaxTranspose ? -MaxTranspose : value);
        key = 0;
    }
    if (key == VkPageUp) {
        const int32_t value = transpose_ + step;
        SetTranspose(value > MaxTranspose ? MaxTranspose : value);
        key = 0;
    }
    // Command keys click their item and still reach the window.
    if (auto command = CommandForKey(key)) host_.ClickCommand(*command);
    if (key == VkInsert) SetTranspose(0);
}

void KeyPlayer::SetTranspose(int32_t value) {
    UpdatePedal();
    transpose_ = value;
    host_.CheckTransposeItem(value);
}

void KeyPlayer::UpdatePedal() {
    host_.ReleaseAllNotes();
    host_.SetPushChecked(pedalDown_);
}

void KeyPlayer::TogglePedalLatch() {
    pedalDown_ = !pedalDown_;
    UpdatePedal();
}
