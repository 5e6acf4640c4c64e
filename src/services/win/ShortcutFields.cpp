#include "services/win/ShortcutFields.h"

#include "services/SettingsDlgRules.h"

#include <commctrl.h>

namespace zevaver {

namespace {

using namespace settingsdlg;

// The mark a field carries while it is one of these, so the dialog loop's filter knows it.
constexpr const wchar_t* FieldMark = L"Zevaver.ShortcutField";

// A key-up's flags: one transition from down to up.
constexpr LPARAM KeyUpFlags = static_cast<LPARAM>(0xC0000001u);

bool ModifierDown() noexcept {
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU})
        if (GetKeyState(key) & 0x8000) return true;
    return false;
}

uint32_t Shown(HWND field) noexcept {
    return static_cast<uint32_t>(DefSubclassProc(field, HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
}

} // namespace

void ShortcutFields::Attach(const std::array<HWND, ShortcutCount>& fields) {
    for (size_t slot = 0; slot < fields.size(); ++slot) {
        held_[slot] =
            static_cast<uint32_t>(SendMessageW(fields[slot], HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
        if (SetWindowSubclass(fields[slot], &ShortcutFields::FieldProc, slot,
                              reinterpret_cast<DWORD_PTR>(this)))
            SetPropW(fields[slot], FieldMark, reinterpret_cast<HANDLE>(1));
    }
    filter_.reset(SetWindowsHookExW(WH_MSGFILTER, &ShortcutFields::DialogFilter, nullptr,
                                    GetCurrentThreadId()));
}

bool ShortcutFields::IsField(HWND window) noexcept {
    return GetPropW(window, FieldMark) != nullptr;
}

// The dialog loop reads Alt with a character as a mnemonic before the focused control sees
// it. In a field the combination's key went down already and is the field's; the
// character that follows is dropped.
LRESULT CALLBACK ShortcutFields::DialogFilter(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == MSGF_DIALOGBOX) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (message->message == WM_SYSCHAR && IsField(message->hwnd)) return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ShortcutFields::ShowHeld(HWND field, size_t slot) noexcept {
    if (Shown(field) != held_[slot]) DefSubclassProc(field, HKM_SETHOTKEY, held_[slot], 0);
}

LRESULT CALLBACK ShortcutFields::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR slot, DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<ShortcutFields*>(data);
    switch (message) {
    case HKM_SETHOTKEY:
        self->held_[slot] = static_cast<uint32_t>(wParam) & 0xFFFF;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR: {
        const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
        const bool modifier = message != WM_CHAR && IsModifierKey(static_cast<uint32_t>(wParam));
        self->held_[slot] = KeptHotKey(self->held_[slot], Shown(field), modifier);
        return result;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
        if (!ModifierDown()) self->ShowHeld(field, slot);
        return result;
    }
    case WM_KILLFOCUS:
        // A modifier let go after the focus left (Shift+Tab) is never seen here; without
        // its release the platform's field would add it to the next key typed in it.
        for (WPARAM key : {VK_SHIFT, VK_CONTROL, VK_MENU})
            DefSubclassProc(field, WM_KEYUP, key, KeyUpFlags);
        self->ShowHeld(field, slot);
        break;
    case WM_NCDESTROY:
        RemovePropW(field, FieldMark);
        RemoveWindowSubclass(field, &ShortcutFields::FieldProc, slot);
        break;
    default:
        break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

} // namespace zevaver
