// "Save layout as..." on GTK: a small modal dialog that asks for the new layout's name, and
// the question before another layout's file is replaced.
#pragma once

#include <optional>
#include <string>

typedef struct _GtkWindow GtkWindow;

namespace zevaver {

// The dialog's caption, which also names it for whoever looks for it.
inline constexpr const char* LayoutNameCaption = "Save layout as";

// Shows the dialog with the name filled in and returns what the user typed, or nothing when
// they cancelled.
[[nodiscard]] std::optional<std::string> AskLayoutName(GtkWindow* owner, const std::string& name);

// "A layout named ... exists already. Replace it?": true for Yes (No is the default).
[[nodiscard]] bool AskReplaceLayout(GtkWindow* owner, const std::string& name);

} // namespace zevaver
