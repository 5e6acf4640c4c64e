#include "mainwindow/linux/LayoutNameDialog.h"

#include "framework/linux/Dialogs.h"

#include <gtk/gtk.h>

namespace zevaver {

std::optional<std::string> AskLayoutName(GtkWindow* owner, const std::string& name) {
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        LayoutNameCaption, owner, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL), "Cancel",
        GTK_RESPONSE_CANCEL, "OK", GTK_RESPONSE_OK, nullptr);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(content), 10);
    gtk_box_set_spacing(GTK_BOX(content), 6);
    GtkWidget* label = gtk_label_new_with_mnemonic("_Name of the layout:");
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    GtkWidget* field = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(field), name.c_str());
    gtk_entry_set_activates_default(GTK_ENTRY(field), TRUE);
    gtk_entry_set_width_chars(GTK_ENTRY(field), 32);
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), field);
    gtk_box_pack_start(GTK_BOX(content), label, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), field, FALSE, FALSE, 0);
    gtk_widget_show_all(content);
    // The whole name selected: typing replaces it.
    gtk_widget_grab_focus(field);
    std::optional<std::string> answer;
    if (fw::RunDialog(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK)
        answer = gtk_entry_get_text(GTK_ENTRY(field));
    gtk_widget_destroy(dialog);
    return answer;
}

bool AskReplaceLayout(GtkWindow* owner, const std::string& name) {
    return fw::AskYesNo(owner, LayoutNameCaption,
                        "A layout named \"" + name + "\" exists already. Replace it?");
}

} // namespace zevaver
