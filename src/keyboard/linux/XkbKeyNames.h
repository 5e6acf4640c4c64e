// The names of computer keys from the user's keyboard map (XKB, through GDK: the X server's
// map, or the compositor's on Wayland). The layouts go by where keys sit on Linux, so a
// layout entry names a place: its caption is what the user's keyboard prints on the key in
// that place, in the keyboard map's group (language) in use.
#pragma once

#include <string>

typedef struct _GdkKeymap GdkKeymap;

namespace zevaver {

class XkbKeyNames {
public:
    XkbKeyNames() = default;
    XkbKeyNames(const XkbKeyNames&) = delete;
    XkbKeyNames& operator=(const XkbKeyNames&) = delete;
    ~XkbKeyNames();

    // Watches the display's keyboard map: `changed` runs when the names may have changed
    // (another map, another group).
    void Watch(void (*changed)(void* data), void* data);

    // The caption of a layout entry (the US English code of a place; 1 and 2 the Shift keys).
    [[nodiscard]] std::string Caption(int entry);

    // The keyboard map's group in use (0 where it cannot be told).
    [[nodiscard]] int Group() const;

private:
    static void MapChanged(GdkKeymap*, void* data);
    static void StateChanged(GdkKeymap*, void* data);

    GdkKeymap* keymap_ = nullptr;
    void (*changed_)(void*) = nullptr;
    void* data_ = nullptr;
    int group_ = 0;
};

} // namespace zevaver
