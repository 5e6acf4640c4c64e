#include "engine/SettingsStore.h"

#include "engine/NumberText.h"

#include <array>
#include <optional>
#include <type_traits>
#include <variant>

namespace zevaver {

namespace {

constexpr const char* KeysByPositionValue = "Keys By Position";

// One registry value bound to the field of one record; the same list, in the same order,
// serves reading and writing.
template <typename Record> struct BoundValue {
    template <typename T> using Ref = std::conditional_t<std::is_const_v<Record>, const T*, T*>;
    const char* name;
    std::variant<Ref<std::string>, Ref<int32_t>, Ref<bool>> field;
    bool unicode = false; // a text in UTF-8 rather than the code page
};

template <typename Record>
std::array<BoundValue<Record>, SettingsValueCount> BindValues(Record& s) {
    return {{
        {"Skin", &s.Skin},
        {"Layout", &s.Layout, true},
        {"Width", &s.Width},
        {"Height", &s.Height},
        {"Left", &s.Left},
        {"Top", &s.Top},
        {"Note Width", &s.NoteWidth},
        {"Velocity", &s.Velocity},
        {"Device", &s.Device},
        {"Channel", &s.Channel},
        {"Base Octave", &s.BaseOctave},
        {"Pedal Key", &s.PedalKey},
        {ShortcutCommand(0).shortcutValueName, &s.Shortcuts[0]},
        {ShortcutCommand(1).shortcutValueName, &s.Shortcuts[1]},
        {ShortcutCommand(2).shortcutValueName, &s.Shortcuts[2]},
        {ShortcutCommand(3).shortcutValueName, &s.Shortcuts[3]},
        {ShortcutCommand(4).shortcutValueName, &s.Shortcuts[4]},
        {ShortcutCommand(5).shortcutValueName, &s.Shortcuts[5]},
        {"Shortcuts Dialog Left", &s.ShortcutsDialogLeft},
        {"Shortcuts Dialog Top", &s.ShortcutsDialogTop},
        {"Vertical", &s.Vertical},
        {"Enabled", &s.Enabled},
        {"Kill Keystrokes", &s.KillKeystrokes},
        {"Device Name", &s.DeviceName},
        {"Key Names", &s.KeyNames},
        {KeysByPositionValue, &s.KeysByPosition},
        {"DPI", &s.Dpi},
    }};
}

// Reads a value; a non-string one is reported and gives nothing.
std::optional<RegistryText> Read(SettingsRegistry& registry, const std::string& name,
                                 const SettingsErrorReport& report, bool unicode = false) {
    RegistryText value = unicode ? registry.ReadUnicodeString(name) : registry.ReadString(name);
    if (value.kind == RegistryText::Kind::WrongType) {
        if (report) report(InvalidDataTypeMessage(name));
        return std::nullopt;
    }
    return value;
}

// Each reader returns whether the value is there at all, of whatever type.

// A missing value empties the text.
bool ReadTextValue(SettingsRegistry& registry, const std::string& name, std::string& field,
                   const SettingsErrorReport& report, bool unicode) {
    auto value = Read(registry, name, report, unicode);
    if (!value) return true;
    const bool present = value->kind == RegistryText::Kind::Text;
    field = present ? std::move(value->text) : std::string();
    return present;
}

// A missing value, or one that is not a whole integer, gives 0.
bool ReadNumberValue(SettingsRegistry& registry, const std::string& name, int32_t& field,
                     const SettingsErrorReport& report) {
    auto value = Read(registry, name, report);
    if (!value) return true;
    const bool present = value->kind == RegistryText::Kind::Text;
    field = present ? ReadSettingsNumber(value->text) : 0;
    return present;
}

// Only exactly "Yes" or "No" changes the field; anything else, or nothing, keeps it.
bool ReadYesNoValue(bool& field, SettingsRegistry& registry, const std::string& name,
                    const SettingsErrorReport& report) {
    auto value = Read(registry, name, report);
    if (!value) return true;
    if (value->kind != RegistryText::Kind::Text) return false;
    if (auto flag = ParseYesNo(value->text)) field = *flag;
    return true;
}

} // namespace

std::string InvalidDataTypeMessage(std::string_view valueName) {
    return "Invalid data type for '" + std::string(valueName) + "'";
}

std::string FailedToSetDataMessage(std::string_view valueName) {
    return "Failed to set data for '" + std::string(valueName) + "'";
}

void CenterOnScreen(TSettings& settings, ScreenSize screen) noexcept {
    settings.Top = screen.Height / 2 - settings.Height / 2;
    settings.Left = screen.Width / 2 - settings.Width / 2;
}

void LoadSettings(TSettings& settings, SettingsRegistry& registry, ScreenSize screen,
                  const SettingsErrorReport& report, std::string_view keyPath) {
    RegistryHive hive = RegistryHive::CurrentUser;
    if (!registry.KeyExists(hive, keyPath)) {
        hive = RegistryHive::LocalMachine;
        if (!registry.KeyExists(hive, keyPath)) {
            CenterOnScreen(settings, screen);
            return;
        }
    }
    // A key that exists but cannot be read is treated like a first run, so every field
    // still holds a usable value.
    if (!registry.OpenKey(hive, keyPath, false)) {
        CenterOnScreen(settings, screen);
        return;
    }
    TSettings loaded = settings;
    bool anyStored = false;
    bool byPositionStored = false;
    for (const auto& value : BindValues(loaded)) {
        const std::string name = value.name;
        const bool present = std::visit(
            [&](auto* field) {
                using Field = std::remove_pointer_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, std::string>)
                    return ReadTextValue(registry, name, *field, report, value.unicode);
                else if constexpr (std::is_same_v<Field, int32_t>)
                    return ReadNumberValue(registry, name, *field, report);
                else
                    return ReadYesNoValue(*field, registry, name, report);
            },
            value.field);
        anyStored = anyStored || present;
        if (name == KeysByPositionValue) byPositionStored = present;
    }
    registry.CloseKey();
    // A key holding none of the settings (only what the program is to put back after a
    // crash) is a first run too.
    if (!anyStored) {
        CenterOnScreen(settings, screen);
        return;
    }
    // Settings of an earlier version: their layouts may be written for the user's own
    // keyboard, by the codes its keys give.
    if (!byPositionStored) loaded.KeysByPosition = false;
    settings = std::move(loaded);
}

bool SaveSettings(const TSettings& settings, SettingsRegistry& registry,
                  const SettingsErrorReport& report, std::string_view keyPath) {
    const auto values = BindValues(settings);
    // A key that cannot be opened fails the first write, and is reported as such.
    if (!registry.OpenKey(RegistryHive::CurrentUser, keyPath, true)) {
        if (report) report(FailedToSetDataMessage(values.front().name));
        return false;
    }
    for (const auto& value : values) {
        const std::string text = std::visit(
            [](const auto* field) -> std::string {
                using Field = std::remove_cv_t<std::remove_pointer_t<decltype(field)>>;
                if constexpr (std::is_same_v<Field, std::string>)
                    return *field;
                else if constexpr (std::is_same_v<Field, int32_t>)
                    return FormatDecimal(*field); // WriteNumberValue
                else
                    return YesNoText(*field); // WriteYesNoValue
            },
            value.field);
        const bool written = value.unicode ? registry.WriteUnicodeString(value.name, text)
                                           : registry.WriteString(value.name, text);
        if (!written) {
            registry.CloseKey();
            if (report) report(FailedToSetDataMessage(value.name));
            return false;
        }
    }
    if (!registry.Flush()) {
        registry.CloseKey();
        if (report) report(FailedToSetDataMessage(values.front().name));
        return false;
    }
    registry.CloseKey();
    return true;
}

} // namespace zevaver
