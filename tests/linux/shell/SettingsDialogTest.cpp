// The settings dialog on GTK in-process: keys sent to it as the display would send them
// (by key code and modifier state), its buttons' work, and what OK writes.
#include "services/SettingsDlgRules.h"
#include "services/linux/SettingsDialog.h"

#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include <vector>

namespace zevaver {

namespace {

using namespace settingsdlg;

constexpr unsigned KeyD = 32, KeyF5 = 63, KeyTab = 15, KeyBackspace = 14, KeyLeftCtrl = 29,
                   KeyLeftAlt = 56, KeyLeftShift = 42;

bool Gtk() {
    static const bool ready = gtk_init_check(nullptr, nullptr) != FALSE;
    return ready;
}

constexpr uint32_t HotKey(uint32_t key, uint32_t flags = 0) {
    return (flags << 8) | key;
}

struct DialogRun {
    explicit DialogRun(SettingsDialog::Options options = {}) {
        options.keyName = [](int key) { return std::string(1, static_cast<char>(key)); };
        options.layoutChanged = [this] { ++layoutChanges; };
        dialog = std::make_unique<SettingsDialog>(settings, std::move(options));
    }
    void Build() {
        dialog->Build();
        gtk_widget_show(dialog->Window());
        while (gtk_events_pending()) gtk_main_iteration();
    }
    void Focus(size_t slot) {
        gtk_window_set_focus(GTK_WINDOW(dialog->Window()), dialog->Field(slot));
    }
    // A key going down (or up) in the focused control, with these modifiers held.
    bool Key(unsigned kernelCode, guint state = 0, bool down = true) {
        GdkEvent* event = gdk_event_new(down ? GDK_KEY_PRESS : GDK_KEY_RELEASE);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(dialog->Window())));
        event->key.hardware_keycode = static_cast<guint16>(kernelCode + 8);
        event->key.state = state;
        event->key.keyval = GDK_KEY_VoidSymbol;
        gdk_event_set_device(
            event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
        const gboolean handled = gtk_widget_event(dialog->Window(), event);
        gdk_event_free(event);
        return handled != FALSE;
    }
    std::string Text(size_t slot) const {
        return gtk_entry_get_text(GTK_ENTRY(dialog->Field(slot)));
    }

    TSettings settings;
    int layoutChanges = 0;
    std::unique_ptr<SettingsDialog> dialog;
};

TEST(LinuxSettingsDialog, AFieldRecordsAKeyWithItsModifiersByTheRulesOfTheWindowsFields) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    DialogRun run;
    run.settings.Shortcuts = {0x6045, 0x4071, 0x4072, 0x4073, 0x4074, 0x4075};
    run.Build();
    EXPECT_EQ(run.Text(0), "Ctrl + Shift + E");
    run.Focus(1);

    // Alt with a letter is the field's shortcut, not the "Default" button's mnemonic.
    EXPECT_TRUE(run.Key(KeyLeftAlt));
    EXPECT_EQ(run.Text(1), "Alt + ") << "the combination being typed";
    EXPECT_TRUE(run.Key(KeyD, GDK_MOD1_MASK));
    EXPECT_EQ(run.dialog->Held(1), HotKey('D', HotKeyAlt));
    EXPECT_EQ(run.dialog->Held(0), HotKey('E', HotKeyControl | HotKeyShift)) << "no Default";
    (void)run.Key(KeyLeftAlt, GDK_MOD1_MASK, false);
    EXPECT_EQ(run.Text(1), "Alt + D");

    // Ctrl pressed and let go keeps the shortcut; Backspace empties the field.
    EXPECT_TRUE(run.Key(KeyLeftCtrl));
    (void)run.Key(KeyLeftCtrl, GDK_CONTROL_MASK, false);
    EXPECT_EQ(run.dialog->Held(1), HotKey('D', HotKeyAlt));
    EXPECT_EQ(run.Text(1), "Alt + D");
    EXPECT_TRUE(run.Key(KeyBackspace));
    EXPECT_EQ(run.dialog->Held(1), 0u);
    EXPECT_EQ(run.Text(1), "None");
    // A key alone is a shortcut; Shift+Tab belongs to the dialog.
    EXPECT_TRUE(run.Key(KeyF5));
    EXPECT_EQ(run.dialog->Held(1), HotKey(0x74));
    (void)run.Key(KeyLeftShift);
    (void)run.Key(KeyTab, GDK_SHIFT_MASK);
    EXPECT_EQ(run.dialog->Held(1), HotKey(0x74));
}

TEST(LinuxSettingsDialog, OkWritesTheShortcutsAndTheLayoutAsListedAndKeepsKillKeystrokes) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    SettingsDialog::Options options;
    options.layoutFiles = {"Piano.txt", "chromatic.txt", "Zz.txt", "notes.txtx", "Piano.txt"};
    bool session = false;
    int sessionChanges = 0;
    options.setStartsWithSession = [&](bool on) {
        session = on;
        ++sessionChanges;
        return true;
    };
    DialogRun run(std::move(options));
    run.settings.Layout = "CHROMATIC";
    run.settings.KillKeystrokes = false;
    run.Build();
    GtkComboBox* layouts = GTK_COMBO_BOX(run.dialog->Layouts());
    EXPECT_EQ(gtk_combo_box_get_active(layouts), 0) << "chromatic, whatever its letter case";
    run.Focus(4);
    (void)run.Key(KeyD, GDK_CONTROL_MASK);
    run.dialog->Ok();
    EXPECT_EQ(run.settings.Shortcuts[4], 0x4044);
    EXPECT_EQ(run.settings.Layout, "chromatic") << "the name as listed";
    EXPECT_EQ(run.layoutChanges, 1);
    EXPECT_FALSE(run.settings.KillKeystrokes) << "stored unchanged";
    EXPECT_EQ(sessionChanges, 0) << "nothing to change";

    gtk_combo_box_set_active(layouts, 2);
    run.dialog->Ok();
    EXPECT_EQ(run.settings.Layout, "Zz");
    EXPECT_EQ(run.layoutChanges, 2);
}

TEST(LinuxSettingsDialog, ReadingTheKeyboardsIsOfferedOnlyWhereAskedAndTurnsOnOnlyAfterAYes) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    {
        DialogRun x11;
        x11.Build();
        EXPECT_EQ(x11.dialog->KeyboardDevices(), nullptr) << "the display gives every key";
    }
    SettingsDialog::Options options;
    options.offerKeyboardDevices = true;
    bool answer = false;
    int questions = 0;
    std::vector<bool> choices;
    options.confirmKeyboardDevices = [&] {
        ++questions;
        return answer;
    };
    options.setReadsKeyboardDevices = [&](bool on) { choices.push_back(on); };
    DialogRun run(std::move(options));
    run.Build();
    GtkToggleButton* check = GTK_TOGGLE_BUTTON(run.dialog->KeyboardDevices());
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(gtk_toggle_button_get_active(check));
    gtk_toggle_button_set_active(check, TRUE);
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(gtk_toggle_button_get_active(check)) << "a No leaves it off";
    run.dialog->Ok();
    EXPECT_TRUE(choices.empty()) << "nothing changed";
    answer = true;
    gtk_toggle_button_set_active(check, TRUE);
    EXPECT_TRUE(gtk_toggle_button_get_active(check));
    gtk_toggle_button_set_active(check, FALSE);
    EXPECT_EQ(questions, 2) << "turning it off asks nothing";
    gtk_toggle_button_set_active(check, TRUE);
    run.dialog->Ok();
    EXPECT_EQ(choices, std::vector<bool>{true});
}

TEST(LinuxSettingsDialog, DefaultPutsBackTheFactoryShortcutsAndTheWarningFollowsTheFields) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    std::array<uint8_t, 256> notes{};
    notes[0x74] = 60; // F5 plays
    SettingsDialog::Options options;
    options.keyNotes = &notes;
    DialogRun run(std::move(options));
    run.settings.Shortcuts = {0x6045, 0x4071, 0x4072, 0x4073, 0x74, 0x4075};
    run.Build();
    const auto warning = [&] {
        return std::string(gtk_label_get_text(GTK_LABEL(run.dialog->Warning())));
    };
    EXPECT_NE(warning().find("also plays a note"), std::string::npos) << warning();
    run.dialog->Defaults();
    EXPECT_EQ(run.dialog->Held(4), HotKey(0x74, HotKeyControl));
    EXPECT_EQ(warning(), "");
    // Settings change only on OK.
    EXPECT_EQ(run.settings.Shortcuts[4], 0x74);
}

} // namespace

} // namespace zevaver
