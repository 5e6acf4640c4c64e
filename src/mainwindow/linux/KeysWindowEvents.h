// The GTK signals of the main window on Linux, turned into the window's and the core's
// calls; and the one guard around them: a failure is shown in the error box instead of
// ending the program, as an exception out of a window's message handler is on Windows.
#pragma once

#include "mainwindow/linux/KeysWindow.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <exception>

namespace zevaver {

void ShowFailure(const char* text) noexcept;

template <typename Action> void Guarded(Action action) noexcept {
    try {
        action();
    } catch (const std::exception& error) {
        ShowFailure(error.what());
    } catch (...) {
        ShowFailure("Unexpected error.");
    }
}

class KeysWindowEvents {
public:
    static void Connect(KeysWindow& window);
    // The playing thread's news and the MIDI ports' changes.
    static void WatchSources(KeysWindow& window);
    // A source that calls the core's Timer(id) every `milliseconds`.
    [[nodiscard]] static unsigned AddTimer(KeysWindow& window, int id, uint32_t milliseconds);

private:
    static gboolean Draw(GtkWidget*, cairo_t* cr, gpointer data);
    static gboolean Configure(GtkWidget*, GdkEventConfigure* event, gpointer data);
    static gboolean Press(GtkWidget*, GdkEventButton* event, gpointer data);
    static gboolean Release(GtkWidget*, GdkEventButton* event, gpointer data);
    static gboolean Motion(GtkWidget*, GdkEventMotion* event, gpointer data);
    static gboolean GrabBroken(GtkWidget*, GdkEvent*, gpointer data);
    static gboolean Key(GtkWidget*, GdkEventKey* event, gpointer data);
    static gboolean KeyUp(GtkWidget*, GdkEventKey* event, gpointer data);
    static gboolean Focus(GtkWidget*, GdkEventFocus* event, gpointer data);
    static gboolean State(GtkWidget*, GdkEventWindowState* event, gpointer data);
    static gboolean Delete(GtkWidget*, GdkEvent*, gpointer data);
    static void FaderChanged(GtkRange* range, gpointer data);
    static gboolean FaderPlace(GtkOverlay*, GtkWidget* child, GdkRectangle* place, gpointer data);
    static gboolean InputNews(gint, GIOCondition, gpointer data);
    static gboolean PortsChanged(gint, GIOCondition, gpointer data);
    static gboolean Timer(gpointer data);
};

} // namespace zevaver
