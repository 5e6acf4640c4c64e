#include "keyboard/KernelKeys.h"

#include <array>
#include <cstddef>

namespace zevaver {

namespace {

// The kernel numbers most of the main block, the function keys up to F10 and the number pad
// exactly as their set-1 scan codes (1 Esc .. 83 pad .); everything else is listed here, as
// far as the US table knows the place (the Japanese conversion keys, for one, it does not).
struct KernelPlace {
    uint16_t kernelCode;
    uint8_t scanCode;
    bool extended;
};

constexpr KernelPlace OtherPlaces[] = {
    // Num Lock shares its scan code with Pause; Windows tells them apart by the extended
    // flag, which Num Lock carries.
    {69, 0x45, true},   {86, 0x56, false}, // the extra key of ISO keyboards, left of Z
    {87, 0x57, false},                     // F11
    {88, 0x58, false},                     // F12
    {89, 0x73, false},                     // the Brazilian and Japanese /? key
    {96, 0x1C, true},                      // pad Enter
    {97, 0x1D, true},                      // right Ctrl
    {98, 0x35, true},                      // pad /
    {99, 0x37, true},                      // Print Screen
    {100, 0x38, true},                     // right Alt
    {102, 0x47, true},                     // Home
    {103, 0x48, true},                     // Up
    {104, 0x49, true},                     // Page Up
    {105, 0x4B, true},                     // Left
    {106, 0x4D, true},                     // Right
    {107, 0x4F, true},                     // End
    {108, 0x50, true},                     // Down
    {109, 0x51, true},                     // Page Down
    {110, 0x52, true},                     // Insert
    {111, 0x53, true},                     // Delete
    {113, 0x20, true},                     // mute
    {114, 0x2E, true},                     // volume down
    {115, 0x30, true},                     // volume up
    {117, 0x59, false},                    // pad =
    {119, 0x45, false},                    // Pause
    {121, 0x7E, false},                    // the Brazilian pad .
    {125, 0x5B, true},                     // left Windows (Super)
    {126, 0x5C, true},                     // right Windows (Super)
    {127, 0x5D, true},                     // the menu key
    {128, 0x68, true},                     // browser stop
    {140, 0x21, true},                     // calculator
    {142, 0x5F, true},                     // sleep
    {155, 0x6C, true},                     // mail
    {156, 0x66, true},                     // favourites
    {157, 0x6B, true},                     // my computer
    {158, 0x6A, true},                     // back
    {159, 0x69, true},                     // forward
    {163, 0x19, true},                     // next track
    {164, 0x22, true},                     // play/pause
    {165, 0x10, true},                     // previous track
    {166, 0x24, true},                     // stop
    {172, 0x32, true},                     // browser home
    {173, 0x67, true},                     // refresh
    {183, 0x64, false},                    // F13
    {184, 0x65, false},                    // F14
    {185, 0x66, false},                    // F15
    {186, 0x67, false},                    // F16
    {187, 0x68, false},                    // F17
    {188, 0x69, false},                    // F18
    {189, 0x6A, false},                    // F19
    {190, 0x6B, false},                    // F20
    {191, 0x6C, false},                    // F21
    {192, 0x6D, false},                    // F22
    {193, 0x6E, false},                    // F23
    {194, 0x76, false},                    // F24
    {217, 0x65, true},                     // browser search
    {226, 0x6D, true},                     // media select
};

constexpr uint32_t LastSameAsScanCode = 83;
constexpr std::size_t TableSize = 256;

constexpr std::array<KeyPosition, TableSize> Places = [] {
    std::array<KeyPosition, TableSize> places{};
    for (uint16_t code = 1; code <= LastSameAsScanCode; ++code) places[code] = {code, false};
    for (const KernelPlace& place : OtherPlaces)
        places[place.kernelCode] = {place.scanCode, place.extended};
    return places;
}();

} // namespace

KeyPosition KernelKeyPosition(uint32_t kernelCode) noexcept {
    return kernelCode < Places.size() ? Places[kernelCode] : KeyPosition{};
}

uint32_t KernelCodeAt(KeyPosition position) noexcept {
    if (position.scanCode == 0) return 0;
    // No two kernel codes share a place, so the first one found is the one.
    for (uint32_t code = 1; code < Places.size(); ++code)
        if (Places[code] == position) return code;
    return 0;
}

uint16_t UsKeyOfKernelCode(uint32_t kernelCode) noexcept {
    const KeyPosition position = KernelKeyPosition(kernelCode);
    return position.scanCode == 0 ? 0 : UsKeyAt(position);
}

} // namespace zevaver
