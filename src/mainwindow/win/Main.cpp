// Program entry: start-up in its fixed order, the message loop, shutdown.
#include "framework/win/Application.h"
#include "mainwindow/AppState.h"
#include "mainwindow/win/KeysForm.h"
#include "mainwindow/win/WatchReport.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

// The data folders lie beside the program, whatever folder it was started from (a
// shortcut, the Run dialog, an autostart).
void EnterProgramFolder() {
    char path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    if (slash != std::string::npos) SetCurrentDirectoryA(folder.substr(0, slash).c_str());
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    EnterProgramFolder();

    int exitCode = 0;
    {
        TKeysForm form;
        form.State().Minimized = StartsMinimized(__argc, __argv);
        if (!form.Create()) return 1;
        if (form.State().Minimized) {
            // The window stays hidden; the program sits in the tray from the start.
            form.Core().Icons().AppEventsMinimize();
        } else {
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
