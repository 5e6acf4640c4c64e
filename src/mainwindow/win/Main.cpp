// Program entry: start-up in its fixed order, the message loop, shutdown.
#include "framework/win/Application.h"
#include "mainwindow/AppState.h"
#include "mainwindow/win/KeysForm.h"

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

    Minimized = StartsMinimized(__argc, __argv);

    int exitCode = 0;
    {
        TKeysForm form;
        if (!form.Create()) return 1;
        if (Minimized) {
            // The window stays hidden; the program sits in the tray from the start.
            form.Icons().AppEventsMinimize();
        } else {
            ShowWindow(form.Handle(), SW_SHOWNORMAL);
            UpdateWindow(form.Handle());
        }
        // Every process is the first instance until the single-instance guard arrives.
        form.KeyWatch().StartWatching(1);
        form.KeyWatch().StartWatching(2);
        exitCode = fw::RunMessageLoop();
        form.FormDestroy();
    }
    return exitCode;
}
