#include "framework/win/ShellCalls.h"

#include <shlobj.h>

namespace zevaver {

namespace fw {

namespace {

// Loaded once and kept: the system's own copy, from the system folder only.
HMODULE ShellLibrary() noexcept {
    static const HMODULE library =
        LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library;
}

template <typename Function> Function ShellEntry(const char* name) noexcept {
    const HMODULE library = ShellLibrary();
    return library ? reinterpret_cast<Function>(
                         reinterpret_cast<void (*)()>(GetProcAddress(library, name)))
                   : nullptr;
}

} // namespace

BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* data) noexcept {
    using Function = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
    static const Function notify = ShellEntry<Function>("Shell_NotifyIconA");
    return notify ? notify(message, data) : FALSE;
}

bool OpenWithShell(HWND owner, const wchar_t* address) noexcept {
    using Function = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*,
                                        const wchar_t*, INT);
    static const Function execute = ShellEntry<Function>("ShellExecuteW");
    if (!execute) return false;
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(
               execute(owner, L"open", address, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

std::wstring RoamingDataFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length =
        GetEnvironmentVariableW(L"APPDATA", path, static_cast<DWORD>(std::size(path)));
    if (length > 0 && length < std::size(path)) return path;
    using Function = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, wchar_t*);
    static const Function folderPath = ShellEntry<Function>("SHGetFolderPathW");
    path[0] = L'\0';
    if (!folderPath || FAILED(folderPath(nullptr, CSIDL_APPDATA, nullptr, 0, path))) return {};
    return path;
}

} // namespace fw

} // namespace zevaver
