#include "services/AccessHotKeys.h"

#include "engine/NumberText.h"

#include <algorithm>

namespace zevaver {

uint32_t HotKeyFlagsToClear(uint32_t flags) noexcept {
    if ((flags & AccessFeatureOn) != 0 || (flags & AccessHotKeyActive) == 0) return 0;
    return flags & (AccessHotKeyActive | AccessConfirmHotKey);
}

std::string AccessRecordText(const std::array<uint32_t, 3>& cleared) {
    if (std::all_of(cleared.begin(), cleared.end(), [](uint32_t f) { return f == 0; })) return {};
    std::string text;
    for (uint32_t flags : cleared) {
        if (!text.empty()) text += ' ';
        text += std::to_string(flags);
    }
    return text;
}

// Only the hot-key flags are ever given back, whatever the text holds.
std::array<uint32_t, 3> ParseAccessRecord(std::string_view text) noexcept {
    std::array<uint32_t, 3> flags{};
    for (uint32_t& f : flags) {
        const size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        text.remove_prefix(start);
        const size_t end = std::min(text.find(' '), text.size());
        f = static_cast<uint32_t>(ReadLeadingNumber(text.substr(0, end))) &
            (AccessHotKeyActive | AccessConfirmHotKey);
        text.remove_prefix(end);
    }
    return flags;
}

std::string RegistryAccessRecord::Read() {
    if (!registry_.KeyExists(RegistryHive::CurrentUser, keyPath_) ||
        !registry_.OpenKey(RegistryHive::CurrentUser, keyPath_, false))
        return {};
    RegistryText value = registry_.ReadString(std::string(ValueName));
    registry_.CloseKey();
    return value.kind == RegistryText::Kind::Text ? value.text : std::string();
}

bool RegistryAccessRecord::Write(const std::string& text) {
    if (!registry_.OpenKey(RegistryHive::CurrentUser, keyPath_, true)) return false;
    const bool written = registry_.WriteString(std::string(ValueName), text);
    registry_.CloseKey();
    return written;
}

void AccessHotKeys::GiveBack(const std::array<uint32_t, 3>& flags) noexcept {
    for (size_t i = 0; i < AccessFeatures.size(); ++i) {
        if (flags[i] == 0) continue;
        if (const auto now = system_.Flags(AccessFeatures[i]))
            (void)system_.SetFlags(AccessFeatures[i], *now | flags[i]);
    }
}

void AccessHotKeys::SwitchOff() {
    if (const std::string left = record_.Read(); !left.empty()) {
        GiveBack(ParseAccessRecord(left));
        (void)record_.Write({});
    }
    std::array<uint32_t, 3> clear{};
    for (size_t i = 0; i < AccessFeatures.size(); ++i) {
        if (const auto flags = system_.Flags(AccessFeatures[i]))
            clear[i] = HotKeyFlagsToClear(*flags);
    }
    if (AccessRecordText(clear).empty()) return;
    // Written down before anything changes: a crash in between leaves flags to put back
    // that are there already, which is no harm.
    (void)record_.Write(AccessRecordText(clear));
    for (size_t i = 0; i < AccessFeatures.size(); ++i) {
        if (clear[i] == 0) continue;
        const auto flags = system_.Flags(AccessFeatures[i]);
        if (flags && system_.SetFlags(AccessFeatures[i], *flags & ~clear[i]))
            cleared_[i] = clear[i];
    }
    if (cleared_ != clear) (void)record_.Write(AccessRecordText(cleared_));
}

void AccessHotKeys::RestoreSystem() noexcept {
    GiveBack(cleared_);
    cleared_ = {};
}

void AccessHotKeys::Restore() {
    if (!AnyOff()) return;
    RestoreSystem();
    (void)record_.Write({});
}

bool AccessHotKeys::AnyOff() const noexcept {
    return std::any_of(cleared_.begin(), cleared_.end(), [](uint32_t f) { return f != 0; });
}

} // namespace zevaver
