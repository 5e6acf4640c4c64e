#include "mainwindow/EditNotices.h"

#include "engine/VirtualKeys.h"

#include <array>

namespace zevaver {

namespace {

// Texts put together by appending (GCC 12 misreads "a" + b).
template <typename... Parts> std::string Joined(const Parts&... parts) {
    std::string text;
    (text.append(parts), ...);
    return text;
}

} // namespace

std::string NoteName(int note) {
    constexpr std::array<std::string_view, 12> Names = {"C",  "C#", "D",  "D#", "E",  "F",
                                                        "F#", "G",  "G#", "A",  "A#", "B"};
    if (note < 0) return "?";
    return Joined(Names[static_cast<size_t>(note % 12)], std::to_string(note / 12));
}

std::string EditingNotice() {
    return "Editing keys: click a key here, then press the computer key that should play it. "
           "Esc stops.";
}

std::string PickedNotice(int note) {
    return Joined(std::string_view("Press the computer key for "), NoteName(note),
                  std::string_view(". Delete removes the keys that play it."));
}

std::string MappedNotice(std::string_view keyName, int note, int previous, std::string_view duty) {
    std::string text =
        Joined(keyName, std::string_view(" plays "), NoteName(note), std::string_view(" now"));
    if (previous >= 0) text += Joined(std::string_view(", no longer "), NoteName(previous));
    if (!duty.empty()) text += Joined(std::string_view("; in this window it no longer "), duty);
    text += '.';
    return text;
}

std::string KeyNameInWords(int entry, std::string shownName) {
    return entry == vk::Space ? std::string("Space") : shownName;
}

std::string RemovedNotice(int note) {
    return Joined(std::string_view("No computer key plays "), NoteName(note),
                  std::string_view(" now."));
}

std::string_view CommandKeyDuty(uint16_t key) noexcept {
    switch (key) {
    case vk::PageUp:
    case vk::PageDown:
        return "transposes";
    case vk::Insert:
        return "sets the transposition back to 0";
    case vk::Add:
        return "zooms in";
    case vk::Subtract:
        return "zooms out";
    case vk::Space:
        return "latches the pedal";
    case vk::F2:
        return "chooses base octave C2";
    case vk::F3:
        return "chooses base octave C3";
    case vk::F4:
        return "chooses base octave C4";
    case vk::F5:
        return "chooses base octave C5";
    case vk::F6:
        return "chooses base octave C6";
    case vk::F9:
        return "opens Settings";
    default:
        return {};
    }
}

} // namespace zevaver
