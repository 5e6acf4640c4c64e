// Program entry: start-up in its fixed order, the message loop, shutdown.
#include "framework/win/Application.h"
#include "framework/win/WidePath.h"
#include "mainwindow/AppState.h"
#include "mainwindow/win/KeysForm.h"
#include "mainwindow/win/WatchReport.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The data folders lie beside the program, whatever folder it was started from (a
    // shortcut, the Run dialog, an autostart), and whatever characters that folder's path holds.
    fw::EnterProgramFolder();

    int exitCode = 0;
    {
        TKeysForm form;
        form.State().Minimized = StartsMinimized(__argc, __argv);
        if (!form.Create()) return 1;
        if (!form.State().Minimized) {
            ShowWindow(form.Handle(), SW_SHOWNORMAL);
            UpdateWindow(form.Handle());
        }
        // Every process is the first instance until the single-instance guard arrives.
        ReportWatchStatus(form.KeyWatch().StartWatching(watch::KindKeyboard));
        ReportWatchStatus(form.KeyWatch().StartWatching(watch::KindMouse));
        exitCode = fw::RunMessageLoop();
        form.FormDestroy();
    }
    return exitCode;
}
