#include "mainwindow/win/LayoutNameDlg.h"

#include "framework/win/DialogTemplate.h"
#include "framework/win/WidePath.h"
#include "framework/win/Window.h"

namespace zevaver {

namespace {

constexpr WORD NameLabel = 100;
constexpr WORD NameField = 101;
constexpr WORD ButtonClass = 0x0080;
constexpr WORD EditClass = 0x0081;
constexpr WORD StaticClass = 0x0082;
// Dialog units: the platform scales them with its dialog font.
constexpr short Width = 200;
constexpr short Height = 62;

fw::DialogTemplate NameDialog() {
    fw::DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER,
                         LayoutNameCaption, Width, Height, 8);
    t.Item(SS_LEFT, 7, 7, Width - 14, 9, NameLabel, StaticClass, L"&Name of the layout:");
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 18, Width - 14, 13, NameField, EditClass,
           L"");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, Width - 110, Height - 21, 50, 14, IDOK, ButtonClass,
           L"OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, Width - 57, Height - 21, 50, 14, IDCANCEL, ButtonClass,
           L"Cancel");
    return t;
}

struct Exchange {
    std::wstring name;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto* exchange = reinterpret_cast<const Exchange*>(lParam);
        HWND field = GetDlgItem(dialog, NameField);
        SetWindowTextW(field, exchange->name.c_str());
        SendMessageW(field, EM_SETSEL, 0, -1);
        SetFocus(field);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* exchange = reinterpret_cast<Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER));
            HWND field = GetDlgItem(dialog, NameField);
            std::wstring name(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
            name.resize(static_cast<size_t>(
                GetWindowTextW(field, name.data(), static_cast<int>(name.size()))));
            exchange->name = std::move(name);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

std::optional<std::string> AskLayoutName(HWND owner, const std::string& name) {
    const fw::DialogTemplate dialog = NameDialog();
    Exchange exchange{fw::Utf8ToWide(name)};
    const INT_PTR result =
        DialogBoxIndirectParamW(fw::ModuleInstance(), dialog.Data(), owner, &DialogProc,
                                reinterpret_cast<LPARAM>(&exchange));
    if (result != IDOK) return std::nullopt;
    return fw::WideToUtf8(exchange.name);
}

bool AskReplaceLayout(HWND owner, const std::string& name) {
    const std::wstring text =
        L"A layout named \"" + fw::Utf8ToWide(name) + L"\" exists already. Replace it?";
    return MessageBoxW(owner, text.c_str(), LayoutNameCaption,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

} // namespace zevaver
