#include "keyboard/linux/XkbKeyNames.h"

#include "keyboard/KernelKeys.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeyPositions.h"
#include "keyboard/KeySymbols.h"

#include <X11/XKBlib.h>
#include <gdk/gdkx.h>
// Xlib's macros would shadow the program's names.
#undef None
#undef Status
#include <gtk/gtk.h>

namespace zevaver {

namespace {

constexpr int NumpadFirst = 0x60, NumpadLast = 0x6F;

// What the key symbol prints, letters in upper case as on a key top; "" for none.
std::string Printed(guint keyval) {
    if (std::string accent = DeadKeyAccent(keyval); !accent.empty()) return accent;
    gunichar character = gdk_keyval_to_unicode(keyval);
    if (character == 0 || g_unichar_iscntrl(character) || g_unichar_isspace(character)) return {};
    if (g_unichar_isalpha(character)) character = g_unichar_toupper(character);
    char text[8] = {};
    g_unichar_to_utf8(character, text);
    return text;
}

} // namespace

XkbKeyNames::~XkbKeyNames() {
    if (keymap_) g_signal_handlers_disconnect_by_data(keymap_, this);
}

void XkbKeyNames::Watch(void (*changed)(void* data), void* data) {
    changed_ = changed;
    data_ = data;
    GdkDisplay* display = gdk_display_get_default();
    keymap_ = display ? gdk_keymap_get_for_display(display) : nullptr;
    if (!keymap_) return;
    group_ = Group();
    g_signal_connect(keymap_, "keys-changed", G_CALLBACK(&MapChanged), this);
    // Another group (language) is a change of state, not of the map.
    g_signal_connect(keymap_, "state-changed", G_CALLBACK(&StateChanged), this);
}

void XkbKeyNames::MapChanged(GdkKeymap*, void* data) {
    auto& self = *static_cast<XkbKeyNames*>(data);
    self.group_ = self.Group();
    if (self.changed_) self.changed_(self.data_);
}

void XkbKeyNames::StateChanged(GdkKeymap*, void* data) {
    auto& self = *static_cast<XkbKeyNames*>(data);
    const int group = self.Group();
    // Caps Lock and Num Lock change the state too, and nothing of the names.
    if (group == self.group_) return;
    self.group_ = group;
    if (self.changed_) self.changed_(self.data_);
}

int XkbKeyNames::Group() const {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display)) return 0;
    XkbStateRec state{};
    if (XkbGetState(GDK_DISPLAY_XDISPLAY(display), XkbUseCoreKbd, &state) != Success) return 0;
    return state.group;
}

std::string XkbKeyNames::Caption(int entry) {
    if (entry <= 2 || entry > 255 || !keymap_) return KeyCaption(entry, {});
    const uint32_t kernel = KernelCodeAt(UsKeyPosition(static_cast<uint16_t>(entry)));
    if (kernel == 0) return KeyCaption(entry, {});
    GdkKeymapKey* keys = nullptr;
    guint* keyvals = nullptr;
    gint count = 0;
    if (!gdk_keymap_get_entries_for_keycode(keymap_, kernel + XKeyCodeOffset, &keys, &keyvals,
                                            &count))
        return KeyCaption(entry, {});
    // The group in use, else the first; its first level (what the key types without Shift).
    // The number pad shows its digits, the level Num Lock gives.
    const bool numberPad = entry >= NumpadFirst && entry <= NumpadLast;
    SystemKeyText text;
    for (const int group : {group_, 0}) {
        for (gint i = 0; i < count && text.name.empty(); ++i) {
            if (keys[i].group != group || keys[i].level != 0) continue;
            const char* name = gdk_keyval_name(keyvals[i]);
            text = {Printed(keyvals[i]), name ? name : ""};
        }
        if (numberPad && text.character.empty()) {
            for (gint i = 0; i < count; ++i)
                if (keys[i].group == group && keys[i].level == 1)
                    text.character = Printed(keyvals[i]);
        }
        if (!text.name.empty()) break;
    }
    g_free(keys);
    g_free(keyvals);
    return KeyCaption(entry, text);
}

} // namespace zevaver
