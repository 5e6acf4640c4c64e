// The program's modal dialogs and boxes on GTK, and how they end when the program must: a
// signal (the session ending) answers every open one as if closed and lets no new one wait
// for the user, so that the main loop ends and the settings are kept.
#pragma once

typedef struct _GtkDialog GtkDialog;
typedef struct _GtkWindow GtkWindow;

#include <string>

namespace zevaver {

namespace fw {

// Runs the dialog modally; its response (GTK_RESPONSE_DELETE_EVENT at once once the program
// is ending).
int RunDialog(GtkDialog* dialog);

// A question box of this title with Yes and No (the default), kept above the other windows:
// true for Yes.
[[nodiscard]] bool AskYesNo(GtkWindow* owner, const char* title, const std::string& text);

// The program is ending: every dialog that waits is closed, and none waits from now on.
void EndDialogs();

[[nodiscard]] bool DialogsEnded() noexcept;

} // namespace fw

} // namespace zevaver
