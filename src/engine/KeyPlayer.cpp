#include "engine/KeyPlayer.h"

#include "keyboard/KeyPositions.h"

#include <utility>

namespace zevaver {

namespace {

constexpr int MaxVelocity = 127;

// The base octave in use is the low byte of the setting, read back signed.
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

int32_t LayoutNoteOffset(int32_t baseOctave, int32_t transpose) noexcept {
    return transpose + LowByteSigned(baseOctave);
}

// Bit 31 key going up, bit 30 key was already down, bit 29 Alt context. Wanted: a first
// key-down (0x0), a first key-down in Alt context (0x2, 0x3), and every key-up: a key
// released while Alt is held, or whose earlier down the hook did not see, is released all
// the same, and dropping it would leave its note sounding or its modifier held.
// Auto-repeats (0x4..0x7) are dropped.
bool KeyPlayer::IsWantedTransition(uint32_t lParam) noexcept {
    switch (lParam >> 28) {
    case 0x0:
    case 0x2:
    case 0x3:
        return true;
    default:
        return (lParam & ReleaseBit) != 0;
    }
}

void KeyPlayer::KeyWatchKeyNative(int32_t wParam, uint32_t lParam) {
    // Widened first: negating the most negative 32-bit value would overflow.
    int64_t key = wParam;
    if (key < 0) key = -key;

    ReconcileAfterQuietSpell();
    // The hook keeps its own key state, which misses the same key-ups: after a return from
    // another desktop it reports the next press of such a key as an auto-repeat. A repeat
    // of a key not held is that key's first down.
    const uint32_t top = lParam >> 28;
    if (top >= 0x4 && top <= 0x7 && key <= 255 && !KeyHeld(static_cast<int32_t>(key))) {
        lParam &= ~PreviousDownBit;
    }
    if (!IsWantedTransition(lParam)) return;
    if ((lParam & ReleaseBit) != 0) {
        KeyUp(key, lParam);
    } else {
        KeyDown(key, lParam);
    }
}

namespace {

bool IsModifierKey(int64_t key) noexcept {
    return key == vk::Shift || key == vk::Control || key == vk::Menu || key == vk::LeftWin ||
           key == vk::RightWin || (key >= vk::LeftShift && key <= vk::RightMenu);
}

} // namespace

int64_t LayoutKeyOf(int64_t key, uint32_t flags, bool byPosition) noexcept {
    if (!byPosition || key < 0 || key > 255 || IsModifierKey(key)) return key;
    const KeyPosition place{static_cast<uint16_t>(flags >> vk::KeyScanCodeShift & 0xFFu),
                            (flags & vk::KeyExtendedBit) != 0};
    const uint16_t usKey = UsKeyAt(place);
    return usKey == 0 || IsModifierKey(usKey) ? key : usKey;
}

void KeyPlayer::KeyDown(int64_t key, uint32_t lParam) {
    UpdateHeldModifiers(key, true);
    const int64_t layoutKey = LayoutKey(key, lParam);
    if (key <= 255) {
        keysDown_.set(static_cast<std::size_t>(key));
        downLayoutKey_[static_cast<std::size_t>(key)] = static_cast<uint8_t>(layoutKey);
    }
    // Another key makes a held modifier part of a combination, no key of its own.
    if (key != loneModifier_) loneModifier_ = NoLoneModifier;

    if (key == settings_.PedalKey) {
        pedalDown_ = true;
        return;
    }

    if (!host_.IsSettingsDialogOpen() && RunShortcut(key)) return;

    const bool mapping = MappingKeys(key);
    const bool heldForMapping = mapping && IsModifierKey(key);
    if (mapping && !heldForMapping && !ctrlHeld_ && !altHeld_ && !winHeld_ &&
        host_.TakeKey(static_cast<int32_t>(key), EntryOf(layoutKey, lParam))) {
        return;
    }
    if (heldForMapping) {
        loneModifier_ = key;
        loneEntry_ = EntryOf(key, lParam);
    }

    switch (key) {
    case VkShift:
        if (heldForMapping) break;
        if (lParam == LeftShiftDown && keyNotes_[LeftShiftEntry] != 0) {
            StartKeyNote(LeftShiftEntry);
        }
        if (lParam == RightShiftDown && keyNotes_[RightShiftEntry] != 0) {
            StartKeyNote(RightShiftEntry);
        }
        break;
    case VkControl:
        ctrlHeld_ = true;
        break;
    case VkMenu:
        altHeld_ = true;
        break;
    case VkLeftWin:
        winHeld_ = true;
        break;
    default:
        break;
    }

    if (!heldForMapping && layoutKey <= 255 &&
        keyNotes_[static_cast<std::size_t>(layoutKey)] != 0) {
        StartKeyNote(static_cast<std::size_t>(layoutKey));
    }
}

bool KeyPlayer::PlayingAllowed() {
    return (settings_.Enabled || host_.IsMainWindowActive()) && !host_.IsSettingsDialogOpen();
}

bool KeyPlayer::MappingKeys(int64_t key) {
    return key > 0 && key <= 255 && host_.TakingKeys() && PlayingAllowed();
}

int32_t KeyPlayer::EntryOf(int64_t key, uint32_t lParam) noexcept {
    if (key == VkShift) {
        if (lParam == LeftShiftDown) return LeftShiftEntry;
        if (lParam == RightShiftDown) return RightShiftEntry;
    }
    return static_cast<int32_t>(key);
}

// A key-up is never gated: whatever changed since the key went down (playing switched off,
// the dialog opened, Alt pressed, the key became the pedal key), its release ends what its
// press started and lets go of the modifier it held.
void KeyPlayer::KeyUp(int64_t key, uint32_t lParam) {
    UpdateHeldModifiers(key, false);
    const int64_t layoutKey = KeyHeld(static_cast<int32_t>(key))
                                  ? downLayoutKey_[static_cast<std::size_t>(key)]
                                  : LayoutKey(key, lParam);
    if (key <= 255) keysDown_.reset(static_cast<std::size_t>(key));
    if (key == loneModifier_) {
        loneModifier_ = NoLoneModifier;
        if (MappingKeys(key)) (void)host_.TakeKey(static_cast<int32_t>(key), loneEntry_);
    }

    switch (key) {
    case VkShift: {
        // Which Shift key by its scan code; a release that names neither ends both.
        auto scanCodeOf = [](uint32_t flags) { return flags >> vk::KeyScanCodeShift & 0xFFu; };
        const uint32_t scanCode = scanCodeOf(lParam);
        if (scanCode != scanCodeOf(RightShiftUp)) EndKeyNote(LeftShiftEntry);
        if (scanCode != scanCodeOf(LeftShiftUp)) EndKeyNote(RightShiftEntry);
        break;
    }
    case VkControl:
        ctrlHeld_ = false;
        break;
    case VkMenu:
        altHeld_ = false;
        break;
    case VkLeftWin:
        winHeld_ = false;
        break;
    default:
        break;
    }
    if (layoutKey <= 255) EndKeyNote(static_cast<std::size_t>(layoutKey));

    if (key == settings_.PedalKey) {
        pedalDown_ = false;
        UpdatePedal();
    }
}

void KeyPlayer::UpdateHeldModifiers(int64_t key, bool down) noexcept {
    switch (key) {
    case VkShift:
        heldModifiers_.Shift = down;
        break;
    case VkControl:
        heldModifiers_.Ctrl = down;
        break;
    case VkMenu:
        heldModifiers_.Alt = down;
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

void KeyPlayer::StartKeyNote(std::size_t entry) {
    if (!PlayingAllowed()) return;
    // A key-down whose key-up was lost must not strand the note it started before.
    EndKeyNote(entry);
    if (ctrlHeld_ || altHeld_ || winHeld_) return;
    const int32_t note = keyNotes_[entry] + NoteOffset();
    ownedNotes_[entry] = note;
    host_.PressNote(note, MaxVelocity - host_.VelocityPosition());
}

void KeyPlayer::EndKeyNote(std::size_t entry) {
    const int32_t note = std::exchange(ownedNotes_[entry], NoKeyNote);
    if (note != NoKeyNote && host_.IsNoteSounding(note)) host_.ReleaseNote(note);
}

void KeyPlayer::ReconcileAfterQuietSpell() {
    const uint32_t now = host_.EventTime();
    const bool afterSilence = sawEvent_ && now - lastEventTime_ >= QuietSpellMs;
    sawEvent_ = true;
    lastEventTime_ = now;
    if (afterSilence) ReconcileHeldKeys();
}

void KeyPlayer::ReconcileHeldKeys() {
    // A release never seen is no key pressed alone.
    loneModifier_ = NoLoneModifier;
    for (std::size_t key = 0; key < keysDown_.size(); ++key) {
        if (!keysDown_[key] || host_.IsKeyDown(static_cast<int32_t>(key))) continue;
        // No scan code: for Shift, both sides' notes end, and both keys are up.
        KeyUp(static_cast<int64_t>(key), 0xC0000001u);
    }
    // One Shift key still down while the other's release was lost.
    if (ownedNotes_[LeftShiftEntry] != NoKeyNote && !host_.IsKeyDown(VkLeftShift)) {
        EndKeyNote(LeftShiftEntry);
    }
    if (ownedNotes_[RightShiftEntry] != NoKeyNote && !host_.IsKeyDown(VkRightShift)) {
        EndKeyNote(RightShiftEntry);
    }
}

void KeyPlayer::SetTranspose(int32_t value) {
    UpdatePedal();
    transpose_ = value;
}

// Held keys lose their notes here: the release-all lifted them, and a key-up must not end
// a note that another key or the mouse strikes afterwards.
void KeyPlayer::UpdatePedal() {
    host_.ReleaseAllNotes();
    ownedNotes_.fill(NoKeyNote);
    host_.SetPushChecked(pedalDown_);
}

void KeyPlayer::TogglePedalLatch() {
    pedalDown_ = !pedalDown_;
    UpdatePedal();
}

void KeyPlayer::PedalKeyChanging() {
    if (!KeyHeld(settings_.PedalKey)) return;
    pedalDown_ = false;
    UpdatePedal();
}

} // namespace zevaver
