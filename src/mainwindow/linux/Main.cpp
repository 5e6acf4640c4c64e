// Program entry on Linux: the single-instance check, start-up in its fixed order, the main
// loop, shutdown.
#include "framework/linux/Dialogs.h"
#include "framework/linux/Folders.h"
#include "keyboard/linux/AlsaSequencer.h"
#include "mainwindow/AppState.h"
#include "mainwindow/linux/KeysWindow.h"
#include "services/linux/OneInstance.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#undef None
#undef Status
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

// "/M" as on Windows, or the spelling Linux users expect.
bool StartsInBackground(int argc, char** argv) {
    return zevaver::StartsMinimized(argc, argv) ||
           (argc >= 2 && std::string(argv[1]) == "--minimized");
}

std::string ExecutableName(const char* argv0) {
    std::string name = argv0 ? argv0 : "zevaver-midi-keyboard";
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

constexpr const char* NoRawKeysText =
    "Keys typed while another program has the focus cannot be played: the X server offers no "
    "XInput 2.1 or later. Keys still play while this window has the focus.";

} // namespace

int main(int argc, char** argv) {
    using namespace zevaver;
    // The playing thread has a display connection of its own beside GTK's.
    XInitThreads();
    SilenceAlsaErrors();
    const bool background = StartsInBackground(argc, argv);

    // Decided before anything reaches outside the process: a later start hands over and
    // ends without reading the settings or opening a port the running copy holds.
    LinuxOneInstance oneInstance(fw::RuntimeFolder(), ExecutableName(argv[0]));
    if (!oneInstance.Check(std::vector<std::string>(argv + 1, argv + argc))) return 0;

    // The name desktops know the program by: its menu entry's and icon's (the window's class
    // on X11, its application id on Wayland).
    g_set_prgname(fw::AppFolderName);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "%s: cannot open the display\n", ExecutableName(argv[0]).c_str());
        return 1;
    }
    try {
        KeysWindow form;
        form.Core().State().Minimized = background;
        GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
        form.OnClose = [loop] { g_main_loop_quit(loop); };
        // Ended by the session or a signal: the settings are kept all the same, also while
        // a box or a dialog waits for the user.
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            g_unix_signal_add(
                signal,
                [](gpointer data) -> gboolean {
                    g_main_loop_quit(static_cast<GMainLoop*>(data));
                    fw::EndDialogs();
                    return G_SOURCE_CONTINUE;
                },
                loop);
        oneInstance.OnInstanceStarted = [&form](const std::vector<std::string>&) {
            form.BringForward();
        };
        if (oneInstance.ListenerFd() >= 0)
            g_unix_fd_add(
                oneInstance.ListenerFd(), G_IO_IN,
                [](gint, GIOCondition, gpointer data) -> gboolean {
                    static_cast<LinuxOneInstance*>(data)->Answer();
                    return G_SOURCE_CONTINUE;
                },
                &oneInstance);
        // Only the receiver of later starts reads the keys (one that took over from a copy
        // that hangs does too). A Wayland compositor gives no program the keys typed into
        // others: there the window's own keys play, or the keyboards read directly.
        GdkDisplay* display = gdk_display_get_default();
        const bool x11 = display && GDK_IS_X11_DISPLAY(display);
        const bool watch = oneInstance.IsFirstInstance() && x11;
        if (!form.Create(watch)) return 1;
        if (background)
            form.Core().Icons().AppEventsMinimize();
        else
            form.Show();
        if (form.Input().AwaitReady() != WatchStatus::Ok && watch) {
            form.PlayOwnKeysOnly();
            form.ShowError(NoRawKeysText);
        }
        if (oneInstance.IsFirstInstance()) form.StartWaylandKeys();
        // A signal that came while a box waited at the start ended the program already.
        if (!fw::DialogsEnded()) g_main_loop_run(loop);
        form.Destroy();
        g_main_loop_unref(loop);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
