// The calls the program makes of the shell library, which it loads only when one is
// first made: loading it (and what it loads in turn) would take a large share of the
// program's start-up, and most runs never need it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace zevaver {

namespace fw {

// Shell_NotifyIconA; FALSE when the shell library is not there.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* data) noexcept;
// ShellExecuteW with the "open" verb; false on any failure.
bool OpenWithShell(HWND owner, const wchar_t* address) noexcept;
// The user's roaming application data folder, without a separator at its end; empty when
// the system names none. The environment names it in every session, so the shell library is
// asked only where it does not.
[[nodiscard]] std::wstring RoamingDataFolder();

} // namespace fw

} // namespace zevaver
