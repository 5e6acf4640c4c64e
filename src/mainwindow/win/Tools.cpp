#include "mainwindow/win/Tools.h"

#include "framework/win/Application.h"

#include <windows.h>

namespace {
HWND errorOwner = nullptr;
}

void SetErrorOwner(void* window) {
    errorOwner = static_cast<HWND>(window);
}

void ShowError(const std::string& text) {
    (void)fw::ShowMessageBox(errorOwner && IsWindow(errorOwner) ? errorOwner : nullptr,
                             text.c_str(), "Error", MB_OK | MB_ICONERROR);
}
