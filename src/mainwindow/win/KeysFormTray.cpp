// The main window's side of the tray: coming back from it, and what the icons ask of the
// window.
#include "mainwindow/win/KeysForm.h"

#include "framework/win/Application.h"
#include "mainwindow/AppState.h"

// A start in the tray ("/M") counts as minimised here too, so the first restore ends the
// tray state completely: icon removed, caption and menu back, key presses drawn again.
void TKeysForm::RestoreFromTray() {
    tray_->Icons().Restore();
    SetForegroundWindow(Handle());
    fw::ProcessMessages();
}

TrayShell::Actions TKeysForm::TrayActions() {
    TrayShell::Actions actions;
    actions.showTrayLook = [this](bool inTray) {
        if (menu_) menu_->ShowTrayLook(inTray);
    };
    actions.restoreFromTray = [this] { RestoreFromTray(); };
    actions.popupAtCursor = [this] { PopupAtCursor(); };
    return actions;
}
