// The rules by which the input watch and its hook library encode and decode what they
// pass to each other: key messages built from low-level keystrokes, mouse messages,
// shell event codes and window titles. No platform header: the numbers the platform
// defines are repeated here where needed.
#pragma once

#include "engine/VirtualKeys.h"
#include "framework/Input.h"
#include "framework/Paths.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace zevaver {

namespace watch {

// Kinds of watching the hook library understands.
inline constexpr int32_t KindKeyboard = 1;
inline constexpr int32_t KindMouse = 2;
inline constexpr int32_t KindShell = 3;
[[nodiscard]] constexpr bool IsKnownKind(int32_t kind) noexcept {
    return kind == KindKeyboard || kind == KindMouse || kind == KindShell;
}

// ---- Key messages ----

// Bits of a key message's lParam (from the one key header).
using vk::KeyAltContextBit;
using vk::KeyExtendedBit;
using vk::KeyPreviousDownBit;
using vk::KeyReleaseBit;
using vk::KeyRepeatCountOne;
using vk::KeyScanCodeShift;

// Virtual-key codes the composition treats specially (numbers from the one key header).
inline constexpr uint32_t VkShift = vk::Shift;
inline constexpr uint32_t VkControl = vk::Control;
inline constexpr uint32_t VkMenu = vk::Menu; // Alt
inline constexpr uint32_t VkLeftShift = vk::LeftShift;
inline constexpr uint32_t VkRightShift = vk::RightShift;
inline constexpr uint32_t VkLeftControl = vk::LeftControl;
inline constexpr uint32_t VkRightControl = vk::RightControl;
inline constexpr uint32_t VkLeftMenu = vk::LeftMenu;
inline constexpr uint32_t VkRightMenu = vk::RightMenu;

inline constexpr uint32_t LeftShiftScanCode = 0x2A;
inline constexpr uint32_t RightShiftScanCode = 0x36;

// The code the receiver gets for a key: either Shift, Ctrl or Alt becomes the generic
// 16, 17 or 18 (the player keeps left and right apart by scan code); others pass as is.
[[nodiscard]] uint32_t GenericKeyCode(uint32_t virtualKey) noexcept;

// One transition as a low-level keyboard hook sees it.
struct RawKeystroke {
    uint32_t virtualKey = 0; // sided codes for the modifiers (160..165); 0 if none
    uint32_t scanCode = 0;   // 0 when the input carried none
    // What the platform maps the virtual key to; only used when scanCode is 0.
    uint32_t mappedScanCode = 0;
    bool extended = false;
    bool released = false;
    // What the platform maps the scan code to; only used when virtualKey is 0 (input
    // injected by scan code alone reaches some hooks without a key code).
    uint32_t mappedVirtualKey = 0;
};

// wParam and lParam of one "WATCH_KEY_EVENT" message.
struct KeyMessage {
    int32_t wParam = 0;
    int32_t lParam = 0;
    friend bool operator==(const KeyMessage&, const KeyMessage&) = default;
};

// Low-level hooks report no previous key state, so the library keeps its own: that is
// what marks auto-repeats and tells whether Alt is held.
class KeyStateTracker {
public:
    // Records one transition and returns the message that reports it.
    [[nodiscard]] KeyMessage Apply(const RawKeystroke& keystroke) noexcept;
    [[nodiscard]] bool IsDown(uint32_t virtualKey) const noexcept;
    void Reset() noexcept { down_.reset(); }

private:
    [[nodiscard]] bool AltHeld() const noexcept;
    std::bitset<256> down_;
};

// ---- Mouse messages ----

using MouseButton = fw::MouseButton;
enum class MouseAction { Move, Down, Up };

struct MouseEvent {
    MouseAction action = MouseAction::Move;
    MouseButton button = MouseButton::Left; // meaningless for a move
    bool doubleClick = false;
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

// wParam is the platform's mouse message number, of which only the low four bits count;
// lParam holds x in its low and y in its high 16 bits, both signed screen coordinates.
[[nodiscard]] MouseEvent DecodeMouse(uint32_t wParam, uint32_t lParam) noexcept;
// The lParam the library posts for a pointer position (each coordinate cut to 16 bits).
[[nodiscard]] uint32_t MousePositionParam(int32_t x, int32_t y) noexcept;

// ---- Shell events ----

enum class ShellEvent {
    None,
    WindowCreated,
    WindowDestroyed,
    ActivateShellWindow,
    WindowActivated
};
inline constexpr int32_t ShellCodeWindowCreated = 1;
inline constexpr int32_t ShellCodeWindowDestroyed = 2;
inline constexpr int32_t ShellCodeActivateShellWindow = 3;
inline constexpr int32_t ShellCodeWindowActivated = 4;

[[nodiscard]] ShellEvent DecodeShellCode(int32_t code) noexcept;

// The shell code the library reports for a window event of the platform's accessibility
// events (object created, object destroyed, foreground changed); 0 for any other.
inline constexpr uint32_t WinEventSystemForeground = 0x0003;
inline constexpr uint32_t WinEventObjectCreate = 0x8000;
inline constexpr uint32_t WinEventObjectDestroy = 0x8001;
[[nodiscard]] int32_t ShellCodeForWinEvent(uint32_t event) noexcept;

// Titles are read with a 300-character buffer, so they carry at most 299 characters.
inline constexpr int TitleBufferSize = 300;
inline constexpr size_t MaxTitleLength = TitleBufferSize - 1;
[[nodiscard]] std::string CutTitle(std::string_view title);

// Drops a window activation whose title equals the last one, unless repeats are wanted.
class ActivationFilter {
public:
    // Whether to report this activation; either way its title becomes the last one.
    [[nodiscard]] bool ShouldReport(std::string_view title, bool repeatedEvents);
    [[nodiscard]] const std::string& LastTitle() const noexcept { return last_; }

private:
    std::string last_;
};

// ---- Where the library lives ----

// The full path of a file in the folder of the given module path.
using fw::PathBeside;

} // namespace watch

} // namespace zevaver
