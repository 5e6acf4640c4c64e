// Reading and writing the settings record as string values of one registry key.
// The registry itself is reached through SettingsRegistry, so the rules here (value
// names, order, how each kind of value is read, what a failure does) run anywhere.
//
// The key lives under HKEY_CURRENT_USER, which a standard user may write. Settings left
// under HKEY_LOCAL_MACHINE by an earlier version are read from there as long as the user
// has no key of their own; they are then written to HKEY_CURRENT_USER at exit.
#pragma once

#include "engine/Settings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zevaver {

inline constexpr std::string_view SettingsKeyPath = "Software\\Zevaver\\MIDI Keyboard";
inline constexpr int SettingsValueCount = 27;

enum class RegistryHive { CurrentUser, LocalMachine };

struct RegistryText {
    enum class Kind {
        Missing,   // no such value, or it could not be queried
        Text,      // a string value (an expandable one is taken literally)
        WrongType, // a value of a non-string type
    };
    Kind kind = Kind::Missing;
    std::string text;
};

// One key open at a time, as the store uses it.
class SettingsRegistry {
public:
    virtual ~SettingsRegistry() = default;
    [[nodiscard]] virtual bool KeyExists(RegistryHive hive, std::string_view path) = 0;
    // forWriting: full access, creating the key when it is missing; otherwise read access
    // to an existing key.
    [[nodiscard]] virtual bool OpenKey(RegistryHive hive, std::string_view path,
                                       bool forWriting) = 0;
    // Texts in the system's 8-bit code page, as every stored text was before Unicode
    // names were needed (a skin's name is what the folder search gives, in that page).
    [[nodiscard]] virtual RegistryText ReadString(const std::string& name) = 0;
    [[nodiscard]] virtual bool WriteString(const std::string& name, const std::string& text) = 0;
    // Texts that may hold any character, in UTF-8 (a layout's name, which may lie outside
    // the code page). The value stays an ordinary string value, so one stored in the code
    // page reads the same either way. A registry of bytes keeps the bytes.
    [[nodiscard]] virtual RegistryText ReadUnicodeString(const std::string& name) {
        return ReadString(name);
    }
    [[nodiscard]] virtual bool WriteUnicodeString(const std::string& name,
                                                  const std::string& text) {
        return WriteString(name, text);
    }
    // A store that keeps what is written until the end (a file written whole) writes it
    // now; false when that failed, and then nothing of this save is kept.
    [[nodiscard]] virtual bool Flush() { return true; }
    virtual void CloseKey() = 0;
};

// Receives each failure text ("Invalid data type for 'Width'") as it happens.
using SettingsErrorReport = std::function<void(const std::string& message)>;

struct ScreenSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// First-run placement: the window (at its current Width and Height) centred on the screen,
// each term halved separately.
void CenterOnScreen(TSettings& settings, ScreenSize screen) noexcept;

// Fills the record from the key. With no key in either hive, or one holding none of the
// values (a first run), the record keeps its defaults, is centred on the screen and nothing
// is created. A value of a non-string type is reported, leaves its field as it was, and
// loading goes on. Stored settings without "Keys By Position" come from an earlier version:
// keys are then known by their codes.
void LoadSettings(TSettings& settings, SettingsRegistry& registry, ScreenSize screen,
                  const SettingsErrorReport& report, std::string_view keyPath = SettingsKeyPath);

// Writes every value to the current user's key, creating it when missing. The first
// failed write is reported and ends the save, so no later value is written; a store that
// fails to keep them all at the end (Flush) reports the first value. Returns whether every
// value was written.
[[nodiscard]] bool SaveSettings(const TSettings& settings, SettingsRegistry& registry,
                                const SettingsErrorReport& report,
                                std::string_view keyPath = SettingsKeyPath);

[[nodiscard]] std::string InvalidDataTypeMessage(std::string_view valueName);
[[nodiscard]] std::string FailedToSetDataMessage(std::string_view valueName);

} // namespace zevaver
