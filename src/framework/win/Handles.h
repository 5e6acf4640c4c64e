// Move-only owners for Win32 handles: one traits type per release function, so a
// handle can only be released the way it was meant to be (DeleteDC is not DeleteObject).
#pragma once

#include <windows.h>

#include <utility>

namespace zevaver {

namespace fw {

template <typename Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    [[nodiscard]] bool valid() const noexcept { return handle_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Gives up ownership without releasing.
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

    void reset(Handle handle = Traits::Invalid()) noexcept {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

template <typename T, typename Fn, Fn closer> struct NullTraits {
    using Handle = T;
    static constexpr Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { closer(handle); }
};

#define FW_NULL_TRAITS(Type, Closer) NullTraits<Type, decltype(&Closer), &Closer>

template <typename T>
using GdiObject = UniqueHandle<NullTraits<T, BOOL(WINAPI*)(HGDIOBJ), &DeleteObject>>;
using Bitmap = GdiObject<HBITMAP>;
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;

using MemoryDc = UniqueHandle<FW_NULL_TRAITS(HDC, DeleteDC)>;
using Window = UniqueHandle<FW_NULL_TRAITS(HWND, DestroyWindow)>;
using Menu = UniqueHandle<FW_NULL_TRAITS(HMENU, DestroyMenu)>;
using Library = UniqueHandle<FW_NULL_TRAITS(HMODULE, FreeLibrary)>;
using Icon = UniqueHandle<FW_NULL_TRAITS(HICON, DestroyIcon)>;
using Cursor = UniqueHandle<FW_NULL_TRAITS(HCURSOR, DestroyCursor)>;
using Hook = UniqueHandle<FW_NULL_TRAITS(HHOOK, UnhookWindowsHookEx)>;
using WinEventHook = UniqueHandle<FW_NULL_TRAITS(HWINEVENTHOOK, UnhookWinEvent)>;
using KernelHandle = UniqueHandle<FW_NULL_TRAITS(HANDLE, CloseHandle)>;
using DeviceNotification = UniqueHandle<FW_NULL_TRAITS(HDEVNOTIFY, UnregisterDeviceNotification)>;

struct RegKeyTraits {
    using Handle = HKEY;
    static constexpr Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle key) noexcept { RegCloseKey(key); }
};
using RegKey = UniqueHandle<RegKeyTraits>;

// CreateFile's failure value is INVALID_HANDLE_VALUE, not null.
struct FileTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle file) noexcept { CloseHandle(file); }
};
using File = UniqueHandle<FileTraits>;

// A directory search from FindFirstFile ends with FindClose; it fails as INVALID_HANDLE_VALUE.
struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle search) noexcept { FindClose(search); }
};
using FindHandle = UniqueHandle<FindTraits>;

struct MappedViewTraits {
    using Handle = void*;
    static constexpr Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle view) noexcept { UnmapViewOfFile(view); }
};
using MappedView = UniqueHandle<MappedViewTraits>;

#undef FW_NULL_TRAITS

// A DC from GetDC is given back with ReleaseDC, which needs its window too.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    WindowDc(WindowDc&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDc& operator=(WindowDc&&) = delete;

    [[nodiscard]] HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for one scope and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectObjectScope() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace fw

} // namespace zevaver
