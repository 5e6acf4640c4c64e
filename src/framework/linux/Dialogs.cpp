#include "framework/linux/Dialogs.h"

#include <gtk/gtk.h>

namespace zevaver {

namespace fw {

namespace {

bool ended = false;

} // namespace

int RunDialog(GtkDialog* dialog) {
    if (ended) return GTK_RESPONSE_DELETE_EVENT;
    return gtk_dialog_run(dialog);
}

void EndDialogs() {
    ended = true;
    GList* windows = gtk_window_list_toplevels();
    for (GList* at = windows; at; at = at->next)
        if (GTK_IS_DIALOG(at->data) && gtk_widget_get_visible(GTK_WIDGET(at->data)))
            gtk_dialog_response(GTK_DIALOG(at->data), GTK_RESPONSE_DELETE_EVENT);
    g_list_free(windows);
}

bool DialogsEnded() noexcept {
    return ended;
}

} // namespace fw

} // namespace zevaver
