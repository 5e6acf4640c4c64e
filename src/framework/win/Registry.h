// The few registry operations the program needs, with every key held by a fw::RegKey.
// Key and value names are ASCII; texts are 8-bit in the system's code page, or UTF-8
// through the Unicode pair below.
#pragma once

#include "framework/win/Handles.h"

#include <string>

namespace zevaver {

namespace fw {

// Opens the key with read rights and closes it again at once.
[[nodiscard]] bool RegistryKeyExists(HKEY root, const std::string& path) noexcept;

// An existing key with the given rights; an empty RegKey when it cannot be opened.
[[nodiscard]] RegKey OpenRegistryKey(HKEY root, const std::string& path, REGSAM access) noexcept;

// Full access, creating the key (and the keys above it) when missing.
[[nodiscard]] RegKey CreateRegistryKey(HKEY root, const std::string& path) noexcept;

struct RegistryString {
    enum class Status {
        Missing,   // no such value, or it could not be queried
        Text,      // REG_SZ, or REG_EXPAND_SZ taken literally
        WrongType, // any other type
    };
    Status status = Status::Missing;
    std::string text; // up to the first NUL
    DWORD type = REG_NONE;
};

[[nodiscard]] RegistryString ReadRegistryString(HKEY key, const std::string& name);

// A REG_SZ value whose data includes the terminating NUL.
[[nodiscard]] bool WriteRegistryString(HKEY key, const std::string& name,
                                       const std::string& text) noexcept;

// The same, for a text that may hold any character: UTF-8 in the program, UTF-16 in the
// registry (where an 8-bit text written by the functions above is stored as UTF-16 too).
[[nodiscard]] RegistryString ReadRegistryUnicodeString(HKEY key, const std::string& name);
[[nodiscard]] bool WriteRegistryUnicodeString(HKEY key, const std::string& name,
                                              const std::string& text) noexcept;

// Removes a key with everything below it (tests clean up their throwaway keys with it).
[[nodiscard]] bool DeleteRegistryTree(HKEY root, const std::string& path) noexcept;

} // namespace fw

} // namespace zevaver
