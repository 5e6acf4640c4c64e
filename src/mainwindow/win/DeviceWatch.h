// The main window's ear for devices that come and go, so the MIDI outputs are read again
// while the program runs: the system's broadcast that devices were added or removed (sent
// to every top-level window) and the arrival and removal of device interfaces, which the
// window registers for (a USB interface, an endpoint of the system's MIDI service).
#pragma once

#include "framework/win/Handles.h"
#include "framework/win/Window.h"
#include "mainwindow/AppCore.h"

#include <windows.h>

namespace zevaver {

class DeviceWatch final : public fw::MessageHandler {
public:
    // window and core must outlive this.
    DeviceWatch(HWND window, AppCore& core) noexcept;
    DeviceWatch(const DeviceWatch&) = delete;
    DeviceWatch& operator=(const DeviceWatch&) = delete;
    ~DeviceWatch() = default;

    bool TryHandle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    AppCore& core_;
    // Without it the broadcast alone still arrives.
    fw::DeviceNotification interfaces_;
};

} // namespace zevaver
