// Program entry: start-up in its fixed order, the message loop, shutdown.
#include "framework/win/Application.h"
#include "framework/win/WidePath.h"
#include "mainwindow/AppState.h"
#include "mainwindow/win/KeysForm.h"
#include "mainwindow/win/WatchReport.h"
#include "services/win/OneInstance.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <exception>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace zevaver;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The data folders lie beside the program, whatever folder it was started from (a
    // shortcut, the Run dialog, an autostart), and whatever characters that folder's path holds.
    fw::EnterProgramFolder();

    int exitCode = 0;
    try {
        TKeysForm form;
        form.State().Minimized = StartsMinimized(__argc, __argv);
        TOneInstance oneInstance;
        oneInstance.OnBringToFront = [&form] {
            // Out of the tray as a restore from there would (icon removed, menu and
            // drawing back), then to the front.
            form.Core().Icons().Restore();
            RestoreToFront(form.Handle());
        };
        // Decided before the window's creation steps. A later start hands over here and
        // ends: it must not read the settings, open the MIDI port (which the running copy
        // may hold alone), show a box or save its stale settings over the running copy's.
        // So nothing before this line may reach outside the process.
        oneInstance.Loaded();
        if (oneInstance.HandedOver()) return 0;
        // The running copy keeps the input watch; a later start must not take it.
        const bool watch = oneInstance.IsFirstInstance();
        if (!form.Create(watch)) return 1;
        if (form.State().Minimized) {
            // The window stays hidden; the program sits in the tray from the start.
            form.Core().Icons().AppEventsMinimize();
        } else {
            ShowWindow(form.Handle(), SW_SHOWNORMAL);
            UpdateWindow(form.Handle());
        }
        if (!form.Input().AwaitReady()) return 1;
        if (watch) {
            ReportWatchStatus(form.Input().KeyboardStatus());
            ReportWatchStatus(form.Input().MouseStatus());
        }
        exitCode = fw::RunMessageLoop();
        form.FormDestroy();
    } catch (const std::exception& error) {
        fw::ReportError(error.what());
        return 1;
    }
    return exitCode;
}
