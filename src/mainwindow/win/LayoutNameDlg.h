// "Save layout as...": a small modal dialog that asks for the new layout's name, and the
// question before another layout's file is replaced.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace zevaver {

// The dialog's caption, which also names it for whoever looks for it.
inline constexpr wchar_t LayoutNameCaption[] = L"Save layout as";

// Shows the dialog with the name filled in (UTF-8) and returns what the user typed, or
// nothing when they cancelled.
[[nodiscard]] std::optional<std::string> AskLayoutName(HWND owner, const std::string& name);

// "A layout named ... exists already. Replace it?": true for Yes.
[[nodiscard]] bool AskReplaceLayout(HWND owner, const std::string& name);

} // namespace zevaver
