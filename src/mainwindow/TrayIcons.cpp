#include "mainwindow/TrayIcons.h"

#include <utility>

namespace zevaver {

std::string WindowIconName(std::string_view trayName) {
    if (trayName == icons::TrayDisabled) return icons::WindowDisabled;
    if (trayName == icons::TrayEnabled) return icons::WindowEnabled;
    if (trayName == icons::TrayBlink) return icons::WindowBlink;
    return std::string(trayName);
}

// Every MIDI message blinks: an icon already showing is not set again, since setting
// one goes to the shell or the window manager and costs far more than a note.
void TrayIcons::SetIcon(const std::string& trayName) {
    if (minimized_) {
        if (trayName == trayIcon_) return;
        host_.TrayIcon(trayName, TrayAction::Modify);
        trayIcon_ = trayName;
        return;
    }
    std::string windowName = WindowIconName(trayName);
    if (windowName == windowIcon_) return;
    windowIcon_ = std::move(windowName);
    host_.SetWindowIcon(windowIcon_);
}

void TrayIcons::ShowTrayIcon(const std::string& trayName, TrayAction action) {
    host_.TrayIcon(trayName, action);
    trayIcon_ = trayName;
}

void TrayIcons::Blink() {
    if (!minimized_) SetIconBoxBlinking(true);
    SetIcon(icons::TrayBlink);
    // A running timer is left alone, so a blink lasts one period from its first message
    // however many messages follow.
    if (!timerRunning_) {
        timerRunning_ = true;
        host_.SetBlinkTimer(true);
    }
}

void TrayIcons::BlinkTimerTimer() {
    if (!timerRunning_) return; // a tick already queued when the timer was stopped
    // The box forgets the blink even while the window is hidden, so it does not come
    // back from the tray still showing it.
    SetIconBoxBlinking(false);
    SetIcon(iconName_);
    timerRunning_ = false;
    host_.SetBlinkTimer(false);
}

void TrayIcons::SetIconBoxBlinking(bool blinking) {
    if (iconBoxBlinking_ == blinking) return;
    iconBoxBlinking_ = blinking;
    host_.IconBoxChanged();
}

// The icon comes first: hiding a window can hold the caller a while (Wine without a window
// manager waits two seconds for one), and the program must not seem gone meanwhile.
void TrayIcons::AppEventsMinimize() {
    host_.ShowTrayLook(true);
    ShowTrayIcon(iconName_, TrayAction::Add);
    host_.ShowApplicationWindow(false);
    minimized_ = true;
}

void TrayIcons::AppEventsRestore() {
    host_.ShowTrayLook(false);
    host_.ShowApplicationWindow(true);
    ShowTrayIcon("", TrayAction::Delete);
    minimized_ = false;
    SetIcon(iconName_);
}

void TrayIcons::Minimize() {
    if (!minimized_) AppEventsMinimize();
}

void TrayIcons::Restore() {
    if (minimized_) AppEventsRestore();
}

void TrayIcons::EnabledChanged() {
    if (!minimized_) host_.IconBoxChanged();
    SetIcon(iconName_);
}

void TrayIcons::ShellRestarted() {
    if (minimized_) ShowTrayIcon(timerRunning_ ? icons::TrayBlink : iconName_, TrayAction::Add);
}

void TrayIcons::WindowDestroyed() {
    ShowTrayIcon("", TrayAction::Delete);
    if (timerRunning_) {
        timerRunning_ = false;
        host_.SetBlinkTimer(false);
    }
}

} // namespace zevaver
