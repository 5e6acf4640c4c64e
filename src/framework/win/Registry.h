// The few registry operations the program needs, in the ANSI flavour (values are 8-bit
// text), with every key held by a fw::RegKey.
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

// Removes a key with everything below it (tests clean up their throwaway keys with it).
[[nodiscard]] bool DeleteRegistryTree(HKEY root, const std::string& path) noexcept;

} // namespace fw

} // namespace zevaver
