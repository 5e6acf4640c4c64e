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

bool AskYesNo(GtkWindow* owner, const char* title, const std::string& text) {
    GtkWidget* box = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION,
                                            GTK_BUTTONS_YES_NO, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_NO);
    const bool yes = RunDialog(GTK_DIALOG(box)) == GTK_RESPONSE_YES;
    gtk_widget_destroy(box);
    return yes;
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
