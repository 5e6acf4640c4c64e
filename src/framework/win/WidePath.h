// Paths through the wide-character API. The program's folder may hold characters that the
// system's ANSI code page cannot express (a user name in Cyrillic or Chinese); the ANSI
// functions would hand back "?" for them and every path built on that would miss. Paths
// travel inside the program as UTF-8 and meet the system only as UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zevaver {

namespace fw {

// The full path of a loaded module (nullptr: the program), of any length; empty when it
// cannot be had.
[[nodiscard]] std::wstring ModulePath(HMODULE module);

// Sets the current folder to the program's own, so that relative data paths find the
// folders beside it; false when the folder cannot be entered.
bool EnterProgramFolder();

// Conversions that never fail: an unpaired surrogate or a malformed byte becomes U+FFFD.
[[nodiscard]] std::string WideToUtf8(std::wstring_view text);
[[nodiscard]] std::wstring Utf8ToWide(std::string_view text);

} // namespace fw

} // namespace zevaver
