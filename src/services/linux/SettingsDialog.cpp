#include "services/linux/SettingsDialog.h"

#include "engine/Commands.h"
#include "framework/linux/Dialogs.h"
#include "keyboard/KernelKeys.h"
#include "services/SettingsDlgRules.h"

#include <gdk/gdkx.h>
// Xlib's macros would shadow the program's names (IsModifierKey is the settings rules').
#undef None
#undef Status
#undef IsModifierKey
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

namespace zevaver {

namespace {

using namespace settingsdlg;

constexpr const char* LabelTexts[ShortcutCount] = {
    "_Enable/disable:", "Base octave C_2:", "Base octave C_3:",
    "Base octave C_4:", "Base octave C_5:", "Base octave C_6:"};
// A title bar is about this high; the dialog is placed before the window manager adds one.
constexpr int TitleHeight = 32;
constexpr int LogoWidth = 68, LogoHeight = 15, LogoKeyWidth = 4;
constexpr const char* LogoName = "Zevaver";

// Letter case does not matter in the list; the whole of Unicode's letters are known.
std::string Folded(std::string_view name) {
    gchar* folded = g_utf8_casefold(name.data(), static_cast<gssize>(name.size()));
    std::string text = folded ? folded : "";
    g_free(folded);
    return text;
}
bool LessForUser(std::string_view a, std::string_view b) {
    return g_utf8_collate(Folded(a).c_str(), Folded(b).c_str()) < 0;
}
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return Folded(a) == Folded(b);
}

uint32_t ModifiersOf(guint state) noexcept {
    uint32_t modifiers = 0;
    if (state & GDK_SHIFT_MASK) modifiers |= HotKeyShift;
    if (state & GDK_CONTROL_MASK) modifiers |= HotKeyControl;
    if (state & GDK_MOD1_MASK) modifiers |= HotKeyAlt;
    return modifiers;
}

// The modifier a key is (by its place's code), or 0.
uint32_t ModifierOfKey(uint32_t key) noexcept {
    switch (key) {
    case 0xA0:
    case 0xA1:
        return HotKeyShift;
    case 0xA2:
    case 0xA3:
        return HotKeyControl;
    case 0xA4:
    case 0xA5:
        return HotKeyAlt;
    default:
        return 0;
    }
}

// The key by its place, as the playing thread and the layouts have it.
uint32_t KeyOf(const GdkEventKey& event) noexcept {
    return event.hardware_keycode >= XKeyCodeOffset
               ? UsKeyOfKernelCode(event.hardware_keycode - XKeyCodeOffset)
               : 0;
}

// The maker's name in the interface font, bold and italic, as the logo writes it.
PangoLayout* LogoNameLayout(PangoContext* context) {
    PangoLayout* layout = pango_layout_new(context);
    PangoFontDescription* font = pango_font_description_from_string("Sans Bold Italic");
    pango_font_description_set_absolute_size(font, 11 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, LogoName, -1);
    return layout;
}

void DrawLogo(GtkWidget* widget, cairo_t* cr) {
    const double top = 1, bottom = LogoHeight - 1, right = 5 * LogoKeyWidth + 1;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, top, right, bottom - top);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 64 / 255.0, 64 / 255.0, 64 / 255.0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, top + 0.5, right - 1, bottom - top - 1);
    for (int i = 1; i < 5; ++i) {
        cairo_move_to(cr, i * LogoKeyWidth + 0.5, top);
        cairo_line_to(cr, i * LogoKeyWidth + 0.5, bottom);
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (const int i : {1, 2, 4})
        cairo_rectangle(cr, i * LogoKeyWidth - 1, top, 3, std::round((bottom - top) * 3 / 5));
    cairo_fill(cr);
    PangoLayout* layout = LogoNameLayout(gtk_widget_get_pango_context(widget));
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    cairo_set_source_rgb(cr, 0, 70 / 255.0, 140 / 255.0);
    cairo_move_to(cr, right + 3, (LogoHeight - height) / 2.0);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

} // namespace

SettingsDialog::SettingsDialog(TSettings& settings, Options options)
    : settings_(settings), options_(std::move(options)) {}

SettingsDialog::~SettingsDialog() {
    if (dialog_) gtk_widget_destroy(dialog_);
}

GtkWidget* SettingsDialog::MakeShortcuts() {
    GtkWidget* frame = gtk_frame_new(nullptr);
    GtkWidget* title = gtk_label_new_with_mnemonic("_Shortcuts (available in any window)");
    gtk_frame_set_label_widget(GTK_FRAME(frame), title);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 10);
    const DialogValues values = ValuesOf(settings_);
    for (size_t slot = 0; slot < ShortcutCount; ++slot) {
        GtkWidget* label = gtk_label_new_with_mnemonic(LabelTexts[slot]);
        gtk_widget_set_halign(label, GTK_ALIGN_START);
        GtkWidget* field = gtk_entry_new();
        gtk_editable_set_editable(GTK_EDITABLE(field), FALSE);
        gtk_entry_set_activates_default(GTK_ENTRY(field), TRUE);
        gtk_entry_set_width_chars(GTK_ENTRY(field), 20);
        gtk_widget_set_hexpand(field, TRUE);
        gtk_label_set_mnemonic_widget(GTK_LABEL(label), field);
        g_signal_connect(field, "focus-out-event", G_CALLBACK(&FieldFocusOut), this);
        gtk_grid_attach(GTK_GRID(grid), label, 0, static_cast<gint>(slot), 1, 1);
        gtk_grid_attach(GTK_GRID(grid), field, 1, static_cast<gint>(slot), 1, 1);
        fields_[slot] = field;
        held_[slot] = HotKeyFromShortcut(values.shortcuts[slot]);
        ShowField(slot, held_[slot]);
    }
    gtk_label_set_mnemonic_widget(GTK_LABEL(title), fields_[0]);
    warning_ = gtk_label_new(nullptr);
    gtk_label_set_line_wrap(GTK_LABEL(warning_), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(warning_), 28);
    gtk_label_set_xalign(GTK_LABEL(warning_), 0);
    gtk_widget_set_hexpand(warning_, TRUE);
    GtkWidget* defaults = gtk_button_new_with_mnemonic("_Default");
    gtk_widget_set_valign(defaults, GTK_ALIGN_START);
    g_signal_connect_swapped(defaults, "clicked",
                             G_CALLBACK(+[](SettingsDialog* self) { self->Defaults(); }), this);
    gtk_grid_attach(GTK_GRID(grid), warning_, 0, ShortcutCount, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), defaults, 1, ShortcutCount, 1, 1);
    gtk_widget_set_halign(defaults, GTK_ALIGN_END);
    gtk_container_add(GTK_CONTAINER(frame), grid);
    return frame;
}

GtkWidget* SettingsDialog::MakeLogo() {
    GtkWidget* area = gtk_drawing_area_new();
    // The keys and the name beside them, however wide the font sets it.
    PangoLayout* name = LogoNameLayout(gtk_widget_get_pango_context(area));
    int width = 0;
    pango_layout_get_pixel_size(name, &width, nullptr);
    g_object_unref(name);
    gtk_widget_set_size_request(area, std::max(LogoWidth, 5 * LogoKeyWidth + 4 + width + 2),
                                LogoHeight);
    g_signal_connect(area, "draw",
                     G_CALLBACK(+[](GtkWidget* widget, cairo_t* cr, gpointer) -> gboolean {
                         DrawLogo(widget, cr);
                         return TRUE;
                     }),
                     nullptr);
    GtkWidget* box = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(box), area);
    gtk_widget_set_tooltip_text(box, "The user guide");
    gtk_widget_set_halign(box, GTK_ALIGN_END);
    g_signal_connect_swapped(box, "button-release-event",
                             G_CALLBACK(+[](SettingsDialog* self) -> gboolean {
                                 self->OpenGuide();
                                 return TRUE;
                             }),
                             this);
    g_signal_connect(box, "realize", G_CALLBACK(+[](GtkWidget* widget, gpointer) {
                         GdkWindow* window = gtk_widget_get_window(widget);
                         GdkCursor* hand =
                             gdk_cursor_new_from_name(gdk_window_get_display(window), "pointer");
                         gdk_window_set_cursor(window, hand);
                         if (hand) g_object_unref(hand);
                     }),
                     nullptr);
    return box;
}

void SettingsDialog::Build() {
    if (dialog_) return;
    dialog_ = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(dialog_), Caption);
    gtk_window_set_resizable(GTK_WINDOW(dialog_), FALSE);
    gtk_window_set_modal(GTK_WINDOW(dialog_), TRUE);
    if (options_.owner) gtk_window_set_transient_for(GTK_WINDOW(dialog_), options_.owner);
    gtk_window_set_keep_above(GTK_WINDOW(dialog_), TRUE);
    gtk_dialog_add_button(GTK_DIALOG(dialog_), "Cancel", GTK_RESPONSE_CANCEL);
    gtk_dialog_add_button(GTK_DIALOG(dialog_), "OK", GTK_RESPONSE_OK);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog_), GTK_RESPONSE_OK);

    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog_));
    gtk_box_set_spacing(GTK_BOX(content), 8);
    gtk_container_set_border_width(GTK_CONTAINER(content), 10);
    gtk_box_pack_start(GTK_BOX(content), MakeShortcuts(), FALSE, FALSE, 0);

    GtkWidget* layoutRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    GtkWidget* layoutLabel = gtk_label_new_with_mnemonic("_Layout:");
    layouts_ = gtk_combo_box_text_new();
    gtk_widget_set_hexpand(layouts_, TRUE);
    gtk_label_set_mnemonic_widget(GTK_LABEL(layoutLabel), layouts_);
    gtk_box_pack_start(GTK_BOX(layoutRow), layoutLabel, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(layoutRow), layouts_, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(content), layoutRow, FALSE, FALSE, 0);
    FillLayouts();

    // Shown for what it is: no program may swallow the keys typed into others on Linux.
    killKeystrokesValue_ = ValuesOf(settings_).killKeystrokes;
    killKeystrokes_ = gtk_check_button_new_with_mnemonic("_Kill keystrokes (not on Linux)");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(killKeystrokes_), killKeystrokesValue_);
    gtk_widget_set_sensitive(killKeystrokes_, FALSE);
    gtk_widget_set_tooltip_text(
        killKeystrokes_,
        "On Linux no program may keep the keys typed into other programs from them.");
    gtk_box_pack_start(GTK_BOX(content), killKeystrokes_, FALSE, FALSE, 0);

    session_ = gtk_check_button_new_with_mnemonic("Start with the _session, in the background");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(session_), options_.startsWithSession);
    gtk_box_pack_start(GTK_BOX(content), session_, FALSE, FALSE, 0);
    if (options_.offerKeyboardDevices) {
        devices_ = gtk_check_button_new_with_mnemonic(
            "_Play while other programs have the focus (reads the keyboards directly)");
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(devices_), options_.readsKeyboardDevices);
        g_signal_connect(devices_, "toggled", G_CALLBACK(&DevicesToggled), this);
        gtk_box_pack_start(GTK_BOX(content), devices_, FALSE, FALSE, 0);
    }

    gtk_box_pack_start(GTK_BOX(content), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE,
                       FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), MakeLogo(), FALSE, FALSE, 0);

    // Before the window's own handler, which would take Alt with a letter as a mnemonic.
    g_signal_connect(dialog_, "key-press-event", G_CALLBACK(&KeyDown), this);
    g_signal_connect(dialog_, "key-release-event", G_CALLBACK(&KeyUp), this);
    gtk_widget_show_all(content);
    ShowWarning();
    gtk_widget_grab_focus(fields_[0]);
}

void SettingsDialog::FillLayouts() {
    // Read at every opening: the folders may have changed since the last one.
    layoutNames_ = LayoutList(options_.layoutFiles, &LessForUser);
    for (const std::string& name : layoutNames_)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(layouts_), name.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(layouts_),
                             LayoutIndex(layoutNames_, settings_.Layout, &SameNameIgnoringCase));
}

void SettingsDialog::Place() {
    GdkDisplay* display = gdk_display_get_default();
    // Wayland lets no program place its windows.
    if (options_.workAreas.empty() || !display || !GDK_IS_X11_DISPLAY(display)) return;
    int width = 0, height = 0;
    gtk_window_get_size(GTK_WINDOW(dialog_), &width, &height);
    const ScreenPoint at =
        DialogPosition({settings_.ShortcutsDialogLeft, settings_.ShortcutsDialogTop}, width,
                       height + TitleHeight, TitleHeight, options_.workAreas);
    gtk_window_move(GTK_WINDOW(dialog_), at.x, at.y);
}

bool SettingsDialog::Run() {
    Build();
    Place();
    const int response = fw::RunDialog(GTK_DIALOG(dialog_));
    if (!closed_) Close(response == GTK_RESPONSE_OK);
    return response == GTK_RESPONSE_OK;
}

void SettingsDialog::Close(bool ok) {
    closed_ = true;
    // What OK changed is in the settings before the keys play again.
    if (ok) Ok();
    if (options_.dismissed) options_.dismissed();
    GdkDisplay* display = gdk_display_get_default();
    if (dialog_ && display && GDK_IS_X11_DISPLAY(display)) {
        gtk_window_get_position(GTK_WINDOW(dialog_), &settings_.ShortcutsDialogLeft,
                                &settings_.ShortcutsDialogTop);
    }
    if (dialog_) gtk_widget_hide(dialog_);
}

void SettingsDialog::Ok() {
    DialogValues values;
    for (size_t slot = 0; slot < ShortcutCount; ++slot)
        values.shortcuts[slot] = ShortcutFromHotKey(held_[slot]);
    // The check box cannot be changed: the stored value goes back as it came.
    values.killKeystrokes = killKeystrokesValue_;
    const int selected = gtk_combo_box_get_active(GTK_COMBO_BOX(layouts_));
    if (selected >= 0 && static_cast<size_t>(selected) < layoutNames_.size())
        values.layout = layoutNames_[static_cast<size_t>(selected)];
    if (ApplyValues(values, settings_) && options_.layoutChanged) options_.layoutChanged();

    const bool session = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(session_));
    if (session != options_.startsWithSession && options_.setStartsWithSession &&
        !options_.setStartsWithSession(session) && options_.reportError)
        options_.reportError(session ? "The program could not be set to start with the session."
                                     : "The program could not be kept from starting with the "
                                       "session.");
    if (devices_ && options_.setReadsKeyboardDevices) {
        const bool devices = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(devices_));
        if (devices != options_.readsKeyboardDevices) options_.setReadsKeyboardDevices(devices);
    }
}

void SettingsDialog::Defaults() {
    const auto defaults = DefaultShortcuts();
    for (size_t slot = 0; slot < ShortcutCount; ++slot) {
        held_[slot] = HotKeyFromShortcut(defaults[slot]);
        ShowField(slot, held_[slot]);
    }
    ShowWarning();
}

int SettingsDialog::FieldOf(GtkWidget* widget) const noexcept {
    for (size_t slot = 0; slot < ShortcutCount; ++slot)
        if (fields_[slot] == widget) return static_cast<int>(slot);
    return -1;
}

void SettingsDialog::ShowField(size_t slot, uint32_t hotKey) {
    const std::string text = HotKeyText(hotKey, [this](int key) {
        // The space bar's sign fits on a key; a field has room for its name.
        if (key == 0x20) return std::string("Space");
        return options_.keyName ? options_.keyName(key) : std::to_string(key);
    });
    gtk_entry_set_text(GTK_ENTRY(fields_[slot]), text.c_str());
    gtk_editable_set_position(GTK_EDITABLE(fields_[slot]), -1);
}

void SettingsDialog::ShowWarning() {
    std::string text;
    if (options_.keyNotes) {
        std::array<int32_t, ShortcutCount> shortcuts{};
        for (size_t slot = 0; slot < ShortcutCount; ++slot)
            shortcuts[slot] = ShortcutFromHotKey(held_[slot]);
        // Shortcuts and layouts both go by place on Linux.
        text = PlayingShortcutsWarning(
            shortcuts, *options_.keyNotes, [](int key) { return key; },
            [this](int key) { return options_.keyName ? options_.keyName(key) : ""; });
    }
    gtk_label_set_text(GTK_LABEL(warning_), text.c_str());
}

int SettingsDialog::KeyDown(GtkWidget*, GdkEventKey* event, void* data) {
    auto& self = *static_cast<SettingsDialog*>(data);
    const int slot = self.FieldOf(gtk_window_get_focus(GTK_WINDOW(self.dialog_)));
    const uint32_t key = KeyOf(*event);
    if (slot < 0 || key == 0 || IsDialogKey(key)) return FALSE;
    const uint32_t modifiers = ModifiersOf(event->state);
    uint32_t& held = self.held_[static_cast<size_t>(slot)];
    held = KeptHotKey(held, ShownHotKey(key, modifiers), IsModifierKey(key));
    // While a combination is being typed the field shows its modifiers, as the platform's
    // field does; the shortcut it holds comes back when they are let go.
    if (const uint32_t own = ModifierOfKey(key))
        self.ShowField(static_cast<size_t>(slot), (modifiers | own) << 8);
    else
        self.ShowField(static_cast<size_t>(slot), held);
    self.ShowWarning();
    return TRUE;
}

int SettingsDialog::KeyUp(GtkWidget*, GdkEventKey* event, void* data) {
    auto& self = *static_cast<SettingsDialog*>(data);
    const int slot = self.FieldOf(gtk_window_get_focus(GTK_WINDOW(self.dialog_)));
    if (slot < 0) return FALSE;
    const uint32_t own = ModifierOfKey(KeyOf(*event));
    const uint32_t left = ModifiersOf(event->state) & ~own;
    const uint32_t held = self.held_[static_cast<size_t>(slot)];
    self.ShowField(static_cast<size_t>(slot), own != 0 && left != 0 ? left << 8 : held);
    return FALSE;
}

int SettingsDialog::FieldFocusOut(GtkWidget* field, GdkEvent*, void* data) {
    auto& self = *static_cast<SettingsDialog*>(data);
    if (const int slot = self.FieldOf(field); slot >= 0)
        self.ShowField(static_cast<size_t>(slot), self.held_[static_cast<size_t>(slot)]);
    return FALSE;
}

// Turning the reading on asks first: the program then sees every key typed on the computer.
void SettingsDialog::DevicesToggled(GtkWidget* check, void* data) {
    auto& self = *static_cast<SettingsDialog*>(data);
    if (self.settingDevices_ || !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check))) return;
    if (self.options_.readsKeyboardDevices || !self.options_.confirmKeyboardDevices ||
        self.options_.confirmKeyboardDevices())
        return;
    self.settingDevices_ = true;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), FALSE);
    self.settingDevices_ = false;
}

void SettingsDialog::OpenGuide() {
    if (options_.guidePath.empty()) return;
    gchar* uri = g_filename_to_uri(options_.guidePath.c_str(), nullptr, nullptr);
    // A guide that cannot be opened is not worth a message.
    if (uri) gtk_show_uri_on_window(GTK_WINDOW(dialog_), uri, GDK_CURRENT_TIME, nullptr);
    g_free(uri);
}

} // namespace zevaver
